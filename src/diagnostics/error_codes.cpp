#include "diagnostics/error_codes.hpp"

namespace vkrt {

const char* generic_error_text(int code) {
    switch (code) {
    case LIBERROR_EOR: return "End of record";
    case LIBERROR_END: return "End of file";
    case LIBERROR_OK: return "Successful return";
    case LIBERROR_OS: return "Operating system error";
    case LIBERROR_OPTION_CONFLICT: return "Conflicting statement options";
    case LIBERROR_BAD_OPTION: return "Bad statement option";
    case LIBERROR_MISSING_OPTION: return "Missing statement option";
    case LIBERROR_ALREADY_OPEN: return "File already opened in another unit";
    case LIBERROR_BAD_UNIT: return "Unattached unit";
    case LIBERROR_FORMAT: return "FORMAT error";
    case LIBERROR_BAD_ACTION: return "Incorrect ACTION specified";
    case LIBERROR_ENDFILE: return "Read past ENDFILE record";
    case LIBERROR_BAD_US: return "Corrupt unformatted sequential file";
    case LIBERROR_READ_VALUE: return "Bad value during read";
    case LIBERROR_READ_OVERFLOW: return "Numeric overflow on read";
    case LIBERROR_INTERNAL: return "Internal error in run-time library";
    case LIBERROR_INTERNAL_UNIT: return "Internal unit I/O error";
    case LIBERROR_DIRECT_EOR: return "Write exceeds length of DIRECT access record";
    case LIBERROR_SHORT_RECORD: return "I/O past end of record on unformatted file";
    case LIBERROR_CORRUPT_FILE: return "Unformatted file structure has been corrupted";
    case LIBERROR_INQUIRE_INTERNAL_UNIT: return "Inquire statement identifies an internal file";
    case LIBERROR_BAD_WAIT_ID: return "Bad ID in WAIT statement";
    default: return "Unknown error code";  // includes ALLOCATION and NO_MEMORY
    }
}

}  // namespace vkrt
