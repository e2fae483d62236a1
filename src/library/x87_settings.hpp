// The x87 settings an evaluation needs, whatever the caller left: 64-bit
// significands, rounding to nearest, every exception masked. The caller's
// control word comes back on leaving the scope; when it unmasks any
// exception, the flags are cleared first, so that none raised meanwhile can
// trap at the caller's next x87 instruction.
#pragma once

#include <cstdint>

namespace vorkane_library {

class ExtendedPrecisionScope {
public:
    ExtendedPrecisionScope() {
        asm volatile("fnstcw %0" : "=m"(saved_));
        if (saved_ != evaluation_) asm volatile("fldcw %0" : : "m"(evaluation_));
    }
    ~ExtendedPrecisionScope() {
        if (saved_ == evaluation_) return;
        if ((saved_ & exception_masks) != exception_masks) asm volatile("fnclex");
        asm volatile("fldcw %0" : : "m"(saved_));
    }
    ExtendedPrecisionScope(const ExtendedPrecisionScope&) = delete;
    ExtendedPrecisionScope& operator=(const ExtendedPrecisionScope&) = delete;

private:
    static constexpr uint16_t exception_masks = 0x3F;
    // Masks 0x3F, precision control 11 (64 bits), rounding control 00.
    static constexpr uint16_t evaluation_ = 0x037F;
    uint16_t saved_ = 0;
};

}  // namespace vorkane_library
