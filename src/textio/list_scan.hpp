// The scanner of a free-form read of one extended real: takes bytes from a
// source until the first item and its separator have been read and the rest
// of that record consumed, and says what it found (a value, a null value, or
// a failure with its family code and message). It ends nothing itself, so
// the read statement decides how a failure is reported.
#pragma once

#include "diagnostics/error_codes.hpp"
#include "textio/extended_format.hpp"

namespace vkrt {

struct ByteSource {
    int (*take)(void* context);  // the next byte, 0 to 255, or -1 at the end of the file
    void* context;
};

enum class ListScanOutcome { value, null_value, failed };

struct ListScanResult {
    ListScanOutcome outcome = ListScanOutcome::failed;
    ExtendedBits value{};  // outcome value
    LibError code = LIBERROR_OK;  // outcome failed: the error family code
    char message[96]{};    // outcome failed: the message, empty for the family's own text
};

void scan_real_list(ByteSource source, ListScanResult& result);

}  // namespace vkrt
