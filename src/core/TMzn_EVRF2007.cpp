#include "core/TMzn_EVRF2007.h"

#include "core/Geodesy.h"

#include <cmath>

namespace velmora {
namespace detail {
namespace {

// Quantities of the ellipsoid shared by both directions of the Transverse Mercator series.
struct TmSeries {
    double e2;
    double u; // second eccentricity squared
    double alpha;
    double G2, G4, G6, G8;

    explicit TmSeries(const TmConstants& tm)
    {
        const double f = 1.0 / tm.inv_f;
        e2 = 2.0 * f - f * f;
        u = e2 / (1.0 - e2);
        const double n = f / (2.0 - f);
        const double c = tm.sm_a / std::sqrt(1.0 - e2);
        alpha = tm.sm_a * (1.0 + n * n / 4.0) / (1.0 + n);
        G2 = c * (u * (u * (u * (u * (u * -86625.0 / 8.0 + 11025.0) / 64.0 - 175.0) / 4.0 + 45.0) / 16.0 - 3.0) / 4.0);
        G4 = c * (u * (u * (u * (u * (u * -17325.0 / 4.0 + 3675.0) / 256.0 - 175.0 / 12.0) + 15.0)) / 32.0);
        G6 = c * (735.0 * u * u * u * u - 746.5 * u * u * u) / 2048.0;
        G8 = c * (315.0 * u * u * u * u - 3465.0 / 4.0 * u * u * u * u * u) / 1024.0;
    }

    double MeridianArc(double phi) const
    {
        const double c2 = std::cos(phi) * std::cos(phi);
        return alpha * phi + std::sin(phi) * std::cos(phi) * (G2 + c2 * (G4 + c2 * (G6 + c2 * G8)));
    }
};

} // namespace

void TmForward(const TmConstants& tm, double lambda0, double phi, double lambda, double& North,
               double& East)
{
    const TmSeries s(tm);
    const double cosPhi = std::cos(phi);
    const double sinPhi = std::sin(phi);
    const double A = cosPhi * (lambda - lambda0);
    const double A2 = A * A;
    const double t = sinPhi / cosPhi;
    const double T = t * t;
    const double C = s.u * cosPhi * cosPhi;
    const double nu = tm.k0 * tm.sm_a / std::sqrt(1.0 - s.e2 * sinPhi * sinPhi);
    const double X3 = (1.0 - T + C) / 6.0;
    const double X5 = (5.0 - 18.0 * T + T * T + C * (14.0 - 58.0 * T)) / 120.0;
    const double X7 = (61.0 - 479.0 * T + 179.0 * T * T - T * T * T) / 5040.0;
    East = nu * A * (1.0 + A2 * (X3 + A2 * (X5 + A2 * X7))) + tm.E0;
    const double Y4 = (5.0 - T + 9.0 * C + 4.0 * C * C) / 12.0;
    const double Y6 = (61.0 - 58.0 * T + T * T + C * (270.0 - 330.0 * T)) / 360.0;
    North = (nu * t * A2 / 2.0) * (1.0 + A2 * (Y4 + A2 * Y6)) +
            (tm.k0 * s.MeridianArc(phi) - tm.k0 * s.MeridianArc(tm.phi0)) + tm.N0;
}

void TmInverse(const TmConstants& tm, double lambda0, double North, double East, double& phi,
               double& lambda)
{
    const TmSeries s(tm);
    const double u = s.u;
    const double sigma = (North - tm.N0 + tm.k0 * s.MeridianArc(tm.phi0)) / (s.alpha * tm.k0);
    const double F2 = u * (u * (u * (u * (u * 16384.0 - 11025.0) / 64.0 + 175.0) / 4.0 - 45.0) / 16.0 + 3.0) / 4.0;
    const double F4 = u * (u * (u * (u * (u * -20464271.0 / 120.0 + 19413.0) / 8.0 - 1477.0) / 32.0 + 21.0)) / 32.0;
    const double F6 = u * (u * (u * (u * (u * 4737141.0 / 28.0 - 17121.0) / 32.0 + 151.0))) / 192.0;
    const double F8 = u * (u * (u * (u * (u * -427277.0 / 35.0 + 1097.0)))) / 1024.0;
    const double cs2 = std::cos(sigma) * std::cos(sigma);
    const double phi1 = sigma + std::sin(sigma) * std::cos(sigma) * (F2 + cs2 * (F4 + cs2 * (F6 + cs2 * F8)));

    const double sinPhi1 = std::sin(phi1);
    const double cosPhi1 = std::cos(phi1);
    const double D = (East - tm.E0) / (tm.k0 * tm.sm_a / std::sqrt(1.0 - s.e2 * sinPhi1 * sinPhi1));
    const double D2 = D * D;
    const double t1 = std::tan(phi1);
    const double T = t1 * t1;
    const double C = u * cosPhi1 * cosPhi1;
    const double Y4 = -(5.0 + 3.0 * T + C * (1.0 - 9.0 * T) - 4.0 * C * C) / 12.0;
    const double Y6 = (61.0 + 90.0 * T + 45.0 * T * T + C * (46.0 - 252.0 * T - 90.0 * T * T)) / 360.0;
    phi = phi1 - (t1 * (1.0 + C) / 2.0) * D2 * (1.0 + D2 * (Y4 + D2 * Y6));
    const double X3 = -(1.0 + 2.0 * T + C) / 6.0;
    const double X5 = (5.0 + 28.0 * T + 24.0 * T * T + C * (6.0 + 8.0 * T)) / 120.0;
    const double X7 = -(61.0 + 662.0 * T + 1320.0 * T * T + 720.0 * T * T * T) / 5040.0;
    lambda = lambda0 + D * (1.0 + D2 * (X3 + D2 * (X5 + D2 * X7))) / cosPhi1;
}

} // namespace detail

namespace {

double DegreesToRadians(double x) { return x / 180.0 * kPi; }
double RadiansToDegrees(double x) { return x / kPi * 180.0; }
double CentralMeridian(int zone) { return DegreesToRadians(zone * 6.0 - 183.0); }
bool OutsideTmRange(double degrees) { return degrees < 0.0 || degrees > 84.0; }

} // namespace

ConversorUTM::ConversorUTM() : sm_a(6378137.0), inv_f(298.257222101), k0(0.9996), E0(500000.0), N0(0.0), phi0(0.0)
{
}

int ConversorUTM::MapLatLonToNE(double phi, double lambda, int zone, double& North, double& East) const
{
    if (OutsideTmRange(phi) || OutsideTmRange(lambda))
        return -1;
    detail::TmForward({sm_a, inv_f, k0, E0, N0, phi0}, CentralMeridian(zone), DegreesToRadians(phi),
                      DegreesToRadians(lambda), North, East);
    return 0;
}

int ConversorUTM::MapNEToLatLon(double North, double East, int zone, double& phi, double& lambda) const
{
    double phiRad = 0.0;
    double lambdaRad = 0.0;
    detail::TmInverse({sm_a, inv_f, k0, E0, N0, phi0}, CentralMeridian(zone), North, East, phiRad, lambdaRad);
    phi = RadiansToDegrees(phiRad);
    lambda = RadiansToDegrees(lambdaRad);
    return OutsideTmRange(phi) || OutsideTmRange(lambda) ? -1 : 0;
}

namespace {

struct Radii {
    double M;
    double N;
};

Radii RadiiAt(double a, double invF, double latDegrees)
{
    const double f = 1.0 / invF;
    const double b = (1.0 - f) * a;
    const double e = std::sqrt((a * a - b * b) / (a * a));
    const double e2 = e * e;
    const double s = std::sin(latDegrees * kPi / 180.0);
    const double W = std::sqrt(1.0 - e2 * s * s);
    return {(1.0 - e2) * a / (W * W * W), a / W};
}

} // namespace

ConversorEVRF2007::ConversorEVRF2007()
    : sm_a(6378137.0), inv_f(298.257222101), LATo(46.0 + 1.0 / 60.0), LONo(24.0 + 49.0 / 60.0), a1(0.062),
      a2(-0.005), a3(0.008), Mo(RadiiAt(sm_a, inv_f, LATo).M), No(RadiiAt(sm_a, inv_f, LATo).N)
{
}

ConversorEVRF2007::Tilts ConversorEVRF2007::TiltTerms(double LAT, double LON) const
{
    const double rho = kPi / 180.0;
    return {(a2 / 3600.0 * rho) * Mo * (LAT - LATo) * rho,
            std::cos(LAT * rho) * ((a3 / 3600.0 * rho) * No * (LON - LONo) * rho)};
}

int ConversorEVRF2007::HBlackSeeToHEVRF2007(double LAT, double LON, double hBlackSee, double& hEVRF2007) const
{
    const Tilts t = TiltTerms(LAT, LON);
    hEVRF2007 = (hBlackSee + a1) + t.northSouth + t.eastWest;
    return 0;
}

int ConversorEVRF2007::HEVRF2007ToHBlackSee(double LAT, double LON, double hEVRF2007, double& hBlackSee) const
{
    const Tilts t = TiltTerms(LAT, LON);
    hBlackSee = ((hEVRF2007 - a1) - t.northSouth) - t.eastWest;
    return 0;
}

namespace {

// Fixed centre and false origin of the ETRS89 LAEA grid.
constexpr double kLaeaPhi0 = 0.9075712110370514;
constexpr double kLaeaLambda0 = 0.17453292519943295;
constexpr double kLaeaFalseEasting = 4321000.0;
constexpr double kLaeaFalseNorthing = 3210000.0;

struct LaeaConstants {
    double e2;
    double e;
    double qp;
    double beta0;
    double Rq;
    double D;

    LaeaConstants(double a, double nf)
    {
        const double f = 1.0 / nf;
        e2 = 2.0 * f - f * f;
        e = std::sqrt(e2);
        qp = (1.0 - e2) * (1.0 / (1.0 - e2) - (1.0 / (2.0 * e)) * std::log((1.0 - e) / (1.0 + e)));
        beta0 = ArcSin(q(kLaeaPhi0) / qp);
        Rq = a * std::sqrt(qp / 2.0);
        const double s0 = std::sin(kLaeaPhi0);
        D = a * std::cos(kLaeaPhi0) / (std::sqrt(1.0 - e2 * s0 * s0) * Rq * std::cos(beta0));
    }

    double q(double phi) const
    {
        const double s = std::sin(phi);
        return (1.0 - e2) * (s / (1.0 - e2 * s * s) - (1.0 / (2.0 * e)) * std::log((1.0 - e * s) / (1.0 + e * s)));
    }
};

} // namespace

int ConversorLAEA::BLtoXY(double a, double nf, double br, double l, double& x, double& y) const
{
    const LaeaConstants k(a, nf);
    const double beta = ArcSin(k.q(br) / k.qp);
    const double dl = l - kLaeaLambda0;
    const double B = k.Rq * std::sqrt(2.0 / (1.0 + std::sin(k.beta0) * std::sin(beta) +
                                             std::cos(k.beta0) * std::cos(beta) * std::cos(dl)));
    y = (B / k.D) * (std::cos(k.beta0) * std::sin(beta) - std::sin(k.beta0) * std::cos(beta) * std::cos(dl)) +
        kLaeaFalseNorthing;
    x = B * k.D * std::cos(beta) * std::sin(dl) + kLaeaFalseEasting;
    return 0;
}

int ConversorLAEA::XYtoBL(double a, double nf, double x, double y, double& fi, double& la) const
{
    const LaeaConstants k(a, nf);
    const double Ep = x - kLaeaFalseEasting;
    const double Np = y - kLaeaFalseNorthing;
    const double rho = std::sqrt((Ep / k.D) * (Ep / k.D) + (k.D * Np) * (k.D * Np));
    if (rho == 0.0) {
        // The centre is the limit of the formulas there, which would divide zero by zero.
        fi = kLaeaPhi0;
        la = kLaeaLambda0;
        return 0;
    }
    const double C = 2.0 * ArcSin(rho / (2.0 * k.Rq));
    const double betaP = ArcSin(std::cos(C) * std::sin(k.beta0) + k.D * Np * std::sin(C) * std::cos(k.beta0) / rho);
    const double e4 = k.e2 * k.e2;
    const double e6 = e4 * k.e2;
    fi = betaP + (k.e2 / 3.0 + 31.0 * e4 / 180.0 + 517.0 * e6 / 5040.0) * std::sin(2.0 * betaP) +
         (23.0 * e4 / 360.0 + 251.0 * e6 / 3780.0) * std::sin(4.0 * betaP) +
         (761.0 * e6 / 45360.0) * std::sin(6.0 * betaP);
    la = kLaeaLambda0 + std::atan(Ep * std::sin(C) / (k.D * rho * std::cos(k.beta0) * std::cos(C) -
                                                     k.D * k.D * Np * std::sin(k.beta0) * std::sin(C)));
    return 0;
}

} // namespace velmora
