// libFuzzer target for the data-file record reader and the state routine.
// Each input is the whole data file 15502650.440, written into a scratch
// directory that is the process's working directory. Dates come from the
// file itself: each held record's start and end dates, their midpoint and a
// point of the record's 32-day window chosen by its last byte.
//
// A failure of the program ends the process (stop text, run-time error
// report), which libFuzzer would take for a crash, so a date is used only
// when the program will accept it: in range, its record held in full by the
// file, and that record's dates bracketing it. Within that, everything the
// file holds is arbitrary: NaNs, infinities, denormals, dates off the grid.
// For each date the routine runs with velocities, then again without (from
// the record now held), and the positions of both runs must agree bit for
// bit while the velocities of the second are all zero.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "ephemeris/constants.hpp"
#include "ephemeris/record_cache.hpp"
#include "ephemeris/truncate.hpp"
#include "ephemeris/vorkane.hpp"
#include "scratch_dir.hpp"

namespace {

using ephemeris::record_bytes;

constexpr char data_file[] = "15502650.440";

void write_data_file(const uint8_t* data, size_t size) {
    // Rewritten in place: the program keeps its one connection to the file.
    const int fd = ::open(data_file, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) std::abort();
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n <= 0) std::abort();
        done += static_cast<size_t>(n);
    }
    ::close(fd);
}

double value_at(const uint8_t* data, size_t offset) {
    double value;
    std::memcpy(&value, data + offset, sizeof value);
    return value;
}

// The record the program reads for `date`, as it computes it.
int32_t record_for(long double date) {
    return ephemeris::truncate_to_int32((date - ephemeris::tmin) / ephemeris::record_span +
                                        ephemeris::one);
}

// True when the program accepts `date` with this file: no stop, no error.
bool accepted(long double date, const uint8_t* data, size_t records) {
    if (!(date >= ephemeris::tmin && date <= ephemeris::tmax)) return false;
    const int32_t nr = record_for(date);
    if (nr < 1 || static_cast<size_t>(nr) > records) return false;
    const size_t at = static_cast<size_t>(nr - 1) * record_bytes;
    return !(date < value_at(data, at) || date > value_at(data, at + 8));
}

bool same_bits(const long double& a, const long double& b) { return std::memcmp(&a, &b, 10) == 0; }

void evaluate(long double date) {
    long double with_velocities[66];
    long double positions_only[66];
    const int32_t on = 1, off = 0;
    vorkane(date, on, with_velocities);
    std::memset(positions_only, 0x5a, sizeof positions_only);
    vorkane(date, off, positions_only);
    for (int body = 0; body < 11; ++body) {
        for (int n = 0; n < 3; ++n) {
            const int p = 6 * body + n;
            if (!same_bits(with_velocities[p], positions_only[p])) std::abort();
            if (!same_bits(positions_only[p + 3], 0.0L)) std::abort();
        }
    }
}

void try_date(long double date, const uint8_t* data, size_t records) {
    if (!accepted(date, data, records)) return;
    ephemeris::nrc = -1;  // the file changed since the last input
    evaluate(date);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    write_data_file(data, size);
    const size_t records = size / record_bytes;
    for (size_t k = 0; k < records && k < 4; ++k) {
        const size_t at = k * record_bytes;
        const long double start = value_at(data, at);
        const long double end = value_at(data, at + 8);
        const long double window = ephemeris::tmin + ephemeris::record_span * k;
        const long double share = data[at + record_bytes - 1] / 256.0L;
        try_date(start, data, records);
        try_date(end, data, records);
        try_date((start + end) / 2, data, records);
        try_date(window + ephemeris::record_span * share, data, records);
    }
    return 0;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz_support::enter_scratch_dir(argc, argv, "vorkane-record-fuzz");
    return 0;
}
