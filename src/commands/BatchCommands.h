// The "Din fisier" commands: every point of a source text file through one transformation, and
// the result text file. Each command follows one sequence: context, file dialog, parse into the
// new-points file, transform each record in place, write the result, name it.
#pragma once

#include "commands/CommandContext.h"
#include "commands/CommandTable.h"
#include "commands/Ui.h"
#include "model/DistortionModel.h"

#include <filesystem>
#include <functional>
#include <vector>

namespace velmora {

// Runs the "Din fisier" item of the transformation from workDir (the current directory when it
// starts). Returns normally when it completed (after the information window) or a dialog was
// cancelled; throws FatalError when the program must end.
void RunBatchCommand(CommandContext& ctx, Ui& ui, const TransformationSpec& transformation,
                     const std::filesystem::path& workDir);

// The data files every point of the "Din fisier" command reads, in dataDir: the dispatcher's plane
// grids, or the node grid and parameter file of a distortion model. The quasigeoid grid is read
// only for points with a height and is not listed.
std::vector<std::filesystem::path> DataFilesOf(const TransformationSpec& transformation,
                                               const std::filesystem::path& dataDir, int tmZone);

// The distortion model of the Bucharest commands (codes '5' and '6') on the new points parsed in
// ctx.workDir, with the node grid and parameter file of ctx; writes resultPath in the layout. In
// interactive mode returns the dialog's result texts, one per point.
std::vector<InteractiveResult> ApplyBucharestModel(const CommandContext& ctx, ResultLayout layout,
                                                   const std::filesystem::path& resultPath);

// Writes the result file ctx.resultPath through write, which is given a file beside it: that file
// replaces the result only once it is complete, so a failure never costs the user an earlier file
// of that name.
void WriteResult(const CommandContext& ctx, const std::function<void(const std::filesystem::path&)>& write);

inline constexpr const char* kResultInformationPrefix = "Fisierul rezultat este: ";
inline constexpr const char* kPointFailurePrefix = "Eroare: nu se poate transforma punctul ";

} // namespace velmora
