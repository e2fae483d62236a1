// libFuzzer target for the free-form input scanner. Inputs whose first byte
// is even are scanned as they stand: the scan must end with a consistent
// outcome and never take bytes past the end of the text more than once in a
// row. Inputs whose first byte is odd are turned into a plain decimal number
// ("[-]digits[.digits]e[-]digits") whose value is compared with the C
// library's correctly rounded strtold in the "C" locale.
#include <cerrno>
#include <clocale>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "textio/list_scan.hpp"

namespace {

struct Source {
    const uint8_t* data;
    size_t size;
    size_t taken;
    int ends_in_a_row;
};

int take(void* context) {
    Source& s = *static_cast<Source*>(context);
    if (s.taken < s.size) {
        s.ends_in_a_row = 0;
        return s.data[s.taken++];
    }
    // After the end of the text the scanner may look once more (a character
    // given back is taken again from its own slot), but never keeps asking.
    if (++s.ends_in_a_row > 2) std::abort();
    return -1;
}

vkrt::ListScanResult scan(const uint8_t* data, size_t size) {
    Source source{data, size, 0, 0};
    vkrt::ListScanResult result;
    vkrt::scan_real_list({take, &source}, result);
    return result;
}

void check_raw(const uint8_t* data, size_t size) {
    const vkrt::ListScanResult result = scan(data, size);
    if (result.outcome == vkrt::ListScanOutcome::failed) {
        if (result.code != -1 && result.code != 5010) std::abort();
        if (std::memchr(result.message, '\0', sizeof result.message) == nullptr) std::abort();
    }
}

// A plain number from the bytes: each byte gives a digit, and a few choose
// the sign, the point and the exponent.
std::string plain_number(const uint8_t* data, size_t size) {
    std::string text = (data[0] & 2) != 0 ? "-" : "";
    const size_t digits = size > 2 ? size - 2 : 1;
    const size_t point = size > 1 ? data[1] % (digits + 1) : digits;
    for (size_t i = 0; i < digits; ++i) {
        if (i == point) text += '.';
        text += static_cast<char>('0' + (i + 2 < size ? data[i + 2] % 10 : 1));
    }
    int exponent = size > 1 ? (data[size - 1] * 257 + data[0]) % 10400 - 5200 : 0;
    exponent -= static_cast<int>(digits) / 2;  // keep long numbers in range now and then
    return text + "e" + std::to_string(exponent) + "\n";
}

void check_plain(const uint8_t* data, size_t size) {
    const std::string text = plain_number(data, size);
    const vkrt::ListScanResult result =
        scan(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    if (result.outcome != vkrt::ListScanOutcome::value) std::abort();
    long double mine = 0;
    vkrt::store_extended(result.value, mine);
    const long double reference = std::strtold(text.c_str(), nullptr);
    if (std::memcmp(&mine, &reference, 10) != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    if ((data[0] & 1) == 0) {
        check_raw(data, size);
    } else {
        check_plain(data, size);
    }
    return 0;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::setlocale(LC_ALL, "C");
    return 0;
}
