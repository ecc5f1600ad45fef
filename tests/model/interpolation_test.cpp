// The three interpolators on node grids written here: constant and biquadratic fields, the
// correction grid patch as an independent reference for the derivative rules of all nine
// stencil cases, hand-computed weights, the range and no-data rules.
#include "core/CorrectionGrid.h"
#include "model/GridInterpolation.h"
#include "ModelTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace velmora {
namespace {

using test::GridSpec;
using test::MakePoint;
using test::NodeValues;
using test::TempDir;

using Field = std::function<NodeValues(int, int)>;

class InterpolationTest : public ::testing::Test {
protected:
    NodeGrid Grid(const GridSpec& g, const Field& field, const std::function<bool(int, int)>& exterior = nullptr)
    {
        test::WriteNodeGrid(dir / "model.grd", g, field, exterior);
        return NodeGrid::Load(dir / "model.grd");
    }

    // A point at grid coordinates (column, row), with a sentinel in every output field.
    static PointRecord At(const GridSpec& g, double column, double row)
    {
        PointRecord point = MakePoint("P1", g.East(column), g.North(row));
        point.residual = {42.0, 42.0, 42.0};
        point.modelWork2 = {7.0, 7.0, 7.0, 0.0, 0.0, 0.0};
        return point;
    }

    TempDir dir;
};

const GridSpec kSquare{320000.0, 480000.0, 250.0, 4, 4};
const GridSpec kWide{320000.0, 480000.0, 250.0, 5, 4};
const GridSpec kNarrow{320000.0, 480000.0, 250.0, 3, 5};

NodeValues Irregular(int c, int r)
{
    return {std::sin(1.7 * c + 0.3) * std::cos(0.9 * r - 0.2) + 0.1 * c * r, 0.02 * c * c * c - 0.5 * r * r + 0.3 * c,
            std::cos(c + 2.0 * r)};
}

// Quadratic in each grid coordinate: every difference rule of the patch is exact for it.
double Biquadratic(double c, double r)
{
    return 0.5 + 0.03 * c - 0.02 * r + 0.004 * c * c + 0.006 * c * r - 0.005 * r * r + 0.0007 * c * c * r
           - 0.0003 * c * r * r + 0.0002 * c * c * r * r;
}

// The 16 values for the correction grid patch around cell (i0, j0). A column or row beyond the
// grid is the quadratic extrapolation of the three next to it; the patch's differences across it
// then become exactly the one-sided and central differences the model takes at the grid's edges.
std::array<double, 16> ExtendedStencil(const GridSpec& g, int component, int i0, int j0)
{
    auto column = [&](int c, int r) -> double {
        auto f = [&](int cc) { return Irregular(cc, r)[static_cast<std::size_t>(component)]; };
        if (c < 0)
            return 3.0 * f(0) - 3.0 * f(1) + f(2);
        if (c >= g.nX)
            return 3.0 * f(g.nX - 1) - 3.0 * f(g.nX - 2) + f(g.nX - 3);
        return f(c);
    };
    auto value = [&](int c, int r) -> double {
        if (r < 0)
            return 3.0 * column(c, 0) - 3.0 * column(c, 1) + column(c, 2);
        if (r >= g.nY)
            return 3.0 * column(c, g.nY - 1) - 3.0 * column(c, g.nY - 2) + column(c, g.nY - 3);
        return column(c, r);
    };
    std::array<double, 16> values{};
    for (int dr = -1; dr <= 2; ++dr)
        for (int dc = -1; dc <= 2; ++dc)
            values[static_cast<std::size_t>((dr + 1) * 4 + dc + 1)] = value(i0 + dc, j0 + dr);
    return values;
}

TEST_F(InterpolationTest, BicubicFollowsTheEdgeRulesOfAllNineStencilCases)
{
    for (const GridSpec& g : {kSquare, kWide, kNarrow}) {
        const NodeGrid grid = Grid(g, Irregular);
        for (int j0 = 0; j0 <= g.nY - 2; ++j0) {
            for (int i0 = 0; i0 <= g.nX - 2; ++i0) {
                for (const auto& [u, v] : {std::pair{0.25, 0.6}, std::pair{0.9, 0.1}, std::pair{0.5, 0.5}}) {
                    PointRecord point = At(g, i0 + u, j0 + v);
                    InterpolateBicubic(point, grid, kPlaneSignal);
                    for (int c : {0, 1}) {
                        EXPECT_NEAR(point.residual[static_cast<std::size_t>(c)],
                                    BicubicPatch(u, v, ExtendedStencil(g, c, i0, j0)), 1e-12)
                            << g.nX << "x" << g.nY << " cell " << i0 << "," << j0 << " u " << u << " v " << v;
                    }
                    EXPECT_EQ(point.residual[2], 42.0);
                }
                // On a node the patch gives the node's own values.
                PointRecord onNode = At(g, i0, j0);
                InterpolateBicubic(onNode, grid, kSpatialSignal);
                EXPECT_EQ(onNode.residual, Irregular(i0, j0));
            }
        }
    }
}

TEST_F(InterpolationTest, BiquadraticFieldIsExactInEveryCellAndOnTheLastGridLines)
{
    for (const GridSpec& g : {kSquare, kWide, kNarrow}) {
        const NodeGrid grid = Grid(g, [](int c, int r) { return NodeValues{Biquadratic(c, r), -Biquadratic(r, c), 0}; });
        // 0.00004 of a step is 0.01 m: the tolerance beyond the last node.
        const double last = 1.0 + 0.00004;
        for (double column : {0.0, 0.3, 1.5, g.nX - 1.6, g.nX - 1.0, g.nX - 2.0 + last}) {
            for (double row : {-0.00004, 0.7, g.nY - 1.2, g.nY - 1.0}) {
                PointRecord point = At(g, column, row);
                InterpolateBicubic(point, grid, kPlaneSignal);
                EXPECT_NEAR(point.residual[0], Biquadratic(column, row), 1e-12) << column << " " << row;
                EXPECT_NEAR(point.residual[1], -Biquadratic(row, column), 1e-12) << column << " " << row;
            }
        }
    }
}

TEST_F(InterpolationTest, ConstantFieldIsReproducedByAllThreeInterpolators)
{
    const NodeValues constant{1.25, -0.5, 7.0};
    for (const GridSpec& g : {kSquare, kNarrow}) {
        const NodeGrid grid = Grid(g, [&](int, int) { return constant; });
        for (int j0 = 0; j0 <= g.nY - 2; ++j0) {
            for (int i0 = 0; i0 <= g.nX - 2; ++i0) {
                PointRecord point = At(g, i0 + 0.3, j0 + 0.8);
                InterpolateBicubic(point, grid, kSpatialSignal);
                for (std::size_t c = 0; c < 3; ++c)
                    EXPECT_NEAR(point.residual[c], constant[c], 1e-13);

                point.residual = {};
                ASSERT_TRUE(InterpolateWeighted(point, grid, kSpatialSignal));
                for (std::size_t c = 0; c < 3; ++c)
                    EXPECT_NEAR(point.residual[c], constant[c], 1e-13) << i0 << "," << j0;

                point.residual = {};
                const int a = j0 * g.nX + i0;
                point.nodeIndex = {a, a + 1, a + g.nX + 1, a + g.nX};
                InterpolateBilinear(point, grid, kSpatialSignal);
                for (std::size_t c = 0; c < 3; ++c)
                    EXPECT_NEAR(point.residual[c], constant[c], 1e-13);
            }
        }
    }
}

TEST_F(InterpolationTest, WeightedPredictionWeighsCornersByDistance)
{
    // A single node of value 1 in an otherwise zero field picks out that node's coefficient / S.
    auto impulse = [](int column, int row) {
        return [=](int c, int r) { return NodeValues{c == column && r == row ? 1.0 : 0.0, 0.0, 0.0}; };
    };
    auto predict = [&](const Field& field, double column, double row) {
        const NodeGrid grid = Grid(kSquare, field);
        PointRecord point = At(kSquare, column, row);
        EXPECT_TRUE(InterpolateWeighted(point, grid, kPlaneSignal));
        EXPECT_EQ(point.residual[2], 42.0);
        return point.residual[0];
    };
    // Halfway along the bottom side of the central cell: A and B are 0.5 steps away (weight
    // 2 / 1.5 = 4/3), C and D 1.118 (weight 1). A has 4 grid neighbours: coefficient
    // -(4 + 2 * 4/3 + 4/3 + 1) = -9; S = -8 - 4 * 14/3 = -80/3.
    EXPECT_NEAR(predict(impulse(1, 1), 1.5, 1.0), 27.0 / 80.0, 1e-15);
    // An outer neighbour has coefficient 1.
    EXPECT_NEAR(predict(impulse(1, 0), 1.5, 1.0), -3.0 / 80.0, 1e-15);
    // B 0.75 steps away still weighs 2 / 1.75; at 0.76 steps it weighs 1.
    const double wA75 = 2.0 / 1.25;
    const double wB75 = 2.0 / 1.75;
    EXPECT_NEAR(predict(impulse(2, 1), 1.25, 1.0), -(4 + 2 * wB75 + wA75 + 1) / (-8 - 4 * (wA75 + wB75 + 2)), 1e-15);
    const double wA76 = 2.0 / 1.24;
    EXPECT_NEAR(predict(impulse(2, 1), 1.24, 1.0), -(4 + 2 + wA76 + 1) / (-8 - 4 * (wA76 + 3)), 1e-15);
    // In the bottom-left corner cell A has 2 grid neighbours and only B, C and D have outer ones.
    EXPECT_NEAR(predict(impulse(0, 0), 0.5, 0.0), -(2 + 2 * 4.0 / 3 + 4.0 / 3 + 1) / (-80.0 / 3), 1e-15);
}

TEST_F(InterpolationTest, NoDataNodesStopTheBicubicPathAndDivertTheWeightedOne)
{
    const GridSpec& g = kSquare;
    auto withNoData = [](int column, int row, std::size_t component) {
        return [=](int c, int r) {
            NodeValues v{0.1 * c, 0.2 * r, 0.3};
            if (c == column && r == row)
                v[component] = 999.4;
            return v;
        };
    };
    // The outer ring of the central cell: below its lower-left corner, in every stencil.
    {
        const NodeGrid grid = Grid(g, withNoData(1, 0, 0));
        PointRecord point = At(g, 1.5, 1.5);
        try {
            InterpolateBicubic(point, grid, kPlaneSignal);
            ADD_FAILURE() << "no error";
        } catch (const FatalError& e) {
            EXPECT_STREQ(e.what(), "Punctul P1exterior poligonului (granitei)!");
        }
        EXPECT_FALSE(InterpolateWeighted(point, grid, kPlaneSignal));
        EXPECT_EQ(point.residual[0], 42.0);
        point.nodeIndex = {5, 6, 10, 9};
        InterpolateBilinear(point, grid, kPlaneSignal);
        EXPECT_NEAR(point.residual[0], 0.15, 1e-15);
        EXPECT_NEAR(point.residual[1], 0.3, 1e-15);
        EXPECT_EQ(point.modelWork2[0], 0.0);
        EXPECT_EQ(point.modelWork2[2], 7.0);
    }
    // A diagonal node belongs to the bicubic stencil only.
    {
        const NodeGrid grid = Grid(g, withNoData(0, 0, 1));
        PointRecord point = At(g, 1.5, 1.5);
        EXPECT_TRUE(InterpolateWeighted(point, grid, kPlaneSignal));
        EXPECT_THROW(InterpolateBicubic(point, grid, kPlaneSignal), FatalError);
    }
    // Without data in the third component: a plane bicubic patch does not look at it.
    {
        const NodeGrid grid = Grid(g, withNoData(1, 0, 2));
        PointRecord point = At(g, 1.5, 1.5);
        InterpolateBicubic(point, grid, kPlaneSignal);
        EXPECT_NEAR(point.residual[0], 0.15, 1e-15);
        EXPECT_FALSE(InterpolateWeighted(point, grid, kPlaneSignal));
        EXPECT_THROW(InterpolateBicubic(point, grid, kSpatialSignal), FatalError);
    }
}

TEST_F(InterpolationTest, PointsBeyondTheToleranceAreOutsideTheGrid)
{
    const GridSpec& g = kSquare;
    const NodeGrid grid = Grid(g, [](int c, int r) { return NodeValues{Biquadratic(c, r), 0, 0}; });
    PointRecord near = MakePoint("P1", g.x0 - 0.005, g.North(1.5));
    InterpolateBicubic(near, grid, kPlaneSignal);
    EXPECT_NEAR(near.residual[0], Biquadratic(-0.005 / g.step, 1.5), 1e-12);

    for (const auto& [east, north] : {std::pair{g.x0 - 0.02, g.North(1.5)}, std::pair{g.East(1.5), g.North(3) + 0.011}}) {
        PointRecord far = MakePoint("P1", east, north);
        try {
            InterpolateBicubic(far, grid, kPlaneSignal);
            ADD_FAILURE() << "no error";
        } catch (const FatalError& e) {
            EXPECT_STREQ(e.what(), "Punctul P1exterior gridului de distorsiuni!");
        }
        EXPECT_THROW(static_cast<void>(InterpolateWeighted(far, grid, kPlaneSignal)), FatalError);
    }
}

} // namespace
} // namespace velmora
