#include "commands/QuasigeoidCommands.h"

#include "building/BoundaryPolygon.h"
#include "building/GridGeneration.h"
#include "building/NetworkAdjustment.h"
#include "building/QuasigeoidApplication.h"
#include "files/FatalError.h"
#include "files/RecordFile.h"
#include "files/ResultWriter.h"
#include "files/SourceParsers.h"
#include "model/GridCells.h"
#include "model/NodeGrid.h"

#include <optional>

namespace velmora {

namespace fs = std::filesystem;

namespace {

// The quasigeoid model has no global transformation: the system-1 values are the Helmert ones.
// A file that cannot be opened is passed by.
void CopySystemToHelmert(const fs::path& pointsPath)
{
    std::optional<PointFile> points;
    try {
        points.emplace(PointFile::OpenForUpdate(pointsPath));
    } catch (const FatalError&) {
        return;
    }
    for (std::uint64_t k = 0; k < points->Size(); ++k) {
        PointRecord point = points->Read(k);
        point.result = point.sys1;
        points->Write(k, point);
    }
    points->Close();
}

std::string FinalText(const BuildRun& run)
{
    return "Fisierele rezultate sunt: " + run.applicationReportName.string() + ", " + run.drawingPath.string() + ", " +
           run.gridTextPath.string() + ", " + run.nodeGridPath.string() + " (fis. binar), " +
           run.parameterPath.string() + " (fis. binar).";
}

} // namespace

std::string BuildQuasigeoidModel(BuildRun& run)
{
    run.transformationCode = kQuasigeoidCode;
    run.kind = 'G';
    GenerateGrid(run);
    const fs::path common = run.WorkFile(kBuildCommonPointsName);
    const fs::path fresh = run.WorkFile(kBuildNewPointsName);
    const fs::path excluded = run.WorkFile(kBuildExcludedPointsName);
    for (const fs::path& points : {common, fresh, excluded})
        CopySystemToHelmert(points);

    run.regression = false;
    MarkGridNodes(run);
    const NodeGrid grid = NodeGrid::Load(run.nodeGridPath);
    AssignGridCells(common, grid, true, nullptr);
    AdjustDistortionNetwork(run);
    AssignGridCells(excluded, grid, false, nullptr);
    AssignGridCells(fresh, grid, false, nullptr);
    const QuasigeoidReportJob job{run.nodeGridPath, fresh, common, excluded,
                                  run.WorkFile(kApplicationReportName), run.sourcePath.string()};
    ApplyQuasigeoidGridWithReport(job, *run.drawing);
    return FinalText(run);
}

void PrepareQuasigeoidApplication(CommandContext& ctx, const fs::path& nodeGridPath, const fs::path& workDir)
{
    ctx.transformationCode = '7';
    ctx.workDir = workDir;
    ctx.dialogConfirmed = false;
    ctx.interactiveMode = false;
    ctx.planeGridPath = nodeGridPath;
    ctx.heightGridPath = ctx.startDir / kQuasigeoidCheckGridName;
    ctx.parameterPath = ctx.startDir / kQuasigeoidParameterName;
}

std::string ApplyQuasigeoidModel(CommandContext& ctx, const fs::path& workDir)
{
    const SourceTargets targets = WorkFileTargets(workDir);
    const fs::path excludedPath = workDir / kBuildExcludedPointsName;
    PointFile excluded = PointFile::Create(excludedPath);
    SourceTargets parseTargets = targets;
    parseTargets.excludedPoints = &excluded;
    EllipsoidPair ellipsoids{};
    if (!LoadPlaneSource(ctx.transformationCode, 'P', ctx.inputPath, parseTargets, ellipsoids))
        throw FatalError(std::string(kSourceInvalidMessage) + "\n" + kSourceIoMessage);
    const bool anyExcluded = excluded.Size() > 0;
    excluded.Close();

    // The points are placed by their own coordinates: the quasigeoid model has no Helmert step
    // (its parameter file holds none), so both files are assigned without one.
    const NodeGrid grid = NodeGrid::Load(ctx.planeGridPath);
    if (anyExcluded) {
        CopySystemToHelmert(excludedPath);
        AssignGridCells(excludedPath, grid, false, nullptr);
    }
    CopySystemToHelmert(targets.newPoints);
    AssignGridCells(targets.newPoints, grid, false, nullptr);
    ApplyQuasigeoidGridToResult(ctx.planeGridPath, targets.newPoints, ctx.inputPath, ctx.resultPath);
    return std::string("Fisierul rezultat este: ") + ctx.resultPath + ".";
}

} // namespace velmora
