#include "core/Stereo70.h"

#include <cmath>

namespace velmora {
namespace detail {

const StereoConstants kStereo70{0.8028514559173916, 0.4363323129985824, 0.99975, 500000.0, 500000.0};

namespace {

constexpr double kSecondsPerRadian = 180.0 * 3600.0 / kPi;

// The conformal sphere of an ellipsoid at the projection origin, formed anew at every call.
struct ConformalSphere {
    double e;
    double e2;
    double n;
    double c;
    double chi0;
    double sinChi0;
    double cosChi0;
    double K; // 2 R k0
};

// (S1 * S2^e)^n for S1 = (1 + s) / (1 - s), S2 = (1 - e s) / (1 + e s).
double ConformalFactor(double e, double n, double s)
{
    const double S1 = (1.0 + s) / (1.0 - s);
    const double S2 = (1.0 - e * s) / (1.0 + e * s);
    return std::exp(n * std::log(std::exp(e * std::log(S2)) * S1));
}

ConformalSphere MakeSphere(const StereoConstants& constants, double a, double invF)
{
    ConformalSphere sphere{};
    const double b = a * (1.0 - 1.0 / invF);
    sphere.e = std::sqrt((a * a - b * b) / (a * a));
    sphere.e2 = sphere.e * sphere.e;
    const double s0 = std::sin(constants.phi0);
    const double W0 = std::sqrt(1.0 - sphere.e2 * s0 * s0);
    const double R = std::sqrt(a * (a * (1.0 - sphere.e2) / (W0 * W0 * W0)) / W0);
    const double cos0 = std::cos(constants.phi0);
    sphere.n = std::sqrt(1.0 + sphere.e2 * cos0 * cos0 * cos0 * cos0 / (1.0 - sphere.e2));
    const double w1 = ConformalFactor(sphere.e, sphere.n, s0);
    const double sinChi0Prime = (w1 - 1.0) / (w1 + 1.0);
    sphere.c = (sphere.n + s0) * (1.0 - sinChi0Prime) / ((sphere.n - s0) * (1.0 + sinChi0Prime));
    sphere.chi0 = ArcSin((sphere.c * w1 - 1.0) / (sphere.c * w1 + 1.0));
    sphere.sinChi0 = std::sin(sphere.chi0);
    sphere.cosChi0 = std::cos(sphere.chi0);
    sphere.K = 2.0 * R * constants.k0;
    return sphere;
}

// The chains project every point on GRS80 with the Stereo70 constants: that sphere is formed once.
ConformalSphere SphereOf(const StereoConstants& constants, double a, double invF)
{
    static const ConformalSphere stereo70Grs80 = MakeSphere(kStereo70, kGrs80.a, kGrs80.invF);
    if (&constants == &kStereo70 && a == kGrs80.a && invF == kGrs80.invF)
        return stereo70Grs80;
    return MakeSphere(constants, a, invF);
}

} // namespace

NorthEast StereoForward(const StereoConstants& constants, double a, double invF, double phi,
                        double lambda)
{
    const ConformalSphere sphere = SphereOf(constants, a, invF);
    const double w = sphere.c * ConformalFactor(sphere.e, sphere.n, std::sin(phi));
    const double chi = ArcSin((w - 1.0) / (w + 1.0));
    const double lambda0 = constants.lambda0;
    const double dL = (sphere.n * (lambda - lambda0) + lambda0) - lambda0;
    const double sinChi = std::sin(chi);
    const double cosChi = std::cos(chi);
    const double cosDL = std::cos(dL);
    const double B = 1.0 + sinChi * sphere.sinChi0 + cosChi * sphere.cosChi0 * cosDL;
    const double E = sphere.K * cosChi * std::sin(dL) / B + constants.falseEasting;
    const double N = sphere.K * (sphere.cosChi0 * sinChi - sphere.sinChi0 * cosChi * cosDL) / B +
                     constants.falseNorthing;
    return {N, E};
}

LatLon StereoInverse(const StereoConstants& constants, double a, double invF, double E, double N)
{
    const ConformalSphere sphere = SphereOf(constants, a, invF);
    const double e = sphere.e;
    const double e2 = sphere.e2;
    const double Ep = E - constants.falseEasting;
    const double Np = N - constants.falseNorthing;
    const double K = sphere.K;
    const double g = K * std::tan(kPi / 4.0 - sphere.chi0 / 2.0);
    const double h = 2.0 * K * std::tan(sphere.chi0) + g;
    const double i = std::atan(Ep / (Np + h));
    const double j = std::atan(Ep / (g - Np)) - i;
    const double lambda0 = constants.lambda0;
    const double lambda = ((2.0 * i + j + lambda0) - lambda0) / sphere.n + lambda0;
    const double chi = sphere.chi0 + 2.0 * std::atan((Np - Ep * std::tan(j / 2.0)) / K);
    const double sinChi = std::sin(chi);
    const double psi = 0.5 * std::log((1.0 + sinChi) / (sphere.c * (1.0 - sinChi))) / sphere.n;

    double phi = 2.0 * std::atan(std::exp(psi)) - kPi / 2.0;
    double phiNew = phi;
    for (int iteration = 0; iteration < 50; ++iteration) {
        const double sinPhi = std::sin(phi);
        const double psiI = std::log(std::tan(phi / 2.0 + kPi / 4.0) *
                                     std::pow((1.0 - e * sinPhi) / (1.0 + e * sinPhi), e / 2.0));
        phiNew = phi - (psiI - psi) * std::cos(phi) * (1.0 - e2 * sinPhi * sinPhi) / (1.0 - e2);
        const double change = std::fabs(phiNew * kSecondsPerRadian - phi * kSecondsPerRadian);
        phi = phiNew;
        if (!(change > 1e-6))
            break;
    }
    return {phiNew, lambda};
}

} // namespace detail

NorthEast StereoForward(double a, double invF, double phi, double lambda)
{
    return detail::StereoForward(detail::kStereo70, a, invF, phi, lambda);
}

LatLon StereoInverse(double a, double invF, double E, double N)
{
    return detail::StereoInverse(detail::kStereo70, a, invF, E, N);
}

} // namespace velmora
