// Connecting a unit to a file by name: read and write with creation, else
// read only, else write only with creation; never truncating. A file that
// another unit already holds (a link to it, say) is refused before anything
// is transferred, so a run can never overwrite its own input or data file.
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

// A FIFO is opened for reading without waiting, its direction left to its
// first transfer; one the program may not read is opened for writing only.
int open_fifo(const char* name, Direction& direction, bool& pending) {
    direction = Direction::read_write;
    pending = true;
    const int fd = os::open_fifo_for_reading(name);
    if (fd >= 0 || !denied(errno)) return fd;
    direction = Direction::write_only;
    pending = false;
    return os::open_fifo_for_writing(name);
}

// The three attempts; on success sets the direction and returns the
// descriptor, on failure returns -1 with errno of the last attempt.
int open_by_name(const char* name, Direction& direction, bool& fifo_pending) {
    fifo_pending = false;
    if (os::names_a_fifo(name)) return open_fifo(name, direction, fifo_pending);
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

void open_unit(const Locus& where, const char* name, Access access, int32_t record_length) {
    if (find_unit(where.unit) != nullptr) {
        runtime_error(where, LIBERROR_ALREADY_OPEN, nullptr);
    }
    Direction direction;
    bool fifo_pending;
    const int fd = open_by_name(name, direction, fifo_pending);
    if (fd < 0) cannot_open(where, name);
    OpenFileFacts facts;
    const bool known = query_open_file(fd, facts);
    if (known && unit_holding(facts.identity, nullptr) != nullptr) {
        os::close_file(fd);
        runtime_error(where, LIBERROR_ALREADY_OPEN, nullptr);
    }
    Unit* unit = new_unit(where.unit);
    if (unit == nullptr) {
        errno = EMFILE;
        cannot_open(where, name);
    }
    unit->fd = fd;
    unit->name = name;
    unit->identity = facts.identity;
    unit->fifo_pending = fifo_pending;
    unit->direction = direction;
    unit->record_length = record_length;
    if (known) unit->size_at_connection = facts.size;
    unit->last_statement = where;
    unit->at_end_of_file = access == Access::sequential && known && facts.size == 0;
}

void settle_fifo_direction(Unit& unit, Direction direction, const Locus& where) {
    unit.fifo_pending = false;
    if (direction == Direction::read_only) {
        if (!os::await_fifo_writer(unit.fd)) runtime_error(where, LIBERROR_OS, nullptr);
    } else {
        // The reading descriptor goes first: still open, it would be the
        // reader that the open for writing waits for, and the records could
        // then be written while the FIFO has no reader at all.
        os::close_file(unit.fd);
        unit.fd = -1;
        const int fd = os::open_fifo_for_writing(unit.name);
        if (fd < 0) cannot_open(where, unit.name);
        unit.fd = fd;
    }
    unit.direction = direction;
}

}  // namespace vkrt
