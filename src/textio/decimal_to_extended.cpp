// Decimal to extended real, done exactly on integer limbs: the decimal
// significand D and exponent E give D * 10^E; for E >= 0 that integer is
// formed outright, for E < 0 the quotient D / 5^-E is taken to 120 bits with
// a sticky remainder; either way the leading bits are then rounded once to
// the 64-bit significand at the precision the result's exponent allows.
#include "textio/decimal_to_extended.hpp"

#include <new>

#include "textio/big_unsigned.hpp"
#include "textio/small_powers.hpp"

namespace vkrt {

namespace {

using u128 = unsigned __int128;

constexpr int lowest_lsb_exponent = lsb_exponent(0);  // subnormal spacing: 2^-16445
constexpr int quotient_bits = 120;

// 0.1 * 10^scale is above the largest finite value from this scale on, and
// 10^scale is below half the smallest subnormal up to this scale.
constexpr int64_t overflow_scale = 4934;
constexpr int64_t underflow_scale = -4951;

int bit_length(u128 x) {
    const auto high = static_cast<uint64_t>(x >> 64);
    if (high != 0) return 128 - __builtin_clzll(high);
    const auto low = static_cast<uint64_t>(x);
    return low != 0 ? 64 - __builtin_clzll(low) : 0;
}

// Rounds (q + a fraction that is non-zero when `sticky`) * 2^e2 to the
// nearest extended real, ties to even; q is not zero.
ExtendedBits round_to_extended(u128 q, int e2, bool sticky, bool negative) {
    const int top = e2 + bit_length(q) - 1;
    int lsb = top - 63 > lowest_lsb_exponent ? top - 63 : lowest_lsb_exponent;
    const int drop = lsb - e2;
    u128 m;
    if (drop <= 0) {
        // q is not zero and lsb >= top - 63, so the shift e2 - lsb is at
        // most 64 - bit_length(q): below 64.
        m = q << -drop;  // NOLINT(clang-analyzer-core.UndefinedBinaryOperatorResult)
    } else {
        const bool half = drop <= 128 && ((q >> (drop - 1)) & 1) != 0;
        const u128 below_half = drop - 1 >= 128 ? q : q & ((u128{1} << (drop - 1)) - 1);
        m = drop >= 128 ? 0 : q >> drop;
        if (half && (below_half != 0 || sticky || (m & 1) != 0)) ++m;
    }
    if ((m >> 64) != 0) {
        m >>= 1;
        ++lsb;
    }
    const auto significand = static_cast<uint64_t>(m);
    if (significand == 0) return assemble_extended(negative, 0, 0);
    const bool normal = (significand & extended::integer_bit) != 0;
    const int biased = normal ? lsb - lowest_lsb_exponent + 1 : 0;  // lsb_exponent(biased) == lsb
    if (biased >= extended::exponent_mask) return extended_infinity(negative);
    return assemble_extended(negative, biased, significand);
}

// The two big integers of the exact conversion, 5 KB each: static storage,
// constructed afresh by each conversion, so that a read needs little stack.
alignas(ReadInteger) unsigned char workspace[2][sizeof(ReadInteger)];

ReadInteger& fresh_integer(int slot, uint64_t value) {
    void* const storage = workspace[slot];
    return *new (storage) ReadInteger(value);
}

// D from the digits held, with a final 1 standing for dropped non-zero digits.
void build_significand(const DecimalNumber& number, ReadInteger& d, int& digits) {
    digits = 0;
    uint32_t chunk = 0;
    uint32_t chunk_scale = 1;
    auto add = [&](int digit) {
        chunk = chunk * 10 + static_cast<uint32_t>(digit);
        chunk_scale *= 10;
        ++digits;
        if (chunk_scale == 1000000000) {
            d.multiply_add(chunk_scale, chunk);
            chunk = 0;
            chunk_scale = 1;
        }
    };
    for (int i = 0; i < number.count; ++i) add(number.digits[i]);
    if (number.dropped_nonzero) add(1);
    if (chunk_scale != 1) d.multiply_add(chunk_scale, chunk);
}

// value = D * 10^e with e >= 0: the integer itself, cut to its leading bits.
ExtendedBits scale_up(ReadInteger& d, int e, bool negative) {
    d.multiply_power_of_five(e);
    const int excess = d.bit_length() > quotient_bits ? d.bit_length() - quotient_bits : 0;
    bool sticky = false;
    const u128 q = d.bits_from(excess, sticky);
    return round_to_extended(q, e + excess, sticky, negative);
}

// value = D / 10^k: the quotient D * 2^s / 5^k to 120 bits (or D / (5^k *
// 2^-s) when s would be negative), times 2^(-k - s).
ExtendedBits scale_down(ReadInteger& d, int k, bool negative) {
    ReadInteger& divisor = fresh_integer(1, 1);
    divisor.multiply_power_of_five(k);
    const int shift = divisor.bit_length() - d.bit_length() + quotient_bits;
    if (shift >= 0) {
        d.shift_left(shift);
    } else {
        divisor.shift_left(-shift);
    }
    const int steps = d.bit_length() - divisor.bit_length();
    divisor.shift_left(steps);
    u128 q = 0;
    for (int i = 0; i <= steps; ++i) {
        q <<= 1;
        if (compare(d, divisor) >= 0) {
            d.subtract(divisor);
            q |= 1;
        }
        divisor.shift_right_one();
    }
    return round_to_extended(q, -k - shift, !d.is_zero(), negative);
}

// Numbers of at most 19 digits with a small exponent, as dates are written,
// in native 128-bit arithmetic: D * 5^e fits for e <= 27, and for k = -e <=
// 26 the quotient of D shifted to 127 bits by 5^k keeps at least 65 bits,
// the significand and the rounding bit, with the remainder as sticky bit.
constexpr int fast_digits = 19;
constexpr int fast_up = max_small_five_exponent;
constexpr int fast_down = 26;

bool convert_in_128_bits(const DecimalNumber& number, int64_t scale, ExtendedBits& out) {
    const int digits = number.count + (number.dropped_nonzero ? 1 : 0);
    const int64_t e = scale - digits;
    if (digits > fast_digits || e > fast_up || e < -fast_down) return false;
    uint64_t d = 0;
    for (int i = 0; i < number.count; ++i) d = d * 10 + number.digits[i];
    if (number.dropped_nonzero) d = d * 10 + 1;
    if (d == 0) return false;
    const uint64_t five_power = power_of_five(static_cast<int>(e < 0 ? -e : e));
    const bool negative = number.negative;
    if (e >= 0) {
        out = round_to_extended(u128{d} * five_power, static_cast<int>(e), false, negative);
        return true;
    }
    const int shift = 127 - bit_length(d);
    const u128 n = u128{d} << shift;
    out = round_to_extended(n / five_power, static_cast<int>(e) - shift, n % five_power != 0, negative);
    return true;
}

}  // namespace

ExtendedBits decimal_to_extended(const DecimalNumber& number) {
    const bool negative = number.negative;
    if (number.count == 0) return assemble_extended(negative, 0, 0);
    const int64_t scale = number.scale();
    if (scale >= overflow_scale) return extended_infinity(negative);
    if (scale <= underflow_scale) return assemble_extended(negative, 0, 0);
    ExtendedBits fast;
    if (convert_in_128_bits(number, scale, fast)) return fast;
    ReadInteger& d = fresh_integer(0, 0);
    int digits = 0;
    build_significand(number, d, digits);
    const int e = static_cast<int>(scale) - digits;
    return e >= 0 ? scale_up(d, e, negative) : scale_down(d, -e, negative);
}

}  // namespace vkrt
