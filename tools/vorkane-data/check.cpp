// Checking a data file record by record.
#include "vorkane-data/check.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "vorkane-data/data_layout.hpp"
#include "vorkane-data/file_io.hpp"

namespace vkdata {

namespace {

constexpr size_t problems_shown = 20;
constexpr size_t runs_shown = 20;
constexpr int chunk_records = 256;

struct Findings {
    std::vector<std::pair<int, int>> present;  // runs of records not all zero
    std::vector<std::pair<int, int>> covered;  // runs of records on the grid
    std::vector<std::string> problems;
};

void add_to_runs(std::vector<std::pair<int, int>>& runs, int n) {
    if (!runs.empty() && runs.back().second == n - 1) runs.back().second = n;
    else runs.push_back({n, n});
}

std::string number_text(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

bool all_zero(const double* values) {
    static const std::array<double, values_per_record> zero{};
    // Bytes, not values: a record of negative zeros is not an absent one.
    return std::memcmp(values, zero.data(), record_bytes) == 0;  // NOLINT(bugprone-suspicious-memory-comparison)
}

void examine(const double* values, int n, Findings& found) {
    if (all_zero(values)) return;
    add_to_runs(found.present, n);
    const double start = first_date + record_days * (n - 1);
    if (grid_record_number(values[0], values[1]) != n) {
        found.problems.push_back("record " + std::to_string(n) + ": dates " +
                                 number_text(values[0]) + " to " + number_text(values[1]) +
                                 ", expected " + number_text(start) + " to " +
                                 number_text(start + record_days));
        return;
    }
    for (int i = 2; i < body_values; ++i) {
        if (!std::isfinite(values[i])) {
            found.problems.push_back("record " + std::to_string(n) + ": value " +
                                     std::to_string(i + 1) + " is not a finite number");
            return;
        }
    }
    add_to_runs(found.covered, n);
}

void print_runs(std::FILE* out, const std::vector<std::pair<int, int>>& runs) {
    if (runs.empty()) std::fprintf(out, " none");
    for (size_t i = 0; i < runs.size() && i < runs_shown; ++i) {
        std::fprintf(out, "%s%d", i ? ", " : " ", runs[i].first);
        if (runs[i].second != runs[i].first) std::fprintf(out, "-%d", runs[i].second);
    }
    if (runs.size() > runs_shown) std::fprintf(out, ", ... (%zu runs)", runs.size());
    std::fprintf(out, "\n");
}

void print_covered(std::FILE* out, const std::vector<std::pair<int, int>>& runs) {
    std::fprintf(out, "dates covered:");
    if (runs.empty()) std::fprintf(out, " none");
    for (size_t i = 0; i < runs.size() && i < runs_shown; ++i) {
        std::fprintf(out, "%s JD %.1f to %.1f", i ? "," : "",
                     first_date + record_days * (runs[i].first - 1),
                     first_date + record_days * runs[i].second);
    }
    if (runs.size() > runs_shown) std::fprintf(out, ", ...");
    std::fprintf(out, "\n");
}

}  // namespace

bool check_data_file(const std::string& file, std::FILE* out) {
    const InputFile in(file);
    const int64_t whole = in.size() / record_bytes;
    const int64_t partial = in.size() % record_bytes;
    Findings found;
    std::vector<double> chunk(static_cast<size_t>(chunk_records) * values_per_record);
    // Records past the program's last are not read: the length says enough.
    const int64_t examined = std::min<int64_t>(whole, record_count);
    for (int64_t first = 0; first < examined; first += chunk_records) {
        const int64_t count = std::min<int64_t>(chunk_records, examined - first);
        in.read_at(first * record_bytes, chunk.data(), count * record_bytes);
        for (int64_t k = 0; k < count; ++k) {
            examine(chunk.data() + k * values_per_record, static_cast<int>(first + k + 1), found);
        }
    }
    if (whole != record_count || partial != 0) {
        found.problems.insert(found.problems.begin(),
                              "length: " + std::to_string(in.size()) + " bytes, expected " +
                                  std::to_string(file_bytes) + " (12556 records)");
    }
    if (found.present.empty()) found.problems.push_back("no record holds data");
    std::fprintf(out, "%s: %lld bytes, %lld records of %d bytes", file.c_str(),
                 static_cast<long long>(in.size()), static_cast<long long>(whole), record_bytes);
    if (partial != 0) std::fprintf(out, " and %lld bytes of a partial record", static_cast<long long>(partial));
    int present = 0;
    for (const auto& run : found.present) present += run.second - run.first + 1;
    std::fprintf(out, "\nrecords present: %d of %lld:", present, static_cast<long long>(examined));
    print_runs(out, found.present);
    print_covered(out, found.covered);
    for (size_t i = 0; i < found.problems.size() && i < problems_shown; ++i) {
        std::fprintf(out, "problem: %s\n", found.problems[i].c_str());
    }
    if (found.problems.size() > problems_shown) {
        std::fprintf(out, "problem: ... and %zu more\n", found.problems.size() - problems_shown);
    }
    std::fprintf(out, found.problems.empty() ? "well-formed\n" : "not well-formed\n");
    return found.problems.empty();
}

}  // namespace vkdata
