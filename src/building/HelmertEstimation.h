// Estimation of the global Helmert model of a model-building run from its common points
// ("PCOMUNE.REC" in the work folder, filled by the grid generation), written into the model
// parameter file, the common-point records and the report "REZULT.TXT".
//
// EstimateHelmert2D: plane points (kind "P"). A four-parameter similarity E2 = a E1 - b N1 + tE,
// N2 = b E1 + a N1 + tN by least squares in two passes, the second weighted by the precisions
// of the first pass's adjusted observations. It stores the four Helmert fields of the parameter
// record, the transformed coordinates, distortions, precisions and weights of every common point,
// reports the parameters and the distortions, transforms the new points ("PNOI.REC", also drawn
// into the run's drawing) and appends the further common points of "pcnoth.rec" and "pcpol.rec",
// transformed, to "PCOMUNE.REC". For geocentric points (kind "G") it only checks their count.
//
// EstimateHelmert3D: geocentric points (kind "G"). A seven-parameter similarity
// P2 = m R P1 + t, started from the plane solution for X, Y and the tilts from Z, iterated until
// no approximation moves by more than 1e-4 m (at most 50 iterations), first with unit weights
// and then with the weights of the adjusted observations. Gross errors are flagged by an F test
// per coordinate. It stores the seven-parameter fields of the parameter record (clearing the
// regression flag) and reports the parameters, distortions, precisions and the new points.
//
// Both end the run with a FatalError on too few common points, mixed coordinate kinds, a missing
// "PCOMUNE.REC" or a singular normal matrix.
#pragma once

#include "building/BuildRun.h"

#include <array>

namespace velmora {

inline constexpr const char* kTooFewPlanePointsMessage = "Eroare: nr. puncte comune <3 (nu exista redundanta).";
inline constexpr const char* kTooFewSpatialPointsMessage = "Eroare: nr. puncte comune <4 (nu exista redundanta).";
inline constexpr const char* kMixedKindsMessage = "Eroare: in fis. cu puncte comune sunt coordonate de tip amestecat.";
inline constexpr const char* kCommonPointsInvalidMessage = "Eroare: PCOMUNE.REC invalid.";

// The flag and the argument come from the command and change nothing.
void EstimateHelmert2D(BuildRun& run, int flag);
void EstimateHelmert3D(BuildRun& run, int argument);

// Rotation matrix of the angles (radians), row by row: the product of the elementary rotations
// about Z, Y and X, each turning the axes.
std::array<double, 9> RotationMatrix(double rx, double ry, double rz);

// Critical value of the F distribution with (1, df) degrees of freedom at the 0.01 level, from
// the table of the gross-error test, interpolated linearly between its rows; beyond its last row
// (1000) the last row's value.
double CriticalF(int df);

} // namespace velmora
