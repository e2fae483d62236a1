// Reading a DE file in the published binary format: two header records (the
// first holds the layout table), then data records of NCOEFF little-endian
// binary64 values.
#pragma once

#include <string>

#include "vorkane-data/de_layout.hpp"

namespace vkdata {

// Checks the header and the file length, then hands every data record to
// `handler` in file order. Throws DataError on a bad header, a layout
// mismatch or a truncated record, before any record is handed over.
void read_de_binary(const std::string& file, const RecordHandler& handler);

// The layout table of a binary DE header; throws DataError when the bytes
// cannot be one. `header` holds the start of the file.
DeLayout parse_binary_header(const std::string& header, const std::string& file);

}  // namespace vkdata
