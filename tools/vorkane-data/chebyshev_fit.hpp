// Chebyshev series of a smooth function of time over an interval, by
// interpolation at the Chebyshev nodes.
#pragma once

#include <functional>
#include <vector>

#include "vorkane-data/mean_orbits.hpp"

namespace vkdata {

// Coefficients c[j][k] (j = x, y, z; k = 0 to n - 1) of the n-term series
// that matches `f` at the n Chebyshev nodes of [start, start + length]:
// f(t) ~ sum c[j][k] T_k(x), x = 2 (t - start) / length - 1.
std::vector<Vector3> chebyshev_fit(const std::function<Vector3(double)>& f, double start,
                                   double length, int n);

}  // namespace vkdata
