// The Moon's geocentric position from its mean arguments and the largest
// periodic terms of the lunar theory (as tabulated by J. Meeus, Astronomical
// Algorithms, ch. 47, truncated to the terms above 0.04 degree and 100 km):
// good to some 0.1 degree and a few hundred km. Longitude and latitude are
// on the ecliptic of date; the precession in longitude since J2000 is taken
// off to come close to J2000 axes.
#include <cmath>

#include "vorkane-data/mean_orbits.hpp"

namespace vkdata {

namespace {

constexpr double degree = 3.14159265358979323846 / 180.0;

// Multiples of D, M, M', F and the amplitude (degrees or km).
struct Term {
    int d, m, mp, f;
    double amplitude;
};

constexpr Term longitude_terms[] = {
    {0, 0, 1, 0, 6.288774},  {2, 0, -1, 0, 1.274027}, {2, 0, 0, 0, 0.658314},
    {0, 0, 2, 0, 0.213618},  {0, 1, 0, 0, -0.185116}, {0, 0, 0, 2, -0.114332},
    {2, 0, -2, 0, 0.058793}, {2, -1, -1, 0, 0.057066}, {2, 0, 1, 0, 0.053322},
    {2, -1, 0, 0, 0.045758}, {0, 1, -1, 0, -0.040923},
};

constexpr Term latitude_terms[] = {
    {0, 0, 0, 1, 5.128122}, {0, 0, 1, 1, 0.280602},  {0, 0, 1, -1, 0.277693},
    {2, 0, 0, -1, 0.173237}, {2, 0, -1, 1, 0.055413}, {2, 0, -1, -1, 0.046271},
};

constexpr Term distance_terms[] = {
    {0, 0, 1, 0, -20905.355}, {2, 0, -1, 0, -3699.111}, {2, 0, 0, 0, -2955.968},
    {0, 0, 2, 0, -569.925},   {0, 1, 0, 0, 48.888},     {2, 0, -2, 0, 246.158},
    {2, -1, -1, 0, -152.138}, {2, 0, 1, 0, -170.733},   {2, -1, 0, 0, -204.586},
    {0, 1, -1, 0, -129.620},  {1, 0, 0, 0, 108.743},    {0, 1, 1, 0, 104.755},
};

struct Arguments {
    double d, m, mp, f;  // radians
};

double angle(const Term& term, const Arguments& a) {
    return term.d * a.d + term.m * a.m + term.mp * a.mp + term.f * a.f;
}

}  // namespace

Vector3 moon_position(double jd) {
    const double t = (jd - 2451545.0) / 36525.0;
    const Arguments a = {std::remainder(297.8501921 + 445267.1114034 * t, 360.0) * degree,
                         std::remainder(357.5291092 + 35999.0502909 * t, 360.0) * degree,
                         std::remainder(134.9633964 + 477198.8675055 * t, 360.0) * degree,
                         std::remainder(93.2720950 + 483202.0175233 * t, 360.0) * degree};
    double lon = 218.3164477 + 481267.88123421 * t - 1.396971 * t;
    double lat = 0.0, distance = 385000.56;
    for (const Term& term : longitude_terms) lon += term.amplitude * std::sin(angle(term, a));
    for (const Term& term : latitude_terms) lat += term.amplitude * std::sin(angle(term, a));
    for (const Term& term : distance_terms) distance += term.amplitude * std::cos(angle(term, a));
    lon = std::remainder(lon, 360.0) * degree;
    lat *= degree;
    const Vector3 ecliptic = {std::cos(lat) * std::cos(lon), std::cos(lat) * std::sin(lon),
                              std::sin(lat)};
    return ecliptic_to_equatorial(ecliptic, distance);
}

}  // namespace vkdata
