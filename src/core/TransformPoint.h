// The transformation dispatcher: one point through one of the fifteen numbered chains between
// ETRS89, Stereo70, Stereo30, the Transverse Mercator zones and LAEA. Every step that can fail
// (a grid lookup, the range of the Transverse Mercator zones) gives its diagnostic back in the
// CoreResult; nothing here writes to a console.
#pragma once

#include "core/CoreEnv.h"
#include "core/CoreResult.h"
#include "core/Geodesy.h"

#include <vector>

namespace velmora {

inline constexpr const char* kStereo70GridName = "ETRS89_KRASOVSCHI42_2DJ.GRD";
inline constexpr const char* kStereo30GridName = "ETRS89_Stereo30_2DJ.GRD";

// The plane systems of the chains between ETRS89 and a plane, by their plane system codes.
enum class PlaneSystem { Stereo30 = 30, Stereo70 = 70 };

// The plane Helmert parameter sets of the chains; each inverse set is stored, not computed.
inline constexpr HelmertParams kHelmertA{119.7358, 31.8051, 0.11559991, -0.22739706};
inline constexpr HelmertParams kHelmertAInverse{-119.7358, -31.8051, -0.11559991, 0.22739706};
inline constexpr HelmertParams kHelmertC{-32701.361, 13962.1632, 13.97707176, -1006.26886396};
inline constexpr HelmertParams kHelmertCInverse{32768.6284, -13802.2702, -13.97689927, 1006.26886393};
inline constexpr HelmertParams kHelmertD{0.0898, 0.0928, 0.05731723, 0.00691149};

// The chains by their numbers. Inputs (P2 / P1 / P3) and outputs (Out1 / Out2 / Out3):
enum class TransformationType {
    EtrsToStereo70 = 1,        // B / L / h               -> Stereo70 x (N) / y (E) / H_MN
    Stereo70ToEtrs = 2,        // x (N) / y (E) / H_MN    -> B / L / h
    EtrsToStereo30 = 3,        // B / L / h               -> Stereo30 x (Est) / y (Nord) / H
    Stereo30ToEtrs = 4,        // y (Nord) / x (Est) / H  -> B / L / h
    Stereo30ToStereo70 = 5,    // through ETRS89
    Stereo70ToStereo30 = 6,    // through ETRS89
    Stereo70ToTm = 7,          // x (N) / y (E) / H_MN    -> North / East / H EVRF2007 of the zone
    Stereo70ToTmZone35 = 8,    //   the same as 7: the zone is the environment's; commands pass 8 in zone 35
    TmToStereo70 = 9,          // North / East / H EVRF2007 -> x / y / H_MN
    TmZone35ToStereo70 = 10,   //   the same as 9, passed in zone 35
    Stereo70ToLaea = 11,       // x (N) / y (E) / H_MN    -> LAEA x (E) / y (N) / H EVRF2007
    LaeaToStereo70 = 12,       // y (N) / x (E) / H EVRF2007 -> x / y / H_MN
    Stereo70ToEtrsClosing = 13, // type 2, then the closing step onto the WGS 84 flattening
    Stereo30ToEtrsClosing = 14, // type 4, then the closing step
    EtrsClosing = 15,           // the closing step alone; h passes unchanged
};

// Three values of a chain: (first, second, H) forward, (B, L, h) inverse.
struct ChainResult {
    double first;
    double second;
    double third;
};

// (R1, R2) = (easting-like, northing-like) in the plane of the system, grid-corrected.
CoreResult<PlanePair> PlaneForward(CoreEnv& env, PlaneSystem system, double B, double L);
// (B, L) from (U1, U2), the easting-like and northing-like coordinates.
CoreResult<GeodeticDegrees> PlaneInverse(CoreEnv& env, PlaneSystem system, double U1, double U2);

// Stereo70 gives (x = northing, y = easting, H), Stereo30 gives (x (Est), y (Nord), H).
CoreResult<ChainResult> ChainForward(CoreEnv& env, int heightFlag, PlaneSystem system, double B, double L, double h);
// Gives (B, L, h); h is 0 without height.
CoreResult<ChainResult> ChainInverse(CoreEnv& env, int heightFlag, PlaneSystem system, double U1, double U2,
                                     double H);

// P1 is the easting-like input (or L), P2 the northing-like input (or B), P3 the height, used
// only when heightFlag is 1; Out3 is 0 otherwise. Angles in decimal degrees, the rest metres.
// A type outside the fifteen (a number typed on the command line) is a failure like any other, and
// so is a result that is not a finite number; an ETRS89 input beyond +-90 degrees of latitude or
// +-180 of longitude (types 1, 3 and 15) fails with "Eroare: Date invalide pentru ETRS89".
CoreResult<ChainResult> TransformPoint(CoreEnv& env, TransformationType type, int heightFlag, double P1, double P2,
                                       double P3);

// The grids in the data folder that every point of the type reads: its plane grids and, with a
// height, the quasigeoid grid of the country (the Bucharest one serves only the points in its
// box). Empty for type 15 and for a number outside the fifteen.
std::vector<const char*> GridsOf(TransformationType type, bool withHeight);

} // namespace velmora
