// Direct-access record reads: record n is the record length of bytes at
// (n - 1) * record length. A record the file does not hold in full is refused
// like one beyond the end, so no value is ever left undefined.
#include <cerrno>
#include <cstdint>

#include "diagnostics/error_codes.hpp"
#include "diagnostics/report.hpp"
#include "fileio/unit_table.hpp"
#include "platform/files.hpp"

namespace vkrt {

namespace {

[[noreturn]] void no_such_record(const Locus& where) {
    runtime_error(where, LIBERROR_BAD_OPTION, "Non-existing record number");
}

// The file's size. The first record read follows its connection at once and
// takes the size learned then; later reads ask the system again.
int64_t current_size(Unit& unit) {
    const int64_t known = unit.size_at_connection;
    unit.size_at_connection = -1;
    return known >= 0 ? known : os::file_size(unit.fd);
}

}  // namespace

void read_record(const Locus& where, int32_t record, void* destination) {
    Unit& unit = connected_unit(where);
    if (unit.direction == Direction::write_only) {
        runtime_error(where, LIBERROR_BAD_ACTION, "Cannot read from file opened for WRITE");
    }
    if (record < 1) runtime_error(where, LIBERROR_BAD_OPTION, "Record number must be positive");

    const size_t length = static_cast<size_t>(unit.record_length);
    const int64_t offset = static_cast<int64_t>(record - 1) * unit.record_length;
    const int64_t size = current_size(unit);
    if (size < 0) runtime_error(where, LIBERROR_OS, nullptr);
    if (offset >= size || size - offset < static_cast<int64_t>(length)) no_such_record(where);
    const int64_t got = os::read_fully_at(unit.fd, static_cast<char*>(destination), length, offset);
    if (got < 0) runtime_error(where, LIBERROR_OS, nullptr);
    if (static_cast<size_t>(got) < length) no_such_record(where);
}

}  // namespace vkrt
