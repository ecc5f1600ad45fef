#include "building/BoundaryPolygon.h"

#include "building/BuildRun.h"
#include "files/FatalError.h"
#include "model/ModelFile.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <string>
#include <utility>

namespace velmora {

namespace {

// Metres: a point this close to a vertex or an edge lies on the boundary; an edge this short is
// no edge.
constexpr double kOnBoundary = 0.0001;
// Gons: an edge whose bearing is this close to 100 or 300 is horizontal.
constexpr double kHorizontalGons = 0.0001;
// Of a cell: a point this little past a grid line still belongs to the cell before it.
constexpr double kCellFraction = 0.00001;

double Distance(PlanePoint a, PlanePoint b)
{
    return std::hypot(b.east - a.east, b.north - a.north);
}

bool InBox(PlanePoint p, PlanePoint a, PlanePoint b)
{
    return p.east >= std::min(a.east, b.east) && p.east <= std::max(a.east, b.east)
           && p.north >= std::min(a.north, b.north) && p.north <= std::max(a.north, b.north);
}

// The code of a ray through a vertex, by where the edge's other end lies.
char ThroughVertex(double otherNorth, double north)
{
    if (otherNorth > north)
        return 'S';
    if (otherNorth < north)
        return 'J';
    return 'V';
}

// A node of the grid as the marking needs it.
struct SketchNode {
    PlanePoint place;
    std::array<std::int32_t, 4> neighbours;
    char status;
};

class ZoneMarker {
public:
    ZoneMarker(std::vector<SketchNode> nodes, const std::filesystem::path& path, Drawing& drawing);

    void ClassifyNodes(std::span<const PlanePoint> polygon);
    void MarkBorderCells();
    void MarkVertexCells(std::span<const PlanePoint> polygon);
    char Status(std::size_t k) const { return nodes_[k].status; }

private:
    SketchNode& At(std::int64_t k);
    bool InExtent(PlanePoint p) const;
    std::int64_t CellIndex(double offset) const;
    void MarkCell(PlanePoint p);

    std::vector<SketchNode> nodes_;
    Drawing& drawing_;
    PlanePoint origin_;
    PlanePoint last_;
    double step_ = 0.0;
    std::int64_t columns_ = 0;
};

// The geometry comes from the file itself: origin at record 0, interval from records 0 and 1,
// extent up to the last record.
ZoneMarker::ZoneMarker(std::vector<SketchNode> nodes, const std::filesystem::path& path, Drawing& drawing)
    : nodes_(std::move(nodes)), drawing_(drawing)
{
    const auto bad = [&] { return ModelFileError(kNodeGridFileKind, path, "nu are geometria unui grid de noduri"); };
    if (nodes_.size() < 2)
        throw bad();
    origin_ = nodes_.front().place;
    last_ = nodes_.back().place;
    step_ = nodes_[1].place.east - origin_.east;
    if (!(step_ > 0.0) || !std::isfinite(step_))
        throw bad();
    const double rows = std::nearbyint((last_.north - origin_.north) / step_ + 1.0);
    const double columns = std::nearbyint((last_.east - origin_.east) / step_ + 1.0);
    if (!(rows >= 1.0 && columns >= 2.0) || rows * columns != static_cast<double>(nodes_.size()))
        throw bad();
    columns_ = static_cast<std::int64_t>(columns);
}

// A record number outside the grid is what a damaged file would make the record layer report.
SketchNode& ZoneMarker::At(std::int64_t k)
{
    if (k < 0 || static_cast<std::uint64_t>(k) >= nodes_.size())
        throw FatalError(kRecordIoMessage);
    return nodes_[static_cast<std::size_t>(k)];
}

bool ZoneMarker::InExtent(PlanePoint p) const
{
    return p.east >= origin_.east && p.east <= last_.east && p.north >= origin_.north && p.north <= last_.north;
}

// 1-based index of the grid line at or after the offset (in cells); a point on a line belongs
// to the cell before it, the first line to the first cell.
std::int64_t ZoneMarker::CellIndex(double offset) const
{
    const double whole = std::trunc(offset);
    auto index = static_cast<std::int64_t>(whole);
    if (offset - whole > kCellFraction)
        ++index;
    return std::max<std::int64_t>(index, 1);
}

void ZoneMarker::MarkCell(PlanePoint p)
{
    const std::int64_t i = CellIndex((p.north - origin_.north) / step_);
    const std::int64_t j = CellIndex((p.east - origin_.east) / step_);
    const std::int64_t k = j + (i - 1) * columns_;
    // Lower-left, lower-right, upper-right, upper-left.
    const std::array<std::int64_t, 4> corners{k - 1, k, j + i * columns_, j + i * columns_ - 1};
    bool outside = false;
    for (const std::int64_t c : corners) {
        SketchNode& node = At(c);
        outside = outside || node.status == 'E' || node.status == 'G';
        if (node.status == 'E')
            node.status = 'G';
    }
    if (!outside)
        return;
    for (std::size_t n = 0; n < corners.size(); ++n) {
        const PlanePoint a = At(corners[n]).place;
        const PlanePoint b = At(corners[(n + 1) % corners.size()]).place;
        drawing_.DxfLine(kLayerZoneCells, a.east, a.north, b.east, b.north);
    }
}

void ZoneMarker::ClassifyNodes(std::span<const PlanePoint> polygon)
{
    for (SketchNode& node : nodes_)
        node.status = PointInBoundary(polygon, node.place);
}

// Every inside node is joined to its inside neighbours; one that has a neighbour outside marks
// the cells under the square of one interval centred on it, its corners taken lower-left,
// lower-right, upper-right, upper-left.
void ZoneMarker::MarkBorderCells()
{
    const double half = step_ / 2.0;
    for (std::size_t k = 0; k < nodes_.size(); ++k) {
        if (nodes_[k].status != 'I')
            continue;
        const PlanePoint p = nodes_[k].place;
        bool touchesOutside = false;
        for (const std::int32_t neighbour : nodes_[k].neighbours) {
            const SketchNode& other = At(neighbour);
            if (other.status == 'I')
                drawing_.DxfLine(kLayerZoneCells, p.east, p.north, other.place.east, other.place.north);
            else if (other.status == 'E' || other.status == 'G')
                touchesOutside = true;
        }
        if (!touchesOutside)
            continue;
        const std::array<PlanePoint, 4> square{{{p.east - half, p.north - half},
                                                {p.east + half, p.north - half},
                                                {p.east + half, p.north + half},
                                                {p.east - half, p.north + half}}};
        for (const PlanePoint corner : square) {
            if (InExtent(corner))
                MarkCell(corner);
        }
    }
}

void ZoneMarker::MarkVertexCells(std::span<const PlanePoint> polygon)
{
    for (const PlanePoint vertex : polygon) {
        if (InExtent(vertex))
            MarkCell(vertex);
    }
}

PointFile OpenNodeGrid(const std::filesystem::path& path)
{
    try {
        return PointFile::OpenForUpdate(path);
    } catch (const FatalError&) {
        throw FatalError("Eroare deschidere fis. " + path.string() + "!");
    }
}

} // namespace

Extent PrepareBoundaryPolygon(const std::filesystem::path& polygonPath)
{
    ContourFile file = ContourFile::OpenForUpdate(polygonPath);
    if (file.Size() < 3)
        throw FatalError(kPolygonTooSmallMessage);
    Extent extent;
    std::vector<ContourVertex> kept;
    std::uint64_t starred = 0;
    for (std::uint64_t k = 0; k < file.Size(); ++k) {
        const ContourVertex vertex = file.Read(k);
        if (k == 0)
            extent = {vertex.east, vertex.north, vertex.east, vertex.north};
        extent.minE = std::min(extent.minE, vertex.east);
        extent.maxE = std::max(extent.maxE, vertex.east);
        extent.minN = std::min(extent.minN, vertex.north);
        extent.maxN = std::max(extent.maxN, vertex.north);
        if (vertex.name.View().starts_with('*'))
            ++starred;
        else
            kept.push_back(vertex);
    }
    file.Close();
    if (starred == 0)
        return extent;
    if (kept.size() < 3)
        throw FatalError(kPolygonUnstarredTooSmallMessage);
    ContourFile rewritten = ContourFile::Create(polygonPath);
    for (const ContourVertex& vertex : kept)
        rewritten.Append(vertex);
    rewritten.Close();
    return extent;
}

std::vector<PlanePoint> LoadBoundaryPolygon(const std::filesystem::path& polygonPath)
{
    ContourFile file = ContourFile::OpenForUpdate(polygonPath);
    std::vector<PlanePoint> polygon;
    polygon.reserve(static_cast<std::size_t>(file.Size()));
    for (std::uint64_t k = 0; k < file.Size(); ++k) {
        const ContourVertex vertex = file.Read(k);
        polygon.push_back({vertex.east, vertex.north});
    }
    return polygon;
}

EdgeCrossingResult EdgeCrossing(PlanePoint point, PlanePoint from, PlanePoint to)
{
    EdgeCrossingResult result;
    if (Distance(from, to) < kOnBoundary)
        return result;
    if (from.east < point.east && to.east < point.east)
        return result;
    if ((from.north > point.north && to.north > point.north) || (from.north < point.north && to.north < point.north))
        return result;
    if (Distance(point, from) <= kOnBoundary || Distance(point, to) <= kOnBoundary) {
        result.code = 'I';
        return result;
    }
    const double bearing = BearingGons(to.east - from.east, to.north - from.north);
    const bool horizontal =
        std::fabs(bearing - 100.0) <= kHorizontalGons || std::fabs(bearing - 300.0) <= kHorizontalGons;
    double offset = point.north - from.north;
    if (!horizontal) {
        const double beta = bearing * std::numbers::pi / 200.0;
        offset = from.east + std::sin(beta) * (point.north - from.north) / std::cos(beta) - point.east;
    }
    if (std::fabs(offset) <= kOnBoundary && InBox(point, from, to)) {
        result.code = 'I';
        return result;
    }
    if (horizontal)
        return result;
    if (std::fabs(point.north - from.north) <= kOnBoundary && from.east >= point.east) {
        result.code = ThroughVertex(to.north, point.north);
    } else if (std::fabs(point.north - to.north) <= kOnBoundary && to.east >= point.east) {
        result.code = ThroughVertex(from.north, point.north);
    } else {
        // The point's North lies within the edge's North range (checked above), and the edge is
        // not horizontal, so the edge meets the ray's line exactly once.
        const double east =
            from.east + (to.east - from.east) * (point.north - from.north) / (to.north - from.north);
        result.count = east >= point.east ? 1 : 0;
    }
    return result;
}

// A ray towards increasing East. Where it passes through vertices, S and J count the edges that
// leave them northwards and southwards: each vertex the boundary crosses there adds one of each,
// one it only touches two of a kind, so the larger count is odd exactly when the crossings
// through vertices are.
char PointInBoundary(std::span<const PlanePoint> polygon, PlanePoint point)
{
    int crossings = 0;
    int north = 0;
    int south = 0;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const EdgeCrossingResult edge = EdgeCrossing(point, polygon[i], polygon[(i + 1) % polygon.size()]);
        switch (edge.code) {
        case 'I': return 'I';
        case 'S': ++north; break;
        case 'J': ++south; break;
        default: crossings += edge.count; break;
        }
    }
    crossings += std::max(north, south) % 2;
    return crossings % 2 == 1 ? 'I' : 'E';
}

void MarkGridNodes(BuildRun& run)
{
    PointFile file = OpenNodeGrid(run.nodeGridPath);
    if (file.Size() == 0)
        return;
    std::vector<SketchNode> nodes;
    nodes.reserve(static_cast<std::size_t>(file.Size()));
    for (std::uint64_t k = 0; k < file.Size(); ++k) {
        const PointRecord record = file.Read(k);
        nodes.push_back({{record.sys1[0], record.sys1[1]}, record.nodeIndex, record.pointState});
    }
    ZoneMarker marker(std::move(nodes), run.nodeGridPath, run.drawing.value());
    const std::vector<PlanePoint> polygon = LoadBoundaryPolygon(run.WorkFile(kBuildPolygonName));
    marker.ClassifyNodes(polygon);
    marker.MarkBorderCells();
    marker.MarkVertexCells(polygon);
    for (std::uint64_t k = 0; k < file.Size(); ++k) {
        PointRecord record = file.Read(k);
        record.pointState = marker.Status(static_cast<std::size_t>(k));
        file.Write(k, record);
    }
    file.Close();
}

} // namespace velmora
