// The generic texts, one row a family. ALLOCATION and NO_MEMORY have no
// row: they share the text of codes without one.
#include "diagnostics/error_codes.hpp"

namespace vkrt {

namespace {

struct GenericErrorText {
    LibError code;
    const char* text;
};

constexpr GenericErrorText generic_error_texts[] = {
    {LIBERROR_EOR, "End of record"},
    {LIBERROR_END, "End of file"},
    {LIBERROR_OK, "Successful return"},
    {LIBERROR_OS, "Operating system error"},
    {LIBERROR_OPTION_CONFLICT, "Conflicting statement options"},
    {LIBERROR_BAD_OPTION, "Bad statement option"},
    {LIBERROR_MISSING_OPTION, "Missing statement option"},
    {LIBERROR_ALREADY_OPEN, "File already opened in another unit"},
    {LIBERROR_BAD_UNIT, "Unattached unit"},
    {LIBERROR_FORMAT, "FORMAT error"},
    {LIBERROR_BAD_ACTION, "Incorrect ACTION specified"},
    {LIBERROR_ENDFILE, "Read past ENDFILE record"},
    {LIBERROR_BAD_US, "Corrupt unformatted sequential file"},
    {LIBERROR_READ_VALUE, "Bad value during read"},
    {LIBERROR_READ_OVERFLOW, "Numeric overflow on read"},
    {LIBERROR_INTERNAL, "Internal error in run-time library"},
    {LIBERROR_INTERNAL_UNIT, "Internal unit I/O error"},
    {LIBERROR_DIRECT_EOR, "Write exceeds length of DIRECT access record"},
    {LIBERROR_SHORT_RECORD, "I/O past end of record on unformatted file"},
    {LIBERROR_CORRUPT_FILE, "Unformatted file structure has been corrupted"},
    {LIBERROR_INQUIRE_INTERNAL_UNIT, "Inquire statement identifies an internal file"},
    {LIBERROR_BAD_WAIT_ID, "Bad ID in WAIT statement"},
};

}  // namespace

const char* generic_error_text(LibError code) {
    for (const GenericErrorText& entry : generic_error_texts) {
        if (entry.code == code) return entry.text;
    }
    return "Unknown error code";
}

}  // namespace vkrt
