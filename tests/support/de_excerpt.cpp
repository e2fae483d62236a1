#include "support/de_excerpt.hpp"

#include <cmath>
#include <cstring>
#include <stdexcept>

#include "support/record_file.hpp"
#include "support/run_program.hpp"
#include "support/scratch_dir.hpp"

namespace testing_support {

namespace {

constexpr size_t de_values = 1018;
constexpr size_t de_record_bytes = de_values * 8;

void place_records(const std::string& excerpt, RecordFile& out) {
    const std::string bytes = read_file(excerpt);
    if (bytes.size() % de_record_bytes != 0) throw std::runtime_error("odd excerpt size");
    // Two header records, then data records.
    for (size_t at = 2 * de_record_bytes; at < bytes.size(); at += de_record_bytes) {
        Record record{};
        std::memcpy(record.data(), bytes.data() + at, de_record_bytes);
        const double n = (record[0] - first_date) / 32.0 + 1.0;
        if (n != std::floor(n) || n < 1 || n > full_record_count) {
            throw std::runtime_error("excerpt record off the grid");
        }
        out.put(static_cast<int>(n), record);
    }
}

}  // namespace

bool write_data_file_from_excerpts(const std::string& path) {
    const std::string shared = shared_data_dir();
    if (shared.empty()) return false;
    RecordFile out(path);
    place_records(shared + "/de440-excerpt/p1999-2000.440", out);
    place_records(shared + "/de440-excerpt/p2007.440", out);
    return true;
}

}  // namespace testing_support
