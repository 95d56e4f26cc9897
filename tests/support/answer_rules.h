// The answer rules of an input line written out plainly, apart from the line
// editor's own check, so that tests can hold the one against the other.
#pragma once
#include <cstdint>
#include <optional>
#include <regex>
#include <string>

namespace answer_rules {

// The field of a line that holds one: after an opening double quote up to the
// closing one (or the end), and nothing may follow the closing quote; otherwise
// the whole line, which may hold no comma.
inline std::optional<std::string> field_of(const std::string& line) {
    if (!line.empty() && line[0] == '"') {
        size_t closing = line.find('"', 1);
        if (closing == std::string::npos) return line.substr(1);
        if (closing + 1 != line.size()) return std::nullopt;
        return line.substr(1, closing - 1);
    }
    if (line.find(',') != std::string::npos) return std::nullopt;
    return line;
}

// The signed 16-bit value that a field stands for, when it is a whole number.
inline std::optional<int32_t> whole_number_of(const std::string& field) {
    static const std::regex decimal("(-?)(0|[1-9][0-9]*)?");
    static const std::regex base_alone("&[HhOoBb]?");
    static const std::regex hexadecimal("&[Hh]([0-9A-Fa-f]{1,4})");
    static const std::regex octal("&[Oo]([0-7]{1,6})");
    static const std::regex binary("&[Bb]([01]{1,16})");
    std::smatch parts;
    if (std::regex_match(field, parts, decimal)) {
        std::string digits = parts[2];
        if (digits.empty()) return 0;
        if (digits.size() > 5) return std::nullopt;
        int32_t value = std::stoi(digits);
        bool negative = parts[1].length() == 1;
        if (value > (negative ? 32768 : 32767)) return std::nullopt;
        return negative ? -value : value;
    }
    if (std::regex_match(field, base_alone)) return 0;
    auto low_16_bits = [](unsigned long value) { return value >= 32768 ? int32_t(value) - 65536 : int32_t(value); };
    if (std::regex_match(field, parts, hexadecimal)) return low_16_bits(std::stoul(parts[1], nullptr, 16));
    if (std::regex_match(field, parts, binary)) return low_16_bits(std::stoul(parts[1], nullptr, 2));
    if (std::regex_match(field, parts, octal)) {
        unsigned long value = std::stoul(parts[1], nullptr, 8);
        if (value > 65535) return std::nullopt;
        return low_16_bits(value);
    }
    return std::nullopt;
}

}  // namespace answer_rules
