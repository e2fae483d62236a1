// The temporary data file: creation, placement with overlap checks, and the
// final replacement of the output. An interruption that ends the tool midway
// removes the temporary (temp_file).
#include "vorkane-data/data_file_writer.hpp"

#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/files.hpp"
#include "vorkane-data/data_error.hpp"
#include "vorkane-data/data_layout.hpp"
#include "vorkane-data/file_io.hpp"
#include "vorkane-data/temp_file.hpp"

namespace vkdata {

namespace {

using Record = std::array<double, values_per_record>;

std::string date_text(double date) {
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", date);
    return text;
}

// The file an output path stands for: a symbolic link is followed to its
// target, which is replaced while the link stays. Anything but a regular
// file or no file at all (a FIFO, a device, a directory) is refused.
std::string replaced_file(const std::string& output) {
    char target[4096 * 4];
    if (!vkrt::os::link_target(output.c_str(), target, sizeof target)) {
        throw_system_error("Cannot follow the link '" + output + "'");
    }
    const vkrt::os::NameKind kind = vkrt::os::name_kind(target);
    if (kind != vkrt::os::NameKind::none && kind != vkrt::os::NameKind::regular) {
        throw DataError("'" + output + "' is not a regular file; left as it was");
    }
    return target;
}

// Puts the finished file in place: over the target, or only where no file
// is, so that one appearing meanwhile is never replaced.
bool publish(const std::string& temp, const std::string& target, bool replace) {
    if (replace) return vkrt::os::replace_file(temp.c_str(), target.c_str());
    return vkrt::os::place_new_file(temp.c_str(), target.c_str());
}

}  // namespace

DataFileWriter::DataFileWriter(const std::string& output, Replace replace)
    : output_(replace == Replace::existing ? replaced_file(output) : output),
      replace_(replace), placed_by_(record_count + 1) {
    std::string pattern = output_ + ".tmp-XXXXXX";
    fd_ = create_watched_temp(pattern);
    if (fd_ < 0) throw_system_error("Cannot create a temporary file next to '" + output_ + "'");
    temp_ = pattern;
    if (!vkrt::os::truncate_file(fd_, file_bytes)) {
        const int size_error = errno;
        abandon();  // the destructor does not run for a throwing constructor
        errno = size_error;
        throw_system_error("Cannot size '" + temp_ + "'");
    }
}

DataFileWriter::~DataFileWriter() { abandon(); }

void DataFileWriter::abandon() {
    if (fd_ >= 0) vkrt::os::close_file(fd_);
    fd_ = -1;
    if (!committed_) std::remove(temp_.c_str());
    unwatch_temp();
}

int DataFileWriter::place(const double* values, int count, const std::string& source) {
    Record record{};
    std::memcpy(record.data(), values, static_cast<size_t>(count) * sizeof(double));
    for (int i = 2; i < count; ++i) {
        if (!std::isfinite(record[i])) {
            throw DataError(source + ": value " + std::to_string(i + 1) + " is not a finite number");
        }
    }
    const int n = grid_record_number(record[0], record[1]);
    if (n == 0) {
        throw DataError(source + ": dates " + date_text(record[0]) + " to " + date_text(record[1]) +
                        " are not a 32-day record of the grid from 2287184.5 to 2688976.5");
    }
    const int64_t offset = int64_t{n - 1} * record_bytes;
    if (!placed_by_[n].empty()) {
        Record earlier;
        if (vkrt::os::read_at(fd_, earlier.data(), record_bytes, offset) != record_bytes) {
            throw_system_error("Cannot read back '" + temp_ + "'");
        }
        // Overlapping inputs must agree byte for byte, NaN payloads included.
        if (std::memcmp(earlier.data(), record.data(), record_bytes) != 0) {  // NOLINT(bugprone-suspicious-memory-comparison)
            throw DataError(source + ": record " + std::to_string(n) + " (JD " +
                            date_text(record[0]) + ") differs from the same record in " +
                            placed_by_[n]);
        }
        return n;
    }
    write_at(fd_, temp_, offset, record.data(), record_bytes);
    placed_by_[n] = source;
    ++present_;
    return n;
}

void DataFileWriter::commit() {
    if (!give_output_mode(fd_, output_)) throw_system_error("Cannot set the mode of '" + temp_ + "'");
    if (!vkrt::os::sync_file(fd_)) throw_system_error("Cannot write '" + temp_ + "'");
    const bool closed = vkrt::os::close_file(fd_);
    fd_ = -1;
    if (!closed) throw_system_error("Cannot write '" + temp_ + "'");
    if (!publish(temp_, output_, replace_ == Replace::existing)) {
        if (errno == EEXIST) throw DataError("'" + output_ + "' appeared meanwhile; left as it was");
        throw_system_error("Cannot rename '" + temp_ + "' to '" + output_ + "'");
    }
    committed_ = true;
}

std::vector<std::pair<int, int>> DataFileWriter::present_runs() const {
    std::vector<std::pair<int, int>> runs;
    for (int n = 1; n <= record_count; ++n) {
        if (placed_by_[n].empty()) continue;
        if (!runs.empty() && runs.back().second == n - 1) runs.back().second = n;
        else runs.push_back({n, n});
    }
    return runs;
}

}  // namespace vkdata
