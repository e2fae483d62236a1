#include "support/record_file.hpp"

#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace testing_support {

Record grid_record(int n) {
    Record record{};
    record[0] = first_date + record_days * (n - 1);
    record[1] = record[0] + record_days;
    return record;
}

RecordFile::RecordFile(const std::string& path, int64_t records) : path_(path) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) throw std::runtime_error("cannot create " + path);
    int rc = ::ftruncate(fd, records * record_bytes);
    ::close(fd);
    if (rc != 0) throw std::runtime_error("cannot size " + path);
}

void RecordFile::put(int n, const Record& record) {
    int fd = ::open(path_.c_str(), O_WRONLY);
    if (fd < 0) throw std::runtime_error("cannot open " + path_);
    // The machine is little-endian, as the file is.
    ssize_t done = ::pwrite(fd, record.data(), record_bytes, static_cast<off_t>(n - 1) * record_bytes);
    ::close(fd);
    if (done != record_bytes) throw std::runtime_error("cannot write record");
}

void RecordFile::resize(int64_t bytes) {
    if (::truncate(path_.c_str(), bytes) != 0) throw std::runtime_error("cannot resize " + path_);
}

}  // namespace testing_support
