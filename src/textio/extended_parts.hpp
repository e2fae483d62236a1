// The fields of an x87 80-bit extended real, read from its bytes: sign,
// biased exponent and the 64-bit significand with its explicit integer bit.
#pragma once

#include <cstdint>
#include <cstring>

namespace vkrt {

enum class ExtendedClass { zero, finite, infinity, nan };

struct ExtendedParts {
    bool negative;
    int biased_exponent;  // 0 to 32767
    uint64_t significand;
};

inline ExtendedParts extended_parts(long double x) {
    unsigned char bytes[sizeof(long double)];
    std::memcpy(bytes, &x, sizeof bytes);
    ExtendedParts parts{};
    std::memcpy(&parts.significand, bytes, 8);
    const int top = bytes[8] | (bytes[9] << 8);
    parts.negative = (top & 0x8000) != 0;
    parts.biased_exponent = top & 0x7fff;
    return parts;
}

// The encodings the processor refuses as operands (unnormals, pseudo-
// infinities, pseudo-NaNs) count as NaN; pseudo-denormals are finite.
inline ExtendedClass classify(const ExtendedParts& parts) {
    constexpr uint64_t integer_bit = uint64_t{1} << 63;
    const bool normalised = (parts.significand & integer_bit) != 0;
    if (parts.biased_exponent == 0x7fff) {
        if (!normalised) return ExtendedClass::nan;
        return parts.significand == integer_bit ? ExtendedClass::infinity : ExtendedClass::nan;
    }
    if (parts.biased_exponent == 0) {
        return parts.significand == 0 ? ExtendedClass::zero : ExtendedClass::finite;
    }
    return normalised ? ExtendedClass::finite : ExtendedClass::nan;
}

// A finite value's magnitude is significand * 2^binary_exponent(parts).
inline int binary_exponent(const ExtendedParts& parts) {
    const int exponent = parts.biased_exponent == 0 ? 1 : parts.biased_exponent;
    return exponent - 16383 - 63;
}

}  // namespace vkrt
