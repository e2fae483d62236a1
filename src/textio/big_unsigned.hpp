// Unsigned big integers of fixed capacity on 32-bit limbs, with no heap
// allocation: just the operations the exact decimal conversions need, both
// ways between decimal numbers and extended reals. Each conversion picks the
// capacity its widest number needs.
#pragma once

#include <cstdint>

namespace vkrt {

template <int Capacity>
class BigUnsigned {
public:
    static constexpr int capacity = Capacity;

    explicit BigUnsigned(uint64_t value = 0);

    // *this = *this * factor + addend.
    void multiply_add(uint32_t factor, uint32_t addend);
    void multiply_power_of_five(int exponent);
    void shift_left(int bits);
    void shift_right_one();
    // Requires *this >= other.
    void subtract(const BigUnsigned& other);

    bool is_zero() const { return size_ == 0; }
    int bit_length() const;
    // The bits from `from` upwards (at most 128 of them), and whether any bit
    // below `from` is set.
    unsigned __int128 bits_from(int from, bool& lower_bits_set) const;

    // -1, 0 or 1 as *this is below, equal to or above other.
    int compare(const BigUnsigned& other) const;

private:
    void grow_to(int size);
    void trim();
    uint32_t limb_at(int index) const { return index < size_ ? limb_[index] : 0; }

    uint32_t limb_[Capacity];  // least significant first
    int size_;                 // limbs in use; the top one is not zero
};

template <int Capacity>
int compare(const BigUnsigned<Capacity>& a, const BigUnsigned<Capacity>& b) {
    return a.compare(b);
}

// Output editing: the largest number built is an extended real's 64-bit
// significand times 2^11500 or 5^4970, shifted by 63 bits (under 12800 bits).
using EditInteger = BigUnsigned<400>;
// Input conversion: a mantissa of 11601 decimal digits (under 38540 bits) or
// 5^16951 shifted left by 121 bits (under 39480 bits); 40960 bits.
using ReadInteger = BigUnsigned<1280>;

}  // namespace vkrt
