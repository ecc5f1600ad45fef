#include "core/TMzn_EVRF2007.h"

#include "core/Geodesy.h"

#include <cmath>

namespace velmora {
namespace detail {

TransverseMercator::TransverseMercator(const TmConstants& tm) : tm_(tm)
{
    const double f = 1.0 / tm.inv_f;
    e2_ = 2.0 * f - f * f;
    const double u = e2_ / (1.0 - e2_);
    u_ = u;
    const double n = f / (2.0 - f);
    const double c = tm.sm_a / std::sqrt(1.0 - e2_);
    alpha_ = tm.sm_a * (1.0 + n * n / 4.0) / (1.0 + n);
    G2_ = c * (u * (u * (u * (u * (u * -86625.0 / 8.0 + 11025.0) / 64.0 - 175.0) / 4.0 + 45.0) / 16.0 - 3.0) / 4.0);
    G4_ = c * (u * (u * (u * (u * (u * -17325.0 / 4.0 + 3675.0) / 256.0 - 175.0 / 12.0) + 15.0)) / 32.0);
    G6_ = c * (735.0 * u * u * u * u - 746.5 * u * u * u) / 2048.0;
    G8_ = c * (315.0 * u * u * u * u - 3465.0 / 4.0 * u * u * u * u * u) / 1024.0;
    F2_ = u * (u * (u * (u * (u * 16384.0 - 11025.0) / 64.0 + 175.0) / 4.0 - 45.0) / 16.0 + 3.0) / 4.0;
    F4_ = u * (u * (u * (u * (u * -20464271.0 / 120.0 + 19413.0) / 8.0 - 1477.0) / 32.0 + 21.0)) / 32.0;
    F6_ = u * (u * (u * (u * (u * 4737141.0 / 28.0 - 17121.0) / 32.0 + 151.0))) / 192.0;
    F8_ = u * (u * (u * (u * (u * -427277.0 / 35.0 + 1097.0)))) / 1024.0;
    originArc_ = tm.k0 * MeridianArc(tm.phi0);
}

double TransverseMercator::MeridianArc(double phi) const
{
    const double c2 = std::cos(phi) * std::cos(phi);
    return alpha_ * phi + std::sin(phi) * std::cos(phi) * (G2_ + c2 * (G4_ + c2 * (G6_ + c2 * G8_)));
}

NorthEast TransverseMercator::Forward(double lambda0, double phi, double lambda) const
{
    const double cosPhi = std::cos(phi);
    const double sinPhi = std::sin(phi);
    const double A = cosPhi * (lambda - lambda0);
    const double A2 = A * A;
    const double t = sinPhi / cosPhi;
    const double T = t * t;
    const double C = u_ * cosPhi * cosPhi;
    const double nu = tm_.k0 * tm_.sm_a / std::sqrt(1.0 - e2_ * sinPhi * sinPhi);
    const double X3 = (1.0 - T + C) / 6.0;
    const double X5 = (5.0 - 18.0 * T + T * T + C * (14.0 - 58.0 * T)) / 120.0;
    const double X7 = (61.0 - 479.0 * T + 179.0 * T * T - T * T * T) / 5040.0;
    const double East = nu * A * (1.0 + A2 * (X3 + A2 * (X5 + A2 * X7))) + tm_.E0;
    const double Y4 = (5.0 - T + 9.0 * C + 4.0 * C * C) / 12.0;
    const double Y6 = (61.0 - 58.0 * T + T * T + C * (270.0 - 330.0 * T)) / 360.0;
    const double North =
        (nu * t * A2 / 2.0) * (1.0 + A2 * (Y4 + A2 * Y6)) + (tm_.k0 * MeridianArc(phi) - originArc_) + tm_.N0;
    return {North, East};
}

LatLon TransverseMercator::Inverse(double lambda0, double North, double East) const
{
    // The rectifying latitude, then the footpoint latitude from it.
    const double sigma = (North - tm_.N0 + originArc_) / (alpha_ * tm_.k0);
    const double cs2 = std::cos(sigma) * std::cos(sigma);
    const double phi1 = sigma + std::sin(sigma) * std::cos(sigma) * (F2_ + cs2 * (F4_ + cs2 * (F6_ + cs2 * F8_)));

    const double sinPhi1 = std::sin(phi1);
    const double cosPhi1 = std::cos(phi1);
    const double D = (East - tm_.E0) / (tm_.k0 * tm_.sm_a / std::sqrt(1.0 - e2_ * sinPhi1 * sinPhi1));
    const double D2 = D * D;
    const double t1 = std::tan(phi1);
    const double T = t1 * t1;
    const double C = u_ * cosPhi1 * cosPhi1;
    const double Y4 = -(5.0 + 3.0 * T + C * (1.0 - 9.0 * T) - 4.0 * C * C) / 12.0;
    const double Y6 = (61.0 + 90.0 * T + 45.0 * T * T + C * (46.0 - 252.0 * T - 90.0 * T * T)) / 360.0;
    const double phi = phi1 - (t1 * (1.0 + C) / 2.0) * D2 * (1.0 + D2 * (Y4 + D2 * Y6));
    const double X3 = -(1.0 + 2.0 * T + C) / 6.0;
    const double X5 = (5.0 + 28.0 * T + 24.0 * T * T + C * (6.0 + 8.0 * T)) / 120.0;
    const double X7 = -(61.0 + 662.0 * T + 1320.0 * T * T + 720.0 * T * T * T) / 5040.0;
    const double lambda = lambda0 + D * (1.0 + D2 * (X3 + D2 * (X5 + D2 * X7))) / cosPhi1;
    return {phi, lambda};
}

} // namespace detail

namespace {

// The zone formulas convert their angles dividing first; DegToRad and RadToDeg multiply first and
// round differently in the last bit, which moves about one zone coordinate in a million across a
// millimetre of the result files. The zone coordinates keep their own conversions.
double DegreesToRadians(double x)
{
    return x / 180.0 * kPi;
}

double RadiansToDegrees(double x)
{
    return x / kPi * 180.0;
}

double CentralMeridian(int zone)
{
    return DegreesToRadians(zone * 6.0 - 183.0);
}

bool OutsideTmRange(double degrees)
{
    return degrees < 0.0 || degrees > 84.0;
}

} // namespace

ConversorUTM::ConversorUTM()
    : sm_a(kGrs80.a), inv_f(kGrs80.invF), k0(0.9996), E0(500000.0), N0(0.0), phi0(0.0),
      series_({sm_a, inv_f, k0, E0, N0, phi0})
{
}

std::optional<NorthEast> ConversorUTM::MapLatLonToNE(double phi, double lambda, int zone) const
{
    if (OutsideTmRange(phi) || OutsideTmRange(lambda))
        return std::nullopt;
    return series_.Forward(CentralMeridian(zone), DegreesToRadians(phi), DegreesToRadians(lambda));
}

std::optional<GeodeticDegrees> ConversorUTM::MapNEToLatLon(double North, double East, int zone) const
{
    const LatLon geo = series_.Inverse(CentralMeridian(zone), North, East);
    const GeodeticDegrees result{RadiansToDegrees(geo.phi), RadiansToDegrees(geo.lambda)};
    if (OutsideTmRange(result.B) || OutsideTmRange(result.L))
        return std::nullopt;
    return result;
}

namespace {

struct Radii {
    double M;
    double N;
};

// Radii of curvature with the axis form of the squared eccentricity.
Radii RadiiAt(const Ellipsoid& ellipsoid, double latDegrees)
{
    const double a = ellipsoid.a;
    const double b = (1.0 - 1.0 / ellipsoid.invF) * a;
    const double e = std::sqrt((a * a - b * b) / (a * a));
    const double e2 = e * e;
    const double s = std::sin(DegToRad(latDegrees));
    const double W = std::sqrt(1.0 - e2 * s * s);
    return {(1.0 - e2) * a / (W * W * W), a / W};
}

} // namespace

ConversorEVRF2007::ConversorEVRF2007()
    : sm_a(kGrs80.a), inv_f(kGrs80.invF), LATo(46.0 + 1.0 / 60.0), LONo(24.0 + 49.0 / 60.0), a1(0.062), a2(-0.005),
      a3(0.008), Mo(RadiiAt(kGrs80, LATo).M), No(RadiiAt(kGrs80, LATo).N)
{
}

ConversorEVRF2007::Tilts ConversorEVRF2007::TiltTerms(double LAT, double LON) const
{
    return {(a2 / 3600.0 * kDegree) * Mo * (LAT - LATo) * kDegree,
            std::cos(LAT * kDegree) * ((a3 / 3600.0 * kDegree) * No * (LON - LONo) * kDegree)};
}

double ConversorEVRF2007::HBlackSeeToHEVRF2007(double LAT, double LON, double hBlackSee) const
{
    const Tilts t = TiltTerms(LAT, LON);
    return (hBlackSee + a1) + t.northSouth + t.eastWest;
}

double ConversorEVRF2007::HEVRF2007ToHBlackSee(double LAT, double LON, double hEVRF2007) const
{
    const Tilts t = TiltTerms(LAT, LON);
    return ((hEVRF2007 - a1) - t.northSouth) - t.eastWest;
}

namespace {

// Centre and false origin of the ETRS89 LAEA grid.
constexpr double kLaeaPhi0 = 52.0 * kDegree;
constexpr double kLaeaLambda0 = 10.0 * kDegree;
constexpr double kLaeaFalseEasting = 4321000.0;
constexpr double kLaeaFalseNorthing = 3210000.0;

} // namespace

ConversorLAEA::ConversorLAEA(const Ellipsoid& ellipsoid) : a_(ellipsoid.a)
{
    const double f = 1.0 / ellipsoid.invF;
    e2_ = 2.0 * f - f * f;
    e_ = std::sqrt(e2_);
    qp_ = (1.0 - e2_) * (1.0 / (1.0 - e2_) - (1.0 / (2.0 * e_)) * std::log((1.0 - e_) / (1.0 + e_)));
    beta0_ = ArcSin(q(kLaeaPhi0) / qp_);
    Rq_ = a_ * std::sqrt(qp_ / 2.0);
    const double s0 = std::sin(kLaeaPhi0);
    D_ = a_ * std::cos(kLaeaPhi0) / (std::sqrt(1.0 - e2_ * s0 * s0) * Rq_ * std::cos(beta0_));
}

// The authalic function q of the latitude.
double ConversorLAEA::q(double phi) const
{
    const double s = std::sin(phi);
    return (1.0 - e2_) * (s / (1.0 - e2_ * s * s) - (1.0 / (2.0 * e_)) * std::log((1.0 - e_ * s) / (1.0 + e_ * s)));
}

PlanePair ConversorLAEA::BLtoXY(double br, double l) const
{
    const double beta = ArcSin(q(br) / qp_);
    const double dl = l - kLaeaLambda0;
    const double B = Rq_ * std::sqrt(2.0 / (1.0 + std::sin(beta0_) * std::sin(beta) +
                                           std::cos(beta0_) * std::cos(beta) * std::cos(dl)));
    const double y =
        (B / D_) * (std::cos(beta0_) * std::sin(beta) - std::sin(beta0_) * std::cos(beta) * std::cos(dl)) +
        kLaeaFalseNorthing;
    const double x = B * D_ * std::cos(beta) * std::sin(dl) + kLaeaFalseEasting;
    return {x, y};
}

LatLon ConversorLAEA::XYtoBL(double x, double y) const
{
    const double Ep = x - kLaeaFalseEasting;
    const double Np = y - kLaeaFalseNorthing;
    const double rho = std::sqrt((Ep / D_) * (Ep / D_) + (D_ * Np) * (D_ * Np));
    if (rho == 0.0) {
        // The centre is the limit of the formulas there, which would divide zero by zero.
        return {kLaeaPhi0, kLaeaLambda0};
    }
    const double C = 2.0 * ArcSin(rho / (2.0 * Rq_));
    const double betaP = ArcSin(std::cos(C) * std::sin(beta0_) + D_ * Np * std::sin(C) * std::cos(beta0_) / rho);
    const double e4 = e2_ * e2_;
    const double e6 = e4 * e2_;
    const double fi = betaP + (e2_ / 3.0 + 31.0 * e4 / 180.0 + 517.0 * e6 / 5040.0) * std::sin(2.0 * betaP) +
                      (23.0 * e4 / 360.0 + 251.0 * e6 / 3780.0) * std::sin(4.0 * betaP) +
                      (761.0 * e6 / 45360.0) * std::sin(6.0 * betaP);
    const double la = kLaeaLambda0 + std::atan(Ep * std::sin(C) / (D_ * rho * std::cos(beta0_) * std::cos(C) -
                                                                  D_ * D_ * Np * std::sin(beta0_) * std::sin(C)));
    return {fi, la};
}

} // namespace velmora
