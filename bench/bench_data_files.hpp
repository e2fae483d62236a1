// The data files the state-routine benchmarks read: a full-length sparse file
// in the program's layout, in a fresh directory made the current one, with
// `filled` records on the 32-day grid from record `first_filled` and
// coefficients of ephemeris size. The yardstick routine reads its own copy:
// two units may not hold one file.
#pragma once

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>

#include "ephemeris/file_layout.hpp"

namespace bench {

constexpr int values = ephemeris::record_values;
constexpr int64_t record_bytes = ephemeris::record_bytes;
constexpr int64_t records = ephemeris::record_count;
constexpr double first_date = ephemeris::first_date;
constexpr double record_days = ephemeris::record_days;
constexpr int first_filled = 5000;
constexpr int filled = 64;
constexpr const char* program_file = "15502650.440";
constexpr const char* yardstick_file = "yardstick.440";

inline void write_data_file(const char* name) {
    const int fd = open(name, O_RDWR | O_CREAT | O_TRUNC, 0666);
    if (fd < 0 || ftruncate(fd, records * record_bytes) != 0) abort();
    uint64_t seed = 12345;
    for (int n = first_filled; n < first_filled + filled; ++n) {
        double record[values];
        record[0] = first_date + record_days * (n - 1);
        record[1] = record[0] + record_days;
        for (int i = 2; i < values; ++i) {
            seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
            record[i] = static_cast<double>(seed >> 11) / 9007199254740992.0 * 2.0e6 - 1.0e6;
        }
        if (pwrite(fd, record, sizeof record, (n - 1) * record_bytes) != sizeof record) abort();
    }
    close(fd);
}

inline void make_data_files(const char* directory_template) {
    static char dir[64];
    int i = 0;
    for (; directory_template[i] != '\0' && i < 63; ++i) dir[i] = directory_template[i];
    dir[i] = '\0';
    if (mkdtemp(dir) == nullptr || chdir(dir) != 0) abort();
    write_data_file(program_file);
    write_data_file(yardstick_file);
}

}  // namespace bench
