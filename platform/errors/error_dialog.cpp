#include "error_dialog.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "box_key_hold.h"
#include "error_report.h"
#include "message_box.h"
#include "park_and_exit.h"
#include "run_flags.h"

void* (*dialog_text_storage)(size_t size) = std::malloc;

namespace {

// Written on the initial thread before the runtime's threads start; read by the
// shell's thread in the dialog.
std::string& stored_program_path() {
    static std::string* path = new std::string;
    return *path;
}

// The file name of a path: what follows its last slash or backslash.
const char* program_file_name(const char* path) {
    const char* name = path;
    for (const char* at = path; *at != '\0'; ++at) {
        if (*at == '/' || *at == '\\') name = at + 1;
    }
    return name;
}

// The formatted text in storage of exactly its length plus the closing zero byte;
// null when the storage cannot be had.
__attribute__((format(printf, 1, 2))) char* format_exactly(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    va_list measuring;
    va_copy(measuring, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    char* storage = length < 0 ? nullptr : static_cast<char*>(dialog_text_storage(size_t(length) + 1));
    if (storage != nullptr) std::vsnprintf(storage, size_t(length) + 1, format, arguments);
    va_end(arguments);
    return storage;
}

}  // namespace

void set_program_path(const char* path) { stored_program_path() = path ? path : ""; }
const char* program_path() { return stored_program_path().c_str(); }

void report_unhandled_error(uint32_t statement_number, uint32_t included_line, const char* included_file) {
    auto& f = flags();
    const uint32_t n = f.error_pending.load(std::memory_order_acquire);
    const bool critical = reported_critical::includes(n);
    const bool in_included_file = included_line != 0;
    char* text = format_exactly("Line: %u (in %s)\n%s%s", in_included_file ? included_line : statement_number,
                                in_included_file ? (included_file ? included_file : "") : "main module",
                                error_description(n), critical ? "" : "\nContinue?");
    char* title = format_exactly("%s%u - %s", critical ? "Critical Error #" : "Unhandled Error #", n,
                                 program_file_name(program_path()));
    if (text == nullptr || title == nullptr) exit_process(critical_exit_code);

    const box_answer answer = show_message_box(
        message_box{title, text, critical ? box_buttons::ok : box_buttons::yes_no, !critical});
    std::free(text);
    std::free(title);
    if (critical) exit_process(critical_exit_code);
    if (answer == box_answer::no) {
        // The main-loop thread ends the run as for a finished program, without
        // the end-of-run prompt.
        f.program_finished.store(1, std::memory_order_release);
        halt_program_thread();
    }
    // The run goes on: keys typed into the window while the box was up are
    // dropped, and the window takes keys again.
    release_window_keys();
    f.error_pending.store(0, std::memory_order_release);
}
