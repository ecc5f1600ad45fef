#include "commands/QuasigeoidCommands.h"

#include "building/BoundaryPolygon.h"
#include "building/GridGeneration.h"
#include "building/NetworkAdjustment.h"
#include "building/Quasigeoid.h"
#include "building/QuasigeoidApplication.h"
#include "commands/BatchCommands.h"
#include "commands/FileSelection.h"
#include "commands/ModelBuildingCommands.h"
#include "commands/Ui.h"
#include "commands/WorkFolder.h"
#include "files/FatalError.h"
#include "files/RecordFile.h"
#include "files/ResultWriter.h"
#include "files/SourceParsers.h"
#include "model/GridCells.h"
#include "model/NodeGrid.h"

#include <cstdint>
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
    WriteResult(ctx, [&](const fs::path& path) {
        ApplyQuasigeoidGridToResult(ctx.planeGridPath, targets.newPoints, ctx.inputPath, path);
    });
    return kResultInformationPrefix + ctx.resultPath + ".";
}

void QuasigeoidBuildCommand(CommandContext& ctx, Ui& ui, const fs::path& workDir)
{
    ui.ShowWaitLabel(true);
    const std::optional<fs::path> source = ui.SelectSourceFile();
    if (!source)
        return;
    ctx.transformationCode = kQuasigeoidCode;
    if (SourceWouldBeWritten(*source, workDir, ModelBuildingFilesOf(*source, workDir))) {
        ui.RefuseSelection(kMessageSameFile);
        return;
    }
    const WorkFolderLock lock(workDir, ui);
    BuildRun run;
    run.sourcePath = *source;
    run.workDir = workDir;
    run.progress = [&ui](std::uint64_t done, std::uint64_t total) { ui.Progress(done, total); };
    ui.ShowInformation(BuildQuasigeoidModel(run));
    ui.ShowWaitLabel(false);
}

void QuasigeoidApplyCommand(CommandContext& ctx, Ui& ui, const fs::path& workDir)
{
    const std::optional<fs::path> grid = ui.SelectGridFile();
    if (!grid)
        return;
    PrepareQuasigeoidApplication(ctx, *grid, workDir);
    if (!ui.SelectFiles(ctx, kQuasigeoidCaption))
        return;
    const WorkFolderLock lock(workDir, ui);
    ui.ShowInformation(ApplyQuasigeoidModel(ctx, workDir));
}

namespace {

// The exchange commands report in a message box and the program goes on, whatever the outcome.
void ReportExchange(Ui& ui, const std::optional<std::string>& failure, const char* done)
{
    if (failure)
        ui.ShowMessage(*failure);
    else
        ui.ShowMessageBox(done, kInformationCaption, MessageIcon::Information);
}

void ExportGridCommand(Ui& ui, const fs::path& workDir, bool plane)
{
    const std::optional<fs::path> grid = ui.SelectGridFile();
    if (!grid)
        return;
    const WorkFolderLock lock(workDir, ui);
    ReportExchange(ui, ExportGridNodesForEgg(*grid, plane, workDir), kExportDoneMessage);
}

} // namespace

void ExportPlaneGridCommand(CommandContext&, Ui& ui, const fs::path& workDir)
{
    ExportGridCommand(ui, workDir, true);
}

void ExportGeographicGridCommand(CommandContext&, Ui& ui, const fs::path& workDir)
{
    ExportGridCommand(ui, workDir, false);
}

void LoadZitaCommand(CommandContext&, Ui& ui, const fs::path&)
{
    const std::optional<fs::path> zita = ui.SelectSourceFile();
    if (!zita)
        return;
    const std::optional<fs::path> grid = ui.SelectGridFile();
    if (grid)
        ReportExchange(ui, LoadZitaIntoGrid(*zita, *grid), kZitaLoadedMessage);
}

} // namespace velmora
