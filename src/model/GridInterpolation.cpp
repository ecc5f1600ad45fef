#include "model/GridInterpolation.h"

#include "core/CorrectionGrid.h"
#include "core/Geodesy.h"
#include "files/FatalError.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

namespace {

[[noreturn]] void StopAtPoint(const PointRecord& point, std::string_view what)
{
    std::string message = "Punctul ";
    message.append(point.name.View());
    message.append(what);
    throw FatalError(message);
}

// The point's cell, lower-left node (i0, j0), and the node offsets around it that exist in the
// grid: columns cLo..cHi and rows rLo..rHi relative to the cell's lower-left node. Away from the
// edges that is -1..2; along an edge the missing side is cut off. These are the nine stencil
// cases (interior, four edges, four corners).
struct Stencil {
    std::int64_t i0;
    std::int64_t j0;
    int cLo;
    int cHi;
    int rLo;
    int rHi;

    bool Holds(int dc, int dr) const { return cLo <= dc && dc <= cHi && rLo <= dr && dr <= rHi; }
};

// Lower-left node index of the cell holding coordinate t along an axis of n nodes. A point on
// the last grid line, or beyond it within the tolerance, belongs to the last cell: the patch
// there reaches the line exactly, where a cell past the last line would have no nodes at all.
std::int64_t CellIndex(double t, double origin, double step, std::int64_t n)
{
    return static_cast<std::int64_t>(std::clamp(std::trunc((t - origin) / step), 0.0, static_cast<double>(n - 2)));
}

Stencil LocateStencil(const PointRecord& point, const GridGeometry& g)
{
    const double e = point.result[0];
    const double n = point.result[1];
    const bool inside = g.x0 - gridTolerance <= e && e <= g.xMax + gridTolerance && g.y0 - gridTolerance <= n
                        && n <= g.yMax + gridTolerance;
    if (!inside) {
        StopAtPoint(point, "exterior gridului de distorsiuni!");
    }
    Stencil s;
    s.i0 = CellIndex(e, g.x0, g.step, g.nX);
    s.j0 = CellIndex(n, g.y0, g.step, g.nY);
    s.cLo = s.i0 >= 1 ? -1 : 0;
    s.cHi = s.i0 <= g.nX - 3 ? 2 : 1;
    s.rLo = s.j0 >= 1 ? -1 : 0;
    s.rHi = s.j0 <= g.nY - 3 ? 2 : 1;
    return s;
}

// The derivative, in units per node interval, of a function g known at lo..hi (lo -1 or 0, hi 1
// or 2) at the cell corner a (0 or 1). A first derivative prefers the one-sided second-order
// difference that runs through the opposite corner and the node beyond it, and takes the central
// difference only where that node is missing.
template <class G>
double FirstDerivative(const G& g, int a, int lo, int hi)
{
    if (a == 0) {
        return hi == 2 ? (-3.0 * g(0) + 4.0 * g(1) - g(2)) / 2.0 : (g(1) - g(-1)) / 2.0;
    }
    return lo == -1 ? (g(-1) - 4.0 * g(0) + 3.0 * g(1)) / 2.0 : (g(2) - g(0)) / 2.0;
}

// The operator of the cross derivatives follows the opposite preference: central where both
// neighbours of a exist, one-sided only where one is missing.
template <class G>
double CrossOperator(const G& g, int a, int lo, int hi)
{
    if (a - 1 < lo) {
        return (-3.0 * g(a) + 4.0 * g(a + 1) - g(a + 2)) / 2.0;
    }
    if (a + 1 > hi) {
        return (g(a - 2) - 4.0 * g(a - 1) + 3.0 * g(a)) / 2.0;
    }
    return (g(a + 1) - g(a - 1)) / 2.0;
}

} // namespace

void InterpolateBicubic(PointRecord& point, const NodeGrid& grid, SignalComponents wanted)
{
    const GridGeometry& geometry = grid.Geometry();
    const Stencil s = LocateStencil(point, geometry);
    auto node = [&](int dc, int dr) -> const GridNode& { return grid.Node(s.i0 + dc, s.j0 + dr); };

    for (int dr = s.rLo; dr <= s.rHi; ++dr) {
        for (int dc = s.cLo; dc <= s.cHi; ++dc) {
            for (std::size_t c = 0; c < 3; ++c) {
                if (wanted[c] && IsNoData(node(dc, dr).value[c])) {
                    StopAtPoint(point, "exterior poligonului (granitei)!");
                }
            }
        }
    }

    const GridNode& a = node(0, 0);
    const double u = (point.result[0] - a.east) / geometry.step;
    const double v = (point.result[1] - a.north) / geometry.step;
    for (std::size_t c = 0; c < 3; ++c) {
        if (!wanted[c]) {
            continue;
        }
        auto f = [&](int dc, int dr) { return node(dc, dr).value[c]; };
        double values[2][2];
        double fx[2][2];
        double fy[2][2];
        double fxy[2][2];
        for (int p = 0; p < 2; ++p) {
            for (int q = 0; q < 2; ++q) {
                values[p][q] = f(p, q);
                fx[p][q] = FirstDerivative([&](int dc) { return f(dc, q); }, p, s.cLo, s.cHi);
                fy[p][q] = FirstDerivative([&](int dr) { return f(p, dr); }, q, s.rLo, s.rHi);
                // The East operator applied to the North operator.
                fxy[p][q] = CrossOperator(
                    [&](int dc) { return CrossOperator([&](int dr) { return f(dc, dr); }, q, s.rLo, s.rHi); }, p,
                    s.cLo, s.cHi);
            }
        }
        point.residual[c] = HermitePatch(values, fx, fy, fxy, u, v);
    }
}

bool InterpolateWeighted(PointRecord& point, const NodeGrid& grid, SignalComponents wanted)
{
    const GridGeometry& geometry = grid.Geometry();
    const Stencil s = LocateStencil(point, geometry);

    struct Offset {
        int dc;
        int dr;
    };
    // Corners A, B, C, D (counter-clockwise from the lower-left), the outer neighbours of each,
    // and the two corners sharing a cell side with each.
    static constexpr Offset kCorners[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    static constexpr Offset kOuter[4][2] = {{{0, -1}, {-1, 0}}, {{1, -1}, {2, 0}}, {{2, 1}, {1, 2}}, {{0, 2}, {-1, 1}}};
    static constexpr int kSideNeighbours[4][2] = {{1, 3}, {0, 2}, {1, 3}, {0, 2}};

    struct Term {
        const GridNode* node;
        double coefficient;
    };
    Term terms[12];
    int termCount = 0;

    double weight[4];
    for (int k = 0; k < 4; ++k) {
        const GridNode& corner = grid.Node(s.i0 + kCorners[k].dc, s.j0 + kCorners[k].dr);
        const double de = point.result[0] - corner.east;
        const double dn = point.result[1] - corner.north;
        const double d = std::sqrt(de * de + dn * dn) / geometry.step;
        weight[k] = d > 0.75 ? 1.0 : 2.0 / (1.0 + d);
        terms[termCount++] = {&corner, 0.0};
    }
    for (int k = 0; k < 4; ++k) {
        int neighbours = 2; // the two corners sharing a cell side with it
        for (const Offset& o : kOuter[k]) {
            if (s.Holds(o.dc, o.dr)) {
                ++neighbours;
                terms[termCount++] = {&grid.Node(s.i0 + o.dc, s.j0 + o.dr), 1.0};
            }
        }
        terms[k].coefficient =
            -(neighbours + 2.0 * weight[k] + weight[kSideNeighbours[k][0]] + weight[kSideNeighbours[k][1]]);
    }
    // The sum of all coefficients, so a constant field is reproduced.
    const double denominator = -8.0 - 4.0 * (weight[0] + weight[1] + weight[2] + weight[3]);

    for (int t = 0; t < termCount; ++t) {
        const auto& value = terms[t].node->value;
        if (std::any_of(value.begin(), value.end(), IsNoData)) {
            return false;
        }
    }
    for (std::size_t c = 0; c < 3; ++c) {
        if (!wanted[c]) {
            continue;
        }
        double sum = 0.0;
        for (int t = 0; t < termCount; ++t) {
            sum += terms[t].coefficient * terms[t].node->value[c];
        }
        point.residual[c] = sum / denominator;
    }
    return true;
}

void InterpolateBilinear(PointRecord& point, const NodeGrid& grid, SignalComponents wanted)
{
    const GridNode& n0 = grid.Node(point.nodeIndex[0]);
    const GridNode& n1 = grid.Node(point.nodeIndex[1]);
    const GridNode& n2 = grid.Node(point.nodeIndex[2]);
    const GridNode& n3 = grid.Node(point.nodeIndex[3]);
    const double step = grid.Geometry().step;
    const double u = (point.result[0] - n0.east) / step;
    const double v = (point.result[1] - n0.north) / step;
    for (std::size_t c = 0; c < 3; ++c) {
        if (!wanted[c]) {
            continue;
        }
        point.residual[c] = (1.0 - u) * (1.0 - v) * n0.value[c] + u * (1.0 - v) * n1.value[c]
                            + u * v * n2.value[c] + (1.0 - u) * v * n3.value[c];
        point.modelWork2[c] = 0.0;
    }
}

} // namespace velmora
