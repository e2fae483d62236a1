// An approximate analytic model of the solar system for the demo data file:
// Keplerian mean orbits of the planets and a short lunar series. It is an
// approximation, not DE440: planets within 0.015 au of DE440 around 2000 and
// less close far from it, the Moon within a few thousand km.
#pragma once

#include <array>

namespace vkdata {

using Vector3 = std::array<double, 3>;

// Heliocentric position (km) of planet 1 (Mercury) to 9 (Pluto), body 3
// being the Earth-Moon barycentre, on equatorial J2000 axes, at Julian date
// `jd` (TDB).
Vector3 mean_orbit_position(int planet, double jd);

// Ecliptic J2000 axes to equatorial J2000 axes, each component times `scale`.
Vector3 ecliptic_to_equatorial(const Vector3& v, double scale);

// Geocentric position (km) of the Moon on the same axes.
Vector3 moon_position(double jd);

}  // namespace vkdata
