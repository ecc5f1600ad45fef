// The "Interactiv" commands: one point typed into a dialog, transformed, and shown in the same
// dialog, which comes back for the next point until the user cancels it. The dispatcher commands
// call TransformPoint with the typed values; the Bucharest plane-to-plane commands write the point
// into a temporary source file and run the distortion model on it.
//
// The dialogs are reached through PointDialog, so the command code runs the same under windows,
// scripted tests or any other front end; their fields are addressed by what they hold.
#pragma once

#include "commands/CommandContext.h"
#include "commands/CommandTable.h"
#include "commands/Ui.h"

#include <filesystem>
#include <optional>
#include <span>
#include <string>

namespace velmora {

// The fields of the point dialogs. The geodetic dialog takes B and L in parts and the height in
// InputHeight; the others take InputX, InputY and (except the model dialogs) InputHeight. Every
// dialog shows its results in OutputX, OutputY and (except the model dialogs) OutputHeight.
enum class PointField {
    BDegrees, BMinutes, BSeconds, BFraction,
    LDegrees, LMinutes, LSeconds, LFraction,
    InputX, InputY, InputHeight,
    OutputX, OutputY, OutputHeight,
};

struct PointFieldLimit {
    PointField field;
    int maxLength; // characters the user may type
};

// The input fields of a dialog, in the order they are checked, and its output fields.
std::span<const PointFieldLimit> InputFields(PointDialogKind kind);
std::span<const PointField> OutputFields(PointDialogKind kind);

// Temporary source and result of the interactive commands, in the working directory.
inline constexpr const char* kInteractiveInputName = "INPUT.TMP";
inline constexpr const char* kInteractiveResultName = "OUTPUT.TMP";
inline constexpr const char* kInteractiveFailureMessage = "Eroare: nu se poate transforma punctul introdus";

// What a front end must offer for the interactive dialogs.
class PointDialog {
public:
    virtual ~PointDialog() = default;
    // Sets the command's caption and labels.
    virtual void Prepare(const InteractiveSpec& command) = 0;
    // Shows the dialog modally with the entries as the user left them. Its "Transformare"
    // button runs ConfirmPointDialog and closes the dialog only when that confirms; its Cancel
    // clears ctx.dialogConfirmed and ctx.interactiveMode. Returns ctx.dialogConfirmed.
    virtual bool Show(CommandContext& ctx) = 0;
    virtual std::string Text(PointField field) const = 0;
    virtual void SetText(PointField field, const std::string& text) = 0;
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

// The nine texts of the geodetic dialog's inputs, in their order. Returns the message of the
// first invalid field.
std::optional<std::string> ReadGeodeticInput(std::span<const std::string, 9> texts, PointInput& point);
// The first coordinate (InputX), the second (InputY) and the height of a plane dialog.
std::optional<std::string> ReadPlaneInput(const std::string& first, const std::string& second,
                                          const std::string& height, bool firstIsEast, PointInput& point);

// Runs the "Interactiv" item of the transformation from workDir until the user cancels its
// dialog. Throws FatalError when the program must end.
void RunInteractiveCommand(CommandContext& ctx, Ui& ui, PointDialog& dialog, const TransformationSpec& transformation,
                           const std::filesystem::path& workDir);

} // namespace velmora
