#include "textio/list_read.hpp"

#include "diagnostics/report.hpp"

namespace vkrt {

void read_real_list(const Locus& where, long double&) {
    internal_error(&where, "free-form read not built yet");
}

}  // namespace vkrt
