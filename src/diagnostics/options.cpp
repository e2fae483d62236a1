#include "diagnostics/options.hpp"

#include "diagnostics/signals.hpp"

namespace vkrt {

CompileOptions compile_options = {
    .warn_std = 0,
    .allow_std = 0,
    .pedantic = 0,
    .backtrace = 0,
    .sign_zero = 1,
    .bounds_check = 0,
    .fpe_summary = 0,
};

void set_options(const int32_t (&values)[7]) {
    compile_options = CompileOptions{values[0], values[1], values[2], values[3],
                                     values[4], values[5], values[6]};
    if (compile_options.backtrace != 0) install_fatal_signal_handlers();
}

}  // namespace vkrt
