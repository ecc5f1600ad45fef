// The "Din fisier" commands: every point of a source text file through one transformation, and
// the result text file. Each command follows one sequence: context, file dialog, parse into the
// new-points file, transform each record in place, write the result, name it.
#pragma once

#include "commands/CommandContext.h"
#include "commands/Ui.h"
#include "core/TransformPoint.h"
#include "model/DistortionModel.h"

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace velmora {

struct BatchCommand {
    const char* handler;        // the menu handler that runs it
    char code;                  // transformation code
    const char* menuCaption;    // the submenu that holds its "Din fisier" item
    const char* dialogCaption;  // caption of the file dialog
    const char* planeGrid;      // plane grid (or node grid) name in the start-up directory
    const char* parameterFile;  // parameter file name; nullptr: the plane grid's name with ".PAR"
    const char* name;           // the command line's name for it
};

// The visible commands, in menu order.
std::span<const BatchCommand> BatchCommands();
// The command with that transformation code or command line name; nullptr when there is none.
const BatchCommand* FindBatchCommand(std::string_view codeOrName);

// Runs the command from workDir (the current directory when it starts). Returns normally when
// it completed (after the information window) or a dialog was cancelled; throws FatalError when
// the program must end.
void RunBatchCommand(CommandContext& ctx, Ui& ui, const BatchCommand& command, const std::filesystem::path& workDir);

// The distortion model of the Bucharest commands (codes '5' and '6') on the new points parsed in
// ctx.workDir, with the node grid and parameter file of ctx; writes resultPath. In interactive
// mode returns the dialog's result texts, one per point.
std::vector<InteractiveResult> ApplyBucharestModel(const CommandContext& ctx, const std::filesystem::path& resultPath);

// The dispatcher's transformation type for a transformation code and zone; none for the codes
// of the distortion model.
std::optional<TransformationType> TransformationTypeOf(char code, int tmZone);

inline constexpr const char* kResultInformationPrefix = "Fisierul rezultat este: ";
inline constexpr const char* kPointFailurePrefix = "Eroare: nu se poate transforma punctul ";

} // namespace velmora
