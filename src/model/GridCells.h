// Preparing a point record file for the model application: the model's Helmert step, the test
// whether each point lies inside the node grid, the four node numbers of its cell, and the mark of
// points whose cell touches the exterior of the model zone. A point leaves in one of three states:
//   'N'  outside the grid (as the parser left it)
//   'D'  inside the grid; for new points also all four cell corners inside the model zone
//   'E'  new points only: inside the grid, but a cell corner lies outside the zone or beyond the
//        end of the node file
#pragma once

#include "model/ModelParameters.h"
#include "model/NodeGrid.h"

#include <filesystem>

namespace velmora {

// commonMode: the file holds common points, which get no Helmert step and no exterior mark, and
// at least four of which must lie inside the grid (otherwise a FatalError with the count).
// Otherwise the file holds new or excluded points; helmert, when given, is the model whose
// Helmert step they get first. Cells are assigned only to points still in state 'N'.
void AssignGridCells(const std::filesystem::path& pointsPath, const NodeGrid& grid, bool commonMode,
                     const ModelParameterRecord* helmert);

} // namespace velmora
