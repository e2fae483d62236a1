// Unsigned big integers of fixed capacity on 32-bit limbs, wide enough for
// the exact conversion of a decimal number to an extended real: just the
// operations that conversion needs, with no heap allocation.
#pragma once

#include <cstdint>

namespace vkrt {

class LimbInteger {
public:
    // 40960 bits: the widest number the conversion builds is a mantissa of
    // 11601 decimal digits (under 38540 bits) or 5^16951 shifted left by 121
    // bits (under 39480 bits).
    static constexpr int capacity = 1280;

    explicit LimbInteger(uint32_t value = 0);

    // *this = *this * factor + addend.
    void multiply_add(uint32_t factor, uint32_t addend);
    void multiply_power_of_five(int exponent);
    void shift_left(int bits);
    void shift_right_one();
    // Requires *this >= other.
    void subtract(const LimbInteger& other);

    bool is_zero() const { return size_ == 0; }
    int bit_length() const;
    // The bits from `from` upwards (at most 128 of them), and whether any bit
    // below `from` is set.
    unsigned __int128 bits_from(int from, bool& lower_bits_set) const;

    // -1, 0 or 1 as a is below, equal to or above b.
    friend int compare(const LimbInteger& a, const LimbInteger& b);

private:
    void grow_to(int size);
    void trim();
    uint32_t limb_at(int index) const { return index < size_ ? limb_[index] : 0; }

    uint32_t limb_[capacity];  // least significant first
    int size_;                 // limbs in use; the top one is not zero
};

}  // namespace vkrt
