#include "building/GridTextConversion.h"
#include "building/NetworkAdjustment.h"
#include "files/FatalError.h"
#include "model/GridInterpolation.h"

#include "building/NetworkTestSupport.h"

#include <Eigen/Dense>
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numbers>
#include <random>
#include <utility>

namespace velmora {
namespace {

using test::CommonPoint;
using test::MakeFrame;
using test::NetworkRun;

// 6 x 5 cells of 100 m; common points in the four corner cells, in cells along each edge and
// inside, one of them on a node.
const GridFrame kFrame = MakeFrame(1000.0, 2000.0, 100.0, 6, 5);

std::vector<PointRecord> SpreadPoints()
{
    const auto at = [](const char* name, double e, double n, double dE, double dN) {
        return CommonPoint(name, kFrame.minE + e, kFrame.minN + n, dE, dN);
    };
    return {at("C1", 30, 40, 0.010, -0.020),    at("C2", 570, 470, 0.030, 0.015),
            at("C3", 20, 480, -0.010, 0.020),   at("C4", 585, 15, 0.005, 0.000),
            at("M1", 250, 30, 0.020, 0.010),    at("M2", 35, 260, -0.015, 0.005),
            at("M3", 560, 240, 0.012, -0.010),  at("M4", 340, 460, 0.000, 0.020),
            at("I1", 250, 250, 0.025, -0.005),  at("I2", 310, 170, 0.018, 0.004),
            at("I3", 420, 330, -0.004, 0.011),  at("I4", 300, 300, 0.020, 0.020)};
}

double RelativeDifference(const Eigen::VectorXd& value, const Eigen::VectorXd& reference)
{
    return (value - reference).cwiseAbs().maxCoeff() / reference.cwiseAbs().maxCoeff();
}

NetworkSystem SystemOf(const NetworkRun& net, bool regression = false)
{
    return BuildNetworkEquations(NodeGrid::Load(net.run.nodeGridPath), test::ReadPoints(net.CommonPath()), regression);
}

// Column -> coefficient of one equation.
std::map<int, double> Row(const SparseDesign& design, int row)
{
    std::map<int, double> entries;
    for (SparseDesign::InnerIterator it(design, row); it; ++it) {
        entries[static_cast<int>(it.col())] = it.value();
    }
    return entries;
}

TEST(NetworkAdjustment, NodeValuesAndErrorsEqualADenseSolve)
{
    NetworkRun net(kFrame, SpreadPoints());
    const NetworkSystem system = SystemOf(net);
    const Eigen::MatrixXd a(system.design);
    const Eigen::MatrixXd normal = a.transpose() * a;
    const Eigen::VectorXd cofactor = normal.inverse().diagonal();

    AdjustDistortionNetwork(net.run);
    const std::vector<PointRecord> nodes = net.Nodes();
    ASSERT_EQ(nodes.size(), 42u);
    for (const std::size_t c : {0u, 1u}) {
        const Eigen::VectorXd& l = system.observations[c];
        const Eigen::VectorXd x = normal.ldlt().solve(a.transpose() * l);
        const double m0 = std::sqrt((a * x - l).squaredNorm() / static_cast<double>(a.rows() - a.cols()));
        Eigen::VectorXd value(42);
        Eigen::VectorXd error(42);
        for (int k = 0; k < 42; ++k) {
            value[k] = nodes[static_cast<std::size_t>(k)].residual[c];
            error[k] = nodes[static_cast<std::size_t>(k)].modelWork3[c];
        }
        EXPECT_LT(RelativeDifference(value, x), 1e-10) << "component " << c;
        EXPECT_LT(RelativeDifference(error, m0 * cofactor.cwiseSqrt()), 1e-10) << "component " << c;
    }
    // The third component and the node's row and column are left alone.
    EXPECT_EQ(nodes[9].residual[2], 0.0);
    EXPECT_EQ(nodes[9].modelWork3[2], 0.0);
    EXPECT_EQ(std::memcmp(&nodes[9].modelWork3[3], &test::ReadPoints(net.run.nodeGridPath)[9].modelWork3[3], 8), 0);
}

TEST(NetworkAdjustment, PointEquationsSpanTheCellAndTheNeighboursInsideTheGrid)
{
    NetworkRun net(kFrame, SpreadPoints());
    const NetworkSystem system = SystemOf(net);
    ASSERT_EQ(system.design.rows(), 12 + 42);
    const std::vector<std::size_t> expected{8, 8, 8, 8, 10, 10, 10, 10, 12, 12, 12, 12};
    const std::vector<PointRecord> points = SpreadPoints();
    for (int row = 0; row < 12; ++row) {
        const std::map<int, double> entries = Row(system.design, row);
        EXPECT_EQ(entries.size(), expected[static_cast<std::size_t>(row)]) << "point " << row;
        // A constant surface equal to the distortion satisfies the equation.
        double sum = 0.0;
        for (const auto& entry : entries) {
            sum += entry.second;
        }
        for (const std::size_t c : {0u, 1u}) {
            // (The distortion is the difference of coordinates of a thousand metres.)
            EXPECT_NEAR(sum * points[static_cast<std::size_t>(row)].residual[c], system.observations[c][row], 1e-10);
        }
    }

    // I4 lies on node (3, 3), the upper-right corner of its cell: weight 2 there, 1 elsewhere.
    const std::map<int, double> onNode = Row(system.design, 11);
    EXPECT_EQ(onNode.at(2 * 7 + 2), -8.0);
    EXPECT_EQ(onNode.at(2 * 7 + 3), -9.0);
    EXPECT_EQ(onNode.at(3 * 7 + 3), -10.0);
    EXPECT_EQ(onNode.at(3 * 7 + 2), -9.0);
    EXPECT_EQ(onNode.at(1 * 7 + 2), 1.0);
    EXPECT_EQ(onNode.at(4 * 7 + 3), 1.0);
    EXPECT_NEAR(system.observations[0][11], -28.0 * 0.020, 1e-10);
}

TEST(NetworkAdjustment, CornerWeightsChangeAtThreeQuartersOfAnInterval)
{
    // 0.75 intervals from the first node and 0.25 from the second, on the first grid row.
    NetworkRun net(kFrame, {CommonPoint("P", 1075.0, 2000.0, 0.1, 0.0), CommonPoint("Q", 1075.01, 2000.0, 0.1, 0.0),
                            CommonPoint("R", 1350.0, 2250.0, 0.0, 0.0), CommonPoint("S", 1550.0, 2450.0, 0.0, 0.0)});
    const NetworkSystem system = SystemOf(net);
    const double w1 = 2.0 / 1.75;
    const double w2 = 2.0 / 1.25;
    const std::map<int, double> row = Row(system.design, 0);
    ASSERT_EQ(row.size(), 8u);
    EXPECT_DOUBLE_EQ(row.at(0), -(2 * w1 + w2 + 1 + 2 + 0));
    EXPECT_DOUBLE_EQ(row.at(1), -(2 * w2 + w1 + 1 + 2 + 1));
    EXPECT_DOUBLE_EQ(row.at(8), -(2 + w2 + 1 + 2 + 2));
    EXPECT_DOUBLE_EQ(row.at(7), -(2 + 1 + w1 + 2 + 1));
    EXPECT_NEAR(system.observations[0][0], -(4 * (w1 + w2 + 2) + 8) * 0.1, 1e-10);
    // A hundredth of a metre further the first corner weighs 1.
    EXPECT_NEAR(Row(system.design, 1).at(0), -(2 + 2.0 / (1 + 24.99 / 100) + 1 + 2 + 0), 1e-12);
}

TEST(NetworkAdjustment, CurvatureConditionsFollowTheNodePosition)
{
    NetworkRun net(kFrame, SpreadPoints());
    const NetworkSystem system = SystemOf(net);
    // Unknowns by the node's distance from the nearest edges (capped at 2), either way round.
    const std::map<std::pair<int, int>, std::size_t> size{{{2, 2}, 13}, {{2, 1}, 12}, {{2, 0}, 9},
                                                          {{1, 1}, 10}, {{1, 0}, 8},  {{0, 0}, 5}};
    for (int r = 0; r <= kFrame.nN; ++r) {
        for (int c = 0; c <= kFrame.nE; ++c) {
            const std::map<int, double> entries = Row(system.design, 12 + r * 7 + c);
            const int pr = std::min({r, kFrame.nN - r, 2});
            const int pc = std::min({c, kFrame.nE - c, 2});
            EXPECT_EQ(entries.size(), size.at({std::max(pr, pc), std::min(pr, pc)})) << r << "," << c;
            double sum = 0.0;
            for (const auto& entry : entries) {
                sum += entry.second;
            }
            EXPECT_EQ(sum, 0.0) << r << "," << c;
            EXPECT_EQ(system.observations[0][12 + r * 7 + c], 0.0);
        }
    }
    // The upper-right corner: the lower-left corner's stencil mirrored both ways.
    const std::map<int, double> corner{{41, 2.0}, {40, -2.0}, {34, -2.0}, {39, 1.0}, {27, 1.0}};
    EXPECT_EQ(Row(system.design, 12 + 41), corner);
    // Node (1, 5), next to the right edge on the second row: the (1, 1) stencil mirrored in columns.
    const std::map<int, double> second{{12, 18.0}, {19, -8.0}, {11, -8.0}, {5, -4.0}, {13, -4.0},
                                       {18, 2.0},  {26, 1.0},  {10, 1.0},  {4, 1.0},  {20, 1.0}};
    EXPECT_EQ(Row(system.design, 12 + 12), second);
}

// The node values of component c as a (row, column) table.
std::vector<std::vector<double>> ValueTable(const NetworkRun& net, std::size_t c, const GridFrame& frame)
{
    const std::vector<PointRecord> nodes = net.Nodes();
    std::vector<std::vector<double>> table(static_cast<std::size_t>(frame.nN + 1));
    for (std::size_t k = 0; k < nodes.size(); ++k) {
        table[k / static_cast<std::size_t>(frame.nE + 1)].push_back(nodes[k].residual[c]);
    }
    return table;
}

TEST(NetworkAdjustment, MirroredAndTransposedPointsGiveMirroredAndTransposedSurfaces)
{
    const GridFrame square = MakeFrame(0.0, 0.0, 50.0, 6, 6);
    std::vector<PointRecord> points;
    std::vector<PointRecord> mirrored;
    std::vector<PointRecord> transposed;
    std::mt19937 random(11);
    std::uniform_real_distribution<double> place(3.0, 297.0);
    std::uniform_real_distribution<double> signal(-0.05, 0.05);
    for (int k = 0; k < 14; ++k) {
        const double e = place(random);
        const double n = place(random);
        const double s = signal(random);
        points.push_back(CommonPoint("P", e, n, s, -s));
        mirrored.push_back(CommonPoint("P", 300.0 - e, n, s, -s));
        transposed.push_back(CommonPoint("P", n, e, s, -s));
    }
    NetworkRun original(square, points);
    NetworkRun left(square, mirrored);
    NetworkRun turned(square, transposed);
    AdjustDistortionNetwork(original.run);
    AdjustDistortionNetwork(left.run);
    AdjustDistortionNetwork(turned.run);
    const auto x = ValueTable(original, 0, square);
    const auto xm = ValueTable(left, 0, square);
    const auto xt = ValueTable(turned, 0, square);
    for (std::size_t r = 0; r <= 6; ++r) {
        for (std::size_t c = 0; c <= 6; ++c) {
            EXPECT_NEAR(xm[r][6 - c], x[r][c], 1e-10) << r << "," << c;
            EXPECT_NEAR(xt[c][r], x[r][c], 1e-10) << r << "," << c;
        }
    }
}

TEST(NetworkAdjustment, ConstantDistortionComesBackAtEveryNode)
{
    // With the regression present the distortion is taken after the regression.
    std::vector<PointRecord> points = SpreadPoints();
    for (PointRecord& point : points) {
        point.regression = {point.result[0] + 0.01, point.result[1] + 0.02, 0.0};
        point.sys2 = {point.regression[0] + 0.05, point.regression[1] - 0.01, 0.0};
    }
    ModelParameterRecord parameters{};
    parameters.regressionPresent = 1;
    NetworkRun net(kFrame, points, test::AllInside, parameters);
    AdjustDistortionNetwork(net.run);
    for (const PointRecord& node : net.Nodes()) {
        EXPECT_NEAR(node.residual[0], 0.05, 1e-12);
        EXPECT_NEAR(node.residual[1], -0.01, 1e-12);
        EXPECT_NEAR(node.modelWork3[0], 0.0, 1e-10);
    }
}

TEST(NetworkAdjustment, PlantedSmoothDistortionIsRecoveredAtNewPoints)
{
    const GridFrame frame = MakeFrame(400000.0, 300000.0, 200.0, 20, 16);
    const auto field = [&](double e, double n) {
        const double u = (e - frame.minE) / 4000.0;
        const double v = (n - frame.minN) / 3200.0;
        return std::array<double, 2>{0.04 + 0.03 * u - 0.02 * v + 0.02 * std::sin(std::numbers::pi * u) * std::cos(v),
                                     -0.03 + 0.01 * u * v + 0.015 * std::cos(2.0 * u)};
    };
    std::mt19937 random(2024);
    std::uniform_real_distribution<double> e(frame.minE, frame.maxE);
    std::uniform_real_distribution<double> n(frame.minN, frame.maxN);
    constexpr double sigma = 0.002;
    std::normal_distribution<double> noise(0.0, sigma);
    std::vector<PointRecord> points;
    for (int k = 0; k < 300; ++k) {
        const double pe = e(random);
        const double pn = n(random);
        const auto f = field(pe, pn);
        points.push_back(CommonPoint("P", pe, pn, f[0] + noise(random), f[1] + noise(random)));
    }
    NetworkRun net(frame, points);
    AdjustDistortionNetwork(net.run);

    const NodeGrid grid = NodeGrid::Load(net.run.nodeGridPath);
    // New points inside the zone, a cell away from the grid's edges, where the grid generation
    // leaves its margin.
    std::uniform_real_distribution<double> ne(frame.minE + frame.step, frame.maxE - frame.step);
    std::uniform_real_distribution<double> nn(frame.minN + frame.step, frame.maxN - frame.step);
    double squares = 0.0;
    for (int k = 0; k < 200; ++k) {
        PointRecord point = CommonPoint("N", ne(random), nn(random), 0.0, 0.0);
        InterpolateBicubic(point, grid, kPlaneSignal);
        const auto f = field(point.result[0], point.result[1]);
        for (const std::size_t c : {0u, 1u}) {
            EXPECT_LT(std::fabs(point.residual[c] - f[c]), 3.0 * sigma) << point.result[0] << " " << point.result[1];
            squares += (point.residual[c] - f[c]) * (point.residual[c] - f[c]);
        }
    }
    EXPECT_LT(std::sqrt(squares / 400.0), sigma);
}

void ExpectSingular(const std::vector<PointRecord>& points)
{
    NetworkRun net(kFrame, points);
    const std::string nodesBefore = test::ReadBytes(net.run.nodeGridPath);
    const std::string textBefore = test::ReadBytes(net.run.gridTextPath);
    try {
        AdjustDistortionNetwork(net.run);
        ADD_FAILURE() << "no error";
    } catch (const FatalError& error) {
        EXPECT_STREQ(error.what(), kNetworkSingularMessage);
    }
    EXPECT_TRUE(test::ReadBytes(net.run.nodeGridPath) == nodesBefore);
    EXPECT_TRUE(test::ReadBytes(net.run.gridTextPath) == textBefore);
    EXPECT_FALSE(std::filesystem::exists(BinaryGridPath(net.run.nodeGridPath)));
}

TEST(NetworkAdjustment, SingularSystemsStopWithoutWritingNodeValues)
{
    // Every common point in one cell: a bilinear surface is left free, in the middle of the grid
    // or in a corner.
    std::vector<PointRecord> inside;
    std::vector<PointRecord> corner;
    for (int k = 0; k < 6; ++k) {
        inside.push_back(CommonPoint("P", 1310.0 + 12.0 * k, 2220.0 + 9.0 * k, 0.01 * k, -0.02));
        corner.push_back(CommonPoint("P", 1590.0 - 15.0 * k, 2410.0 + 13.0 * k, 0.01, -0.02 * k));
    }
    ExpectSingular(inside);
    ExpectSingular(corner);
}

TEST(NetworkAdjustment, PointJustBeyondTheLastColumnBelongsToTheLastCell)
{
    // The cell assignment takes a point up to 0.01 m beyond the last node column into a cell past
    // the edge; its equation must not reach the first node of the next row.
    std::vector<PointRecord> points = SpreadPoints();
    points.push_back(CommonPoint("X", kFrame.maxE + 0.005, 2150.0, 0.01, 0.01));
    points.push_back(CommonPoint("Y", kFrame.maxE - 0.005, 2150.0, 0.01, 0.01));
    NetworkRun net(kFrame, points);
    EXPECT_EQ(test::ReadPoints(net.CommonPath())[12].nodeIndex[0], 1 * 7 + 6);
    const NetworkSystem system = SystemOf(net);
    std::map<int, double> beyond = Row(system.design, 12);
    std::map<int, double> inside = Row(system.design, 13);
    ASSERT_EQ(beyond.size(), inside.size());
    for (const auto& [node, coefficient] : inside) {
        EXPECT_NEAR(beyond.at(node), coefficient, 1e-3) << node;
    }
}

} // namespace
} // namespace velmora
