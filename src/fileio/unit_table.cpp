#include "fileio/unit_table.hpp"

#include <cerrno>
#include <cstdlib>
#include <unistd.h>

#include "diagnostics/error_codes.hpp"
#include "diagnostics/report.hpp"
#include "platform/run_data.hpp"

namespace vkrt {

namespace {

constexpr int max_units = 8;

Unit units[max_units];
// Buffers are static so that connecting allocates nothing. A direct unit
// never uses its buffer: a record is read in one transfer straight into the
// caller's array, and a larger buffer would only add a copy and read ahead
// what is not needed.
VKRT_RUN_DATA(units) char buffers[max_units][formatted_buffer_size];

const char* unit_file_name(int number) {
    const Unit* unit = find_unit(number);
    return unit != nullptr ? unit->name : nullptr;
}

// The table registers itself with the reporting code and the exit path the
// first time a unit is connected.
void register_once() {
    VKRT_RUN_DATA(units) static bool registered = false;
    if (registered) return;
    registered = true;
    set_unit_file_name_lookup(unit_file_name);
    std::atexit(close_all_units);
}

}  // namespace

Unit* find_unit(int number) {
    for (Unit& unit : units) {
        if (unit.number == number && number != 0) return &unit;
    }
    return nullptr;
}

Unit* new_unit(int number) {
    register_once();
    for (int i = 0; i < max_units; ++i) {
        if (units[i].number != 0) continue;
        units[i] = Unit{};
        units[i].number = number;
        units[i].buffer = buffers[i];
        units[i].capacity = formatted_buffer_size;
        return &units[i];
    }
    return nullptr;
}

Unit& connected_unit(const Locus& where) {
    Unit* unit = find_unit(where.unit);
    if (unit == nullptr) runtime_error(where, LIBERROR_BAD_UNIT, nullptr);
    unit->last_statement = where;
    return *unit;
}

Unit* unit_holding(const FileIdentity& identity, const Unit* self) {
    for (Unit& unit : units) {
        if (unit.number != 0 && &unit != self && same_file(unit.identity, identity)) return &unit;
    }
    return nullptr;
}

bool flush_unit(Unit& unit) {
    if (!unit.wrote) return true;
    size_t done = 0;
    while (done < unit.fill) {
        ssize_t n = ::write(unit.fd, unit.buffer + done, unit.fill - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            unit.fill = 0;  // what could not be written is dropped, not retried
            return false;
        }
        done += static_cast<size_t>(n);
        unit.offset += n;
    }
    unit.fill = 0;
    return true;
}

bool flush_and_close(Unit& unit) {
    if (unit.fd < 0) return true;
    bool ok = flush_unit(unit);
    int saved_errno = errno;
    if (::close(unit.fd) != 0 && ok && errno != EINTR) {
        ok = false;
        saved_errno = errno;
    }
    unit.fd = -1;
    errno = saved_errno;
    return ok;
}

void free_unit(Unit& unit) { unit = Unit{}; }

void close_all_units() {
    for (Unit& unit : units) {
        if (unit.number == 0) continue;
        // A unit that wrote nothing has nothing to write out, and a failure to
        // close it would not be reported: its descriptor is left to the end
        // of the process, which closes it all the same.
        if (!unit.wrote) {
            free_unit(unit);
            continue;
        }
        if (!flush_and_close(unit) && !report_in_progress()) {
            // Output lost at exit: the run must not end as a success.
            write_runtime_error(unit.last_statement, LIBERROR_OS, nullptr);
            for (Unit& other : units) {
                if (other.number != 0 && other.fd >= 0) ::close(other.fd);
            }
            ::_exit(2);
        }
        free_unit(unit);
    }
}

}  // namespace vkrt
