#include "core/Geodesy.h"

#include <cmath>

namespace velmora {

double ArcSin(double x)
{
    return std::atan(x / std::sqrt(1.0 - x * x));
}

PreparedHelmert::PreparedHelmert(const HelmertParams& params)
    : m_(1.0 + params.scalePpm * 1e-6), cos_(std::cos(ArcSecToRad(params.rotationSec))),
      sin_(std::sin(ArcSecToRad(params.rotationSec))), t1_(params.t1), t2_(params.t2)
{
}

PlanePair PreparedHelmert::Apply(double P, double Q) const
{
    return {m_ * (P * cos_ - Q * sin_) + t1_, m_ * (Q * cos_ + P * sin_) + t2_};
}

PlanePair Helmert2D(const HelmertParams& params, double P, double Q)
{
    return PreparedHelmert(params).Apply(P, Q);
}

double IntPower(int n, double x)
{
    double result = 1.0;
    for (int k = n < 0 ? -n : n; k > 0; --k)
        result *= x;
    return n < 0 ? 1.0 / result : result;
}

double MeridianArc(double phi, double e2, double a)
{
    // Degrees per radian as the series has always carried it, rounded to twelve decimals.
    constexpr double kDegreesPerRadian = 57.295779513082;
    const double e4 = IntPower(2, e2);
    const double e6 = IntPower(3, e2);
    const double e8 = IntPower(4, e2);
    const double c = a * (1.0 - e2);
    const double A = (1.0 + 0.75 * e2 + 0.703125 * e4 + 0.68359375 * e6 + 0.67291259765625 * e8) * c /
                     kDegreesPerRadian;
    const double B = (0.75 * e2 + 0.9375 * e4 + 1.025390625 * e6 + 1.07666015625 * e8) * c / 2.0;
    const double C = (0.234375 * e4 + 0.41015625 * e6 + 0.538330078125 * e8) * c / 4.0;
    const double D = (0.068359375 * e6 + 0.15380859375 * e8) * c / 6.0;
    const double E = (c / 8.0) * (315.0 / 16384.0) * e8;
    return A * phi * (180.0 / kPi) - B * std::sin(2.0 * phi) + C * std::sin(4.0 * phi) -
           D * std::sin(6.0 * phi) + E * std::sin(8.0 * phi);
}

Cartesian GeodeticToCartesian(const Ellipsoid& ellipsoid, double phi, double lambda, double h)
{
    const double a = ellipsoid.a;
    const double f = 1.0 / ellipsoid.invF;
    const double e2 = 2.0 * f - f * f;
    const double sinPhi = std::sin(phi);
    const double N = a / std::sqrt(1.0 - e2 * sinPhi * sinPhi);
    const double b = (ellipsoid.invF - 1.0) * a / ellipsoid.invF;
    return {(N + h) * std::cos(phi) * std::cos(lambda), (N + h) * std::cos(phi) * std::sin(lambda),
            (h + N * b * b / (a * a)) * sinPhi};
}

Geodetic CartesianToGeodetic(const Ellipsoid& ellipsoid, double X, double Y, double Z)
{
    const double a = ellipsoid.a;
    const double k = 1.0 - 1.0 / ellipsoid.invF;
    const double b = k * a;
    const double e2 = (a * a - b * b) / (a * a);
    const double p = std::sqrt(X * X + Y * Y);
    // On the polar axis the closed form below divides by a tiny negative number (cos of a right
    // angle is not exactly zero) and returns the opposite pole: the pole is set directly.
    if (p == 0.0)
        return {Z < 0.0 ? -kPi / 2.0 : kPi / 2.0, 0.0, std::abs(Z) - b};
    const double r = std::sqrt(p * p + Z * Z);
    const double mu = std::atan((k + e2 * a / r) * Z / p);
    const double sinMu = std::sin(mu);
    const double cosMu = std::cos(mu);
    const double phi = std::atan((k * Z + e2 * a * sinMu * sinMu * sinMu) /
                                 (k * (p - e2 * a * cosMu * cosMu * cosMu)));
    // The two-argument form keeps the quadrant of points with X < 0; for X > 0 it equals the
    // principal value of arctan(Y / X).
    const double lambda = std::atan2(Y, X);
    const double beta = std::atan(k * std::tan(phi));
    const double dz = Z - b * std::sin(beta);
    const double dp = p - a * std::cos(beta);
    // The height is the distance from the ellipsoid, negative for a point inside it.
    const double distance = std::sqrt(dz * dz + dp * dp);
    const bool inside = (p / a) * (p / a) + (Z / b) * (Z / b) < 1.0;
    return {phi, lambda, inside ? -distance : distance};
}

} // namespace velmora
