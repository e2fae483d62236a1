// The program's data file and the DE440 record layout it relies on, in the
// data tool's terms: record size, grid of 32-day records, and the 11 bodies'
// coefficient blocks, all taken from the program's own definition.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ephemeris/file_layout.hpp"

namespace vkdata {

inline constexpr int values_per_record = ephemeris::record_values;
inline constexpr int record_bytes = ephemeris::record_bytes;
inline constexpr int record_count = ephemeris::record_count;
inline constexpr int64_t file_bytes = ephemeris::file_bytes;
inline constexpr double first_date = ephemeris::first_date;  // start of record 1
inline constexpr double record_days = ephemeris::record_days;
inline constexpr double last_date = ephemeris::last_date;

// One coefficient block of a DE record: 1-based start index, coefficients
// per component and sub-intervals per record (a row of the DE layout table).
struct Block {
    int start;
    int coefficients;
    int subintervals;
};

inline constexpr int body_count = ephemeris::body_count;

// Block i (0 to 10) of the bodies the program evaluates, three components
// each, and the body's name.
constexpr Block body_block(int i) {
    const ephemeris::Series& s = ephemeris::series[i];
    return {s.start, s.degree + 1, s.sub_intervals};
}
constexpr const char* body_name(int i) { return ephemeris::series[i].body; }

// Values a record needs at least to hold the 11 bodies.
inline constexpr int body_values = ephemeris::series_values;

// The record (1 to record_count) whose span starts at `start` and ends at
// `end`, or 0 when the pair is not one of the 32-day grid's.
int grid_record_number(double start, double end);

}  // namespace vkdata
