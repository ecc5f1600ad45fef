#include "model/DistortionModel.h"

#include "files/FatalError.h"
#include "files/NumberText.h"
#include "files/RecordFile.h"
#include "files/ResultWriter.h"
#include "model/EngineSteps.h"
#include "model/GridCells.h"

#include <cstdint>
#include <string_view>

namespace velmora {

namespace {

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
    const bool regressionApplied = ComputeSignals(points, model, job.modelKind, kind, job.regressionApplied, SignalRule::ByKind);

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
