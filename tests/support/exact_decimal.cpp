// Reference decimal expansion: significand * 2^e is turned into the integer
// significand * 2^e (e >= 0) or significand * 5^-e scaled by 10^e (e < 0),
// held in base-10^9 limbs, and printed in full.
#include "support/exact_decimal.hpp"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace testing_support {

namespace {

constexpr uint64_t limb_base = 1000000000;

void scale(std::vector<uint64_t>& limbs, uint64_t factor) {
    uint64_t carry = 0;
    for (uint64_t& limb : limbs) {
        const uint64_t product = limb * factor + carry;
        limb = product % limb_base;
        carry = product / limb_base;
    }
    for (; carry != 0; carry /= limb_base) limbs.push_back(carry % limb_base);
}

std::string decimal_text(const std::vector<uint64_t>& limbs) {
    std::string text = std::to_string(limbs.back());
    char chunk[16];
    for (size_t i = limbs.size() - 1; i-- > 0;) {
        std::snprintf(chunk, sizeof chunk, "%09llu", static_cast<unsigned long long>(limbs[i]));
        text += chunk;
    }
    return text;
}

}  // namespace

DecimalExpansion exact_decimal(long double magnitude) {
    int exponent = 0;
    const long double fraction = std::frexp(magnitude, &exponent);
    const uint64_t significand = static_cast<uint64_t>(std::ldexp(fraction, 64));
    exponent -= 64;
    std::vector<uint64_t> limbs;
    for (uint64_t rest = significand; rest != 0; rest /= limb_base) limbs.push_back(rest % limb_base);
    int shift = 0;
    if (exponent >= 0) {
        for (int e = exponent; e > 0; e -= 29) scale(limbs, uint64_t{1} << (e < 29 ? e : 29));
    } else {
        for (int e = -exponent; e > 0; e -= 13) {
            uint64_t power = 1;
            for (int i = 0; i < (e < 13 ? e : 13); ++i) power *= 5;
            scale(limbs, power);
        }
        shift = exponent;
    }
    DecimalExpansion expansion{decimal_text(limbs), 0};
    expansion.point = static_cast<int>(expansion.digits.size()) + shift;
    while (expansion.digits.size() > 1 && expansion.digits.back() == '0') expansion.digits.pop_back();
    return expansion;
}

DecimalExpansion round_digits(const DecimalExpansion& expansion, int keep) {
    std::string kept = expansion.digits.substr(0, static_cast<size_t>(keep));
    kept.resize(static_cast<size_t>(keep), '0');
    const std::string rest =
        expansion.digits.size() > kept.size() ? expansion.digits.substr(kept.size()) : "";
    bool up = false;
    if (!rest.empty() && rest[0] > '5') up = true;
    if (!rest.empty() && rest[0] == '5') {
        const bool beyond_half = rest.find_first_not_of('0', 1) != std::string::npos;
        up = beyond_half || (kept.back() - '0') % 2 == 1;
    }
    DecimalExpansion rounded{kept, expansion.point};
    if (!up) return rounded;
    size_t i = kept.size();
    while (i > 0 && rounded.digits[i - 1] == '9') rounded.digits[--i] = '0';
    if (i > 0) {
        ++rounded.digits[i - 1];
    } else {
        rounded.digits.insert(rounded.digits.begin(), '1');
        rounded.digits.pop_back();
        ++rounded.point;
    }
    return rounded;
}

}  // namespace testing_support
