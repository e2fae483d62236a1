// Placing a record on the 32-day grid of the data file.
#include "vorkane-data/data_layout.hpp"

#include <cmath>

namespace vkdata {

int grid_record_number(double start, double end) {
    if (!std::isfinite(start) || !std::isfinite(end)) return 0;
    // Both the difference and the quotient are exact for dates on the grid.
    const double steps = (start - first_date) / record_days;
    if (steps != std::floor(steps) || steps < 0 || steps >= record_count) return 0;
    if (end != start + record_days) return 0;
    return static_cast<int>(steps) + 1;
}

}  // namespace vkdata
