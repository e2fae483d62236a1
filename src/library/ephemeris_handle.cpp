// The library's handles: one open data file, its own record cache and its
// own polynomial arrays each, evaluated by the program's own evaluation.
// Where the program would end its run, a status is returned instead.
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "ephemeris/constants.hpp"
#include "ephemeris/record_choice.hpp"
#include "ephemeris/state_evaluation.hpp"
#include "library/data_file.hpp"
#include "library/x87_settings.hpp"
#include "vorkane.h"

struct vorkane_ephemeris {
    int fd;
    int32_t nrc;  // number of the record held in record; -1 when none
    double record[ephemeris::record_values + 1];  // record[1] is the start date
    long double tc[16];
    long double tcp[16];
};

namespace {

using vorkane_library::RecordRead;

// Makes the handle's record the one covering `date`, which is in range.
int hold_record(vorkane_ephemeris& eph, const long double& date) {
    const int32_t nr = ephemeris::record_number(date);
    if (nr == eph.nrc) return VORKANE_OK;
    // Until a read succeeds and brackets the date, no record counts as held.
    eph.nrc = -1;
    switch (vorkane_library::read_data_record(eph.fd, nr, ephemeris::record_bytes, &eph.record[1])) {
    case RecordRead::missing:
        return VORKANE_RECORD_MISSING;
    case RecordRead::failed:
        return VORKANE_READ_FAILED;
    case RecordRead::done:
        break;
    }
    if (!ephemeris::brackets(eph.record, date)) return VORKANE_RECORD_NOT_BRACKETING;
    eph.nrc = nr;
    return VORKANE_OK;
}

}  // namespace

extern "C" {

int vorkane_open(const char* path, vorkane_ephemeris** eph) {
    *eph = nullptr;
    if (path == nullptr) return EINVAL;
    // A plain struct: zeroed memory is its initial state.
    auto* handle = static_cast<vorkane_ephemeris*>(std::calloc(1, sizeof(vorkane_ephemeris)));
    if (handle == nullptr) return ENOMEM;
    const int error = vorkane_library::open_data_file(path, &handle->fd);
    if (error != 0) {
        std::free(handle);
        return error;
    }
    handle->nrc = -1;
    *eph = handle;
    return 0;
}

void vorkane_close(vorkane_ephemeris* eph) {
    if (eph == nullptr) return;
    vorkane_library::close_data_file(eph->fd);
    std::free(eph);
}

int vorkane_state(vorkane_ephemeris* eph, long double date, long double state[66]) {
    const vorkane_library::ExtendedPrecisionScope precision;
    // A NaN passes the program's ordered range tests; here it is refused too.
    if (ephemeris::outside_range(date) || std::isnan(date)) return VORKANE_DATE_OUT_OF_RANGE;
    const int status = hold_record(*eph, date);
    if (status != VORKANE_OK) return status;
    ephemeris::evaluate_state(eph->record, {eph->tc, eph->tcp}, date, 1, state);
    return VORKANE_OK;
}

const char* vorkane_status_text(int status) {
    switch (status) {
    case VORKANE_OK:
        return "OK";
    case VORKANE_DATE_OUT_OF_RANGE:
        return "Date out of fund de440 (1549.12.21 - 2650.01.25)";
    case VORKANE_RECORD_NOT_BRACKETING:
        return "incorrect record was read from fund";
    case VORKANE_RECORD_MISSING:
        return "Non-existing record number";
    case VORKANE_READ_FAILED:
        return "Read of the data file failed";
    default:
        return "Unknown status";
    }
}

}  // extern "C"
