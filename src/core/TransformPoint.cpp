#include "core/TransformPoint.h"

#include "core/CorrectionGrid.h"
#include "core/ErrorConsole.h"
#include "core/Stereo70.h"
#include "core/TMzn_EVRF2007.h"

namespace velmora {
namespace {

struct PlaneSystem {
    PreparedHelmert forward;
    PreparedHelmert inverse;
    const char* gridName;
};

const PlaneSystem& PlaneSystemOf(int code)
{
    static const PlaneSystem stereo70{PreparedHelmert(kHelmertA), PreparedHelmert(kHelmertAInverse), kStereo70GridName};
    static const PlaneSystem stereo30{PreparedHelmert(kHelmertC), PreparedHelmert(kHelmertCInverse), kStereo30GridName};
    return code == kStereo30Code ? stereo30 : stereo70;
}

// Stereo70 formulas on GRS80, Helmert set D, back on the WGS 84 flattening (degrees in and out).
PlanePair ClosingStep(double B, double L)
{
    const NorthEast ne = StereoForward(kGrs80.a, kGrs80.invF, DegToRad(B), DegToRad(L));
    const PlanePair r = Helmert2D(kHelmertD, ne.E, ne.N);
    const LatLon geo = StereoInverse(kWgs84.a, kWgs84.invF, r.first, r.second);
    return {RadToDeg(geo.phi), RadToDeg(geo.lambda)};
}

int Fail(CoreEnv& env, const char* message)
{
    ReportAndWait(env.console, message);
    return -1;
}

constexpr const char* kInvalidTm = "Eroare: Date invalide pentru TMzn";
constexpr const char* kInvalidEvrf = "Eroare: Date invalide pentru EVRF2007";
constexpr const char* kInvalidBlackSea = "Eroare: Date invalide pentru  Marea Neagra 1975";
constexpr const char* kInvalidLaea = "Eroare: Date invalide pentru LAEA";

// From Stereo70 (easting P1, northing P2, Black Sea height P3) to ETRS89 B, L with the height
// converted to EVRF2007 when the point has one.
int Stereo70ToEvrf(CoreEnv& env, int heightFlag, double P1, double P2, double P3, double& B, double& L,
                   double& Out3)
{
    const auto geo = ChainInverse(env, 0, kStereo70Code, P1, P2, 0.0);
    if (!geo)
        return -1;
    B = geo->first;
    L = geo->second;
    Out3 = 0.0;
    if (heightFlag == 1 && ConversorEVRF2007().HBlackSeeToHEVRF2007(B, L, P3, Out3) == -1)
        return Fail(env, kInvalidEvrf);
    return 0;
}

// From ETRS89 B, L with an EVRF2007 height P3 to Stereo70 with a Black Sea height.
int EvrfToStereo70(CoreEnv& env, int heightFlag, double B, double L, double P3, double& Out1, double& Out2,
                   double& Out3)
{
    Out3 = 0.0;
    if (heightFlag == 1 && ConversorEVRF2007().HEVRF2007ToHBlackSee(B, L, P3, Out3) == -1)
        return Fail(env, kInvalidBlackSea);
    const auto plane = ChainForward(env, 0, kStereo70Code, B, L, 0.0);
    if (!plane)
        return -1;
    Out1 = plane->first;
    Out2 = plane->second;
    return 0;
}

int Store(const std::optional<ChainResult>& result, double& Out1, double& Out2, double& Out3)
{
    if (!result)
        return -1;
    Out1 = result->first;
    Out2 = result->second;
    Out3 = result->third;
    return 0;
}

} // namespace

std::optional<PlanePair> PlaneForward(CoreEnv& env, int code, double B, double L)
{
    const PlaneSystem& system = PlaneSystemOf(code);
    const NorthEast ne = StereoForward(kGrs80.a, kGrs80.invF, DegToRad(B), DegToRad(L));
    const PlanePair r = system.forward.Apply(ne.E, ne.N);
    const auto shift = GridShiftLookup(env, system.gridName, r.first, r.second);
    if (!shift)
        return std::nullopt;
    return PlanePair{r.first + shift->first, r.second + shift->second};
}

std::optional<PlanePair> PlaneInverse(CoreEnv& env, int code, double U1, double U2)
{
    const PlaneSystem& system = PlaneSystemOf(code);
    const auto shift = GridShiftLookup(env, system.gridName, U1, U2);
    if (!shift)
        return std::nullopt;
    const PlanePair r = system.inverse.Apply(U1 - shift->first, U2 - shift->second);
    const LatLon geo = StereoInverse(kGrs80.a, kGrs80.invF, r.first, r.second);
    return PlanePair{RadToDeg(geo.phi), RadToDeg(geo.lambda)};
}

std::optional<ChainResult> ChainForward(CoreEnv& env, int heightFlag, int code, double B, double L, double h)
{
    double H = 0.0;
    if (heightFlag == 1) {
        const auto zeta = ZetaLookup(env, L, B);
        if (!zeta)
            return std::nullopt;
        H = h - *zeta;
    }
    const auto r = PlaneForward(env, code, B, L);
    if (!r)
        return std::nullopt;
    if (code == kStereo70Code)
        return ChainResult{r->second, r->first, H};
    return ChainResult{r->first, r->second, H};
}

std::optional<ChainResult> ChainInverse(CoreEnv& env, int heightFlag, int code, double U1, double U2, double H)
{
    const auto geo = PlaneInverse(env, code, U1, U2);
    if (!geo)
        return std::nullopt;
    const double B = geo->first;
    const double L = geo->second;
    double h = 0.0;
    if (heightFlag == 1) {
        const auto zeta = ZetaLookup(env, L, B);
        if (!zeta)
            return std::nullopt;
        h = H + *zeta;
    }
    return ChainResult{B, L, h};
}

int TransformPoint(CoreEnv& env, int type, int heightFlag, double P1, double P2, double P3, double& Out1,
                   double& Out2, double& Out3)
{
    const bool withHeight = heightFlag == 1;
    const int flag = withHeight ? 1 : 0;
    double B = 0.0;
    double L = 0.0;
    switch (type) {
    case 1:
        return Store(ChainForward(env, flag, kStereo70Code, P2, P1, P3), Out1, Out2, Out3);
    case 2:
        return Store(ChainInverse(env, flag, kStereo70Code, P1, P2, P3), Out1, Out2, Out3);
    case 3:
        return Store(ChainForward(env, flag, kStereo30Code, P2, P1, P3), Out1, Out2, Out3);
    case 4:
        return Store(ChainInverse(env, flag, kStereo30Code, P1, P2, P3), Out1, Out2, Out3);
    case 5:
    case 6: {
        // Through ETRS89: the inverse chain of one plane, then the forward chain of the other.
        const int from = type == 5 ? kStereo30Code : kStereo70Code;
        const int to = type == 5 ? kStereo70Code : kStereo30Code;
        const auto geo = ChainInverse(env, flag, from, P1, P2, P3);
        if (!geo)
            return -1;
        return Store(ChainForward(env, flag, to, geo->first, geo->second, geo->third), Out1, Out2, Out3);
    }
    case 7:
    case 8:
        if (Stereo70ToEvrf(env, flag, P1, P2, P3, B, L, Out3) != 0)
            return -1;
        if (ConversorUTM().MapLatLonToNE(B, L, env.tmZone, Out1, Out2) == -1)
            return Fail(env, kInvalidTm);
        return 0;
    case 9:
    case 10:
        if (ConversorUTM().MapNEToLatLon(P2, P1, env.tmZone, B, L) == -1)
            return Fail(env, kInvalidTm);
        return EvrfToStereo70(env, flag, B, L, P3, Out1, Out2, Out3);
    case 11:
        if (Stereo70ToEvrf(env, flag, P1, P2, P3, B, L, Out3) != 0)
            return -1;
        if (ConversorLAEA().BLtoXY(kGrs80.a, kGrs80.invF, DegToRad(B), DegToRad(L), Out1, Out2) == -1)
            return Fail(env, kInvalidLaea);
        return 0;
    case 12: {
        double fi = 0.0;
        double la = 0.0;
        if (ConversorLAEA().XYtoBL(kGrs80.a, kGrs80.invF, P1, P2, fi, la) == -1)
            return Fail(env, kInvalidLaea);
        return EvrfToStereo70(env, flag, RadToDeg(fi), RadToDeg(la), P3, Out1, Out2, Out3);
    }
    case 13:
    case 14:
    case 15: {
        ChainResult geo{P2, P1, withHeight ? P3 : 0.0};
        if (type != 15) {
            const auto inverse = ChainInverse(env, flag, type == 13 ? kStereo70Code : kStereo30Code, P1, P2, P3);
            if (!inverse)
                return -1;
            geo = *inverse;
        }
        const PlanePair closed = ClosingStep(geo.first, geo.second);
        Out1 = closed.first;
        Out2 = closed.second;
        Out3 = geo.third;
        return 0;
    }
    default:
        env.console.Write("Wrong choice for transformation! Your choice must be in [1, 2, ... 15]\n");
        ReportAndWait(env.console, "or I/O grid file errors!");
        return -1;
    }
}

} // namespace velmora
