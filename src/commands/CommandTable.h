// The menu commands of the program, in one table that the menu of the desktop program, the batch
// and interactive commands and the command line all read. A row is one item of the menu: a
// transformation (a submenu of "Din fisier" and "Interactiv" run by the batch and interactive
// commands of this layer), or a model-building or conversion command, a plain item run by its own
// function (which asks for its files through the Ui when it needs them).
// Rows stand in menu order; the desktop program shows a menu only while one of its rows is shown.
#pragma once

#include "commands/CommandContext.h"
#include "core/TransformPoint.h"
#include "files/ResultWriter.h"

#include <filesystem>
#include <optional>
#include <span>
#include <string_view>

namespace velmora {

class Ui;

// The menus that hold the commands, in the order of the menu bar; Spatial3DZeta is a submenu of
// Spatial3D.
enum class CommandMenu { Conversion, Plane2D, Spatial3D, Spatial3DZeta, Romania, Bucharest };

struct CommandMenuInfo {
    CommandMenu menu;
    const char* caption;
    std::optional<CommandMenu> parent; // a submenu of that menu
};

std::span<const CommandMenuInfo> CommandMenus();

// The parser front end that reads a command's source file.
enum class SourceFormat { Plane, Geodetic };

// The dialogs of the "Interactiv" commands (as the windows name them: TOKBottomDlg1,
// TOKBottomDlg4, TOKBottomDlg2, TOKBottomDlg3, TOKRightDlg12).
enum class PointDialogKind {
    Geodetic,        // B, L, h in; plane out
    PlaneToGeodetic, // plane in; B, L, h out
    Stereo30Model,   // Stereo30 in; Stereo70 out through the distortion model
    Stereo70Model,   // Stereo70 in; Stereo30 out through the distortion model
    Plane,           // plane in, plane out
};

inline bool IsModelDialog(PointDialogKind kind)
{
    return kind == PointDialogKind::Stereo30Model || kind == PointDialogKind::Stereo70Model;
}

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

// The "Din fisier" item of a transformation.
struct BatchSpec {
    char code;                 // transformation code
    const char* caption;       // caption of the file dialog
    const char* planeGrid;     // plane grid (or node grid) name in the start-up directory
    const char* parameterFile; // parameter file name; nullptr: the plane grid's name with ".PAR"
};

// The "Interactiv" item of a transformation.
struct InteractiveSpec {
    char code; // transformation code
    PointDialogKind dialog;
    const char* caption; // dialog caption
    const char* heightGrid;
    const char* planeGrid;
    bool hasParameterFile; // the plane grid's name with ".PAR" is the model's parameter file
    bool xIsEast;          // plane input: the first field holds the easting-like value
    PointDialogLabels labels;
};

struct TransformationSpec {
    // The dispatcher's type; none for the distortion model of the Bucharest plane commands. The
    // Transverse Mercator commands ask for the zone and take typeZone35 in zone 35.
    std::optional<TransformationType> type;
    std::optional<TransformationType> typeZone35;
    SourceFormat source;
    ResultLayout result;
    BatchSpec batch;
    InteractiveSpec interactive;

    // The Transverse Mercator commands.
    bool AsksForZone() const { return typeZone35.has_value(); }
};

using CommandRun = void (*)(CommandContext& ctx, Ui& ui, const std::filesystem::path& workDir);

struct MenuCommand {
    const char* name;    // unique; the command line's name of the visible commands
    CommandMenu menu;
    const char* caption; // the menu item
    bool hidden;         // in the menu, but invisible and disabled
    bool separatorBefore;
    const char* summary; // what the command line's help says of it
    const TransformationSpec* transformation; // the transformations
    CommandRun run; // the others; nullptr: not part of this program yet (bound to nothing)
};

// Every command of the menu, in menu order.
std::span<const MenuCommand> MenuCommands();
// The command of that name; nullptr when there is none.
const MenuCommand* FindCommand(std::string_view name);
// The visible transformation with that name or "Din fisier" transformation code; nullptr when
// there is none.
const MenuCommand* FindTransformation(std::string_view codeOrName);

// The dispatcher's type of a transformation in the zone; none for the distortion model.
std::optional<TransformationType> TypeInZone(const TransformationSpec& transformation, int tmZone);

} // namespace velmora
