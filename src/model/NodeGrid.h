// The node grid of a distortion model: a record file of point records, one per node, stored row
// by row from the south-west node with East varying fastest, so that node (c, r) is record
// r * nX + c. A node carries its position (sys1[0] East, sys1[1] North), its three signal values
// (residual[0..2]) and, in pointState, 'E' when it lies outside the model zone. The grid is read
// once per run and kept in memory as those fields; its geometry follows from the first two nodes
// and the last one and is never stored.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace velmora {

// A point may lie this far (metres) outside the node extent and still count as inside the grid.
inline constexpr double gridTolerance = 0.01;

struct GridGeometry {
    double x0 = 0.0;    // position of the first node
    double y0 = 0.0;
    double step = 0.0;  // node interval, the same along both axes
    double xLast = 0.0; // position of the last node
    double yLast = 0.0;
    std::int64_t nX = 0; // nodes per row
    std::int64_t nY = 0; // rows
    double xMax = 0.0;  // x0 + (nX - 1) * step
    double yMax = 0.0;
};

struct GridNode {
    double east;
    double north;
    std::array<double, 3> value; // East, North and third signal component, metres
    char pointState;
};

// What a loaded grid holds as its nodes' values: the signal values, or their standard errors
// (modelWork3[0..2] of a node record) to interpolate a precision like a signal.
enum class NodeValueField { Signal, StandardError };

class NodeGrid {
public:
    // Reads the node file. Throws FatalError naming the file when it is missing, not a regular
    // file, empty, ragged, has fewer than three nodes along an axis, has a node interval no larger
    // than the tolerance (the tolerance would then reach past a whole cell), holds another number
    // of nodes than its geometry gives, or a node position or value that is not a finite number.
    static NodeGrid Load(const std::filesystem::path& path, NodeValueField field = NodeValueField::Signal);

    const std::filesystem::path& Path() const { return path_; }
    const GridGeometry& Geometry() const { return geometry_; }

    // Node number k, or nullptr when k lies outside the file.
    const GridNode* Find(std::int64_t k) const;
    // Node number k; a node outside the file is a fatal input failure.
    const GridNode& Node(std::int64_t k) const;
    const GridNode& Node(std::int64_t column, std::int64_t row) const { return Node(row * geometry_.nX + column); }

private:
    std::filesystem::path path_;
    GridGeometry geometry_;
    std::vector<GridNode> nodes_;
};

} // namespace velmora
