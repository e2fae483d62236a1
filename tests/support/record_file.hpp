// Synthetic data files in the program's record layout: 9104-byte records of
// 1138 little-endian binary64 values, record n at byte (n - 1) * 9104. Files
// are written sparse: only the chosen records take space on disk.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "ephemeris/file_layout.hpp"

namespace testing_support {

inline constexpr int values_per_record = ephemeris::record_values;
inline constexpr int record_bytes = ephemeris::record_bytes;
inline constexpr int full_record_count = ephemeris::record_count;
inline constexpr double first_date = ephemeris::first_date;
inline constexpr double record_days = ephemeris::record_days;

using Record = std::array<double, values_per_record>;

// Record n on the 32-day grid: start and end dates set, coefficients zero.
Record grid_record(int n);

class RecordFile {
public:
    // Creates (or truncates) the file with `records` zero records.
    RecordFile(const std::string& path, int64_t records = full_record_count);
    // Writes record n (1-based).
    void put(int n, const Record& record);
    // Sets the file length in bytes (to make partial records).
    void resize(int64_t bytes);

private:
    std::string path_;
};

}  // namespace testing_support
