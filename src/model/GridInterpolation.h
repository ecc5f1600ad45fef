// The distortion signal of a point, predicted from the node grid around it. The point's position
// is result[0] (East) and result[1] (North), the model's Helmert step; the signal replaces the
// requested components of residual[0..2].
//
//   InterpolateBicubic   a bicubic Hermite patch over the point's cell, with node derivatives
//                        from finite differences over the 4 x 4 nodes around the cell (fewer at
//                        the grid's edges); the prediction of plane models.
//   InterpolateWeighted  a weighted prediction from the cell's four corners and their outer
//                        neighbours, with weights growing as the point nears a corner; the
//                        prediction of three-dimensional models and of the excluded points.
//   InterpolateBilinear  the four cell corners named by nodeIndex[0..3]; the fallback when the
//                        weighted stencil holds a node without data.
//
// A node value whose integer part is 999 marks a node without data (outside the model zone).
#pragma once

#include "files/PointRecord.h"
#include "model/NodeGrid.h"

#include <array>

namespace velmora {

// Which signal components to compute: East, North, third (height or Z).
using SignalComponents = std::array<bool, 3>;
inline constexpr SignalComponents kPlaneSignal{true, true, false};
inline constexpr SignalComponents kSpatialSignal{true, true, true};

// A point on the last grid column or row, or beyond it within the tolerance, is interpolated in
// the last cell.
//
// Throws FatalError "Punctul <name>exterior gridului de distorsiuni!" when the point lies more
// than the tolerance outside the grid, and "Punctul <name>exterior poligonului (granitei)!" when
// a requested component of a stencil node has no data.
void InterpolateBicubic(PointRecord& point, const NodeGrid& grid, SignalComponents wanted);

// Returns false, writing nothing, when any value of any stencil node has no data (the caller's
// exterior hit). Throws like InterpolateBicubic when the point lies outside the grid.
[[nodiscard]] bool InterpolateWeighted(PointRecord& point, const NodeGrid& grid, SignalComponents wanted);

// Also sets the precisions (modelWork2) of the requested components to 0. No range or no-data
// test: corner values enter as they are.
void InterpolateBilinear(PointRecord& point, const NodeGrid& grid, SignalComponents wanted);

} // namespace velmora
