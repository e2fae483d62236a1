// The record cache: range check, the one connection of the data file, and
// the choice, read and bracket check of the record covering a date.
#include "ephemeris/record_cache.hpp"

#include "diagnostics/report.hpp"
#include "ephemeris/record_choice.hpp"
#include "fileio/units.hpp"
#include "platform/run_data.hpp"

namespace ephemeris {

VKRT_RUN_DATA(record) double buf[record_values + 1] = {};
int32_t nrc = -1;
VKRT_RUN_DATA(record) int32_t iop = 0;

namespace {

constexpr const char* source = "vorkane";
constexpr char data_file[] = "15502650.440";
constexpr char out_of_range[] = "Date out of fund de440 (1549.12.21 - 2650.01.25)";
constexpr char bad_record[] = "incorrect record was read from fund";

[[noreturn]] void stop(const char* text, size_t length) {
    vkrt::stop_with_text(text, length, false);
}

void check_range(const long double& date) {
    if (outside_range(date)) stop(out_of_range, sizeof out_of_range - 1);
}

void connect_once() {
    if (iop != 0) return;
    vkrt::open_unit({source, 29, data_unit}, data_file, vkrt::Access::direct, record_bytes);
    iop = 1;
}

// Every value is widened to an extended real once as it arrives, so that the
// floating-point flags this raises (denormal operand, invalid operation for
// a signalling NaN) stand from then on, whichever values are used later.
// The flags come from the load itself; the widened value is dropped from
// the register stack rather than stored.
void widen_all(const double* values) {
    for (int i = 0; i < record_values; ++i) asm volatile("fldl %0\n\tfstp %%st(0)" : : "m"(values[i]));
}

void read_into_buf(int32_t nr) {
    vkrt::read_record({source, 35, data_unit}, nr, &buf[1]);
    widen_all(&buf[1]);
}

}  // namespace

void hold_record_for(const long double& date) {
    check_range(date);
    connect_once();
    const int32_t nr = record_number(date);
    if (nr == nrc) return;
    nrc = nr;
    read_into_buf(nr);
    if (!brackets(buf, date)) stop(bad_record, sizeof bad_record - 1);
}

}  // namespace ephemeris
