#include "diagnostics/options.hpp"

namespace vkrt {

StartupSettings compile_options = {
    .warn_std = 0,
    .allow_std = 0,
    .pedantic = 0,
    .backtrace = 0,
    .sign_zero = 1,
    .bounds_check = 0,
    .fpe_summary = 0,
};

void set_startup_settings(const StartupSettings& settings) { compile_options = settings; }

}  // namespace vkrt
