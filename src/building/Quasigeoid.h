// Quasigeoid height grids: the height anomaly zeta ("zita") modelled and applied with the
// machinery of the plane distortion grids, on one value. The coordinates of a quasigeoid grid are
// geographic: its East axis is the longitude L and its North axis the latitude B, both in decimal
// degrees; a node's zeta is its third value (residual[2]) and the zeta's standard error its third
// standard error (modelWork3[2]).
#pragma once

#include "files/PointRecord.h"
#include "model/NodeGrid.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// Signal components of a quasigeoid grid: the third alone.
inline constexpr std::array<bool, 3> kQuasigeoidSignal{false, false, true};

// Places a point of a geographic point file (B in sys1[0], L in sys1[1], radians) on the grid:
// result[0] = L, result[1] = B in decimal degrees.
void PlaceGeodeticPoint(PointRecord& point);

// The normal heights of a geographic point file: every point is placed on the grid and assigned
// its cell (new-point mode, no Helmert); a point inside a usable cell gets the zeta interpolated
// there, any other point (outside the grid, in a cell with a corner outside the zone, on the last
// grid column or row or beyond it) zeta 0. zeta is kept in modelWork1[2] and the height sys1[2] becomes
// h - zeta. Throws FatalError with the interpolation's messages.
void SubtractQuasigeoidHeights(const NodeGrid& grid, const std::filesystem::path& pointsPath);

// --- Exchange with an external quasigeoid model ----------------------------------------------
//
// BL_EGG.txt (in the work folder) lists the grid's nodes in node-file order, one per line: the
// node number from 1 right-aligned in 9, a blank, B:9:6, a blank, L:9:6. A zita file, made by an
// external program from it, holds one line per node in the same order with at least three numbers
// separated by blanks, tabs or commas: the third is that model's zeta in metres.

// The first three numbers of a line of either file, separated by blanks, tabs or commas;
// std::nullopt when the line holds fewer.
std::optional<std::array<double, 3>> LeadingThreeNumbers(std::string_view line);

inline constexpr const char* kNodeListName = "BL_EGG.txt";

inline constexpr const char* kGridOpenMessage = "Eroare la deschiderea fisierului grid!";
inline constexpr const char* kGridEmptyMessage = "Fisierul grid are 0 inregistrari!";
inline constexpr const char* kGridTextOpenMessage = "Eroare la deschiderea fisierului grid .txt cu dzita!";
inline constexpr const char* kZitaOpenMessage = "Eroare la deschiderea fisierului cu zita!";
inline constexpr const char* kZitaReadMessage = "Eroare citire din fisier cu zita!";
inline constexpr const char* kExportDoneMessage = "Rezultatul conversiei este fisierul BL_EGG.txt";
inline constexpr const char* kZitaLoadedMessage = "S-a incarcat fisierul grid cu zita (a => *.GRT cu zita)";

// The lines of a grid text file up to the one that announces the value lines: four free lines
// and the header.
inline constexpr int kGridTextHeadLines = 21;

// Writes BL_EGG.txt in workDir from the node grid. A plane grid holds Stereo70 East and North,
// turned into B and L on GRS80; a geographic grid holds L and B. Returns the message of a failure,
// std::nullopt on success.
std::optional<std::string> ExportGridNodesForEgg(const std::filesystem::path& nodeGridPath, bool plane,
                                                 const std::filesystem::path& workDir);

// Adds the zeta of the zita file to the third value of every node of the node grid, rewrites the
// value lines of the grid's text file (.GRT beside it: its first 21 lines, then one value 11:6 per
// node, 999.0 for a node outside the zone) and writes the one-value binary grid (J.GRD) from it.
// Nothing is changed unless the zita file holds a readable line for every node. Returns the
// message of a failure, std::nullopt on success; a grid text file whose head cannot be read gives
// the converter's message, after the values are loaded, and no binary grid.
std::optional<std::string> LoadZitaIntoGrid(const std::filesystem::path& zitaPath,
                                            const std::filesystem::path& nodeGridPath);

} // namespace velmora
