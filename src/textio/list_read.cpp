// The free-form read statement: checks the unit, scans its first item from
// the unit's bytes, stores a value that was read, and ends the run with a
// run-time error report at the statement when the scan failed.
#include "textio/list_read.hpp"

#include "diagnostics/report.hpp"
#include "fileio/units.hpp"
#include "textio/extended_format.hpp"
#include "textio/list_scan.hpp"

namespace vkrt {

namespace {

int take_from_unit(void* unit) { return take_byte(*static_cast<Unit*>(unit)); }

}  // namespace

void read_real_list(const Locus& where, long double& destination) {
    Unit& unit = begin_read(where);
    ListScanResult result;
    scan_real_list({take_from_unit, &unit}, result);
    switch (result.outcome) {
    case ListScanOutcome::value:
        store_extended(result.value, destination);
        break;
    case ListScanOutcome::null_value:
        break;
    case ListScanOutcome::failed:
        runtime_error(where, result.code, result.message[0] != '\0' ? result.message : nullptr);
    }
}

}  // namespace vkrt
