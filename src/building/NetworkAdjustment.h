// The network adjustment of a model-building run: turns the distortions left at the common points
// after the global model (Helmert, optionally the regression trend) into a smooth distortion
// surface sampled at the nodes of the run's grid. Per coordinate component there is one unknown
// per node, one observation equation per common point inside the grid (the point's weighted
// prediction from its cell's corners and their outer neighbours must equal its distortion) and one
// curvature condition per node (a discrete biharmonic operator, with its own stencils along the
// grid's edges). All components share one normal matrix, which is factored once (see
// SparseNormalSolver).
//
// Results: the value and standard error of every node in the node grid file (residual[c] and
// modelWork3[c]), the value lines of the grid text file, labels and arrows in the drawing, and in
// plane mode the binary grid.
#pragma once

#include "building/BuildRun.h"
#include "building/SparseNormalSolver.h"
#include "files/PointRecord.h"
#include "model/NodeGrid.h"

#include <array>
#include <vector>

namespace velmora {

inline constexpr const char* kNetworkTooFewEquationsMessage = "Eroare: nr. ecuatii in retea < decat nr. noduri.";
inline constexpr const char* kNetworkSingularMessage =
    "Eroare: sistemul de ecuatii al retelei de distorsiuni este singular sau prea slab conditionat!"
    " Verificati repartizarea punctelor comune in celulele gridului.";

// The equations of the network: first one per common point inside the grid (state 'D'), in file
// order, then one curvature condition per node, in node order; one unknown per node. All weights
// are 1. observations[c] holds the right-hand sides of component c (0 East or X, 1 North or Y,
// 2 the third).
struct NetworkSystem {
    SparseDesign design;
    std::array<Eigen::VectorXd, 3> observations;
};

// The common points' distortions are taken from the regression's coordinates when regression is
// true, from the Helmert ones otherwise. Throws a FatalError naming the node grid when it has
// fewer than five nodes along an axis or not as many nodes as its extent, and one naming the point
// when a common point's cell lies outside the grid.
NetworkSystem BuildNetworkEquations(const NodeGrid& grid, const std::vector<PointRecord>& commonPoints,
                                    bool regression);

// The adjustment of a plane run ('P') adjusts East and North, of a three-dimensional run ('G')
// X, Y and Z, of the quasigeoid run (transformation code ',') the third component alone. The kind
// is the coordinate kind of the first common point. Needs: the node grid file, the parameter file
// (its regression byte), PCOMUNE.REC in the work folder with the cells of its points assigned, the
// grid text file up to its header, and the open drawing.
//
// A system whose normal matrix is singular (the common points leave a bilinear surface free, as
// when they all lie in one cell), or so ill-conditioned that rounding could reach a hundredth of
// the node values, is a FatalError with kNetworkSingularMessage, and nothing is written. The
// label, arrow and value line of a node outside the zone (status 'E') are left out or written as
// 999.0; its values in the node grid file are those of the adjustment.
void AdjustDistortionNetwork(BuildRun& run);

} // namespace velmora
