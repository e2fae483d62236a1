// Planet positions from mean orbital elements and their rates, referred to
// the mean ecliptic and equinox of J2000, for 3000 BC to AD 3000 (E. M.
// Standish, "Keplerian Elements for Approximate Positions of the Major
// Planets", JPL). For Jupiter to Pluto the mean anomaly carries extra terms
// b T^2 + c cos(f T) + s sin(f T). T is in Julian centuries from J2000.
#include "vorkane-data/mean_orbits.hpp"

#include <cmath>

namespace vkdata {

namespace {

constexpr double km_per_au = 149597870.7;
constexpr double degree = 3.14159265358979323846 / 180.0;
constexpr double obliquity_j2000 = 23.43928 * degree;

// a (au), e, I, L, long. of perihelion, long. of node (deg), then each rate
// per century; then b, c, s, f of the mean anomaly (deg, deg/century).
struct Elements {
    double a, e, i, l, peri, node;
    double da, de, di, dl, dperi, dnode;
    double b, c, s, f;
};

constexpr Elements planets[9] = {
    {0.38709843, 0.20563661, 7.00559432, 252.25166724, 77.45771895, 48.33961819,
     0.00000000, 0.00002123, -0.00590158, 149472.67486623, 0.15940013, -0.12214182, 0, 0, 0, 0},
    {0.72332102, 0.00676399, 3.39777545, 181.97970850, 131.76755713, 76.67261496,
     -0.00000026, -0.00005107, 0.00043494, 58517.81560260, 0.05679648, -0.27274174, 0, 0, 0, 0},
    {1.00000018, 0.01673163, -0.00054346, 100.46691572, 102.93005885, -5.11260389,
     -0.00000003, -0.00003661, -0.01337178, 35999.37306329, 0.31795260, -0.24123856, 0, 0, 0, 0},
    {1.52371243, 0.09336511, 1.85181869, -4.56813164, -23.91744784, 49.71320984,
     0.00000097, 0.00009149, -0.00724757, 19140.29934243, 0.45223625, -0.26852431, 0, 0, 0, 0},
    {5.20248019, 0.04853590, 1.29861416, 34.33479152, 14.27495244, 100.29282654,
     -0.00002864, 0.00018026, -0.00322699, 3034.90371757, 0.18199196, 0.13024619,
     -0.00012452, 0.06064060, -0.35635438, 38.35125000},
    {9.54149883, 0.05550825, 2.49424102, 50.07571329, 92.86136063, 113.63998702,
     -0.00003065, -0.00032044, 0.00451969, 1222.11494724, 0.54179478, -0.25015002,
     0.00025899, -0.13434469, 0.87320147, 38.35125000},
    {19.18797948, 0.04685740, 0.77298127, 314.20276625, 172.43404441, 73.96250215,
     -0.00020455, -0.00001550, -0.00180155, 428.49512595, 0.09266985, 0.05739699,
     0.00058331, -0.97731848, 0.17689245, 7.67025000},
    {30.06952752, 0.00895439, 1.77005520, 304.22289287, 46.68158724, 131.78635853,
     0.00006447, 0.00000818, 0.00022400, 218.46515314, 0.01009938, -0.00606302,
     -0.00041348, 0.68346318, -0.10162547, 7.67025000},
    {39.48686035, 0.24885238, 17.14104260, 238.96535011, 224.09702598, 110.30167986,
     0.00449751, 0.00006016, 0.00000501, 145.18042903, -0.00968827, -0.00809981,
     -0.01262724, 0, 0, 0},
};

// Eccentric anomaly for mean anomaly m (rad) by Newton's method.
double eccentric_anomaly(double m, double e) {
    double ea = m + e * std::sin(m);
    for (int k = 0; k < 30; ++k) {
        const double step = (ea - e * std::sin(ea) - m) / (1.0 - e * std::cos(ea));
        ea -= step;
        if (std::fabs(step) < 1e-15) break;
    }
    return ea;
}

}  // namespace

Vector3 ecliptic_to_equatorial(const Vector3& v, double scale) {
    const double c = std::cos(obliquity_j2000), s = std::sin(obliquity_j2000);
    return {v[0] * scale, (c * v[1] - s * v[2]) * scale, (s * v[1] + c * v[2]) * scale};
}

Vector3 mean_orbit_position(int planet, double jd) {
    const Elements& el = planets[planet - 1];
    const double t = (jd - 2451545.0) / 36525.0;
    const double a = el.a + el.da * t, e = el.e + el.de * t;
    const double i = (el.i + el.di * t) * degree;
    const double l = el.l + el.dl * t, peri = el.peri + el.dperi * t;
    const double node = (el.node + el.dnode * t) * degree;
    const double m = l - peri + el.b * t * t + el.c * std::cos(el.f * t * degree) +
                     el.s * std::sin(el.f * t * degree);
    const double ea = eccentric_anomaly(std::remainder(m, 360.0) * degree, e);
    const double xp = a * (std::cos(ea) - e), yp = a * std::sqrt(1.0 - e * e) * std::sin(ea);
    const double w = peri * degree - node;
    const double cw = std::cos(w), sw = std::sin(w), cn = std::cos(node), sn = std::sin(node);
    const double ci = std::cos(i), si = std::sin(i);
    const Vector3 ecl = {(cw * cn - sw * sn * ci) * xp + (-sw * cn - cw * sn * ci) * yp,
                         (cw * sn + sw * cn * ci) * xp + (-sw * sn + cw * cn * ci) * yp,
                         (sw * si) * xp + (cw * si) * yp};
    return ecliptic_to_equatorial(ecl, km_per_au);
}

}  // namespace vkdata
