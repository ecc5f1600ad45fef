#include "building/NetworkAdjustment.h"

#include "building/GridTextConversion.h"
#include "building/SparseNormalSolver.h"
#include "files/FatalError.h"
#include "files/NumberText.h"
#include "files/RecordFile.h"
#include "files/ResultWriter.h"
#include "files/TextFile.h"
#include "model/ModelFile.h"
#include "model/ModelParameters.h"
#include "model/NodeGrid.h"

#include <Eigen/Dense>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace velmora {

namespace {

constexpr char kNoDataNode = 'E';

// The curvature stencils reach two nodes from their centre.
constexpr std::int64_t kMinNodesPerAxis = 5;

// Rounding may err by the condition number of the normal matrix times 1e-16, relative to the
// node values: beyond this limit by up to a hundredth of them. (Grids of 100,000 nodes with a few
// hundred common points stay below 1e11.)
constexpr double kConditionLimit = 1e14;

// Below this ratio of its singular values the point equations' view of the bilinear surfaces is
// rank deficient up to rounding.
constexpr double kRankTolerance = 1e-10;

// The weight of a cell corner grows from 1 to 2 as the point comes nearer than 0.75 intervals.
constexpr double kNearCorner = 0.75;

// Progress: factoring, the selected inversion, the solves and the files, out of 100.
constexpr std::uint64_t kProgressTotal = 100;
constexpr std::uint64_t kProgressFactored = 20;
constexpr std::uint64_t kProgressInverted = 80;
constexpr std::uint64_t kProgressSolved = 90;

struct Offset {
    int dr;
    int dc;
};

struct Tap {
    int dr;
    int dc;
    double coefficient;
};

using Stencil = std::vector<Tap>;

// The curvature condition of a node by its position along each axis near the lower (south) and
// left (west) edges: 0 on the edge, 1 next to it, 2 anywhere further in. Offsets are (row,
// column). A row position below the column position is the transposed case.
Stencil LowerLeftStencil(int rowPosition, int columnPosition)
{
    if (rowPosition < columnPosition) {
        Stencil turned = LowerLeftStencil(columnPosition, rowPosition);
        for (Tap& tap : turned) {
            std::swap(tap.dr, tap.dc);
        }
        return turned;
    }
    switch (rowPosition * 3 + columnPosition) {
    case 2 * 3 + 2:
        return {{0, 0, 20},  {-1, 0, -8}, {1, 0, -8}, {0, -1, -8}, {0, 1, -8}, {-1, -1, 2}, {-1, 1, 2},
                {1, -1, 2},  {1, 1, 2},   {-2, 0, 1}, {2, 0, 1},   {0, -2, 1}, {0, 2, 1}};
    case 2 * 3 + 1:
        return {{0, 0, 19}, {-1, 0, -8}, {1, 0, -8}, {0, 1, -8}, {0, -1, -4}, {-1, 1, 2},
                {1, 1, 2},  {-1, -1, 1}, {1, -1, 1}, {-2, 0, 1}, {2, 0, 1},   {0, 2, 1}};
    case 2 * 3 + 0:
        return {{0, 0, 7}, {-1, 0, -4}, {1, 0, -4}, {0, 1, -4}, {-2, 0, 1},
                {2, 0, 1}, {0, 2, 1},   {-1, 1, 1}, {1, 1, 1}};
    case 1 * 3 + 1:
        return {{0, 0, 18}, {1, 0, -8}, {0, 1, -8}, {-1, 0, -4}, {0, -1, -4},
                {1, 1, 2},  {2, 0, 1},  {0, 2, 1},  {-1, 1, 1},  {1, -1, 1}};
    case 1 * 3 + 0:
        return {{0, 0, 6}, {1, 0, -4}, {0, 1, -4}, {-1, 0, -2}, {2, 0, 1}, {0, 2, 1}, {1, 1, 1}, {-1, 1, 1}};
    default:
        return {{0, 0, 2}, {0, 1, -2}, {1, 0, -2}, {0, 2, 1}, {2, 0, 1}};
    }
}

// The grid of the adjustment: the node file as the model reads it, rows northwards, columns
// eastwards.
class NetworkGrid {
public:
    explicit NetworkGrid(const NodeGrid& nodes) : nodes_(nodes)
    {
        const GridGeometry& g = nodes_.Geometry();
        if (g.nX < kMinNodesPerAxis || g.nY < kMinNodesPerAxis) {
            throw ModelFileError(kNodeGridFileKind, nodes_.Path(), "are mai putin de cinci noduri pe o axa");
        }
        if (nodes_.Find(g.nX * g.nY - 1) == nullptr || nodes_.Find(g.nX * g.nY) != nullptr) {
            throw ModelFileError(kNodeGridFileKind, nodes_.Path(), "nu are numarul de noduri al intinderii sale");
        }
        // The grid generation keeps grids far below the size of the solver's int indices.
        rows_ = static_cast<int>(g.nY);
        columns_ = static_cast<int>(g.nX);
    }

    int Rows() const { return rows_; }
    int Columns() const { return columns_; }
    int Count() const { return rows_ * columns_; }
    double Step() const { return nodes_.Geometry().step; }
    bool Contains(int r, int c) const { return r >= 0 && r < rows_ && c >= 0 && c < columns_; }
    int Index(int r, int c) const { return r * columns_ + c; }
    const GridNode& Node(int k) const { return nodes_.Node(k); }

    // The condition stencil of node (r, c): the lower-left one of its position, mirrored near the
    // upper and right edges.
    Stencil ConditionStencil(int r, int c) const
    {
        const int lastRow = rows_ - 1;
        const int lastColumn = columns_ - 1;
        Stencil stencil = LowerLeftStencil(std::min({r, lastRow - r, 2}), std::min({c, lastColumn - c, 2}));
        for (Tap& tap : stencil) {
            if (lastRow - r < r) {
                tap.dr = -tap.dr;
            }
            if (lastColumn - c < c) {
                tap.dc = -tap.dc;
            }
        }
        return stencil;
    }

    // Row and column of the lower-left corner of a common point's cell. The cell assignment
    // numbers a point up to the tolerance beyond the last node column or row into a cell past the
    // grid's edge; it belongs to the last cell.
    Offset CellOf(const PointRecord& point) const
    {
        const std::int32_t k = point.nodeIndex[0];
        if (k < 0 || k >= Count()) {
            throw FatalError("Eroare: punctul comun " + std::string(point.name.View())
                             + " are nodurile celulei in afara gridului!");
        }
        return {std::min(k / columns_, rows_ - 2), std::min(k % columns_, columns_ - 2)};
    }

private:
    const NodeGrid& nodes_;
    int rows_ = 0;
    int columns_ = 0;
};

// The equations as rows of the design, with their right-hand sides per component.
struct EquationBuilder {
    std::vector<Eigen::Triplet<double, int>> entries;
    std::array<std::vector<double>, 3> observations;
    int rows = 0;

    void Add(int node, double coefficient) { entries.emplace_back(rows, node, coefficient); }
    void EndRow(const std::array<double, 3>& values)
    {
        for (std::size_t c = 0; c < values.size(); ++c) {
            observations[c].push_back(values[c]);
        }
        ++rows;
    }
};

// The point's weighted prediction from its cell's corners and their outer neighbours, scaled by
// the sum of its coefficients, equals the point's distortion: a constant surface equal to the
// distortion satisfies it.
void AddPointEquation(EquationBuilder& equations, const NetworkGrid& grid, const PointRecord& point,
                      bool regression)
{
    const Offset cell = grid.CellOf(point);
    static constexpr std::array<Offset, 4> kCorners{{{0, 0}, {0, 1}, {1, 1}, {1, 0}}};
    // Two outer neighbours per corner, in corner order.
    static constexpr std::array<Offset, 8> kOuter{{{-1, 0}, {0, -1}, {-1, 1}, {0, 2}, {2, 1}, {1, 2}, {2, 0}, {1, -1}}};

    const std::array<double, 3>& model = regression ? point.regression : point.result;
    std::array<double, 4> weight{};
    std::array<int, 4> outerCount{};
    for (std::size_t k = 0; k < kCorners.size(); ++k) {
        const GridNode& node = grid.Node(grid.Index(cell.dr + kCorners[k].dr, cell.dc + kCorners[k].dc));
        const double de = model[0] - node.east;
        const double dn = model[1] - node.north;
        const double q = std::sqrt(de * de + dn * dn) / grid.Step();
        weight[k] = q <= kNearCorner ? 2.0 / (q + 1.0) : 1.0;
        for (std::size_t m = 2 * k; m < 2 * k + 2; ++m) {
            outerCount[k] += grid.Contains(cell.dr + kOuter[m].dr, cell.dc + kOuter[m].dc) ? 1 : 0;
        }
    }
    for (std::size_t k = 0; k < kCorners.size(); ++k) {
        const double sides = weight[(k + 1) % 4] + weight[(k + 3) % 4];
        equations.Add(grid.Index(cell.dr + kCorners[k].dr, cell.dc + kCorners[k].dc),
                      -(2.0 * weight[k] + sides + 2.0 + outerCount[k]));
    }
    for (const Offset& outer : kOuter) {
        if (grid.Contains(cell.dr + outer.dr, cell.dc + outer.dc)) {
            equations.Add(grid.Index(cell.dr + outer.dr, cell.dc + outer.dc), 1.0);
        }
    }
    const double total = 4.0 * (weight[0] + weight[1] + weight[2] + weight[3]) + 8.0;
    std::array<double, 3> observed{};
    for (std::size_t c = 0; c < observed.size(); ++c) {
        observed[c] = -total * (point.sys2[c] - model[c]);
    }
    equations.EndRow(observed);
}

} // namespace

NetworkSystem BuildNetworkEquations(const NodeGrid& nodes, const std::vector<PointRecord>& commonPoints,
                                    bool regression)
{
    const NetworkGrid grid(nodes);
    EquationBuilder equations;
    for (const PointRecord& point : commonPoints) {
        if (point.pointState == 'D') {
            AddPointEquation(equations, grid, point, regression);
        }
    }
    for (int r = 0; r < grid.Rows(); ++r) {
        for (int c = 0; c < grid.Columns(); ++c) {
            for (const Tap& tap : grid.ConditionStencil(r, c)) {
                equations.Add(grid.Index(r + tap.dr, c + tap.dc), tap.coefficient);
            }
            equations.EndRow({0.0, 0.0, 0.0});
        }
    }
    if (equations.rows < grid.Count()) {
        throw FatalError(kNetworkTooFewEquationsMessage);
    }
    NetworkSystem system{SparseDesign(equations.rows, grid.Count()), {}};
    system.design.setFromTriplets(equations.entries.begin(), equations.entries.end());
    for (std::size_t c = 0; c < system.observations.size(); ++c) {
        system.observations[c] = Eigen::Map<const Eigen::VectorXd>(equations.observations[c].data(), equations.rows);
    }
    return system;
}

namespace {

// The curvature conditions annul the bilinear surfaces a + b u + c v + d u v (u, v the node's
// column and row) and nothing else, so the system is singular exactly when the point equations
// leave such a surface undetermined, as when all common points lie in one cell.
bool FixesBilinearSurfaces(const SparseDesign& design, const NetworkGrid& grid)
{
    const Eigen::Index points = design.rows() - grid.Count();
    if (points < 4) {
        return false;
    }
    Eigen::Matrix<double, Eigen::Dynamic, 4> onSurfaces = Eigen::Matrix<double, Eigen::Dynamic, 4>::Zero(points, 4);
    for (Eigen::Index row = 0; row < points; ++row) {
        for (SparseDesign::InnerIterator it(design, row); it; ++it) {
            const auto k = static_cast<int>(it.col());
            const double u = static_cast<double>(k % grid.Columns()) / (grid.Columns() - 1);
            const double v = static_cast<double>(k / grid.Columns()) / (grid.Rows() - 1);
            onSurfaces.row(row) += it.value() * Eigen::RowVector4d(1.0, u, v, u * v);
        }
    }
    const Eigen::Vector4d singular = onSurfaces.jacobiSvd().singularValues();
    return singular[3] > kRankTolerance * singular[0];
}

// Values and standard errors of the nodes for the adjusted components.
struct NodeSolution {
    std::array<Eigen::VectorXd, 3> value;
    std::array<Eigen::VectorXd, 3> standardError;
};

NodeSolution SolveNetwork(const BuildRun& run, const NetworkGrid& grid, NetworkSystem system,
                          const std::vector<std::size_t>& components)
{
    if (!FixesBilinearSurfaces(system.design, grid)) {
        throw FatalError(kNetworkSingularMessage);
    }
    const Eigen::Index unknowns = system.design.cols();
    const Eigen::Index rows = system.design.rows();
    const SparseNormalSolver solver(std::move(system.design));
    if (!solver.Factored()) {
        throw FatalError(kNetworkSingularMessage);
    }
    run.ReportProgress(kProgressFactored, kProgressTotal);
    const Eigen::VectorXd cofactor = solver.InverseDiagonal([&run](std::uint64_t done, std::uint64_t total) {
        run.ReportProgress(kProgressFactored + (kProgressInverted - kProgressFactored) * done / total, kProgressTotal);
    });
    if (solver.ConditionLowerBound(cofactor) > kConditionLimit) {
        throw FatalError(kNetworkSingularMessage);
    }

    NodeSolution solution;
    // The redundancy is the number of point equations: there is one condition per node.
    const auto redundancy = static_cast<double>(rows - unknowns);
    for (const std::size_t c : components) {
        const Eigen::VectorXd& observed = system.observations[c];
        solution.value[c] = solver.Solve(observed);
        const double m0 = std::sqrt((solver.Design() * solution.value[c] - observed).squaredNorm() / redundancy);
        solution.standardError[c] = m0 * cofactor.cwiseAbs().cwiseSqrt();
        if (!solution.value[c].allFinite() || !solution.standardError[c].allFinite()) {
            throw FatalError(kNetworkSingularMessage);
        }
    }
    return solution;
}

void WriteNodeValues(const std::filesystem::path& nodeGridPath, const NodeSolution& solution,
                     const std::vector<std::size_t>& components)
{
    PointFile nodes = PointFile::OpenForUpdate(nodeGridPath);
    for (std::uint64_t k = 0; k < nodes.Size(); ++k) {
        PointRecord node = nodes.Read(k);
        const auto i = static_cast<Eigen::Index>(k);
        for (const std::size_t c : components) {
            node.residual[c] = solution.value[c][i];
            node.modelWork3[c] = solution.standardError[c][i];
        }
        nodes.Write(k, node);
    }
    nodes.Close();
}

// The value lines of the grid text file, and the label and symbol of every node inside the zone.
void WriteGridValues(BuildRun& run, const NetworkGrid& grid, const NodeSolution& solution,
                     const std::vector<std::size_t>& components)
{
    static constexpr std::array<double, 3> kNoData{999.0, 999.0, 999.0};
    Drawing& drawing = run.drawing.value();
    TextWriter text(run.gridTextPath, TextWriter::Mode::Append);
    std::string line;
    std::string label;
    for (int k = 0; k < grid.Count(); ++k) {
        const GridNode& node = grid.Node(k);
        const bool inside = node.pointState != kNoDataNode;
        std::array<double, 3> value = kNoData;
        if (inside) {
            for (const std::size_t c : components) {
                value[c] = solution.value[c][k];
            }
        }
        line.clear();
        label.assign(1, '(');
        for (const std::size_t c : components) {
            if (c != components.front()) {
                line.push_back(' ');
                label.push_back(',');
            }
            AppendFixed(line, value[c], 11, 6);
            AppendFixed(label, value[c], 6, 3);
        }
        line.append("\r\n");
        label.push_back(')');
        text.Write(line);
        if (!inside) {
            continue;
        }
        drawing.DxfText(label, 0.0, kLayerDistortionText, run.labelHeight, node.east, node.north);
        if (components.front() == 2) {
            drawing.DxfHeightArrow('L', grid.Step(), value[2], node.north, node.east);
        } else {
            drawing.DxfArrow('L', grid.Step(), value[0], value[1], node.east, node.north);
        }
    }
    if (!text.Close()) {
        throw FatalError(kResultIoMessage);
    }
}

std::vector<PointRecord> ReadCommonPoints(const BuildRun& run)
{
    PointFile file = PointFile::OpenForUpdate(run.WorkFile(kBuildCommonPointsName));
    std::vector<PointRecord> points;
    points.reserve(static_cast<std::size_t>(file.Size()));
    for (std::uint64_t k = 0; k < file.Size(); ++k) {
        points.push_back(file.Read(k));
    }
    if (points.empty()) {
        // The kind of the network is that of the first common point: a missing record.
        throw FatalError(kRecordIoMessage);
    }
    return points;
}

} // namespace

void AdjustDistortionNetwork(BuildRun& run)
{
    const std::vector<PointRecord> commonPoints = ReadCommonPoints(run);
    const bool quasigeoid = run.transformationCode == kQuasigeoidCode;
    const char kind = quasigeoid ? 'G' : commonPoints.front().coordKind;
    std::vector<std::size_t> components;
    if (!quasigeoid) {
        components = {0, 1};
    }
    if (kind == 'G') {
        components.push_back(2);
    }

    const bool regression = LoadModelParameters(run.parameterPath).regressionPresent != 0;
    const NodeGrid nodes = NodeGrid::Load(run.nodeGridPath);
    const NetworkGrid grid(nodes);
    run.ReportProgress(0, kProgressTotal);
    const NodeSolution solution =
        SolveNetwork(run, grid, BuildNetworkEquations(nodes, commonPoints, regression), components);
    run.ReportProgress(kProgressSolved, kProgressTotal);

    WriteNodeValues(run.nodeGridPath, solution, components);
    WriteGridValues(run, grid, solution, components);
    for (const PointRecord& point : commonPoints) {
        run.drawing->DxfArrow('L', grid.Step(), point.residual[0], point.residual[1], point.sys2[0], point.sys2[1]);
    }
    if (kind != 'G') {
        ConvertGridTextToBinary(run.gridTextPath, run.nodeGridPath);
    }
    run.ReportProgress(kProgressTotal, kProgressTotal);
}

} // namespace velmora
