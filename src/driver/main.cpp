// The main program: reads a Julian date from vorkane.in, has the state
// routine compute heliocentric positions and velocities, and writes the date
// and 60 numbers to vorkane.out. The statement lines below are those that
// diagnostics cite with the source name "vorkane".
#include <cstdint>

#include "diagnostics/options.hpp"
#include "diagnostics/signals.hpp"
#include "driver/failed_writes.hpp"
#include "driver/fpu.hpp"
#include "ephemeris/vorkane.hpp"
#include "fileio/units.hpp"
#include "platform/process.hpp"
#include "textio/format_write.hpp"
#include "textio/list_read.hpp"

namespace {

constexpr const char* source = "vorkane";

constexpr vkrt::StartupSettings startup_options = {
    .warn_std = 10308,
    .allow_std = 16383,
    .pedantic = 0,
    .backtrace = 1,
    .sign_zero = 1,
    .bounds_check = 0,
    .fpe_summary = 31,
};

}  // namespace

int main() {
    vkrt::reset_floating_point_unit();
    vkrt::os::use_binary_standard_streams();
    vkrt::let_failed_writes_return();
    vkrt::set_startup_settings(startup_options);
    if (vkrt::compile_options.backtrace != 0) vkrt::install_fatal_signal_handlers();

    long double date = 0.0L;
    int32_t velocity_flag;
    long double state[66] = {};

    vkrt::open_unit({source, 2, 10}, "vorkane.in", vkrt::Access::sequential, 0);
    vkrt::read_real_list({source, 3, 10}, date);
    vkrt::open_unit({source, 4, 20}, "vorkane.out", vkrt::Access::sequential, 0);
    velocity_flag = 1;
    vorkane(date, velocity_flag, state);
    vkrt::write_formatted({source, 7, 20}, "(g25.16)", &date, 1);
    vkrt::write_formatted({source, 8, 20}, "(3g25.16)", state, 60);
    vkrt::close_unit({source, 9, 20});
    return 0;
}
