// Geodetic foundations shared by the projections and the chains: ellipsoids, angle units,
// the plane similarity transformation, the meridian arc and the geodetic/cartesian conversions
// (EPSG Guidance Note 7-2, geographic/geocentric conversions, method 9602; the inverse in Bowring's
// closed form of 1976).
#pragma once

#include <numbers>

namespace velmora {

struct Ellipsoid {
    double a;    // semi-major axis, metres
    double invF; // inverse flattening
};

inline constexpr Ellipsoid kGrs80{6378137.0, 298.257222101};
inline constexpr Ellipsoid kWgs84{6378137.0, 298.257223563};
inline constexpr Ellipsoid kKrasovski1942{6378245.0, 298.3};
inline constexpr Ellipsoid kHayford1924{6378388.0, 297.0};

inline constexpr double kPi = std::numbers::pi;
// One degree in radians, the factor of the constants written in degrees.
inline constexpr double kDegree = kPi / 180.0;

// The conversions of every angle that crosses a boundary between degrees and radians.
constexpr double DegToRad(double degrees) { return degrees * kPi / 180.0; }
constexpr double RadToDeg(double radians) { return radians * 180.0 / kPi; }
constexpr double ArcSecToRad(double seconds) { return seconds * kPi / 648000.0; }

// Plane coordinates of a projection: N the northing, E the easting, metres.
struct NorthEast {
    double N;
    double E;
};

struct LatLon {
    double phi;    // radians
    double lambda; // radians
};

// Latitude B and longitude L in decimal degrees.
struct GeodeticDegrees {
    double B;
    double L;
};

// arcsin evaluated as arctan(x / sqrt(1 - x^2)), the form the projections use throughout.
double ArcSin(double x);

// Four-parameter plane similarity: shifts in metres, scale in parts per million, rotation in
// arc seconds (counter-clockwise in the easting/northing plane for positive values).
struct HelmertParams {
    double t1;
    double t2;
    double scalePpm;
    double rotationSec;
};

struct PlanePair {
    double first;
    double second;
};

// P is the easting-like and Q the northing-like input; returns (R1, R2) in the same order.
PlanePair Helmert2D(const HelmertParams& params, double P, double Q);

// A parameter set with its scale factor and rotation prepared, for applying it to many points;
// gives exactly what Helmert2D gives.
class PreparedHelmert {
public:
    explicit PreparedHelmert(const HelmertParams& params);
    PlanePair Apply(double P, double Q) const;

private:
    double m_;
    double cos_;
    double sin_;
    double t1_;
    double t2_;
};

// x raised to the integer power n (reciprocal for negative n, 1 for n = 0).
double IntPower(int n, double x);

// Length of the meridian arc from the equator to latitude phi (radians), series up to e^8.
double MeridianArc(double phi, double e2, double a);

struct Cartesian {
    double X;
    double Y;
    double Z;
};

struct Geodetic {
    double phi;    // radians
    double lambda; // radians
    double h;      // metres
};

Cartesian GeodeticToCartesian(const Ellipsoid& ellipsoid, double phi, double lambda, double h);

// Bowring's closed form, no iteration. The longitude keeps its quadrant for every X; the height is
// negative below the ellipsoid.
Geodetic CartesianToGeodetic(const Ellipsoid& ellipsoid, double X, double Y, double Z);

} // namespace velmora
