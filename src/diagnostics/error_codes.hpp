// Error family codes raised by the statement machinery, and their generic
// message texts.
#pragma once

namespace vkrt {

enum LibError : int {
    LIBERROR_EOR = -2,
    LIBERROR_END = -1,
    LIBERROR_OK = 0,
    LIBERROR_OS = 5000,
    LIBERROR_OPTION_CONFLICT,
    LIBERROR_BAD_OPTION,
    LIBERROR_MISSING_OPTION,
    LIBERROR_ALREADY_OPEN,
    LIBERROR_BAD_UNIT,
    LIBERROR_FORMAT,
    LIBERROR_BAD_ACTION,
    LIBERROR_ENDFILE,
    LIBERROR_BAD_US,
    LIBERROR_READ_VALUE,
    LIBERROR_READ_OVERFLOW,
    LIBERROR_INTERNAL,
    LIBERROR_INTERNAL_UNIT,
    LIBERROR_ALLOCATION,
    LIBERROR_DIRECT_EOR,
    LIBERROR_SHORT_RECORD,
    LIBERROR_CORRUPT_FILE,
    LIBERROR_INQUIRE_INTERNAL_UNIT,
    LIBERROR_BAD_WAIT_ID,
    LIBERROR_NO_MEMORY,
};

// The generic text of a family code; "Unknown error code" for codes without
// one. For LIBERROR_OS this is the table's own "Operating system error",
// which reports replace with the system's description of errno.
const char* generic_error_text(LibError code);

}  // namespace vkrt
