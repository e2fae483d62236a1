// The x87 80-bit extended format: its fields, how a value is assembled from
// them and how one is taken apart. In memory the value is ten little-endian
// bytes: the 64-bit significand with its explicit integer bit, then the sign
// bit and the 15-bit biased exponent. A long double's slot is 16 bytes; the
// last six carry nothing.
#pragma once

#include <cstdint>
#include <cstring>

namespace vkrt {

namespace extended {

inline constexpr int exponent_bias = 16383;
inline constexpr int exponent_mask = 0x7fff;  // also the biased exponent of infinities and NaNs
inline constexpr uint16_t sign_bit = 0x8000;
inline constexpr int significand_bits = 64;
inline constexpr uint64_t integer_bit = uint64_t{1} << (significand_bits - 1);
inline constexpr int value_bytes = 10;

}  // namespace extended

// The ten bytes of an extended real as fields, in their order in memory.
struct ExtendedBits {
    uint64_t significand;    // with its explicit integer bit
    uint16_t sign_exponent;  // sign bit, then the biased exponent

    bool negative() const { return (sign_exponent & extended::sign_bit) != 0; }
    int biased_exponent() const { return sign_exponent & extended::exponent_mask; }
};

// Requires 0 <= biased_exponent <= 0x7fff.
constexpr ExtendedBits assemble_extended(bool negative, int biased_exponent, uint64_t significand) {
    const int sign = negative ? extended::sign_bit : 0;
    return {significand, static_cast<uint16_t>(sign | biased_exponent)};
}

// The ten bytes of x as fields.
inline ExtendedBits load_extended(long double x) {
    unsigned char bytes[sizeof(long double)];
    std::memcpy(bytes, &x, sizeof bytes);
    ExtendedBits bits{};
    std::memcpy(&bits.significand, bytes, sizeof bits.significand);
    bits.sign_exponent = static_cast<uint16_t>(bytes[8] | (bytes[9] << 8));
    return bits;
}

// Writes the ten bytes into `destination`, leaving the rest of its slot.
inline void store_extended(const ExtendedBits& bits, long double& destination) {
    unsigned char bytes[extended::value_bytes];
    std::memcpy(bytes, &bits.significand, sizeof bits.significand);
    bytes[8] = static_cast<unsigned char>(bits.sign_exponent);
    bytes[9] = static_cast<unsigned char>(bits.sign_exponent >> 8);
    std::memcpy(&destination, bytes, sizeof bytes);
}

// Infinity, and the quiet NaN with no payload, with the sign given.
constexpr ExtendedBits extended_infinity(bool negative) {
    return assemble_extended(negative, extended::exponent_mask, extended::integer_bit);
}

constexpr ExtendedBits extended_quiet_nan(bool negative) {
    return assemble_extended(negative, extended::exponent_mask,
                             extended::integer_bit | (extended::integer_bit >> 1));
}

enum class ExtendedClass { zero, finite, infinity, nan };

// The encodings the processor refuses as operands (unnormals, pseudo-
// infinities, pseudo-NaNs) count as NaN; pseudo-denormals are finite.
inline ExtendedClass classify(const ExtendedBits& bits) {
    const bool normalised = (bits.significand & extended::integer_bit) != 0;
    if (bits.biased_exponent() == extended::exponent_mask) {
        if (!normalised) return ExtendedClass::nan;
        const bool infinity = bits.significand == extended::integer_bit;
        return infinity ? ExtendedClass::infinity : ExtendedClass::nan;
    }
    if (bits.biased_exponent() == 0) {
        return bits.significand == 0 ? ExtendedClass::zero : ExtendedClass::finite;
    }
    return normalised ? ExtendedClass::finite : ExtendedClass::nan;
}

// The exponent of the significand's lowest bit: a finite value's magnitude
// is significand * 2^lsb_exponent. Subnormals share the smallest normal
// exponent, so their spacing is 2^-16445.
constexpr int lsb_exponent(int biased_exponent) {
    const int exponent = biased_exponent == 0 ? 1 : biased_exponent;
    return exponent - extended::exponent_bias - (extended::significand_bits - 1);
}

}  // namespace vkrt
