#include "error_numbers.h"

#include <iterator>

namespace {

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

const char* error_description(uint32_t number) {
    for (const error_text& entry : error_texts) {
        if (entry.number == number) return entry.description;
    }
    return "Unprintable error";
}
