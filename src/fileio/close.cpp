// Closing a unit at its close statement, keeping the file.
#include "diagnostics/error_codes.hpp"
#include "diagnostics/report.hpp"
#include "fileio/unit_table.hpp"

namespace vkrt {

void close_unit(const Locus& where) {
    Unit* unit = find_unit(where.unit);
    if (unit == nullptr) return;
    unit->last_statement = where;
    if (!flush_and_close(*unit) && unit->wrote) {
        // Buffered records that never reached the file: not a success.
        runtime_error(where, LIBERROR_OS, nullptr);
    }
    free_unit(*unit);
}

}  // namespace vkrt
