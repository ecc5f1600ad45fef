#include "model/DistortionModel.h"

#include "core/FileHandle.h"
#include "files/FatalError.h"
#include "files/NumberText.h"
#include "files/RecordFile.h"
#include "files/ResultWriter.h"
#include "model/GridCells.h"
#include "model/GridInterpolation.h"

#include <cstdint>
#include <string_view>

namespace velmora {

namespace {

// The record layer would report an unusable file with its general message; the engine names it.
PointFile OpenNewPoints(const std::filesystem::path& path)
{
    if (const auto file = FileHandle::Open(path, FileHandle::Mode::Update);
        !file || file->Size() % sizeof(PointRecord) != 0) {
        throw FatalError(kNewPointsInvalidMessage);
    }
    PointFile points = PointFile::OpenForUpdate(path);
    if (points.Size() == 0) {
        throw FatalError(kNoNewPointsMessage);
    }
    return points;
}

// Plane models take the bicubic patch; three-dimensional ones the weighted prediction, which
// falls back to the bilinear one where its stencil meets a node without data.
void InterpolateSignal(PointRecord& point, const NodeGrid& grid, char kind)
{
    if (kind == 'P') {
        InterpolateBicubic(point, grid, kPlaneSignal);
    } else if (kind == 'G' && !InterpolateWeighted(point, grid, kSpatialSignal)) {
        InterpolateBilinear(point, grid, kSpatialSignal);
    }
}

// The regression trend of every point when the model has one, and the signal of every point
// inside the grid. Returns whether regression values are now in the records.
bool ComputeSignals(PointFile& points, const DistortionModel& model, char modelKind, char kind,
                    bool regressionApplied)
{
    for (std::uint64_t k = 0; k < points.Size(); ++k) {
        PointRecord point = points.Read(k);
        if (model.parameters.regressionPresent != 0) {
            EvaluateRegression(point, model.parameters, modelKind);
            regressionApplied = true;
        }
        if (point.pointState == 'D') {
            InterpolateSignal(point, model.grid, kind);
        }
        points.Write(k, point);
    }
    return regressionApplied;
}

// modelWork2[3..4] (and [5] for kind 'G'): the trend or Helmert coordinates, plus the signal for
// a point inside the grid.
void SetFinalCoordinates(PointRecord& point, char kind, bool regressionApplied)
{
    const std::size_t components = kind == 'G' ? 3 : 2;
    const auto& base = regressionApplied ? point.regression : point.result;
    for (std::size_t c = 0; c < components; ++c) {
        point.modelWork2[3 + c] = point.pointState == 'D' ? base[c] + point.residual[c] : base[c];
    }
}

InteractiveResult InteractiveResultOf(const PointRecord& point, bool northFirst)
{
    if (point.pointState != 'D') {
        return {true, {}, {}};
    }
    const double east = point.modelWork2[3];
    const double north = point.modelWork2[4];
    return {false, FormatFixed(northFirst ? north : east, 10, 3), FormatFixed(northFirst ? east : north, 10, 3)};
}

} // namespace

DistortionModel LoadDistortionModel(const std::filesystem::path& nodeGridPath,
                                    const std::filesystem::path& parameterPath)
{
    ModelParameterRecord parameters = LoadModelParameters(parameterPath);
    return {NodeGrid::Load(nodeGridPath), parameters};
}

std::vector<InteractiveResult> ApplyDistortionModel(const DistortionModel& model, const ModelApplicationJob& job)
{
    PointFile points = OpenNewPoints(job.newPointsPath);
    // The plain codes' parsers store no kind letter: their models are plane.
    const char kind = 'P';
    const bool regressionApplied = ComputeSignals(points, model, job.modelKind, kind, job.regressionApplied);

    ResultFileWriter result(job.layout, job.resultPath, ReadTitleLine(job.inputPath));
    const bool northFirst = job.layout == ResultLayout::ModelNorthFirst;
    std::vector<InteractiveResult> interactive;
    for (std::uint64_t k = 0; k < points.Size(); ++k) {
        PointRecord point = points.Read(k);
        SetFinalCoordinates(point, kind, regressionApplied);
        points.Write(k, point);
        result.Add(point);
        if (job.interactiveMode) {
            interactive.push_back(InteractiveResultOf(point, northFirst));
        }
    }
    result.Finish();
    points.Close();
    return interactive;
}

std::vector<InteractiveResult> RunModelApplication(const std::filesystem::path& nodeGridPath,
                                                   const std::filesystem::path& parameterPath,
                                                   const ModelApplicationJob& job)
{
    const DistortionModel model = LoadDistortionModel(nodeGridPath, parameterPath);
    AssignGridCells(job.newPointsPath, model.grid, false, &model.parameters);
    return ApplyDistortionModel(model, job);
}

} // namespace velmora
