// The transformation dispatcher: one point through one of the fifteen numbered chains between
// ETRS89, Stereo70, Stereo30, the Transverse Mercator zones and LAEA.
#pragma once

#include "core/CoreEnv.h"
#include "core/Geodesy.h"

#include <optional>

namespace velmora {

inline constexpr const char* kStereo70GridName = "ETRS89_KRASOVSCHI42_2DJ.GRD";
inline constexpr const char* kStereo30GridName = "ETRS89_Stereo30_2DJ.GRD";

// Plane system codes of the chains between ETRS89 and a plane system.
inline constexpr int kStereo70Code = 70;
inline constexpr int kStereo30Code = 30;

// The plane Helmert parameter sets of the chains; each inverse set is stored, not computed.
inline constexpr HelmertParams kHelmertA{119.7358, 31.8051, 0.11559991, -0.22739706};
inline constexpr HelmertParams kHelmertAInverse{-119.7358, -31.8051, -0.11559991, 0.22739706};
inline constexpr HelmertParams kHelmertC{-32701.361, 13962.1632, 13.97707176, -1006.26886396};
inline constexpr HelmertParams kHelmertCInverse{32768.6284, -13802.2702, -13.97689927, 1006.26886393};
inline constexpr HelmertParams kHelmertD{0.0898, 0.0928, 0.05731723, 0.00691149};

inline constexpr int kFirstTransformationType = 1;
inline constexpr int kLastTransformationType = 15;

// Three values of a chain: (first, second, H) forward, (B, L, h) inverse.
struct ChainResult {
    double first;
    double second;
    double third;
};

// (R1, R2) = (easting-like, northing-like) in the plane of the code, grid-corrected.
std::optional<PlanePair> PlaneForward(CoreEnv& env, int code, double B, double L);
// (B, L) in decimal degrees from (U1, U2), the easting-like and northing-like coordinates.
std::optional<PlanePair> PlaneInverse(CoreEnv& env, int code, double U1, double U2);

// Code 70 gives (x = northing, y = easting, H), code 30 gives (x (Est), y (Nord), H).
std::optional<ChainResult> ChainForward(CoreEnv& env, int heightFlag, int code, double B, double L, double h);
// Gives (B, L, h); h is 0 without height.
std::optional<ChainResult> ChainInverse(CoreEnv& env, int heightFlag, int code, double U1, double U2, double H);

// P1 is the easting-like input (or L), P2 the northing-like input (or B), P3 the height, used
// only when heightFlag is 1. Returns 0, or -1 after the failure has been reported on the console
// and acknowledged; the outputs are then meaningless.
int TransformPoint(CoreEnv& env, int type, int heightFlag, double P1, double P2, double P3, double& Out1,
                   double& Out2, double& Out3);

} // namespace velmora
