// The node grid's exchange with an external quasigeoid model: the node list BL_EGG.txt and the
// loading of a zita file into the node grid, its text file and its binary grid.
#include "building/GridGeneration.h"
#include "building/Quasigeoid.h"
#include "model/ModelTestSupport.h"
#include "support/PointFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include "files/NumberText.h"

#include <algorithm>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#ifdef VELMORA_HAVE_PROJ
#include <proj.h>
#endif

namespace velmora {
namespace {

namespace fs = std::filesystem;

// Three columns of L from 24 to 25, two rows of B from 45.5 to 46 degrees; the node (2, 1) lies
// outside the zone.
const test::GridSpec kGeographic{24.0, 45.5, 0.5, 3, 2};

void WriteGeographicGrid(const fs::path& path)
{
    test::WriteNodeGrid(
        path, kGeographic, [](int c, int r) { return test::NodeValues{0.0, 0.0, 0.125 * (c + 3 * r)}; },
        [](int c, int r) { return c == 2 && r == 1; });
}

// The grid text file's head of kGeographic as the grid generation writes it.
std::string GeographicHead()
{
    GridFrame frame;
    frame.minE = kGeographic.x0;
    frame.minN = kGeographic.y0;
    frame.maxE = kGeographic.East(kGeographic.nX - 1);
    frame.maxN = kGeographic.North(kGeographic.nY - 1);
    frame.step = kGeographic.step;
    frame.nE = kGeographic.nX - 1;
    frame.nN = kGeographic.nY - 1;
    return "Model\r\nde\r\nproba\r\n!\r\n" + GridTextHeader(frame, true);
}

std::vector<double> ReadDoubles(const fs::path& path)
{
    const std::string bytes = test::ReadBytes(path);
    std::vector<double> values(bytes.size() / sizeof(double));
    std::memcpy(values.data(), bytes.data(), values.size() * sizeof(double));
    return values;
}

std::string GridTextHead(int lines)
{
    std::string head;
    for (int k = 1; k <= lines; ++k)
        head += "linia " + std::to_string(k) + "\r\n";
    return head;
}

class QuasigeoidExchangeTest : public ::testing::Test {
protected:
    test::TempDir dir;
    fs::path grid = dir / "ZITA.GRD";
};

TEST_F(QuasigeoidExchangeTest, NodeListOfGeographicAndPlaneGrids)
{
    WriteGeographicGrid(grid);
    EXPECT_EQ(ExportGridNodesForEgg(grid, false, dir.Path()), std::nullopt);
    EXPECT_EQ(test::ReadBytes(dir / kNodeListName), "        1 45.500000 24.000000\r\n"
                                                    "        2 45.500000 24.500000\r\n"
                                                    "        3 45.500000 25.000000\r\n"
                                                    "        4 46.000000 24.000000\r\n"
                                                    "        5 46.000000 24.500000\r\n"
                                                    "        6 46.000000 25.000000\r\n");

    // A plane grid holds Stereo70 East and North on GRS80: the origin of the projection is 46 N, 25 E.
    test::WriteNodeGrid(grid, {500000.0, 500000.0, 1000.0, 3, 3}, [](int, int) { return test::NodeValues{}; });
    EXPECT_EQ(ExportGridNodesForEgg(grid, true, dir.Path()), std::nullopt);
    std::istringstream list(test::ReadBytes(dir / kNodeListName));
    std::string line;
    std::getline(list, line);
    EXPECT_EQ(line, "        1 46.000000 25.000000\r");
#ifdef VELMORA_HAVE_PROJ
    PJ_CONTEXT* ctx = proj_context_create();
    PJ* sterea = proj_create(ctx, "+proj=sterea +lat_0=46 +lon_0=25 +k=0.99975 +x_0=500000 +y_0=500000 +ellps=GRS80");
    ASSERT_NE(sterea, nullptr);
    for (int k = 2; k <= 9; ++k) {
        ASSERT_TRUE(std::getline(list, line));
        const double east = 500000.0 + 1000.0 * ((k - 1) % 3);
        const double north = 500000.0 + 1000.0 * ((k - 1) / 3);
        const PJ_COORD g = proj_trans(sterea, PJ_INV, proj_coord(east, north, 0, 0));
        EXPECT_EQ(line.substr(0, 10), FormatFixed(k, 9, 0) + " ");
        EXPECT_NEAR(std::stod(line.substr(10, 9)), proj_todeg(g.lp.phi), 1e-6) << line;
        EXPECT_NEAR(std::stod(line.substr(20, 9)), proj_todeg(g.lp.lam), 1e-6) << line;
    }
    proj_destroy(sterea);
    proj_context_destroy(ctx);
#endif
}

TEST_F(QuasigeoidExchangeTest, ExportMessages)
{
    EXPECT_EQ(ExportGridNodesForEgg(grid, false, dir.Path()), kGridOpenMessage);
    test::WriteBytes(grid, "");
    EXPECT_EQ(ExportGridNodesForEgg(grid, false, dir.Path()), kGridEmptyMessage);
    test::WriteBytes(grid, "not a whole record");
    EXPECT_EQ(ExportGridNodesForEgg(grid, false, dir.Path()), kGridOpenMessage);
}

TEST_F(QuasigeoidExchangeTest, ZitaIsAddedToTheNodesTheValueLinesAndTheBinaryGrid)
{
    WriteGeographicGrid(grid);
    const std::string head = GeographicHead();
    ASSERT_EQ(std::count(head.begin(), head.end(), '\n'), kGridTextHeadLines);
    test::WriteBytes(dir / "ZITA.GRT", head + "   0.000000\r\n   9.000000\r\n");
    test::WriteBytes(dir / "zita.txt", "45.5 24 30.5\n45.5,24.5,30.25\r\n45.5\t25\t-1.5 extra\n"
                                       "46 24 30\n 46 , 24.5 , 31\n46 25 32\n");
    EXPECT_EQ(LoadZitaIntoGrid(dir / "zita.txt", grid), std::nullopt);

    const auto nodes = test::ReadPoints(grid);
    ASSERT_EQ(nodes.size(), 6u);
    EXPECT_DOUBLE_EQ(nodes[0].residual[2], 30.5);
    EXPECT_DOUBLE_EQ(nodes[1].residual[2], 30.375);
    EXPECT_DOUBLE_EQ(nodes[2].residual[2], -1.25);
    // The node outside the zone takes its zeta, but its line says it has no data.
    EXPECT_DOUBLE_EQ(nodes[5].residual[2], 32.0 + 0.125 * 5);
    EXPECT_EQ(test::ReadBytes(dir / "ZITA.GRT"), head +
                                                     "  30.500000\r\n  30.375000\r\n  -1.250000\r\n"
                                                     "  30.375000\r\n  31.500000\r\n 999.000000\r\n");
    // The one-value binary grid: the extent, the intervals, then the values as the text has them.
    EXPECT_EQ(ReadDoubles(dir / "ZITAJ.GRD"),
              (std::vector<double>{24.0, 25.0, 45.5, 46.0, 0.5, 0.5, 30.5, 30.375, -1.25, 30.375, 31.5, 999.0}));
}

TEST_F(QuasigeoidExchangeTest, ShortGridTextIsPaddedToItsHead)
{
    WriteGeographicGrid(grid);
    test::WriteBytes(dir / "ZITA.GRT", GridTextHead(3));
    test::WriteBytes(dir / "zita.txt", "0 0 1\n0 0 1\n0 0 1\n0 0 1\n0 0 1\n0 0 1\n");
    // Its head holds no grid, so no binary grid comes of it.
    const std::optional<std::string> message = LoadZitaIntoGrid(dir / "zita.txt", grid);
    ASSERT_TRUE(message.has_value());
    EXPECT_NE(message->find("ZITA.GRT"), std::string::npos) << *message;
    EXPECT_FALSE(fs::exists(dir / "ZITAJ.GRD"));
    std::string padding;
    for (int k = 0; k < 18; ++k)
        padding += "\r\n";
    EXPECT_EQ(test::ReadBytes(dir / "ZITA.GRT"), GridTextHead(3) + padding +
                                                     "   1.000000\r\n   1.125000\r\n   1.250000\r\n"
                                                     "   1.375000\r\n   1.500000\r\n 999.000000\r\n");
}

TEST_F(QuasigeoidExchangeTest, LoadMessagesLeaveEverythingAsItWas)
{
    WriteGeographicGrid(grid);
    EXPECT_EQ(LoadZitaIntoGrid(dir / "zita.txt", grid), kGridTextOpenMessage);
    const std::string gridText = GridTextHead(21) + "   0.000000\r\n";
    test::WriteBytes(dir / "ZITA.GRT", gridText);
    EXPECT_EQ(LoadZitaIntoGrid(dir / "zita.txt", grid), kZitaOpenMessage);

    const std::string before = test::ReadBytes(grid);
    for (const char* zita : {"1 2 3\n1 2 3\n1 2 3\n1 2 3\n1 2 3\n", // one line short
                             "1 2 3\n1 2 3\n1 2\n1 2 3\n1 2 3\n1 2 3\n", // two numbers only
                             "1 2 3\n1 2 3\n1 2 x\n1 2 3\n1 2 3\n1 2 3\n", "1 2 3\n\n1 2 3\n1 2 3\n1 2 3\n1 2 3\n"}) {
        test::WriteBytes(dir / "zita.txt", zita);
        EXPECT_EQ(LoadZitaIntoGrid(dir / "zita.txt", grid), kZitaReadMessage) << zita;
        EXPECT_EQ(test::ReadBytes(grid), before);
        EXPECT_EQ(test::ReadBytes(dir / "ZITA.GRT"), gridText);
    }

    test::WriteBytes(dir / "zita.txt", "1 2 3\n");
    fs::remove(grid);
    EXPECT_EQ(LoadZitaIntoGrid(dir / "zita.txt", grid), kGridOpenMessage);
    test::WriteBytes(grid, "");
    EXPECT_EQ(LoadZitaIntoGrid(dir / "zita.txt", grid), kGridEmptyMessage);
}

} // namespace
} // namespace velmora
