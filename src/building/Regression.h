// The regional trend of a model-building run: what the Helmert model leaves over at the common
// points (system 2 minus the Helmert-transformed coordinates in "PCOMUNE.REC") is modelled per
// component (X and Y, and Z for geocentric points) as a polynomial in
//   u = (XH - mean XH) / 10^6,  v = (YH - mean YH) / 10^6.
// Every component starts from the terms 1, v, u, uv; further terms are tried in a fixed order
// (v^2, u^2, uv^2, u^2v, u^2v^2, then degree 3 up to 9) and kept only when a Student t test finds
// them significant at the 95 % level, up to round(0.8 n) terms (at most 50).
//
// The result goes to the regression block of record 0 of the model parameter file (record 1 keeps
// the last accepted state of the selection), to the regression coordinates and residuals of every
// common point, and to two blocks appended to "REZULT.TXT": the formula of each component and the
// per-point comparison of the Helmert and regression transformations.
#pragma once

#include "building/BuildRun.h"

namespace velmora {

inline constexpr const char* kRegressionRedundancyMessage =
    "Eroare: Nu exista redundanta pentru regresie (nr. puncte >=12)!";
inline constexpr const char* kRegressionCommonPointsMessage = "Eroare: I/O fis. PCOMUNE.REC.";
inline constexpr const char* kRegressionMixedKindsMessage =
    "Eroare: in fis. cu puncte comune sunt coordonate amestecate.";

// mode 'G' reports X, Y, Z, any other letter East and North. Returns true: every failure is a
// FatalError (fewer than 6 common points, a missing common-point, parameter or report file, mixed
// kinds, a singular normal matrix).
bool RunRegression(BuildRun& run, char mode);

// The significance test of a candidate term: true (reject the term) when T does not exceed the
// two-sided 95 % quantile of Student's t with df degrees of freedom, interpolated in its table;
// always true for df <= 0 and for a T that is not a number.
bool IsTermInsignificant(int df, long double t);

} // namespace velmora
