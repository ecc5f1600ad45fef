#include "commands/ModelBuildingCommands.h"

#include "building/BoundaryPolygon.h"
#include "building/BuildRun.h"
#include "building/GridTextConversion.h"
#include "commands/FileSelection.h"
#include "building/GridGeneration.h"
#include "building/HelmertEstimation.h"
#include "building/NetworkAdjustment.h"
#include "building/Regression.h"
#include "commands/Ui.h"
#include "commands/WorkFolder.h"
#include "files/RecordFile.h"
#include "model/GridCells.h"
#include "model/ModelReport.h"

#include <cstdint>
#include <system_error>

namespace velmora {

namespace {

bool IsPlane(ModelBuildingCommand command)
{
    return command == ModelBuildingCommand::Plane || command == ModelBuildingCommand::PlaneRegression;
}

bool WithRegression(ModelBuildingCommand command)
{
    return command == ModelBuildingCommand::PlaneRegression || command == ModelBuildingCommand::SpatialRegression;
}

// The global model: the Helmert estimation and, when asked for, the regression trend.
void EstimateGlobalModel(BuildRun& run, Ui& ui, bool regression)
{
    if (run.kind == 'P') {
        EstimateHelmert2D(run, 1);
    } else {
        EstimateHelmert3D(run, 1);
    }
    ui.ShowMessageBox(kGlobalTransformationMessage, kWarningCaption, MessageIcon::Warning);
    run.regression = false;
    if (regression && RunRegression(run, run.kind)) {
        ui.ShowMessageBox(kRegressionDoneMessage, kWarningCaption, MessageIcon::Warning);
        run.regression = true;
    }
}

// The seven-parameter result of every point of the file, which the estimation gives the common
// and new points only.
void ApplySevenParameterModel(const std::filesystem::path& path, const ModelParameterRecord& model)
{
    PointFile points = PointFile::OpenForUpdate(path);
    for (std::uint64_t k = 0; k < points.Size(); ++k) {
        PointRecord point = points.Read(k);
        ApplyModelHelmert3D(point, model);
        points.Write(k, point);
    }
    points.Close();
}

// The distortion surface on the grid, then the finished model applied with its report. The
// common points keep the coordinates of the estimation. Three-dimensional points carry the
// seven-parameter result (the plane Helmert of their parameter file stays zero), so their cells
// are found from it as it stands.
void AdjustAndApply(BuildRun& run)
{
    const bool plane = run.kind == 'P';
    MarkGridNodes(run);
    AssignGridCells(run.WorkFile(kBuildCommonPointsName), NodeGrid::Load(run.nodeGridPath), true, nullptr);
    AdjustDistortionNetwork(run);

    const DistortionModel model = LoadDistortionModel(run.nodeGridPath, run.parameterPath);
    const ModelParameterRecord* helmert = plane ? &model.parameters : nullptr;
    const std::filesystem::path excludedPath = run.WorkFile(kBuildExcludedPointsName);
    if (!plane) {
        ApplySevenParameterModel(excludedPath, model.parameters);
    }
    AssignGridCells(excludedPath, model.grid, false, helmert);
    AssignGridCells(run.WorkFile(kBuildNewPointsName), model.grid, false, helmert);

    ModelReportJob job;
    job.newPointsPath = run.WorkFile(kBuildNewPointsName);
    job.commonPointsPath = run.WorkFile(kBuildCommonPointsName);
    job.excludedPointsPath = run.WorkFile(kBuildExcludedPointsName);
    job.selectionPath = run.workDir / kPolygonPointsFileName;
    job.reportPath = run.workDir / run.applicationReportName;
    job.sourceName = run.sourcePath.string();
    job.target = {run.ellipsoids.a2, run.ellipsoids.invF2};
    job.modelKind = run.kind;
    job.regressionApplied = run.regression;
    job.withStatistics = true;
    ApplyDistortionModelWithReport(model, job, *run.drawing);
}

void RunMenuCommand(CommandContext& ctx, Ui& ui, const std::filesystem::path& workDir, ModelBuildingCommand command)
{
    ui.ShowWaitLabel(true);
    const std::optional<std::filesystem::path> source = ui.SelectSourceFile();
    if (!source) {
        return;
    }
    RunModelBuilding(ctx, ui, {command, *source, workDir, false});
    ui.ShowWaitLabel(false);
}

} // namespace

void RemoveLeftoverWorkFiles(const std::filesystem::path& workDir)
{
    for (const char* name : kLeftoverWorkFiles) {
        std::error_code ignored;
        std::filesystem::remove(workDir / name, ignored);
    }
}

std::vector<std::filesystem::path> ModelBuildingFilesOf(const std::filesystem::path& sourcePath,
                                                        const std::filesystem::path& workDir)
{
    std::vector<std::filesystem::path> files;
    for (const char* name : {kBuildCommonPointsName, kBuildNewPointsName, kBuildPolygonName, kEstimationReportName,
                             kApplicationReportName, kLeftoverWorkFiles[0], kLeftoverWorkFiles[1]})
        files.push_back(workDir / name);
    for (const char* extension : {".PAR", ".DXF", ".GRT", ".GRD"})
        files.push_back(std::filesystem::path(sourcePath).replace_extension(extension));
    files.push_back(BinaryGridPath(std::filesystem::path(sourcePath).replace_extension(".GRD")));
    return files;
}

void RunModelBuilding(CommandContext& ctx, Ui& ui, const ModelBuildingRequest& request)
{
    if (SourceWouldBeWritten(request.sourcePath, request.workDir,
                             ModelBuildingFilesOf(request.sourcePath, request.workDir))) {
        ui.RefuseSelection(kMessageSameFile);
        return;
    }
    const WorkFolderLock lock(request.workDir, ui);
    if (request.command == ModelBuildingCommand::Plane) {
        ctx.transformationCode = kPlaneWithoutRegressionCode;
    }
    BuildRun run;
    run.sourcePath = request.sourcePath;
    run.workDir = request.workDir;
    run.transformationCode = ctx.transformationCode;
    run.kind = IsPlane(request.command) ? 'P' : 'G';
    run.progress = [&ui](std::uint64_t done, std::uint64_t total) { ui.Progress(done, total); };

    GenerateGrid(run);
    EstimateGlobalModel(run, ui, WithRegression(request.command));
    if (request.stopAfterEstimation) {
        run.drawing->WriteDxfEnd();
    } else {
        AdjustAndApply(run);
    }
    ui.ShowInformation(FinalMessage(run, request.stopAfterEstimation));
    RemoveLeftoverWorkFiles(run.workDir);
}

std::string FinalMessage(const BuildRun& run, bool stoppedAfterEstimation)
{
    std::string text = std::string("Fisierele rezultate sunt: ") + kEstimationReportName + ", ";
    if (stoppedAfterEstimation) {
        return text + run.drawingPath.string() + ", " + run.parameterPath.string() + " (fis. binar).";
    }
    return text + run.applicationReportName.string() + ", " + run.drawingPath.string() + ", "
           + run.gridTextPath.string() + ", " + run.nodeGridPath.string() + " (fis. binar), "
           + run.parameterPath.string() + " (fis. binar).";
}

void BuildPlaneModel(CommandContext& ctx, Ui& ui, const std::filesystem::path& workDir)
{
    RunMenuCommand(ctx, ui, workDir, ModelBuildingCommand::Plane);
}

void BuildPlaneRegressionModel(CommandContext& ctx, Ui& ui, const std::filesystem::path& workDir)
{
    RunMenuCommand(ctx, ui, workDir, ModelBuildingCommand::PlaneRegression);
}

void BuildSpatialModel(CommandContext& ctx, Ui& ui, const std::filesystem::path& workDir)
{
    RunMenuCommand(ctx, ui, workDir, ModelBuildingCommand::Spatial);
}

void BuildSpatialRegressionModel(CommandContext& ctx, Ui& ui, const std::filesystem::path& workDir)
{
    RunMenuCommand(ctx, ui, workDir, ModelBuildingCommand::SpatialRegression);
}

void ShowNotImplemented(CommandContext&, Ui& ui, const std::filesystem::path&)
{
    ui.ShowMessageBox(kNotImplementedMessage, kInformationCaption, MessageIcon::Information);
}

void DoNothing(CommandContext&, Ui&, const std::filesystem::path&) {}

} // namespace velmora
