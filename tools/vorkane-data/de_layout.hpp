// What the header of a published DE file says about its records, and the
// check that its records hold the 11 bodies where the program looks for them.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "vorkane-data/data_layout.hpp"

namespace vkdata {

struct DeLayout {
    int ncoeff = 0;             // values per data record
    std::vector<Block> items;   // the layout table, one block per item
};

// Values a record needs to hold every item of the table: nutations (item 12)
// have two components, TT-TDB (item 15) one, the others three. Items with
// zero coefficients or sub-intervals take no room.
long long values_needed(const std::vector<Block>& items);

// Throws DataError naming `file` unless items 1 to 11 match the program's
// blocks, every item fits in a record and NCOEFF lies within 818 to 1138.
void check_layout(const DeLayout& layout, const std::string& file);

// Where a data record came from, for messages and progress.
struct RecordOrigin {
    const std::string& file;
    long index;        // data record, counted from 1 in its file
    long line;         // first line of the record in a text file, else 0
    double fraction;   // share of the file read so far
};

// "FILE: data record K" or "FILE: data record K (line L)".
std::string describe(const RecordOrigin& origin);

// Receives each data record: `count` (= NCOEFF) values.
using RecordHandler = std::function<void(const double* values, int count, const RecordOrigin&)>;

}  // namespace vkdata
