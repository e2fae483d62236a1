// Sequential formatted reading through the unit's buffer.
#include <cerrno>
#include <unistd.h>

#include "diagnostics/error_codes.hpp"
#include "diagnostics/report.hpp"
#include "fileio/unit_table.hpp"

namespace vkrt {

Unit& begin_read(const Locus& where) {
    Unit& unit = connected_unit(where);
    if (unit.direction == Direction::write_only) {
        runtime_error(where, LIBERROR_BAD_ACTION, "Cannot read from file opened for WRITE");
    }
    if (unit.fifo_pending) settle_fifo_direction(unit, Direction::read_only, where);
    return unit;
}

int take_byte(Unit& unit) {
    if (unit.consumed == unit.fill) {
        if (unit.read_exhausted) return -1;
        ssize_t got;
        do {
            got = ::read(unit.fd, unit.buffer, unit.capacity);
        } while (got < 0 && errno == EINTR);
        if (got <= 0) {
            // A failed read is seen as the end of the file.
            unit.read_exhausted = true;
            unit.consumed = unit.fill = 0;
            return -1;
        }
        unit.offset += got;
        unit.fill = static_cast<size_t>(got);
        unit.consumed = 0;
    }
    return static_cast<unsigned char>(unit.buffer[unit.consumed++]);
}

}  // namespace vkrt
