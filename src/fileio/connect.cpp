// Connecting a unit to a file by name: read and write with creation, else
// read only, else write only with creation; never truncating.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "diagnostics/error_codes.hpp"
#include "diagnostics/report.hpp"
#include "fileio/unit_table.hpp"
#include "platform/files.hpp"

namespace vkrt {

namespace {

bool denied(int error) { return error == EACCES || error == EPERM; }

// The three attempts; on success sets the direction and returns the
// descriptor, on failure returns -1 with errno of the last attempt.
int open_by_name(const char* name, Direction& direction) {
    // A file never takes the place of a closed standard stream (the layer
    // below sees to it): the reports written to descriptor 2 would land in it.
    int fd = os::open_file(name, os::OpenMode::read_write_create);
    direction = Direction::read_write;
    if (fd >= 0 || !(denied(errno) || errno == EROFS)) return fd;
    fd = os::open_file(name, os::OpenMode::read_only);
    direction = Direction::read_only;
    if (fd >= 0 || !(denied(errno) || errno == ENOENT)) return fd;
    direction = Direction::write_only;
    return os::open_file(name, os::OpenMode::write_only_create);
}

[[noreturn]] void cannot_open(const Locus& where, const char* name) {
    static char message[4352];
    std::snprintf(message, sizeof message, "Cannot open file '%s': %s", name,
                  std::strerror(errno));
    runtime_error(where, LIBERROR_OS, message);
}

}  // namespace

void open_unit(const Locus& where, const char* name, Access access, Form form,
               int32_t record_length) {
    if (find_unit(where.unit) != nullptr) {
        runtime_error(where, LIBERROR_ALREADY_OPEN, nullptr);
    }
    Direction direction;
    const int fd = open_by_name(name, direction);
    if (fd < 0) cannot_open(where, name);
    Unit* unit = new_unit(where.unit, access);
    if (unit == nullptr) {
        errno = EMFILE;
        cannot_open(where, name);
    }
    unit->fd = fd;
    unit->name = name;
    unit->form = form;
    unit->direction = direction;
    unit->record_length = record_length;
    unit->last_statement = where;
    unit->at_end_of_file = access == Access::sequential && os::file_size(fd) == 0;
}

}  // namespace vkrt
