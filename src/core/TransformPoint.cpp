#include "core/TransformPoint.h"

#include "core/CorrectionGrid.h"
#include "core/Stereo70.h"
#include "core/TMzn_EVRF2007.h"

#include <cmath>

namespace velmora {
namespace {

// The projections, conversions and Helmert sets of the chains, derived once for the program.
struct ChainConstants {
    StereoProjection grs80{kGrs80};
    StereoProjection wgs84{kWgs84};
    PreparedHelmert stereo70Forward{kHelmertA};
    PreparedHelmert stereo70Inverse{kHelmertAInverse};
    PreparedHelmert stereo30Forward{kHelmertC};
    PreparedHelmert stereo30Inverse{kHelmertCInverse};
    PreparedHelmert closing{kHelmertD};
    ConversorUTM tm;
    ConversorEVRF2007 evrf;
    ConversorLAEA laea{kGrs80};
};

const ChainConstants& Constants()
{
    static const ChainConstants constants;
    return constants;
}

struct PlaneSteps {
    const PreparedHelmert& forward;
    const PreparedHelmert& inverse;
    const char* gridName;
};

PlaneSteps StepsOf(PlaneSystem system)
{
    const ChainConstants& c = Constants();
    if (system == PlaneSystem::Stereo30)
        return {c.stereo30Forward, c.stereo30Inverse, kStereo30GridName};
    return {c.stereo70Forward, c.stereo70Inverse, kStereo70GridName};
}

const Diagnostic kInvalidTm{"Eroare: Date invalide pentru TMzn\n"};
const Diagnostic kInvalidEtrs{"Eroare: Date invalide pentru ETRS89\n"};
const Diagnostic kWrongType{"Wrong choice for transformation! Your choice must be in [1, 2, ... 15]\n"
                            "or I/O grid file errors!\n"};

// Stereo70 formulas on GRS80, Helmert set D, back on the WGS 84 flattening (degrees in and out).
GeodeticDegrees ClosingStep(double B, double L)
{
    const ChainConstants& c = Constants();
    const NorthEast ne = c.grs80.Forward(DegToRad(B), DegToRad(L));
    const PlanePair r = c.closing.Apply(ne.E, ne.N);
    const LatLon geo = c.wgs84.Inverse(r.first, r.second);
    return {RadToDeg(geo.phi), RadToDeg(geo.lambda)};
}

// From Stereo70 (easting P1, northing P2, Black Sea height P3) to ETRS89 B, L, with the height
// converted to EVRF2007 when the point has one.
CoreResult<ChainResult> Stereo70ToEvrf(CoreEnv& env, int heightFlag, double P1, double P2, double P3)
{
    const auto geo = ChainInverse(env, 0, PlaneSystem::Stereo70, P1, P2, 0.0);
    if (!geo)
        return geo;
    const double H = heightFlag == 1 ? Constants().evrf.HBlackSeeToHEVRF2007(geo->first, geo->second, P3) : 0.0;
    return ChainResult{geo->first, geo->second, H};
}

// From ETRS89 B, L with an EVRF2007 height P3 to Stereo70 with a Black Sea height.
CoreResult<ChainResult> EvrfToStereo70(CoreEnv& env, int heightFlag, GeodeticDegrees geo, double P3)
{
    const double H = heightFlag == 1 ? Constants().evrf.HEVRF2007ToHBlackSee(geo.B, geo.L, P3) : 0.0;
    const auto plane = ChainForward(env, 0, PlaneSystem::Stereo70, geo.B, geo.L, 0.0);
    if (!plane)
        return plane;
    return ChainResult{plane->first, plane->second, H};
}

CoreResult<ChainResult> ToTransverseMercator(CoreEnv& env, int heightFlag, double P1, double P2, double P3)
{
    const auto geo = Stereo70ToEvrf(env, heightFlag, P1, P2, P3);
    if (!geo)
        return geo;
    const auto tm = Constants().tm.MapLatLonToNE(geo->first, geo->second, env.tmZone);
    if (!tm)
        return kInvalidTm;
    return ChainResult{tm->N, tm->E, geo->third};
}

CoreResult<ChainResult> FromTransverseMercator(CoreEnv& env, int heightFlag, double P1, double P2, double P3)
{
    const auto geo = Constants().tm.MapNEToLatLon(P2, P1, env.tmZone);
    if (!geo)
        return kInvalidTm;
    return EvrfToStereo70(env, heightFlag, *geo, P3);
}

CoreResult<ChainResult> ToLaea(CoreEnv& env, int heightFlag, double P1, double P2, double P3)
{
    const auto geo = Stereo70ToEvrf(env, heightFlag, P1, P2, P3);
    if (!geo)
        return geo;
    const PlanePair xy = Constants().laea.BLtoXY(DegToRad(geo->first), DegToRad(geo->second));
    return ChainResult{xy.first, xy.second, geo->third};
}

CoreResult<ChainResult> FromLaea(CoreEnv& env, int heightFlag, double P1, double P2, double P3)
{
    const LatLon geo = Constants().laea.XYtoBL(P1, P2);
    return EvrfToStereo70(env, heightFlag, {RadToDeg(geo.phi), RadToDeg(geo.lambda)}, P3);
}

// Through ETRS89: the inverse chain of one plane, then the forward chain of the other.
CoreResult<ChainResult> PlaneToPlane(CoreEnv& env, int heightFlag, PlaneSystem from, PlaneSystem to, double P1,
                                     double P2, double P3)
{
    const auto geo = ChainInverse(env, heightFlag, from, P1, P2, P3);
    if (!geo)
        return geo;
    return ChainForward(env, heightFlag, to, geo->first, geo->second, geo->third);
}

// The closing step after the inverse chain of a plane, or (without a plane) on the input B, L.
CoreResult<ChainResult> Closing(CoreEnv& env, int heightFlag, const PlaneSystem* from, double P1, double P2,
                                double P3)
{
    ChainResult geo{P2, P1, heightFlag == 1 ? P3 : 0.0};
    if (from != nullptr) {
        const auto inverse = ChainInverse(env, heightFlag, *from, P1, P2, P3);
        if (!inverse)
            return inverse;
        geo = *inverse;
    }
    const GeodeticDegrees closed = ClosingStep(geo.first, geo.second);
    return ChainResult{closed.B, closed.L, geo.third};
}

} // namespace

CoreResult<PlanePair> PlaneForward(CoreEnv& env, PlaneSystem system, double B, double L)
{
    const PlaneSteps steps = StepsOf(system);
    const NorthEast ne = Constants().grs80.Forward(DegToRad(B), DegToRad(L));
    const PlanePair r = steps.forward.Apply(ne.E, ne.N);
    const auto shift = GridShiftLookup(env, steps.gridName, r.first, r.second);
    if (!shift)
        return shift.Failure();
    return PlanePair{r.first + shift->first, r.second + shift->second};
}

CoreResult<GeodeticDegrees> PlaneInverse(CoreEnv& env, PlaneSystem system, double U1, double U2)
{
    const PlaneSteps steps = StepsOf(system);
    const auto shift = GridShiftLookup(env, steps.gridName, U1, U2);
    if (!shift)
        return shift.Failure();
    const PlanePair r = steps.inverse.Apply(U1 - shift->first, U2 - shift->second);
    const LatLon geo = Constants().grs80.Inverse(r.first, r.second);
    return GeodeticDegrees{RadToDeg(geo.phi), RadToDeg(geo.lambda)};
}

CoreResult<ChainResult> ChainForward(CoreEnv& env, int heightFlag, PlaneSystem system, double B, double L, double h)
{
    double H = 0.0;
    if (heightFlag == 1) {
        const auto zeta = ZetaLookup(env, L, B);
        if (!zeta)
            return zeta.Failure();
        H = h - *zeta;
    }
    const auto r = PlaneForward(env, system, B, L);
    if (!r)
        return r.Failure();
    if (system == PlaneSystem::Stereo70)
        return ChainResult{r->second, r->first, H};
    return ChainResult{r->first, r->second, H};
}

CoreResult<ChainResult> ChainInverse(CoreEnv& env, int heightFlag, PlaneSystem system, double U1, double U2,
                                     double H)
{
    const auto geo = PlaneInverse(env, system, U1, U2);
    if (!geo)
        return geo.Failure();
    double h = 0.0;
    if (heightFlag == 1) {
        const auto zeta = ZetaLookup(env, geo->L, geo->B);
        if (!zeta)
            return zeta.Failure();
        h = H + *zeta;
    }
    return ChainResult{geo->B, geo->L, h};
}

namespace {

// The types whose input is an ETRS89 latitude and longitude.
bool TakesEtrsInput(TransformationType type)
{
    using enum TransformationType;
    return type == EtrsToStereo70 || type == EtrsToStereo30 || type == EtrsClosing;
}

bool IsFinite(const ChainResult& r)
{
    return std::isfinite(r.first) && std::isfinite(r.second) && std::isfinite(r.third);
}

CoreResult<ChainResult> Dispatch(CoreEnv& env, TransformationType type, int heightFlag, double P1, double P2,
                                 double P3)
{
    const int flag = heightFlag == 1 ? 1 : 0;
    constexpr PlaneSystem kPlane70 = PlaneSystem::Stereo70;
    constexpr PlaneSystem kPlane30 = PlaneSystem::Stereo30;
    using enum TransformationType;
    switch (type) {
    case EtrsToStereo70: return ChainForward(env, flag, kPlane70, P2, P1, P3);
    case Stereo70ToEtrs: return ChainInverse(env, flag, kPlane70, P1, P2, P3);
    case EtrsToStereo30: return ChainForward(env, flag, kPlane30, P2, P1, P3);
    case Stereo30ToEtrs: return ChainInverse(env, flag, kPlane30, P1, P2, P3);
    case Stereo30ToStereo70: return PlaneToPlane(env, flag, kPlane30, kPlane70, P1, P2, P3);
    case Stereo70ToStereo30: return PlaneToPlane(env, flag, kPlane70, kPlane30, P1, P2, P3);
    case Stereo70ToTm:
    case Stereo70ToTmZone35: return ToTransverseMercator(env, flag, P1, P2, P3);
    case TmToStereo70:
    case TmZone35ToStereo70: return FromTransverseMercator(env, flag, P1, P2, P3);
    case Stereo70ToLaea: return ToLaea(env, flag, P1, P2, P3);
    case LaeaToStereo70: return FromLaea(env, flag, P1, P2, P3);
    case Stereo70ToEtrsClosing: return Closing(env, flag, &kPlane70, P1, P2, P3);
    case Stereo30ToEtrsClosing: return Closing(env, flag, &kPlane30, P1, P2, P3);
    case EtrsClosing: return Closing(env, flag, nullptr, P1, P2, P3);
    }
    return kWrongType;
}

} // namespace

CoreResult<ChainResult> TransformPoint(CoreEnv& env, TransformationType type, int heightFlag, double P1, double P2,
                                       double P3)
{
    // A latitude or longitude beyond the sphere would alias a point elsewhere (the formulas are
    // periodic); the chain without grid would even report it as transformed.
    if (TakesEtrsInput(type) && !(std::fabs(P2) <= 90.0 && std::fabs(P1) <= 180.0))
        return kInvalidEtrs;
    auto result = Dispatch(env, type, heightFlag, P1, P2, P3);
    // A number that is none (from an input or a step beyond its range) is never a result.
    if (result && !IsFinite(*result))
        return kWrongType;
    return result;
}

std::vector<const char*> GridsOf(TransformationType type, bool withHeight)
{
    using enum TransformationType;
    const int number = static_cast<int>(type);
    if (number < 1 || number > 14)
        return {};
    const bool quasigeoid = withHeight && (number <= 6 || number >= 13);
    const bool stereo30 = type == EtrsToStereo30 || type == Stereo30ToEtrs || type == Stereo30ToStereo70
                          || type == Stereo70ToStereo30 || type == Stereo30ToEtrsClosing;
    const bool stereo70 = !stereo30 || type == Stereo30ToStereo70 || type == Stereo70ToStereo30;
    std::vector<const char*> names;
    if (quasigeoid)
        names.push_back(kQuasigeoidGridName);
    if (stereo70)
        names.push_back(kStereo70GridName);
    if (stereo30)
        names.push_back(kStereo30GridName);
    return names;
}

} // namespace velmora
