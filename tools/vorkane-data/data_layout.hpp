// The program's data file and the DE440 record layout it relies on: record
// size, grid of 32-day records, and the 11 bodies' coefficient blocks.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vkdata {

inline constexpr int values_per_record = 1138;
inline constexpr int record_bytes = values_per_record * 8;  // 9104
inline constexpr int record_count = 12556;
inline constexpr int64_t file_bytes = int64_t{record_count} * record_bytes;
inline constexpr double first_date = 2287184.5;  // start of record 1
inline constexpr double record_days = 32.0;
inline constexpr double last_date = first_date + record_count * record_days;  // 2688976.5

// One coefficient block of a DE record: 1-based start index, coefficients
// per component and sub-intervals per record (a row of the DE layout table).
struct Block {
    int start;
    int coefficients;
    int subintervals;
};

inline constexpr int body_count = 11;

// Mercury, Venus, Earth-Moon barycentre, Mars, Jupiter, Saturn, Uranus,
// Neptune, Pluto, Moon (geocentric), Sun: the blocks the program evaluates,
// three components each, values 3 to 818 of a record.
inline constexpr Block body_blocks[body_count] = {
    {3, 14, 4},  {171, 10, 2}, {231, 13, 2}, {309, 11, 1}, {342, 8, 1},  {366, 7, 1},
    {387, 6, 1}, {405, 6, 1},  {423, 6, 1},  {441, 13, 8}, {753, 11, 2},
};

inline constexpr const char* body_names[body_count] = {
    "Mercury", "Venus", "Earth-Moon barycentre", "Mars", "Jupiter", "Saturn",
    "Uranus",  "Neptune", "Pluto", "Moon", "Sun",
};

// Values a record needs at least to hold the 11 bodies.
inline constexpr int body_values = 818;

// The record (1 to record_count) whose span starts at `start` and ends at
// `end`, or 0 when the pair is not one of the 32-day grid's.
int grid_record_number(double start, double end);

}  // namespace vkdata
