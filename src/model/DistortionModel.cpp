#include "model/DistortionModel.h"

#include "files/FatalError.h"
#include "files/NumberText.h"
#include "files/RecordFile.h"
#include "files/ResultWriter.h"
#include "files/TextFile.h"
#include "model/EngineSteps.h"
#include "model/GridCells.h"

#include <cstdint>
#include <stdexcept>
#include <string_view>
#include <utility>

namespace velmora {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kOutsideGridLine = " - exterior gridului de distorsiuni";

// The plain codes write the target system's column order: Stereo70 (code '5') northing first,
// Stereo30 (code '6') easting first.
bool NorthFirst(char transformationCode)
{
    switch (transformationCode) {
    case '5':
        return true;
    case '6':
        return false;
    default:
        throw std::invalid_argument("the model application runs the codes '5' and '6' only");
    }
}

// The final East and North in the order the result file writes them.
std::pair<double, double> OutputOrder(const PointRecord& point, bool northFirst)
{
    const double east = point.modelWork2[3];
    const double north = point.modelWork2[4];
    return northFirst ? std::pair{north, east} : std::pair{east, north};
}

void AppendResultLine(std::string& line, const PointRecord& point, bool northFirst)
{
    line.append(point.name.View());
    if (point.pointState == 'D') {
        const auto [first, second] = OutputOrder(point, northFirst);
        line.append(", ");
        AppendFixed(line, first, 10, 3);
        line.append(", ");
        AppendFixed(line, second, 10, 3);
    } else {
        line.append(kOutsideGridLine);
    }
    line.append(kLineEnd);
}

InteractiveResult InteractiveResultOf(const PointRecord& point, bool northFirst)
{
    if (point.pointState != 'D') {
        return {true, {}, {}};
    }
    const auto [first, second] = OutputOrder(point, northFirst);
    return {false, FormatFixed(first, 10, 3), FormatFixed(second, 10, 3)};
}

std::string FirstLineOf(const std::filesystem::path& path)
{
    TextReader source(path);
    if (!source.IsOpen()) {
        throw FatalError(kSourceIoMessage);
    }
    std::string line;
    source.ReadLine(line);
    return line;
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
    const bool northFirst = NorthFirst(job.transformationCode);
    PointFile points = OpenNewPoints(job.newPointsPath);
    // The plain codes' parsers store no kind letter: their models are plane.
    const char kind = 'P';
    const bool regressionApplied = ComputeSignals(points, model, job.modelKind, kind, job.regressionApplied, SignalRule::ByKind);

    const std::string title = FirstLineOf(job.inputPath);
    TextWriter result(job.resultPath);
    if (!result.IsOpen()) {
        throw FatalError(kResultIoMessage);
    }
    result.Write(title);
    result.Write(kLineEnd);

    std::vector<InteractiveResult> interactive;
    std::string line;
    for (std::uint64_t k = 0; k < points.Size(); ++k) {
        PointRecord point = points.Read(k);
        SetFinalCoordinates(point, kind, regressionApplied);
        points.Write(k, point);
        line.clear();
        AppendResultLine(line, point, northFirst);
        result.Write(line);
        if (job.interactiveMode) {
            interactive.push_back(InteractiveResultOf(point, northFirst));
        }
    }
    result.Write("ENDF");
    if (!result.Close()) {
        throw FatalError(kResultIoMessage);
    }
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
