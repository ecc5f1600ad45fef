// The zone boundary of a model-building run. The contour of the source file is kept in
// POLIGON.REC (one 80-byte record per vertex, in source order, closed implicitly from the last
// vertex back to the first); vertices named "*..." only widen the grid and are dropped from the
// boundary once the extent is known. After the grid exists, every node gets its status letter:
//   'I' inside the boundary or on it (within 0.0001 m),
//   'G' outside, but on a cell that the boundary crosses,
//   'E' any other node,
// and the cells of the zone are drawn on the DISTCELL layer.
#pragma once

#include "files/PointRecord.h"
#include "files/RecordFile.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <type_traits>
#include <vector>

namespace velmora {

struct BuildRun;

inline constexpr const char* kPolygonTooSmallMessage = "Eroare: Nr. puncte poligon <3!";
inline constexpr const char* kPolygonUnstarredTooSmallMessage = "Eroare: Nr. puncte poligon fara * <3!";

struct ContourVertex {
    ShortString<kNameLength> name;
    std::array<std::uint8_t, 3> padding;
    double east;
    double north;
};

static_assert(std::is_trivially_copyable_v<ContourVertex> && std::is_standard_layout_v<ContourVertex>);
static_assert(offsetof(ContourVertex, name) == 0);
static_assert(offsetof(ContourVertex, padding) == 61);
static_assert(offsetof(ContourVertex, east) == 64);
static_assert(offsetof(ContourVertex, north) == 72);
static_assert(sizeof(ContourVertex) == 80);

using ContourFile = RecordFile<ContourVertex>;

struct PlanePoint {
    double east = 0.0;
    double north = 0.0;
};

struct Extent {
    double minE = 0.0;
    double minN = 0.0;
    double maxE = 0.0;
    double maxN = 0.0;
};

// The extent of every contour vertex in POLIGON.REC, starred ones included; POLIGON.REC is
// rewritten without the starred vertices. FatalError with kPolygonTooSmallMessage for fewer than
// three vertices, with kPolygonUnstarredTooSmallMessage when fewer than three are not starred.
Extent PrepareBoundaryPolygon(const std::filesystem::path& polygonPath);

// The vertices of POLIGON.REC.
std::vector<PlanePoint> LoadBoundaryPolygon(const std::filesystem::path& polygonPath);

// One edge against the ray from the point towards increasing East. code: 'V' ordinary (count is
// 0 or 1), 'I' the point lies on the edge or on a vertex, 'S' / 'J' the ray passes through a
// vertex whose other end lies north / south of the point (count 0).
struct EdgeCrossingResult {
    int count = 0;
    char code = 'V';
};
EdgeCrossingResult EdgeCrossing(PlanePoint point, PlanePoint from, PlanePoint to);

// 'I' inside or on the closed polygon, 'E' outside.
char PointInBoundary(std::span<const PlanePoint> polygon, PlanePoint point);

// Gives every node of the run's node grid its status letter from the boundary in POLIGON.REC,
// and draws the zone's cells on the DISTCELL layer of the run's drawing. FatalError
// "Eroare deschidere fis. <node grid>!" when the node grid cannot be opened; an empty node grid
// is left as it is.
void MarkGridNodes(BuildRun& run);

} // namespace velmora
