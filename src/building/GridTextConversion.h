// The binary grid of a plane model or a quasigeoid, made from its grid text file once the node
// values are in it.
// The grid text file holds four free lines, then each header value on the line after its label
// (minE, maxE, minN, maxN, stepE, stepN, the number of nodes, the number of dimensions), a line
// naming the column order, and one line "dEast dNorth" per node, rows from the south, East
// fastest. The binary grid is the two-value compact grid of the correction grids: 16-byte records
// (minE, maxE), (minN, maxN), (stepE, stepN), then (dEast, dNorth) per node. A quasigeoid's value
// lines hold dZita alone, and its binary grid is the one-value compact grid: 8-byte records minLa,
// maxLa, minPhi, maxPhi, stepLa, stepPhi, then dZita per node.
#pragma once

#include <filesystem>

namespace velmora {

// The node grid file's name with "J.GRD" in place of its extension: "ZONA.GRD" -> "ZONAJ.GRD".
std::filesystem::path BinaryGridPath(const std::filesystem::path& nodeGridPath);

// Writes BinaryGridPath(nodeGridPath) from the grid text file and returns its path. Numbers are
// read as the source files' numbers: the first run of number characters on the line, the second
// one after the character that ended the first. Throws FatalError when the grid text file cannot
// be read, or a header or value line is missing or holds no number there (the message names the
// file and the line; no binary grid is written then), and FatalError(kRecordIoMessage) when the
// binary grid cannot be written.
// valuesPerNode: 2 for a plane model, 1 for a quasigeoid.
std::filesystem::path ConvertGridTextToBinary(const std::filesystem::path& gridTextPath,
                                              const std::filesystem::path& nodeGridPath, int valuesPerNode = 2);

} // namespace velmora
