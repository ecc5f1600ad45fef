// Quasigeoid height grids: the height anomaly zeta ("zita") modelled and applied with the
// machinery of the plane distortion grids, on one value. The coordinates of a quasigeoid grid are
// geographic: its East axis is the longitude L and its North axis the latitude B, both in decimal
// degrees; a node's zeta is its third value (residual[2]) and the zeta's standard error its third
// standard error (modelWork3[2]).
#pragma once

#include "files/PointRecord.h"
#include "model/NodeGrid.h"

#include <filesystem>

namespace velmora {

// Signal components of a quasigeoid grid: the third alone.
inline constexpr std::array<bool, 3> kQuasigeoidSignal{false, false, true};

// Places a point of a geographic point file (B in sys1[0], L in sys1[1], radians) on the grid:
// result[0] = L, result[1] = B in decimal degrees.
void PlaceGeodeticPoint(PointRecord& point);

// The normal heights of a geographic point file: every point is placed on the grid and assigned
// its cell (new-point mode, no Helmert); a point inside a usable cell gets the zeta interpolated
// there, any other point zeta 0. zeta is kept in modelWork1[2] and the height sys1[2] becomes
// h - zeta. Throws FatalError with the interpolation's messages.
void SubtractQuasigeoidHeights(const NodeGrid& grid, const std::filesystem::path& pointsPath);

} // namespace velmora
