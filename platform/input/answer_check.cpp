#include "answer_check.h"

namespace {

enum class quote_state { outside, inside, closed };

// Cuts the line into fields; valid only when it holds one field.
bool find_field(std::span<const uint8_t> line, uint32_t& start, uint32_t& length) {
    quote_state state = quote_state::outside;
    bool at_start = true;
    bool quoted = false;
    uint32_t end = static_cast<uint32_t>(line.size());
    start = 0;
    for (uint32_t i = 0; i < line.size(); ++i) {
        uint8_t b = line[i];
        if (b == ',' && state != quote_state::inside) return false;  // a second field
        if (b == '"' && at_start) {
            quoted = true;
            state = quote_state::inside;
            start = i + 1;
        } else if (b == '"' && state == quote_state::inside) {
            state = quote_state::closed;
            end = i;
        } else if (state == quote_state::closed) {
            return false;
        }
        at_start = false;
    }
    if (quoted && state == quote_state::inside) end = static_cast<uint32_t>(line.size());
    length = end - start;
    return true;
}

int digit_value(uint8_t b, int base) {
    int value = -1;
    if (b >= '0' && b <= '9') value = b - '0';
    else if (b >= 'a' && b <= 'f') value = b - 'a' + 10;
    else if (b >= 'A' && b <= 'F') value = b - 'A' + 10;
    return value >= 0 && value < base ? value : -1;
}

// Signed value of the low `width` bits.
int64_t low_bits_signed(uint64_t value, uint32_t width) {
    uint64_t mask = (uint64_t{1} << width) - 1;
    value &= mask;
    return (value & (uint64_t{1} << (width - 1))) ? static_cast<int64_t>(value) - static_cast<int64_t>(mask) - 1
                                                   : static_cast<int64_t>(value);
}

bool check_decimal(std::span<const uint8_t> field, uint32_t width, int64_t& number) {
    bool negative = !field.empty() && field[0] == '-';
    auto digits = field.subspan(negative ? 1 : 0);
    if (digits.empty()) {  // "" or "-" alone
        number = 0;
        return true;
    }
    if (digits[0] == '0' && digits.size() > 1) return false;
    uint64_t limit = (uint64_t{1} << (width - 1)) - (negative ? 0 : 1);
    uint64_t value = 0;
    for (uint8_t b : digits) {
        if (b < '0' || b > '9') return false;
        value = value * 10 + (b - '0');
        if (value > limit) return false;
    }
    number = negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
    return true;
}

bool check_based(std::span<const uint8_t> field, uint32_t width, int64_t& number) {
    // field[0] is '&'.
    if (field.size() == 1) {
        number = 0;
        return true;
    }
    int base = 0;
    uint32_t most_digits = 0;
    switch (field[1]) {
        case 'H': case 'h': base = 16; most_digits = (width + 3) / 4; break;
        case 'O': case 'o': base = 8; most_digits = (width + 2) / 3; break;
        case 'B': case 'b': base = 2; most_digits = width; break;
        default: return false;
    }
    auto digits = field.subspan(2);
    if (digits.size() > most_digits) return false;
    uint64_t value = 0;
    for (uint8_t b : digits) {
        int d = digit_value(b, base);
        if (d < 0) return false;
        value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
    }
    if (value > (uint64_t{1} << width) - 1) return false;
    number = low_bits_signed(value, width);
    return true;
}

}  // namespace

answer_check check_answer_line(std::span<const uint8_t> line, uint32_t type_code) {
    answer_check result;
    if (!find_field(line, result.field_start, result.field_length)) return result;
    if (type_code & text_type_code) {
        result.valid = true;
        return result;
    }
    uint32_t width = type_code & 0x1FF;
    if (width < 2 || width > 32) return result;
    auto field = line.subspan(result.field_start, result.field_length);
    bool valid = !field.empty() && field[0] == '&' ? check_based(field, width, result.number)
                                                   : check_decimal(field, width, result.number);
    result.valid = valid;
    return result;
}
