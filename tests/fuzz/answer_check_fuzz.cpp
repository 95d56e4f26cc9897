// libFuzzer target: the line editor's answer check against the answer rules
// written out plainly (answer_rules.h). The first input byte picks the type
// (even: text value, odd: whole number); the rest is the answer line.
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>

#include "answer_check.h"
#include "answer_rules.h"

namespace {

[[noreturn]] void disagree(const char* what, const std::string& line, uint32_t type_code) {
    std::fprintf(stderr, "answer check and rules disagree (%s) on a %s line of %zu bytes:", what,
                 type_code == text_type_code ? "text" : "whole-number", line.size());
    for (unsigned char b : line) std::fprintf(stderr, " %02x", b);
    std::fprintf(stderr, "\n");
    std::abort();
}

answer_check check(const std::string& line, uint32_t type_code) {
    return check_answer_line(std::span(reinterpret_cast<const uint8_t*>(line.data()), line.size()), type_code);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint32_t type_code = (data[0] & 1) ? whole_number_type_code : text_type_code;
    const std::string line(reinterpret_cast<const char*>(data + 1), size - 1);

    answer_check got = check(line, type_code);
    std::optional<std::string> field = answer_rules::field_of(line);
    std::optional<int32_t> number;
    if (field && type_code == whole_number_type_code) number = answer_rules::whole_number_of(*field);
    bool valid = field && (type_code == text_type_code || number);

    if (got.valid != valid) disagree(valid ? "rules take it" : "rules refuse it", line, type_code);
    if (!valid) return 0;
    if (got.field_start > line.size() || got.field_length > line.size() - got.field_start ||
        line.compare(got.field_start, got.field_length, *field) != 0) {
        disagree("field", line, type_code);
    }
    if (type_code == whole_number_type_code && got.number != *number) disagree("number", line, type_code);
    // The editor relies on this when it takes a byte back: every shortened form
    // of an answer that stands stands too.
    if (!line.empty() && !check(line.substr(0, line.size() - 1), type_code).valid) {
        disagree("a shortened valid line is refused", line, type_code);
    }
    return 0;
}
