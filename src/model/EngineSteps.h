// The steps of the model application engine that its two modes share: the plain result file of
// the Bucharest commands (DistortionModel.h) and the report of the model-building runs
// (ModelReport.h). A step works on one point record file in place.
#pragma once

#include "files/PointRecord.h"
#include "files/RecordFile.h"
#include "model/DistortionModel.h"
#include "model/NodeGrid.h"

#include <filesystem>

namespace velmora {

// Opens the new-points file for update. Throws FatalError kNewPointsInvalidMessage when it cannot
// be opened or is not a record file, kNoNewPointsMessage when it holds no point.
PointFile OpenNewPoints(const std::filesystem::path& path);

// How a point's signal is predicted from the nodes around it.
enum class SignalRule {
    // Plane models (kind 'P') the bicubic patch of East and North; three-dimensional ones (kind
    // 'G') the weighted prediction of all three components.
    ByKind,
    // The weighted prediction for both kinds, of the kind's components: the excluded points.
    Weighted,
};

// The signal of one point inside the grid. Where the weighted stencil meets a node without data,
// the bilinear prediction stands in for it. A kind other than 'P' and 'G' gets no signal.
void InterpolateSignal(PointRecord& point, const NodeGrid& grid, char kind, SignalRule rule);

// The regression trend of every point when the model has one (with modelKind), and the signal of
// every point inside the grid (state 'D'), each record written back. Returns whether regression
// values are now in the records: regressionApplied, or true once a record got them.
bool ComputeSignals(PointFile& points, const DistortionModel& model, char modelKind, char kind,
                    bool regressionApplied, SignalRule rule);

// The signal of every common point inside the grid, without a regression: the common points keep
// the values the regression estimation gave them.
void ComputeCommonSignals(PointFile& points, const NodeGrid& grid, char kind);

// modelWork2[3..4] (and [5] for kind 'G'): the trend or Helmert coordinates, plus the signal for
// a point inside the grid.
void SetFinalCoordinates(PointRecord& point, char kind, bool regressionApplied);

} // namespace velmora
