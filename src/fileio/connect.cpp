// Connecting a unit to a file by name: read and write with creation, else
// read only, else write only with creation; never truncating. A file that
// another unit already holds (a link to it, say) is refused before anything
// is transferred, so a run can never overwrite its own input or data file.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "diagnostics/error_codes.hpp"
#include "diagnostics/report.hpp"
#include "fileio/fifo.hpp"
#include "fileio/unit_table.hpp"

namespace vkrt {

namespace {

// A file must never take the place of a closed standard stream: the reports
// written to descriptor 2 would land in it. Such a descriptor is moved above
// the three, and the standard one stays closed.
int above_standard_streams(int fd) {
    if (fd < 0 || fd > 2) return fd;
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
    const int error = errno;
    ::close(fd);
    errno = error;
    return moved;
}

int open_retrying(const char* name, int flags) {
    int fd;
    do {
        fd = ::open(name, flags | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    return above_standard_streams(fd);
}

bool denied(int error) { return error == EACCES || error == EPERM; }

// A FIFO is opened for reading without waiting, its direction left to its
// first transfer; one the program may not read is opened for writing only.
int open_fifo(const char* name, Direction& direction, bool& pending) {
    direction = Direction::read_write;
    pending = true;
    const int fd = above_standard_streams(open_fifo_for_reading(name));
    if (fd >= 0 || !denied(errno)) return fd;
    direction = Direction::write_only;
    pending = false;
    return above_standard_streams(open_fifo_for_writing(name));
}

// The three attempts; on success sets the direction and returns the
// descriptor, on failure returns -1 with errno of the last attempt.
int open_by_name(const char* name, Direction& direction, bool& fifo_pending) {
    fifo_pending = false;
    if (names_a_fifo(name)) return open_fifo(name, direction, fifo_pending);
    int fd = open_retrying(name, O_RDWR | O_CREAT);
    direction = Direction::read_write;
    if (fd >= 0 || !(denied(errno) || errno == EROFS)) return fd;
    fd = open_retrying(name, O_RDONLY);
    direction = Direction::read_only;
    if (fd >= 0 || !(denied(errno) || errno == ENOENT)) return fd;
    direction = Direction::write_only;
    return open_retrying(name, O_WRONLY | O_CREAT);
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
    bool fifo_pending;
    const int fd = open_by_name(name, direction, fifo_pending);
    if (fd < 0) cannot_open(where, name);
    OpenFileFacts facts;
    const bool known = query_open_file(fd, facts);
    if (known && unit_holding(facts.identity, nullptr) != nullptr) {
        ::close(fd);
        runtime_error(where, LIBERROR_ALREADY_OPEN, nullptr);
    }
    Unit* unit = new_unit(where.unit, access);
    if (unit == nullptr) {
        errno = EMFILE;
        cannot_open(where, name);
    }
    unit->fd = fd;
    unit->name = name;
    unit->identity = facts.identity;
    unit->fifo_pending = fifo_pending;
    unit->form = form;
    unit->direction = direction;
    unit->record_length = record_length;
    unit->last_statement = where;
    unit->at_end_of_file = access == Access::sequential && known && facts.size == 0;
}

void settle_fifo_direction(Unit& unit, Direction direction, const Locus& where) {
    unit.fifo_pending = false;
    if (direction == Direction::read_only) {
        if (!await_fifo_writer(unit.fd)) runtime_error(where, LIBERROR_OS, nullptr);
    } else {
        const int fd = above_standard_streams(open_fifo_for_writing(unit.name));
        if (fd < 0) cannot_open(where, unit.name);
        ::close(unit.fd);
        unit.fd = fd;
    }
    unit.direction = direction;
}

}  // namespace vkrt
