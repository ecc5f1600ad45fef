// The coordinate conversion commands: conversions between coordinate forms on one ellipsoid,
// without any datum change. Each reads a source file of the four-line-header common/new format
// (four free lines, the kind line, the ellipsoid line, "PC" and "PN" sections), converts both
// systems of every common point (each with its own ellipsoid of the ellipsoid line) and every new
// point, and writes the converted file in the same format under a fixed name in the work folder,
// so that the result can feed the model-building commands:
//
//   four source lines, the kind letter, the ellipsoid line a1:7, 1/f1:13:9, a2:7, 1/f2:13:9
//   (the semi-axes with 3 decimals for the two forward plane projections),
//   "PC", one line per common point: name, then ",value" for system 1 and system 2, "END",
//   "PN", one line per new point: name, then ",value" for system 1, "END",
//   "ENDF", then the command's extra lines.
//
// A section is written only when its work file holds points. "ENDF" ends its line only when
// extra lines follow; every extra line ends with CR LF, as every other line does.
#pragma once

#include "commands/CommandContext.h"

#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace velmora {

enum class ConversionKind {
    GeodeticToCartesian,       // BLh -> XYZ
    CartesianToGeodetic,       // XYZ -> BLh
    GeodeticToStereo70,        // BL -> East, North Stereo70
    Stereo70ToGeodetic,        // East, North Stereo70 -> BL
    GeodeticToLaea,            // BL -> East, North LAEA
    LaeaToGeodetic,            // East, North LAEA -> BL
    DmsToDegrees,              // BLh in degrees, minutes, seconds -> decimal degrees
    NormalHeightToCartesian,   // BLh -> XYZ of the normal heights h - zeta
};

struct ConversionCommand {
    ConversionKind kind;
    const char* name;        // its name in the command table and on the command line
    char code;               // transformation code: one outside the one-line source formats
    char pointKind;          // 'G' (three values per system) or 'P' (two)
    bool geodeticSource;     // B and L as degrees, minutes, seconds (else plain numbers)
    const char* resultName;  // in the work folder
};

class Ui;

// The eight commands, in menu order.
std::span<const ConversionCommand> ConversionCommands();
// The command of that name; nullptr when there is none.
const ConversionCommand* FindConversionCommand(std::string_view name);
const ConversionCommand& ConversionCommandOf(ConversionKind kind);

// The grid of the quasigeoid heights of the normal-height conversion, in the start-up directory:
// a node grid whose East is L and North is B in decimal degrees, zeta the third node value.
inline constexpr const char* kNormalHeightGridName = "ETRS89_KRASOVSCHI42_2D.grd";
// A converted value that is not a number: the ellipsoid line or the coordinates are unusable.
inline constexpr const char* kNonFiniteConversionMessage =
    "Eroare: rezultat nenumeric al conversiei (elipsoid sau coordonate invalide in fis. sursa).";

struct ConversionOutcome {
    std::filesystem::path resultPath;
    bool anySection = false; // a "PC" or "PN" section was written
};

// Converts sourcePath with the work files in workDir and the data files in startDir, deletes the
// work files and returns the result. Throws FatalError: the parser's messages, "Eroare I/O fisier
// sursa!" (after the source-invalid message) when the source cannot be opened, the quasigeoid
// grid's messages, "Eroare I/O fisier rezultat!" when the result cannot be written.
ConversionOutcome ConvertFile(const ConversionCommand& command, const std::filesystem::path& sourcePath,
                              const std::filesystem::path& workDir, const std::filesystem::path& startDir);

// "Rezultatul conversiei se gasesc in fis. " and the result's file name, the text of the message
// box (caption "Mesaj de informare") shown when a section was written.
std::string ConversionMessage(const ConversionOutcome& outcome);

// The menu command: the transformation code, the open dialog of the source ("File sourse|*.txt";
// cancelling ends the command with nothing done), the conversion in workDir, and the message box
// naming the result when a section was written.
void RunConversion(CommandContext& ctx, Ui& ui, const std::filesystem::path& workDir,
                   const ConversionCommand& command);

// RunConversion as the command table runs it, one function per conversion.
template <ConversionKind Kind>
void RunConversionCommand(CommandContext& ctx, Ui& ui, const std::filesystem::path& workDir)
{
    RunConversion(ctx, ui, workDir, ConversionCommandOf(Kind));
}

} // namespace velmora
