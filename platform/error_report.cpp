#include "error_report.h"

#include <unistd.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>

#include "box_key_hold.h"
#include "message_box.h"
#include "park_and_exit.h"
#include "run_flags.h"

void* (*dialog_text_storage)(size_t size) = std::malloc;

namespace {

// Every ending through a critical error reports failure to whoever started the
// process; the answer No is the user's choice and ends with 0 like a normal run.
constexpr int critical_exit_code = 1;

// Number 5 stands in for a number of zero or less.
constexpr int32_t illegal_function_call = 5;

// Set by the arithmetic-exception handler, on whatever thread took the signal;
// read by the main-loop thread. Lock-free, so the handler may store to it.
std::atomic<uint32_t> arithmetic_exception{0};
static_assert(std::atomic<uint32_t>::is_always_lock_free);

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

// The box of an immediate critical error. The title is built on the stack: an
// out-of-memory report must not need the heap.
struct immediate_critical_box {
    const char* text = nullptr;
    char title[32] = {};
};

// True, with the box filled in, when n is an immediate critical number.
bool immediate_critical(int32_t n, immediate_critical_box& box) {
    if (n == division_by_zero) {
        box.text = "Division by zero";
        std::snprintf(box.title, sizeof box.title, "Critical Error");
        return true;
    }
    if (n == 257 || (n >= 502 && n <= 518)) {
        box.text = "Out of memory";
        std::snprintf(box.title, sizeof box.title, "Critical Error #%d", n == 257 ? 1 : n - 500);
        return true;
    }
    return false;
}

bool reported_critical(uint32_t n) { return n >= 300 && n <= 315; }

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

// The described error numbers, in rising order; every other number is unprintable.
struct error_text {
    uint32_t number;
    const char* description;
};

constexpr error_text error_texts[] = {
    {0, "No error"},
    {1, "NEXT without a matching FOR"},
    {2, "Syntax error"},
    {3, "RETURN without a GOSUB"},
    {4, "No more DATA to read"},
    {5, "Illegal function call"},
    {6, "Overflow"},
    {7, "Out of memory"},
    {8, "Label not defined"},
    {9, "Subscript out of range"},
    {10, "Array already dimensioned"},
    {12, "Not allowed in direct mode"},
    {13, "Type mismatch"},
    {14, "Out of string space"},
    {16, "String expression too complex"},
    {17, "Cannot continue"},
    {18, "Function not defined"},
    {19, "Error handler ended without RESUME"},
    {20, "RESUME without an error"},
    {24, "Device timed out"},
    {25, "Device fault"},
    {26, "FOR without a matching NEXT"},
    {27, "Printer out of paper"},
    {29, "WHILE without a matching WEND"},
    {30, "WEND without a matching WHILE"},
    {33, "Label defined twice"},
    {35, "Procedure not defined"},
    {37, "Wrong number of arguments"},
    {38, "Array not defined"},
    {40, "Variable required"},
    {50, "Record buffer overflow"},
    {51, "Internal error"},
    {52, "Bad file number"},
    {53, "File not found"},
    {54, "File opened in the wrong mode"},
    {55, "File already open"},
    {56, "Record buffer in use"},
    {57, "Device input/output error"},
    {58, "File already exists"},
    {59, "Bad record length"},
    {61, "Disk full"},
    {62, "Input past end of file"},
    {63, "Bad record number"},
    {64, "Bad file name"},
    {67, "Too many open files"},
    {68, "Device unavailable"},
    {69, "Communication buffer overflow"},
    {70, "Permission denied"},
    {71, "Disk not ready"},
    {72, "Disk media error"},
    {73, "Feature not available"},
    {74, "Cannot rename across disks"},
    {75, "Path or file access error"},
    {76, "Path not found"},
    {258, "Invalid handle"},
    {300, "Memory block out of range"},
    {301, "Invalid memory block size"},
    {302, "Source memory block out of range"},
    {303, "Destination memory block out of range"},
    {304, "Source and destination memory blocks out of range"},
    {305, "Source memory block already freed"},
    {306, "Destination memory block already freed"},
    {307, "Memory block freed twice"},
    {308, "Memory block already freed"},
    {309, "Memory block not set up"},
    {310, "Source memory block not set up"},
    {311, "Destination memory block not set up"},
    {312, "Source and destination memory blocks not set up"},
    {313, "Source and destination memory blocks already freed"},
    {314, "Assertion failed"},
    {315, "Assertion failed (details on standard error)"},
};
static_assert(std::size(error_texts) == 71);

}  // namespace

void set_program_path(const char* path) { stored_program_path() = path ? path : ""; }
const char* program_path() { return stored_program_path().c_str(); }

void raise_error(int32_t number) {
    immediate_critical_box box;
    if (immediate_critical(number, box)) raise_critical_error(number);
    auto& f = flags();
    if (f.error_pending.load(std::memory_order_acquire) != 0) return;
    if (number <= 0) number = illegal_function_call;
    f.error_pending.store(static_cast<uint32_t>(number), std::memory_order_release);
    f.event_pending.store(1, std::memory_order_release);
}

void raise_critical_error(int32_t number) {
    immediate_critical_box box;
    if (!immediate_critical(number, box)) {
        std::snprintf(box.title, sizeof box.title, "Critical Error #%d", number);
        box.text = error_description(uint32_t(number));
    }
    // The process ends after the box: the window's keys stay held.
    show_message_box(message_box{box.title, box.text, box_buttons::ok, true});
    exit_process(critical_exit_code);
}

void report_unhandled_error(uint32_t statement_number, uint32_t included_line, const char* included_file) {
    auto& f = flags();
    const uint32_t n = f.error_pending.load(std::memory_order_acquire);
    const bool critical = reported_critical(n);
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

const char* error_description(uint32_t number) {
    for (const error_text& entry : error_texts) {
        if (entry.number == number) return entry.description;
    }
    return "Unprintable error";
}

void on_arithmetic_signal(int) {
    arithmetic_exception.store(1, std::memory_order_release);
    for (;;) ::pause();
}

bool arithmetic_exception_caught() { return arithmetic_exception.load(std::memory_order_acquire) != 0; }

void report_arithmetic_exception() { raise_critical_error(division_by_zero); }
