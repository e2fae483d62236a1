#include "driver/fpu.hpp"

#include <cstdint>

namespace vkrt {

void reset_floating_point_unit() {
    const uint32_t mxcsr = 0x1F80;  // all exceptions masked, round to nearest
    __asm__ volatile("fninit");     // control word 0x037F, status word clear
    __asm__ volatile("ldmxcsr %0" : : "m"(mxcsr));
}

}  // namespace vkrt
