#include "core/Stereo70.h"

#include <cmath>

namespace velmora {

namespace {

constexpr double kSecondsPerRadian = 180.0 * 3600.0 / kPi;

// (S1 * S2^e)^n for S1 = (1 + s) / (1 - s), S2 = (1 - e s) / (1 + e s).
double ConformalFactor(double e, double n, double s)
{
    const double S1 = (1.0 + s) / (1.0 - s);
    const double S2 = (1.0 - e * s) / (1.0 + e * s);
    return std::exp(n * std::log(std::exp(e * std::log(S2)) * S1));
}

} // namespace

StereoProjection::StereoProjection(const Ellipsoid& ellipsoid, const StereoConstants& constants)
    : constants_(constants)
{
    const double a = ellipsoid.a;
    const double b = a * (1.0 - 1.0 / ellipsoid.invF);
    e_ = std::sqrt((a * a - b * b) / (a * a));
    e2_ = e_ * e_;
    const double s0 = std::sin(constants.phi0);
    const double W0 = std::sqrt(1.0 - e2_ * s0 * s0);
    const double R = std::sqrt(a * (a * (1.0 - e2_) / (W0 * W0 * W0)) / W0);
    const double cos0 = std::cos(constants.phi0);
    n_ = std::sqrt(1.0 + e2_ * cos0 * cos0 * cos0 * cos0 / (1.0 - e2_));
    const double w1 = ConformalFactor(e_, n_, s0);
    const double sinChi0Prime = (w1 - 1.0) / (w1 + 1.0);
    c_ = (n_ + s0) * (1.0 - sinChi0Prime) / ((n_ - s0) * (1.0 + sinChi0Prime));
    chi0_ = ArcSin((c_ * w1 - 1.0) / (c_ * w1 + 1.0));
    sinChi0_ = std::sin(chi0_);
    cosChi0_ = std::cos(chi0_);
    K_ = 2.0 * R * constants.k0;
}

NorthEast StereoProjection::Forward(double phi, double lambda) const
{
    const double w = c_ * ConformalFactor(e_, n_, std::sin(phi));
    const double chi = ArcSin((w - 1.0) / (w + 1.0));
    // The conformal longitude is formed about the origin, n (lambda - lambda0) + lambda0, and the
    // origin taken off again: the round trip through lambda0 rounds in the last bit unlike
    // n (lambda - lambda0) alone, and the published coordinates were computed this way.
    const double lambda0 = constants_.lambda0;
    const double dL = (n_ * (lambda - lambda0) + lambda0) - lambda0;
    const double sinChi = std::sin(chi);
    const double cosChi = std::cos(chi);
    const double cosDL = std::cos(dL);
    const double B = 1.0 + sinChi * sinChi0_ + cosChi * cosChi0_ * cosDL;
    const double E = K_ * cosChi * std::sin(dL) / B + constants_.falseEasting;
    const double N = K_ * (cosChi0_ * sinChi - sinChi0_ * cosChi * cosDL) / B + constants_.falseNorthing;
    return {N, E};
}

LatLon StereoProjection::Inverse(double E, double N) const
{
    const double Ep = E - constants_.falseEasting;
    const double Np = N - constants_.falseNorthing;
    const double g = K_ * std::tan(kPi / 4.0 - chi0_ / 2.0);
    const double h = 2.0 * K_ * std::tan(chi0_) + g;
    const double i = std::atan(Ep / (Np + h));
    const double j = std::atan(Ep / (g - Np)) - i;
    // The conformal longitude 2i + j + lambda0 back to the ellipsoid, about the origin as in
    // Forward.
    const double lambda0 = constants_.lambda0;
    const double lambda = ((2.0 * i + j + lambda0) - lambda0) / n_ + lambda0;
    const double chi = chi0_ + 2.0 * std::atan((Np - Ep * std::tan(j / 2.0)) / K_);
    const double sinChi = std::sin(chi);
    const double psi = 0.5 * std::log((1.0 + sinChi) / (c_ * (1.0 - sinChi))) / n_;

    double phi = 2.0 * std::atan(std::exp(psi)) - kPi / 2.0;
    double phiNew = phi;
    for (int iteration = 0; iteration < 50; ++iteration) {
        const double sinPhi = std::sin(phi);
        const double psiI = std::log(std::tan(phi / 2.0 + kPi / 4.0) *
                                     std::pow((1.0 - e_ * sinPhi) / (1.0 + e_ * sinPhi), e_ / 2.0));
        phiNew = phi - (psiI - psi) * std::cos(phi) * (1.0 - e2_ * sinPhi * sinPhi) / (1.0 - e2_);
        const double change = std::fabs(phiNew * kSecondsPerRadian - phi * kSecondsPerRadian);
        phi = phiNew;
        if (!(change > 1e-6))
            break;
    }
    return {phiNew, lambda};
}

NorthEast StereoForward(double a, double invF, double phi, double lambda)
{
    return StereoProjection({a, invF}).Forward(phi, lambda);
}

LatLon StereoInverse(double a, double invF, double E, double N)
{
    return StereoProjection({a, invF}).Inverse(E, N);
}

} // namespace velmora
