// The model-building commands of the "Transformare_2D" and "Transformare_3D" menus. Each takes one
// model-building source file and runs the whole chain in the work folder:
//   grid generation;
//   the global Helmert estimation (plane or seven-parameter), then its message box;
//   with regression: the regression trend, and its message box when it succeeds;
//   the boundary marking of the grid nodes;
//   the cells of the common points, the network adjustment of their distortions, the cells of
//     the excluded (plane only) and new points;
//   the model application with its report, which ends the drawing;
//   the information window naming the result files, and the removal of leftover work files.
// The files named after the source lie beside it: the .PAR, .DXF, .GRT and .GRD files and, for
// plane models, the binary grid named with "J.GRD".
#pragma once

#include "commands/CommandContext.h"

#include <filesystem>
#include <string>
#include <vector>

namespace velmora {

class Ui;
struct BuildRun;

inline constexpr const char* kGlobalTransformationMessage = "S-a executat TRANSFORMAREA GLOBALA!";
inline constexpr const char* kRegressionDoneMessage = "S-a executat MODELAREA TRENDULUI REGIONAL (REGRESIA)!";
inline constexpr const char* kWarningCaption = "Mesaj de atentionare";
inline constexpr const char* kNotImplementedMessage = "OPTIUNE NEIMPLEMENTATA";
// Work files of earlier versions of the chain, removed at the end of a run and of a conversion.
inline constexpr const char* kLeftoverWorkFiles[] = {"erori.pas", "noduri.txt"};
void RemoveLeftoverWorkFiles(const std::filesystem::path& workDir);

enum class ModelBuildingCommand { Plane, PlaneRegression, Spatial, SpatialRegression };

// The names of the four commands in the command table and on the command line.
struct ModelBuildingName {
    const char* name;
    ModelBuildingCommand command;
};
inline constexpr ModelBuildingName kModelBuildingNames[] = {
    {"plane", ModelBuildingCommand::Plane},
    {"plane-regression", ModelBuildingCommand::PlaneRegression},
    {"3d", ModelBuildingCommand::Spatial},
    {"3d-regression", ModelBuildingCommand::SpatialRegression},
};

struct ModelBuildingRequest {
    ModelBuildingCommand command = ModelBuildingCommand::Plane;
    std::filesystem::path sourcePath;
    std::filesystem::path workDir;
    // Ends after the Helmert estimation and the regression, whose report and parameter file are
    // then complete, so that blunders can be weeded out before the adjustment.
    bool stopAfterEstimation = false;
};

// The files a model-building run writes, renames or removes besides the parsers' work files: its
// own work files and reports in workDir and the files named after the source.
std::vector<std::filesystem::path> ModelBuildingFilesOf(const std::filesystem::path& sourcePath,
                                                        const std::filesystem::path& workDir);

// Runs the chain for a chosen source. A source that the run would write over is refused
// (Ui::RefuseSelection) before anything is written. The plane command without regression sets the
// transformation code 31; the others run with the code as they find it. The regression flag of a
// run stays with the run: the visible commands' flag (ctx.regression) is left as it is. Every
// failure is a FatalError with the text of the error window.
void RunModelBuilding(CommandContext& ctx, Ui& ui, const ModelBuildingRequest& request);

// "Fisierele rezultate sunt: REZULT.TXT, REZ_NOI.TXT, <.DXF>, <.GRT>, <.GRD> (fis. binar),
// <.PAR> (fis. binar)."; after a run stopped at the estimation the report, the drawing and the
// parameter file only.
std::string FinalMessage(const BuildRun& run, bool stoppedAfterEstimation);

// The menu commands: the wait label, the open dialog (cancelling ends the command with nothing
// done and the label still shown), the chain in workDir, the label hidden.
void BuildPlaneModel(CommandContext& ctx, Ui& ui, const std::filesystem::path& workDir);
void BuildPlaneRegressionModel(CommandContext& ctx, Ui& ui, const std::filesystem::path& workDir);
void BuildSpatialModel(CommandContext& ctx, Ui& ui, const std::filesystem::path& workDir);
void BuildSpatialRegressionModel(CommandContext& ctx, Ui& ui, const std::filesystem::path& workDir);
// The two items under "(B,L,h)_1-->(B,L,Hn)_2, zita": the message box kNotImplementedMessage.
void ShowNotImplemented(CommandContext& ctx, Ui& ui, const std::filesystem::path& workDir);
// "(B,L,h)_ETRS89-->(x,y)_St70,(h)_ETRS89" does nothing.
void DoNothing(CommandContext& ctx, Ui& ui, const std::filesystem::path& workDir);

} // namespace velmora
