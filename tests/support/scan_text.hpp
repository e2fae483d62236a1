// Runs the free-form input scanner over a text held in memory and reports
// what it found and how many bytes it took.
#pragma once

#include <string>

#include "textio/list_scan.hpp"

namespace testing_support {

struct TextScan {
    vkrt::ListScanResult result;
    size_t taken = 0;  // bytes taken from the text (the end of the text counts as none)
    long double value() const {
        long double x = 0;
        vkrt::store_extended(result.value, x);
        return x;
    }
};

inline TextScan scan_text(const std::string& text) {
    struct Source {
        const std::string& text;
        size_t taken;
    } source{text, 0};
    auto take = [](void* context) {
        Source& s = *static_cast<Source*>(context);
        return s.taken < s.text.size() ? static_cast<unsigned char>(s.text[s.taken++]) : -1;
    };
    TextScan scan;
    vkrt::scan_real_list({take, &source}, scan.result);
    scan.taken = source.taken;
    return scan;
}

}  // namespace testing_support
