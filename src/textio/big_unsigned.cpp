// Fixed-capacity unsigned big integers: schoolbook arithmetic on 32-bit limbs
// with 64-bit intermediates.
#include "textio/big_unsigned.hpp"

#include "diagnostics/report.hpp"
#include "textio/small_powers.hpp"

namespace vkrt {

namespace {

// Powers of five are multiplied in as limb factors, 5^13 at a time: the
// largest power of 5 below 2^32.
constexpr int limb_five_exponent = 13;
static_assert(power_of_five(limb_five_exponent) >> 32 == 0 &&
              power_of_five(limb_five_exponent + 1) >> 32 != 0);

uint32_t limb_power_of_five(int exponent) { return static_cast<uint32_t>(power_of_five(exponent)); }

}  // namespace

template <int C>
BigUnsigned<C>::BigUnsigned(uint64_t value) : limb_{}, size_(2) {
    limb_[0] = static_cast<uint32_t>(value);
    limb_[1] = static_cast<uint32_t>(value >> 32);
    trim();
}

template <int C>
void BigUnsigned<C>::grow_to(int size) {
    if (size > C) internal_error(nullptr, "decimal conversion out of room");
    for (int i = size_; i < size; ++i) limb_[i] = 0;
    size_ = size;
}

template <int C>
void BigUnsigned<C>::trim() {
    while (size_ > 0 && limb_[size_ - 1] == 0) --size_;
}

template <int C>
void BigUnsigned<C>::multiply_add(uint32_t factor, uint32_t addend) {
    uint64_t carry = addend;
    for (int i = 0; i < size_; ++i) {
        const uint64_t product = uint64_t{limb_[i]} * factor + carry;
        limb_[i] = static_cast<uint32_t>(product);
        carry = product >> 32;
    }
    if (carry != 0) {
        grow_to(size_ + 1);
        limb_[size_ - 1] = static_cast<uint32_t>(carry);
    }
}

template <int C>
void BigUnsigned<C>::multiply_power_of_five(int exponent) {
    for (; exponent >= limb_five_exponent; exponent -= limb_five_exponent) {
        multiply_add(limb_power_of_five(limb_five_exponent), 0);
    }
    multiply_add(limb_power_of_five(exponent), 0);
}

template <int C>
void BigUnsigned<C>::shift_left(int bits) {
    if (size_ == 0 || bits <= 0) return;
    const int limbs = bits / 32;
    const int rest = bits % 32;
    const int old_size = size_;
    grow_to(old_size + limbs + 1);
    for (int i = old_size - 1; i >= 0; --i) {
        const uint64_t wide = uint64_t{limb_[i]} << rest;
        limb_[i + limbs + 1] |= static_cast<uint32_t>(wide >> 32);
        limb_[i + limbs] = static_cast<uint32_t>(wide);
    }
    for (int i = 0; i < limbs; ++i) limb_[i] = 0;
    trim();
}

template <int C>
void BigUnsigned<C>::shift_right_one() {
    for (int i = 0; i < size_; ++i) limb_[i] = (limb_[i] >> 1) | (limb_at(i + 1) << 31);
    trim();
}

template <int C>
void BigUnsigned<C>::subtract(const BigUnsigned& other) {
    uint32_t borrow = 0;
    for (int i = 0; i < size_; ++i) {
        const uint64_t below = static_cast<uint64_t>(other.limb_at(i)) + borrow;
        const uint64_t limb = limb_[i];
        borrow = limb < below ? 1 : 0;
        limb_[i] = static_cast<uint32_t>(limb - below);
    }
    trim();
}

template <int C>
int BigUnsigned<C>::bit_length() const {
    if (size_ == 0) return 0;
    return 32 * (size_ - 1) + (32 - __builtin_clz(limb_[size_ - 1]));
}

template <int C>
unsigned __int128 BigUnsigned<C>::bits_from(int from, bool& lower_bits_set) const {
    const int first = from / 32;
    const int offset = from % 32;
    lower_bits_set = first < size_ && offset != 0 && (limb_[first] << (32 - offset)) != 0;
    for (int i = 0; i < first && i < size_ && !lower_bits_set; ++i) lower_bits_set = limb_[i] != 0;
    unsigned __int128 bits = 0;
    for (int i = first + 3; i >= first; --i) bits = (bits << 32) | limb_at(i);
    bits >>= offset;
    if (offset != 0) bits |= static_cast<unsigned __int128>(limb_at(first + 4)) << (128 - offset);
    return bits;
}

template <int C>
int BigUnsigned<C>::compare(const BigUnsigned& other) const {
    if (size_ != other.size_) return size_ < other.size_ ? -1 : 1;
    for (int i = size_ - 1; i >= 0; --i) {
        if (limb_[i] != other.limb_[i]) return limb_[i] < other.limb_[i] ? -1 : 1;
    }
    return 0;
}

template class BigUnsigned<400>;
template class BigUnsigned<1280>;

}  // namespace vkrt
