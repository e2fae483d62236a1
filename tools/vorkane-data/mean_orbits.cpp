// Planet positions from mean orbital elements and their rates, referred to
// the mean ecliptic and equinox of J2000 (E. M. Standish, "Keplerian
// Elements for Approximate Positions of the Major Planets", JPL): the table
// for 3000 BC to AD 3000 throughout, where the mean anomalies of Jupiter to
// Pluto carry extra terms b T^2 + c cos(f T) + s sin(f T); for Uranus,
// Neptune and Pluto the table fitted to 1800 to 2050 within that span,
// blended smoothly into the other over 25 years at each end. T is in Julian
// centuries from J2000. Two refinements: the largest mutual perturbations of
// Jupiter and Saturn in longitude and latitude, and Jacobi centres (Saturn
// moves about the barycentre of the Sun and Jupiter, Uranus about that of
// the Sun, Jupiter and Saturn, and so on), as a Kepler orbit fits best.
// Measured against DE440 around 2000 to 2008: within 0.015 au.
#include "vorkane-data/mean_orbits.hpp"

#include <algorithm>
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

// 3000 BC to AD 3000, Mercury to Pluto.
constexpr Elements long_span[9] = {
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

// 1800 to 2050, Uranus, Neptune and Pluto.
constexpr Elements modern_span[3] = {
    {19.18916464, 0.04725744, 0.77263783, 313.23810451, 170.95427630, 74.01692503,
     -0.00196176, -0.00004397, -0.00242939, 428.48202785, 0.40805281, 0.04240589, 0, 0, 0, 0},
    {30.06992276, 0.00859048, 1.77004347, -55.12002969, 44.96476227, 131.78422574,
     0.00026291, 0.00005105, 0.00035372, 218.45945325, -0.32241464, -0.00508664, 0, 0, 0, 0},
    {39.48211675, 0.24882730, 17.14001206, 238.92903833, 224.06891629, 110.30393684,
     -0.00031596, 0.00005170, 0.00004818, 145.20780515, -0.04062942, -0.01183482, 0, 0, 0, 0},
};

// Mass of Jupiter, Saturn, Uranus and Neptune over the Sun's.
constexpr double giant_mass[4] = {1 / 1047.348644, 1 / 3497.9018, 1 / 22902.98, 1 / 19412.26};

// Perturbations (degrees) of planet 5 or 6: amplitude times sin (or cos) of
// j Mj + s Ms + phase, Mj and Ms the mean anomalies of Jupiter and Saturn.
struct Perturbation {
    int planet;
    bool latitude, cosine;
    int j, s;
    double phase, amplitude;
};

constexpr Perturbation perturbations[] = {
    {5, false, false, 2, -2, 21, -0.056}, {5, false, false, 3, -5, 21, 0.042},
    {5, false, false, 1, -2, 0, -0.036},  {5, false, true, 1, -1, 0, 0.022},
    {5, false, false, 2, -3, 52, 0.023},  {5, false, false, 1, -5, -69, -0.016},
    {6, false, true, 2, -4, -2, -0.229},  {6, false, false, 1, -2, -3, 0.119},
    {6, false, false, 2, -6, -69, 0.046}, {6, false, false, 1, -3, 32, 0.014},
    {6, true, true, 2, -4, -2, -0.020},   {6, true, false, 2, -6, -49, 0.018},
};

constexpr double modern_start = 2378496.5;  // 1800 January 1
constexpr double modern_end = 2469807.5;    // 2050 January 1
constexpr double blend_days = 25 * 365.25;

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

double mean_anomaly(const Elements& el, double t) {
    return el.l + el.dl * t - (el.peri + el.dperi * t) + el.b * t * t +
           el.c * std::cos(el.f * t * degree) + el.s * std::sin(el.f * t * degree);
}

// Position (au) on the J2000 ecliptic of the Kepler orbit `el` at time t.
Vector3 kepler_position(const Elements& el, double t) {
    const double a = el.a + el.da * t, e = el.e + el.de * t;
    const double i = (el.i + el.di * t) * degree;
    const double peri = el.peri + el.dperi * t;
    const double node = (el.node + el.dnode * t) * degree;
    const double ea = eccentric_anomaly(std::remainder(mean_anomaly(el, t), 360.0) * degree, e);
    const double xp = a * (std::cos(ea) - e), yp = a * std::sqrt(1.0 - e * e) * std::sin(ea);
    const double w = peri * degree - node;
    const double cw = std::cos(w), sw = std::sin(w), cn = std::cos(node), sn = std::sin(node);
    const double ci = std::cos(i), si = std::sin(i);
    return {(cw * cn - sw * sn * ci) * xp + (-sw * cn - cw * sn * ci) * yp,
            (cw * sn + sw * cn * ci) * xp + (-sw * sn + cw * cn * ci) * yp,
            (sw * si) * xp + (cw * si) * yp};
}

// Turns p by the planet's perturbations in longitude and latitude.
Vector3 perturbed(int planet, const Vector3& p, double t) {
    const double mj = mean_anomaly(long_span[4], t), ms = mean_anomaly(long_span[5], t);
    double dlon = 0, dlat = 0;
    for (const Perturbation& q : perturbations) {
        if (q.planet != planet) continue;
        const double arg = (q.j * mj + q.s * ms + q.phase) * degree;
        (q.latitude ? dlat : dlon) += q.amplitude * (q.cosine ? std::cos(arg) : std::sin(arg));
    }
    const double r = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
    const double lon = std::atan2(p[1], p[0]) + dlon * degree;
    const double lat = std::asin(p[2] / r) + dlat * degree;
    return {r * std::cos(lat) * std::cos(lon), r * std::cos(lat) * std::sin(lon), r * std::sin(lat)};
}

// Weight of the 1800 to 2050 table: 1 inside that span, 0 beyond the
// 25-year blends, a smooth cosine step between.
double modern_weight(double jd) {
    const double u = std::min(jd - (modern_start - blend_days), modern_end + blend_days - jd);
    if (u <= 0) return 0;
    if (u >= blend_days) return 1;
    return 0.5 - 0.5 * std::cos(3.14159265358979323846 * u / blend_days);
}

// The planet's Kepler orbit about its centre (au, ecliptic).
Vector3 own_orbit(int planet, double jd) {
    const double t = (jd - 2451545.0) / 36525.0;
    const Vector3 p = kepler_position(long_span[planet - 1], t);
    if (planet == 5 || planet == 6) return perturbed(planet, p, t);
    const double w = planet >= 7 ? modern_weight(jd) : 0.0;
    if (w == 0) return p;
    const Vector3 q = kepler_position(modern_span[planet - 7], t);
    return {w * q[0] + (1 - w) * p[0], w * q[1] + (1 - w) * p[1], w * q[2] + (1 - w) * p[2]};
}

// Heliocentric position (au, ecliptic): the own orbit about the barycentre
// of the Sun and the giant planets inside it.
Vector3 heliocentric(int planet, double jd) {
    Vector3 p = own_orbit(planet, jd);
    if (planet <= 5) return p;
    Vector3 weighted{};
    double mass = 1.0;
    for (int inner = 5; inner < planet; ++inner) {
        const Vector3 h = heliocentric(inner, jd);
        for (int k = 0; k < 3; ++k) weighted[k] += giant_mass[inner - 5] * h[k];
        mass += giant_mass[inner - 5];
    }
    for (int k = 0; k < 3; ++k) p[k] += weighted[k] / mass;
    return p;
}

}  // namespace

Vector3 ecliptic_to_equatorial(const Vector3& v, double scale) {
    const double c = std::cos(obliquity_j2000), s = std::sin(obliquity_j2000);
    return {v[0] * scale, (c * v[1] - s * v[2]) * scale, (s * v[1] + c * v[2]) * scale};
}

Vector3 mean_orbit_position(int planet, double jd) {
    return ecliptic_to_equatorial(heliocentric(planet, jd), km_per_au);
}

}  // namespace vkdata
