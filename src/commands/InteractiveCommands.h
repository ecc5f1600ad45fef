// The "Interactiv" commands: one point typed into a dialog, transformed, and shown in the same
// dialog, which comes back for the next point until the user cancels it. The dispatcher commands
// call TransformPoint with the typed values; the Bucharest plane-to-plane commands write the point
// into a temporary source file and run the distortion model on it.
//
// The dialogs are reached through PointDialog, so the command code runs the same under windows,
// scripted tests or any other front end. Their edits are named by number as in the windows:
//   TOKBottomDlg1  (B,L,h) in:  B Edit1..Edit4, L Edit5..Edit8 (degrees, minutes, seconds,
//                  fraction of seconds), h Edit9;  out: Edit10, Edit11, height Edit14
//   TOKBottomDlg4  plane in:  Edit10, Edit11, height Edit2;  out: B Edit1, L Edit5, h Edit3
//   TOKRightDlg12  plane in:  Edit10, Edit11, height Edit2;  out: Edit1, Edit5, height Edit3
//   TOKBottomDlg2, TOKBottomDlg3  model in:  x Edit1, y Edit3;  out: Edit10, Edit11
#pragma once

#include "commands/CommandContext.h"
#include "commands/Ui.h"
#include "core/TransformPoint.h"

#include <filesystem>
#include <optional>
#include <span>
#include <string>

namespace velmora {

enum class PointDialogKind {
    Geodetic,        // TOKBottomDlg1
    PlaneToGeodetic, // TOKBottomDlg4
    Stereo30Model,   // TOKBottomDlg2
    Stereo70Model,   // TOKBottomDlg3
    Plane,           // TOKRightDlg12
};

// Label texts a command puts on its dialog before showing it; nullptr keeps the dialog's own.
struct PointDialogLabels {
    const char* headerIn = nullptr;
    const char* headerOut = nullptr;
    const char* inputX = nullptr;
    const char* inputY = nullptr;
    const char* inputHeight = nullptr;
    const char* outputX = nullptr;
    const char* outputY = nullptr;
    const char* outputHeight = nullptr;
};

struct InteractiveCommand {
    const char* handler;   // the menu handler that runs it
    char code;             // transformation code
    PointDialogKind dialog;
    const char* caption;   // dialog caption
    const char* heightGrid; // data file names in the start-up directory
    const char* planeGrid;
    bool hasParameterFile; // the plane grid's name with ".PAR" is the model's parameter file
    std::optional<TransformationType> type;       // zone 34; none for the distortion model
    std::optional<TransformationType> typeZone35; // for the commands that ask for the zone
    bool xIsEast;          // plane input: Edit10 holds the easting-like value, Edit11 the other
    PointDialogLabels labels;
};

// Every interactive command of the menu, the hidden ones included.
std::span<const InteractiveCommand> InteractiveCommands();
// The command run by that menu handler; nullptr when there is none.
const InteractiveCommand* FindInteractiveCommand(std::string_view handler);

struct PointEdit {
    int number;    // EditN
    int maxLength; // characters the user may type
};

// The input edits of a dialog, in the order they are checked, and its output edits.
std::span<const PointEdit> InputEdits(PointDialogKind kind);
std::span<const int> OutputEdits(PointDialogKind kind);

// Temporary source and result of the interactive commands, in the working directory.
inline constexpr const char* kInteractiveInputName = "INPUT.TMP";
inline constexpr const char* kInteractiveResultName = "OUTPUT.TMP";
inline constexpr const char* kInteractiveFailureMessage = "Eroare: nu se poate transforma punctul introdus";

// What a front end must offer for the interactive dialogs.
class PointDialog {
public:
    virtual ~PointDialog() = default;
    // Sets the command's caption and labels.
    virtual void Prepare(const InteractiveCommand& command) = 0;
    // Shows the dialog modally with the entries as the user left them. Its "Transformare"
    // button runs ConfirmPointDialog and closes the dialog only when that confirms; its Cancel
    // clears ctx.dialogConfirmed and ctx.interactiveMode. Returns ctx.dialogConfirmed.
    virtual bool Show(CommandContext& ctx) = 0;
    virtual std::string Text(int edit) const = 0;
    virtual void SetText(int edit, const std::string& text) = 0;
    // A message box with the information icon and a single OK button, above the dialog.
    virtual void ShowNote(const std::string& text, const std::string& caption) = 0;
};

// The confirmation of a dialog: the temporary file names, and the data files the command needs.
// Returns the message to show (the dialog stays open) or std::nullopt, having set
// ctx.dialogConfirmed.
std::optional<std::string> ConfirmPointDialog(CommandContext& ctx, PointDialogKind kind);

// A point as typed: the easting-like value (or L in degrees), the northing-like value (or B in
// degrees), and the height when one was given.
struct PointInput {
    double east = 0.0;
    double north = 0.0;
    std::optional<double> height;
};

// The nine texts of Edit1..Edit9 of TOKBottomDlg1. Returns the message of the first invalid field.
std::optional<std::string> ReadGeodeticInput(std::span<const std::string, 9> texts, PointInput& point);
// The first coordinate (Edit10), the second (Edit11) and the height (Edit2) of a plane dialog.
std::optional<std::string> ReadPlaneInput(const std::string& first, const std::string& second,
                                          const std::string& height, bool firstIsEast, PointInput& point);

// Runs the command from workDir until the user cancels its dialog. Throws FatalError when the
// program must end.
void RunInteractiveCommand(CommandContext& ctx, Ui& ui, PointDialog& dialog, const InteractiveCommand& command,
                           const std::filesystem::path& workDir);

} // namespace velmora
