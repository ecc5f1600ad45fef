// Fitting the grid to the contour (halving, tolerance per command, the size limit, exact grid
// lines), the node grid file byte by byte at corners, edges and inside, and the grid text head.
#include "building/GridGeneration.h"

#include "BuildingTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace velmora {
namespace {

using test::MessageOf;
using test::TempDir;

constexpr double kCode31Tolerance = 0.0001;
constexpr double kDefaultTolerance = 1e-9;

TEST(FitGrid, WholeExtentKeepsItsMaxima)
{
    const GridFrame g = FitGrid({1000.0, 2000.0, 1400.0, 2600.0}, 100.0, kDefaultTolerance);
    EXPECT_EQ(g.nE, 4);
    EXPECT_EQ(g.nN, 6);
    EXPECT_EQ(g.maxE, 1400.0);
    EXPECT_EQ(g.maxN, 2600.0);
    EXPECT_EQ(g.step, 100.0);
}

TEST(FitGrid, FractionBeyondTheToleranceAddsAnInterval)
{
    EXPECT_EQ(GridTolerance(kPlaneWithoutRegressionCode), kCode31Tolerance);
    EXPECT_EQ(GridTolerance(0), kDefaultTolerance);
    EXPECT_EQ(GridTolerance('3'), kDefaultTolerance);
    EXPECT_EQ(GridTolerance(kQuasigeoidCode), kDefaultTolerance);

    // 4.00005 intervals: ignored under the plane command without regression, where the grid then
    // ends short of the contour; one more interval under any other code.
    const Extent extent{0.0, 0.0, 400.005, 500.0};
    const GridFrame coarse = FitGrid(extent, 100.0, kCode31Tolerance);
    EXPECT_EQ(coarse.nE, 4);
    EXPECT_EQ(coarse.maxE, 400.0);
    const GridFrame fine = FitGrid(extent, 100.0, kDefaultTolerance);
    EXPECT_EQ(fine.nE, 5);
    EXPECT_EQ(fine.maxE, 500.0);
}

TEST(FitGrid, HalvesUntilFourIntervalsEachWayKeepingTheMovedMaxima)
{
    // East: 2.5 intervals of 100 -> 3, maxE moved to 300; halved to 50 the moved extent gives 6
    // intervals (the contour's own 250 would give 5).
    const GridFrame g = FitGrid({0.0, 0.0, 250.0, 1000.0}, 100.0, kDefaultTolerance);
    EXPECT_EQ(g.step, 50.0);
    EXPECT_EQ(g.nE, 6);
    EXPECT_EQ(g.maxE, 300.0);
    EXPECT_EQ(g.nN, 20);
    EXPECT_EQ(g.maxN, 1000.0);

    // A contour much smaller than the interval: the first pass moves the maxima a whole interval
    // out, and the halving then divides that interval.
    const GridFrame small = FitGrid({10.0, 20.0, 10.001, 20.002}, 1000.0, kDefaultTolerance);
    EXPECT_EQ(small.step, 250.0);
    EXPECT_EQ(small.nE, 4);
    EXPECT_EQ(small.nN, 4);
    EXPECT_EQ(small.maxE, 1010.0);
    EXPECT_EQ(small.maxN, 1020.0);
}

TEST(FitGrid, SizeLimitCountsThreeMoreIntervalsEachWay)
{
    // (297 + 3) (397 + 3) = 120000 is allowed; (298 + 3) (396 + 3) = 120099 is not, although
    // that grid has fewer nodes (299 x 397) than 120000.
    const GridFrame g = FitGrid({0.0, 0.0, 297.0, 397.0}, 1.0, kDefaultTolerance);
    EXPECT_EQ(g.nE, 297);
    EXPECT_EQ(g.nN, 397);
    EXPECT_EQ(MessageOf([] { FitGrid({0.0, 0.0, 298.0, 396.0}, 1.0, kDefaultTolerance); }), kGridTooFineMessage);
    EXPECT_EQ(std::string(kGridTooFineMessage), "Pasul gridului este prea mic. Trebuie sa mariti pasul!");
    // An interval far too small for any integer count.
    EXPECT_EQ(MessageOf([] { FitGrid({0.0, 0.0, 1e6, 1e6}, 1e-300, kDefaultTolerance); }), kGridTooFineMessage);
}

TEST(FitGrid, IntervalAndExtentThatCouldNeverGiveAGrid)
{
    EXPECT_EQ(MessageOf([] { FitGrid({0.0, 0.0, 100.0, 100.0}, 0.0, kDefaultTolerance); }),
              kGridStepNotPositiveMessage);
    EXPECT_EQ(MessageOf([] { FitGrid({0.0, 0.0, 100.0, 100.0}, -5.0, kDefaultTolerance); }),
              kGridStepNotPositiveMessage);
    EXPECT_EQ(MessageOf([] { FitGrid({0.0, 0.0, 100.0, 0.0}, 10.0, kDefaultTolerance); }), kContourFlatMessage);
    EXPECT_EQ(MessageOf([] { FitGrid({5.0, 0.0, 5.0, 100.0}, 10.0, kDefaultTolerance); }), kContourFlatMessage);
}

TEST(FitGrid, GridLinesAreCountedFromTheMinimum)
{
    // Adding 0.1 again and again drifts away from these values; counting from the minimum does not.
    const GridFrame g = FitGrid({0.3, 0.7, 1.0, 1.5}, 0.1, kDefaultTolerance);
    ASSERT_EQ(g.nE, 7);
    ASSERT_EQ(g.nN, 8);
    EXPECT_EQ(g.maxE, 0.3 + 7 * 0.1);
    EXPECT_EQ(g.maxN, 0.7 + 8 * 0.1);
    EXPECT_EQ(g.East(g.nE), g.maxE);
    EXPECT_EQ(g.North(g.nN), g.maxN);
    EXPECT_EQ(g.East(3), 0.3 + 3 * 0.1);
}

// A node record as the grid file holds it, from its fields placed at their offsets.
std::string NodeBytes(double east, double north, std::int32_t row, std::int32_t column,
                      std::array<std::int32_t, 4> neighbours)
{
    std::string bytes(312, '\0');
    bytes[1] = 'E';
    std::memcpy(&bytes[64], &east, 8);
    std::memcpy(&bytes[72], &north, 8);
    std::memcpy(&bytes[280], &row, 4);
    std::memcpy(&bytes[284], &column, 4);
    std::memcpy(&bytes[288], neighbours.data(), 16);
    return bytes;
}

TEST(NodeGridFile, EveryFieldAtCornersEdgesAndInside)
{
    TempDir dir;
    const auto path = dir / "m.GRD";
    const GridFrame g = SetUpGridNodes({500000.0, 300000.0, 500400.0, 300500.0}, 100.0, kDefaultTolerance, path);
    ASSERT_EQ(g.nE, 4);
    ASSERT_EQ(g.nN, 5);
    const std::string file = test::ReadBytes(path);
    ASSERT_EQ(file.size(), 312u * 5 * 6);
    const auto record = [&](int k) { return file.substr(312 * static_cast<std::size_t>(k), 312); };
    // k = 5 r + c.
    EXPECT_EQ(record(0), NodeBytes(500000.0, 300000.0, 0, 0, {2, 1, 10, 5}));            // lower-left corner
    EXPECT_EQ(record(4), NodeBytes(500400.0, 300000.0, 0, 4, {3, 2, 14, 9}));            // lower-right corner
    EXPECT_EQ(record(12), NodeBytes(500200.0, 300200.0, 2, 2, {11, 13, 7, 17}));         // inside
    EXPECT_EQ(record(15), NodeBytes(500000.0, 300300.0, 3, 0, {17, 16, 10, 20}));        // first column
    EXPECT_EQ(record(19), NodeBytes(500400.0, 300300.0, 3, 4, {18, 17, 14, 24}));        // last column
    EXPECT_EQ(record(27), NodeBytes(500200.0, 300500.0, 5, 2, {26, 28, 22, 17}));        // top row
    EXPECT_EQ(record(29), NodeBytes(500400.0, 300500.0, 5, 4, {28, 27, 24, 19}));        // upper-right corner

    const PointRecord node = test::ReadPoints(path).at(19);
    EXPECT_EQ(NodePlaceOf(node).row, 3);
    EXPECT_EQ(NodePlaceOf(node).column, 4);
}

TEST(GridTextHead, PlaneVariant)
{
    GridFrame g;
    g.minE = 500600.0;
    g.minN = 320850.0;
    g.step = 500.0;
    g.nE = 9;
    g.nN = 9;
    g.maxE = g.East(9);
    g.maxN = g.North(9);
    EXPECT_EQ(GridTextHeader(g, false), test::Crlf("Minimum East (minE):\n"
                                                   " 500600.000\n"
                                                   "Maximum East (maxE):\n"
                                                   " 505100.000\n"
                                                   "Minimum North (minN):\n"
                                                   " 320850.000\n"
                                                   "Maximum North (maxN):\n"
                                                   " 325350.000\n"
                                                   "East grid interval (stepE):\n"
                                                   "    500.000\n"
                                                   "North grid interval (stepN):\n"
                                                   "    500.000\n"
                                                   "Number of grid shift values (rows x columns):\n"
                                                   "100\n"
                                                   "Number of dimensions (2 for dEast and dNorth - grid shift values):\n"
                                                   "2\n"
                                                   "Grid shift values (dEast dNorth) (columns: minE-->maxE; rows: "
                                                   "minN-->maxN):\n"));
}

TEST(GridTextHead, GeographicVariant)
{
    GridFrame g;
    g.minE = 25.5;
    g.minN = 44.25;
    g.step = 0.0125;
    g.nE = 4;
    g.nN = 5;
    g.maxE = g.East(4);
    g.maxN = g.North(5);
    EXPECT_EQ(GridTextHeader(g, true), test::Crlf("Minimum longitude (minLa):\n"
                                                  "25.500000000\n"
                                                  "Maximum longitude (maxLa):\n"
                                                  "25.550000000\n"
                                                  "Minimum latitude (minPhi):\n"
                                                  "44.250000000\n"
                                                  "Maximum latitude (maxPhi):\n"
                                                  "44.312500000\n"
                                                  "Longitude grid interval (stepLa):\n"
                                                  " 0.012500000\n"
                                                  "Latitude grid interval (stepPhi):\n"
                                                  " 0.012500000\n"
                                                  "Number of grid shift values (rows x columns):\n"
                                                  "30\n"
                                                  "Number of dimensions (1 for dZita - grid shift value):\n"
                                                  "1\n"
                                                  "Grid shift values (dZita) (columns: minLa-->maxLa; rows: "
                                                  "minPhi-->maxPhi):\n"));
}

} // namespace
} // namespace velmora
