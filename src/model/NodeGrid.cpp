#include "model/NodeGrid.h"

#include "files/PointRecord.h"
#include "model/ModelFile.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace velmora {

namespace {

// Record numbers of nodes travel in the Int32 nodeIndex fields of the point records; a cell
// assignment may name one row beyond the last.
constexpr std::int64_t kMaxNodeNumber = std::numeric_limits<std::int32_t>::max();

// Records read from the file at a time.
constexpr std::size_t kChunkRecords = 1024;

// Round((last - first) / step) + 1, or 0 when that is no sensible node count.
std::int64_t NodeCount(double first, double last, double step)
{
    const double intervals = std::nearbyint((last - first) / step);
    if (!(intervals >= 0.0 && intervals < static_cast<double>(kMaxNodeNumber))) {
        return 0;
    }
    return static_cast<std::int64_t>(intervals) + 1;
}

// The no-data mark is a number; a position or value that is none is damage, not data.
bool IsFinite(const GridNode& node)
{
    return std::isfinite(node.east) && std::isfinite(node.north)
           && std::all_of(node.value.begin(), node.value.end(), [](double v) { return std::isfinite(v); });
}

GridGeometry GeometryOf(const GridNode& first, const GridNode& second, const GridNode& last,
                        const std::filesystem::path& path)
{
    GridGeometry g;
    g.x0 = first.east;
    g.y0 = first.north;
    g.step = second.east - first.east;
    g.xLast = last.east;
    g.yLast = last.north;
    if (!(g.step > gridTolerance) || !std::isfinite(g.step)) {
        throw ModelFileError(kNodeGridFileKind, path, "are un pas al nodurilor nepozitiv sau prea mic");
    }
    g.nX = NodeCount(g.x0, g.xLast, g.step);
    g.nY = NodeCount(g.y0, g.yLast, g.step);
    if (g.nX < 3 || g.nY < 3) {
        throw ModelFileError(kNodeGridFileKind, path, "are mai putin de trei noduri pe o axa");
    }
    if (g.nX > kMaxNodeNumber / (g.nY + 1)) {
        throw ModelFileError(kNodeGridFileKind, path, "are prea multe noduri");
    }
    g.xMax = g.x0 + static_cast<double>(g.nX - 1) * g.step;
    g.yMax = g.y0 + static_cast<double>(g.nY - 1) * g.step;
    return g;
}

} // namespace

NodeGrid NodeGrid::Load(const std::filesystem::path& path, NodeValueField field)
{
    ModelFileReader file(path, sizeof(PointRecord), kNodeGridFileKind);
    if (file.Size() < 3) {
        throw ModelFileError(kNodeGridFileKind, path, "are mai putin de trei noduri pe o axa");
    }
    if (file.Size() > static_cast<std::uint64_t>(kMaxNodeNumber)) {
        throw ModelFileError(kNodeGridFileKind, path, "are prea multe noduri");
    }

    NodeGrid grid;
    grid.path_ = path;
    grid.nodes_.reserve(static_cast<std::size_t>(file.Size()));
    std::vector<PointRecord> chunk(kChunkRecords);
    for (std::uint64_t done = 0; done < file.Size();) {
        const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(kChunkRecords, file.Size() - done));
        file.ReadNext(chunk.data(), count);
        for (std::size_t k = 0; k < count; ++k) {
            const PointRecord& r = chunk[k];
            const std::array<double, 3> value = field == NodeValueField::Signal
                                                    ? r.residual
                                                    : std::array<double, 3>{r.modelWork3[0], r.modelWork3[1],
                                                                            r.modelWork3[2]};
            grid.nodes_.push_back({r.sys1[0], r.sys1[1], value, r.pointState});
            if (!IsFinite(grid.nodes_.back())) {
                throw ModelFileError(kNodeGridFileKind, path, "are noduri cu valori care nu sunt numere finite");
            }
        }
        done += count;
    }
    grid.geometry_ = GeometryOf(grid.nodes_[0], grid.nodes_[1], grid.nodes_.back(), path);
    // The geometry says how many nodes the grid has; a file with more or fewer would be read at
    // the wrong nodes.
    if (static_cast<std::uint64_t>(grid.geometry_.nX * grid.geometry_.nY) != file.Size()) {
        throw ModelFileError(kNodeGridFileKind, path,
                             "nu are " + std::to_string(grid.geometry_.nX) + " x " + std::to_string(grid.geometry_.nY)
                                 + " noduri, cat arata pozitiile primelor doua si a ultimului nod");
    }
    return grid;
}

const GridNode* NodeGrid::Find(std::int64_t k) const
{
    if (k < 0 || static_cast<std::uint64_t>(k) >= nodes_.size()) {
        return nullptr;
    }
    return &nodes_[static_cast<std::size_t>(k)];
}

const GridNode& NodeGrid::Node(std::int64_t k) const
{
    const GridNode* node = Find(k);
    if (node == nullptr) {
        throw ModelFileError(kNodeGridFileKind, path_, "nu contine nodul " + std::to_string(k));
    }
    return *node;
}

} // namespace velmora
