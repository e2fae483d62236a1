// Expected fields are written with a middle dot for each blank, so that
// leading and trailing blanks can be counted in the test source.
#pragma once

#include <string>

namespace testing_support {

inline std::string undot(const std::string& dotted) {
    std::string plain;
    for (size_t i = 0; i < dotted.size(); ++i) {
        const bool dot = dotted.compare(i, 2, "\xc2\xb7") == 0;
        plain += dot ? ' ' : dotted[i];
        if (dot) ++i;
    }
    return plain;
}

}  // namespace testing_support
