// Sequential formatted writing: records collect in the unit's buffer; at the
// end of each statement a connection that is not at the end of the file cuts
// the file just after what was written, replacing older content.
#include <cerrno>
#include <cstring>

#include "diagnostics/error_codes.hpp"
#include "diagnostics/report.hpp"
#include "fileio/unit_table.hpp"
#include "platform/files.hpp"

namespace vkrt {

namespace {

// The position of the connection: where the descriptor stands, which only
// the unit's own reads and writes move (a connection starts at the start of
// the file), and what the buffer still holds.
int64_t written_position(const Unit& unit) {
    return unit.offset + static_cast<int64_t>(unit.fill);
}

void flush_or_report(Unit& unit) {
    if (!flush_unit(unit)) runtime_error(unit.last_statement, LIBERROR_OS, nullptr);
}

}  // namespace

Unit& begin_write(const Locus& where) {
    Unit& unit = connected_unit(where);
    if (unit.direction == Direction::read_only) {
        runtime_error(where, LIBERROR_BAD_ACTION, "Cannot write to file opened for READ");
    }
    if (unit.fifo_pending) settle_fifo_direction(unit, Direction::write_only, where);
    unit.wrote = true;
    return unit;
}

void put_bytes(Unit& unit, const char* bytes, size_t n) {
    while (n > 0) {
        if (unit.fill == unit.capacity) flush_or_report(unit);
        const size_t room = unit.capacity - unit.fill;
        const size_t chunk = n < room ? n : room;
        std::memcpy(unit.buffer + unit.fill, bytes, chunk);
        unit.fill += chunk;
        bytes += chunk;
        n -= chunk;
    }
}

void end_write(Unit& unit) {
    if (unit.at_end_of_file) return;
    flush_or_report(unit);
    if (!os::truncate_file(unit.fd, written_position(unit))) {
        runtime_error(unit.last_statement, LIBERROR_OS, nullptr);
    }
    unit.at_end_of_file = true;
}

}  // namespace vkrt
