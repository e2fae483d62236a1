// Exact decimal-against-binary comparisons by schoolbook arithmetic in base
// 10^9, and the nearest-value test built on them from an extended real's
// neighbours and the midpoints between them.
#include "support/exact_rational.hpp"

#include <cstdio>
#include <cstring>
#include <vector>

namespace testing_support {

namespace {

using u128 = unsigned __int128;
using Limbs = std::vector<uint64_t>;  // base 10^9, least significant first

constexpr uint64_t base = 1000000000;

void multiply(Limbs& a, uint64_t factor) {
    uint64_t carry = 0;
    for (uint64_t& limb : a) {
        const uint64_t product = limb * factor + carry;
        limb = product % base;
        carry = product / base;
    }
    for (; carry != 0; carry /= base) a.push_back(carry % base);
}

void multiply_power(Limbs& a, uint64_t prime, int count) {
    const int step = prime == 2 ? 29 : prime == 5 ? 12 : 9;  // factor * limb fits 64 bits
    for (; count > 0; count -= step) {
        uint64_t factor = 1;
        for (int i = 0; i < (count < step ? count : step); ++i) factor *= prime;
        multiply(a, factor);
    }
}

void trim(Limbs& a) {
    while (!a.empty() && a.back() == 0) a.pop_back();
}

Limbs from_digits(const std::string& digits) {
    Limbs a;
    for (char c : digits) {
        multiply(a, 10);
        if (a.empty()) a.push_back(0);
        a[0] += static_cast<uint64_t>(c - '0');
        for (size_t i = 0; a[i] >= base; ++i) {
            a[i] -= base;
            if (i + 1 == a.size()) a.push_back(0);
            ++a[i + 1];
        }
    }
    trim(a);
    return a;
}

Limbs from_u128(u128 m) {
    Limbs a;
    for (; m != 0; m /= base) a.push_back(static_cast<uint64_t>(m % base));
    return a;
}

int compare(Limbs a, Limbs b) {
    trim(a);
    trim(b);
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    for (size_t i = a.size(); i-- > 0;) {
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    }
    return 0;
}

std::string to_text(const Limbs& a) {
    if (a.empty()) return "0";
    std::string text = std::to_string(a.back());
    char chunk[16];
    for (size_t i = a.size() - 1; i-- > 0;) {
        std::snprintf(chunk, sizeof chunk, "%09llu", static_cast<unsigned long long>(a[i]));
        text += chunk;
    }
    return text;
}

struct Dyadic {
    u128 m;
    int exp2;
};

Dyadic fields(long double x) {
    unsigned char bytes[sizeof x];
    std::memcpy(bytes, &x, sizeof bytes);
    uint64_t significand;
    std::memcpy(&significand, bytes, 8);
    const int biased = (bytes[8] | (bytes[9] << 8)) & 0x7fff;
    return {significand, (biased == 0 ? 1 : biased) - 16383 - 63};
}

}  // namespace

int compare_decimal_dyadic(const std::string& digits, int exp10, u128 m, int exp2) {
    Limbs left = from_digits(digits);
    Limbs right = from_u128(m);
    if (exp10 >= 0) {
        multiply_power(left, 10, exp10);
    } else {
        multiply_power(right, 10, -exp10);
    }
    if (exp2 >= 0) {
        multiply_power(right, 2, exp2);
    } else {
        multiply_power(left, 2, -exp2);
    }
    return compare(left, right);
}

ExactDecimal dyadic_to_decimal(u128 m, int exp2) {
    Limbs a = from_u128(m);
    if (exp2 >= 0) {
        multiply_power(a, 2, exp2);
        return {to_text(a), 0};
    }
    multiply_power(a, 5, -exp2);
    return {to_text(a), exp2};
}

std::string check_nearest(const std::string& digits, int exp10, long double result) {
    const Dyadic r = fields(result);
    const int biased = r.exp2 + 16383 + 63;
    if (biased == 0x7fff) {  // infinity: at or above the threshold
        const u128 threshold = (u128{1} << 65) - 1;
        return compare_decimal_dyadic(digits, exp10, threshold, 16319) >= 0 ? "" : "infinity too early";
    }
    if (r.m == 0) {
        return compare_decimal_dyadic(digits, exp10, 1, -16446) <= 0 ? "" : "zero too late";
    }
    const bool even = (r.m & 1) == 0;
    const int above = compare_decimal_dyadic(digits, exp10, 2 * r.m + 1, r.exp2 - 1);
    if (above > 0 || (above == 0 && !even)) return "result below the nearest";
    const bool power_step = r.m == (u128{1} << 63) && r.exp2 > 1 - 16383 - 63;
    const int below = power_step ? compare_decimal_dyadic(digits, exp10, (u128{1} << 65) - 1, r.exp2 - 2)
                                 : compare_decimal_dyadic(digits, exp10, 2 * r.m - 1, r.exp2 - 1);
    if (below < 0 || (below == 0 && !even)) return "result above the nearest";
    return "";
}

}  // namespace testing_support
