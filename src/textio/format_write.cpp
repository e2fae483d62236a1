#include "textio/format_write.hpp"

#include "diagnostics/report.hpp"

namespace vkrt {

void write_formatted(const Locus& where, const char*, const long double*, int) {
    internal_error(&where, "formatted write not built yet");
}

}  // namespace vkrt
