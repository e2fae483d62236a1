#include "ephemeris/vorkane.hpp"

#include "diagnostics/report.hpp"

extern "C" void vorkane(const long double&, const int32_t&, long double (&)[66]) {
    vkrt::internal_error(nullptr, "state routine not built yet");
}
