// vorkane-faults: the program's start-up (floating-point reset, binary
// streams, start-up options with the fatal-signal handlers), then one
// processor fault chosen by the argument: "access" reads through a null
// pointer, "illegal" executes UD2, "divide" divides an integer by zero.
// The end-to-end tests check that each arrives at the handler as its signal.
#include <cstdint>
#include <cstring>

#include "diagnostics/options.hpp"
#include "diagnostics/signals.hpp"
#include "driver/fpu.hpp"
#include "platform/process.hpp"

namespace {

constexpr vkrt::StartupSettings startup_options = {10308, 16383, 0, 1, 1, 0, 31};

__attribute__((noinline)) int read_through(volatile int* pointer) { return *pointer; }

__attribute__((noinline)) void illegal_instruction() { __asm__ volatile("ud2"); }

// Both operands read from volatile objects, so that the compiler neither
// folds the division nor turns it into a comparison (as it does for 1 / x).
__attribute__((noinline)) int divide(int dividend, int divisor) {
    volatile int numerator = dividend;
    volatile int by = divisor;
    return numerator / by;
}

}  // namespace

int main(int argc, char** argv) {
    vkrt::reset_floating_point_unit();
    vkrt::os::use_binary_standard_streams();
    vkrt::set_startup_settings(startup_options);
    vkrt::install_fatal_signal_handlers();
    const char* fault = argc > 1 ? argv[1] : "";
    if (std::strcmp(fault, "access") == 0) return read_through(nullptr);
    if (std::strcmp(fault, "illegal") == 0) illegal_instruction();
    if (std::strcmp(fault, "divide") == 0) return divide(7, 0);
    return 0;
}
