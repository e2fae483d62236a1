// Chebyshev interpolation: with nodes x_i = cos(pi (i + 1/2) / n),
// c_k = (2 / n) sum_i f(x_i) cos(pi k (i + 1/2) / n), c_0 halved.
#include "vorkane-data/chebyshev_fit.hpp"

#include <cmath>

namespace vkdata {

namespace {
constexpr double pi = 3.14159265358979323846;
}

std::vector<Vector3> chebyshev_fit(const std::function<Vector3(double)>& f, double start,
                                   double length, int n) {
    std::vector<Vector3> samples(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double x = std::cos(pi * (i + 0.5) / n);
        samples[i] = f(start + (x + 1.0) * 0.5 * length);
    }
    std::vector<Vector3> coefficients(static_cast<size_t>(n), Vector3{});
    for (int k = 0; k < n; ++k) {
        for (int i = 0; i < n; ++i) {
            const double c = std::cos(pi * k * (i + 0.5) / n);
            for (int j = 0; j < 3; ++j) coefficients[k][j] += samples[i][j] * c;
        }
        for (int j = 0; j < 3; ++j) coefficients[k][j] *= (k == 0 ? 1.0 : 2.0) / n;
    }
    return coefficients;
}

}  // namespace vkdata
