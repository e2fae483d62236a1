// Fixed-capacity unsigned big integers: schoolbook arithmetic on 32-bit limbs
// with 64-bit intermediates.
#include "textio/big_unsigned.hpp"

#include "diagnostics/report.hpp"

namespace vkrt {

namespace {

constexpr uint32_t five_to_13 = 1220703125u;  // the largest power of 5 below 2^32

}  // namespace

BigUnsigned::BigUnsigned(uint64_t value) : limb_{}, size_(0) {
    limb_[0] = static_cast<uint32_t>(value);
    limb_[1] = static_cast<uint32_t>(value >> 32);
    size_ = 2;
    trim();
}

void BigUnsigned::grow_to(int size) {
    if (size > capacity) internal_error(nullptr, "decimal conversion out of room");
    for (int i = size_; i < size; ++i) limb_[i] = 0;
    size_ = size;
}

void BigUnsigned::trim() {
    while (size_ > 0 && limb_[size_ - 1] == 0) --size_;
}

void BigUnsigned::multiply_small(uint32_t factor) {
    uint64_t carry = 0;
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

void BigUnsigned::multiply_power_of_five(int exponent) {
    for (; exponent >= 13; exponent -= 13) multiply_small(five_to_13);
    uint32_t rest = 1;
    for (; exponent > 0; --exponent) rest *= 5;
    multiply_small(rest);
}

void BigUnsigned::shift_left(int bits) {
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

void BigUnsigned::shift_right_one() {
    for (int i = 0; i < size_; ++i) {
        const uint32_t high = i + 1 < size_ ? limb_[i + 1] : 0;
        limb_[i] = (limb_[i] >> 1) | (high << 31);
    }
    trim();
}

void BigUnsigned::subtract(const BigUnsigned& other) {
    int64_t borrow = 0;
    for (int i = 0; i < size_; ++i) {
        const int64_t below = i < other.size_ ? int64_t{other.limb_[i]} : 0;
        int64_t difference = int64_t{limb_[i]} - below - borrow;
        borrow = difference < 0 ? 1 : 0;
        limb_[i] = static_cast<uint32_t>(difference + (borrow << 32));
    }
    trim();
}

int compare(const BigUnsigned& a, const BigUnsigned& b) {
    if (a.size_ != b.size_) return a.size_ < b.size_ ? -1 : 1;
    for (int i = a.size_ - 1; i >= 0; --i) {
        if (a.limb_[i] != b.limb_[i]) return a.limb_[i] < b.limb_[i] ? -1 : 1;
    }
    return 0;
}

}  // namespace vkrt
