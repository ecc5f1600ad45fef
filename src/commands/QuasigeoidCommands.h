// The quasigeoid commands: building a quasigeoid grid from a model-building source, and applying a
// finished one to a point file. The quasigeoid model has no Helmert step and no regression trend:
// its points' system-1 values (L, B, zeta) stand in the Helmert fields, and the grid holds the
// corrections of zeta adjusted from the common points.
#pragma once

#include "building/BuildRun.h"
#include "commands/CommandContext.h"

#include <filesystem>
#include <string>

namespace velmora {

class Ui;

// Caption of both quasigeoid commands (the model building and the application).
inline constexpr const char* kQuasigeoidCaption = "(B,L,zita)_GRS80_EGG97-->(B,L,h-Hn)_GRS80_MareaNeagra";
// The parameter file of the quasigeoid model in the start-up directory.
inline constexpr const char* kQuasigeoidParameterName = "EGG97_QGR.PAR";

// Builds the quasigeoid model of run.sourcePath in run.workDir: grid generation (kind 'G', the
// quasigeoid's transformation code), the system-1 values copied into the Helmert fields, the
// boundary marking, the cells, the adjustment of zeta's corrections, the application with its
// report and drawing. Returns the final information text, which names the files made. Throws
// FatalError with the message of the step that failed.
std::string BuildQuasigeoidModel(BuildRun& run);

// Applies the node grid ctx.planeGridPath to the source ctx.inputPath (a one-line plane source of
// code '7': x = B, y = L in decimal degrees, zeta; starred points with their known values are set
// aside in "RAR.REC"), writing ctx.resultPath. ctx holds the confirmed choice of the file dialog.
// Returns the information text. Throws FatalError with the failing step's message.
std::string ApplyQuasigeoidModel(CommandContext& ctx, const std::filesystem::path& workDir);

// Sets ctx for the application: transformation code '7', the chosen node grid, the quasigeoid
// grid and parameter file of the start-up directory that the file dialog checks.
void PrepareQuasigeoidApplication(CommandContext& ctx, const std::filesystem::path& nodeGridPath,
                                  const std::filesystem::path& workDir);

// The menu commands, run from workDir; every dialog cancelled ends its command with nothing done.
//   QuasigeoidBuildCommand: the wait label, the model-building source from the open dialog, the
//     build, the information window naming the result files.
//   QuasigeoidApplyCommand: the quasigeoid node grid from the open dialog, the file selection
//     dialog, the application, the information window naming the result.
//   ExportPlaneGridCommand, ExportGeographicGridCommand: the node grid from the open dialog, then
//     BL_EGG.txt, named in a message box, or the failure in the error message box.
//   LoadZitaCommand: the zita file, then the node grid from the open dialogs, then the loading,
//     confirmed in a message box, or the failure in the error message box.
void QuasigeoidBuildCommand(CommandContext& ctx, Ui& ui, const std::filesystem::path& workDir);
void QuasigeoidApplyCommand(CommandContext& ctx, Ui& ui, const std::filesystem::path& workDir);
void ExportPlaneGridCommand(CommandContext& ctx, Ui& ui, const std::filesystem::path& workDir);
void ExportGeographicGridCommand(CommandContext& ctx, Ui& ui, const std::filesystem::path& workDir);
void LoadZitaCommand(CommandContext& ctx, Ui& ui, const std::filesystem::path& workDir);

} // namespace velmora
