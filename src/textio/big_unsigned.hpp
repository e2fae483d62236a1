// Unsigned big integers of fixed capacity on 32-bit limbs: just the
// operations the exact decimal conversion of extended reals needs, with no
// heap allocation.
#pragma once

#include <cstdint>

namespace vkrt {

class BigUnsigned {
public:
    // 12800 bits: the largest number the conversion builds is an extended
    // real's 64-bit significand times 2^11500 or 5^4970, shifted by 63 bits.
    static constexpr int capacity = 400;

    explicit BigUnsigned(uint64_t value = 0);

    void multiply_small(uint32_t factor);
    void multiply_power_of_five(int exponent);
    void shift_left(int bits);
    void shift_right_one();
    // Requires *this >= other.
    void subtract(const BigUnsigned& other);
    bool is_zero() const { return size_ == 0; }

    // -1, 0 or 1 as a is below, equal to or above b.
    friend int compare(const BigUnsigned& a, const BigUnsigned& b);

private:
    void grow_to(int size);
    void trim();

    uint32_t limb_[capacity];  // least significant first
    int size_;                 // limbs in use; the top one is not zero
};

}  // namespace vkrt
