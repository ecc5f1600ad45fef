// The drawing file byte for byte: the layer table head, each entity's lines, numbers wider than
// their field, the end; bearings in gons; the distortion arrows and their edge cases.
#include "building/Drawing.h"

#include "BuildingTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace velmora {
namespace {

using test::Crlf;
using test::DxfEntity;
using test::MessageOf;
using test::ReadBytes;
using test::ReadDxfEntities;
using test::TempDir;

constexpr const char* kHead = R"(  0
SECTION
  2
TABLES
  0
TABLE
  2
LAYER
 70
     4
  0
LAYER
  2
0
 70
     0
 62
     7
  6
CONTINUOUS
  0
LAYER
  2
PUNCTE_COMUNE
 70
     0
 62
     7
  6
CONTINUOUS
  0
LAYER
  2
TEXTCOMUNE
 70
     0
 62
     7
  6
CONTINUOUS
  0
LAYER
  2
PUNCTE_NOI
 70
     0
 62
     5
  6
CONTINUOUS
  0
LAYER
  2
TEXTNOI
 70
     0
 62
     5
  6
CONTINUOUS
  0
LAYER
  2
TEXT
 70
     0
 62
     7
  6
CONTINUOUS
  0
LAYER
  2
GRID
 70
     0
 62
     3
  6
CONTINUOUS
  0
LAYER
  2
PARCELA
 70
     0
 62
   10
  6
CONTINUOUS
  0
LAYER
  2
DIST_TXT
 70
     0
 62
     5
  6
CONTINUOUS
  0
LAYER
  2
DISTCELL
 70
     0
 62
     5
  6
CONTINUOUS
  0
LAYER
  2
DISTORSIUNI
 70
     0
 62
     6
  6
CONTINUOUS
  0
LAYER
  2
DISTORSIUNIH
 70
     0
 62
     1
  6
CONTINUOUS
  0
LAYER
  2
DISTORSIUNIR
 70
     0
 62
     5
  6
CONTINUOUS
  0
LAYER
  2
RARITE
 70
     0
 62
     4
  6
CONTINUOUS
  0
LAYER
  2
RARITEH
 70
     0
 62
     1
  6
CONTINUOUS
  0
LAYER
  2
RARITER
 70
     0
 62
     5
  6
CONTINUOUS
  0
ENDTAB
  0
ENDSEC
  0
SECTION
  2
ENTITIES
)";

constexpr const char* kEnd = "  0\r\nENDSEC\r\n  0\r\nEOF\r\n";

class DrawingTest : public ::testing::Test {
protected:
    // The entity lines written by draw, between the head and the end.
    std::string Entities(const std::function<void(Drawing&)>& draw)
    {
        Drawing drawing(path_);
        drawing.WriteDxfHead();
        draw(drawing);
        drawing.WriteDxfEnd();
        const std::string bytes = ReadBytes(path_);
        const std::string head = Crlf(kHead);
        EXPECT_EQ(bytes.substr(0, head.size()), head);
        EXPECT_TRUE(bytes.ends_with(kEnd));
        if (bytes.size() < head.size() + std::string_view(kEnd).size())
            return "";
        return bytes.substr(head.size(), bytes.size() - head.size() - std::string_view(kEnd).size());
    }

    std::vector<DxfEntity> Drawn(const std::function<void(Drawing&)>& draw)
    {
        Entities(draw);
        return ReadDxfEntities(path_);
    }

    TempDir dir_;
    std::filesystem::path path_ = dir_ / "t.DXF";
};

TEST_F(DrawingTest, HeadAndEndOfAnEmptyDrawing)
{
    EXPECT_EQ(Entities([](Drawing&) {}), "");
    EXPECT_EQ(ReadBytes(path_), Crlf(kHead) + kEnd);
}

TEST_F(DrawingTest, EntitiesLineByLine)
{
    EXPECT_EQ(Entities([](Drawing& d) { d.DxfPoint("PUNCTE_NOI", 500000.1234, -12.5); }),
              Crlf("  0\nPOINT\n  8\nPUNCTE_NOI\n 10\n500000.123\n 20\n   -12.500\n 30\n0\n"));
    EXPECT_EQ(Entities([](Drawing& d) { d.DxfLine("GRID", 1.0, 2.0, 3.0004, -4.0); }),
              Crlf("  0\nLINE\n  8\nGRID\n 10\n     1.000\n 20\n     2.000\n 30\n0\n"
                   " 11\n     3.000\n 21\n    -4.000\n 31\n0\n"));
    EXPECT_EQ(Entities([](Drawing& d) { d.DxfText("P 12", 90.0, "TEXTCOMUNE", 12.5, 10.0, 20.0); }),
              Crlf("  0\nTEXT\n  8\nTEXTCOMUNE\n 10\n    10.000\n 20\n    20.000\n 30\n0\n 40\n12.50\n"
                   "  1\nP 12\n 50\n 90.0000\n"));
    EXPECT_EQ(Entities([](Drawing& d) { d.DxfTextWide("x", 0.0, "TEXT", 1.0, 10.0, 20.0); }),
              Crlf("  0\nTEXT\n  8\nTEXT\n 10\n      10.000\n 20\n      20.000\n 30\n0\n 40\n 1.00\n"
                   "  1\nx\n 50\n  0.0000\n"));
}

TEST_F(DrawingTest, TargetIsFourCirclesFromTheOuterOne)
{
    const auto entities = Drawn([](Drawing& d) { d.DxfTarget("RARITE", 5.0, 6.0, 2.0); });
    ASSERT_EQ(entities.size(), 4u);
    const double radii[] = {2.0, 0.5, 1.0, 1.5};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(entities[i].type, "CIRCLE");
        EXPECT_EQ(entities[i].layer, "RARITE");
        EXPECT_EQ(entities[i].Number("10"), 5.0);
        EXPECT_EQ(entities[i].Number("20"), 6.0);
        EXPECT_EQ(entities[i].Number("40"), radii[i]);
    }
    EXPECT_TRUE(Entities([](Drawing& d) { d.DxfTarget("0", 1.0, 1.0, 1.0); })
                    .starts_with(Crlf("  0\nCIRCLE\n  8\n0\n 10\n     1.000\n 20\n     1.000\n 30\n0\n"
                                      " 40\n     1.000\n  0\nCIRCLE\n")));
}

TEST_F(DrawingTest, WideNumbersTakeMoreRoomAndLongLayersAreCut)
{
    const std::string text = Entities([](Drawing& d) { d.DxfPoint("A_LAYER_NAME_OF_20_C", 5000000.0, 123456789.125); });
    EXPECT_NE(text.find("\r\n  8\r\nA_LAYER_NAME_OF\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n 10\r\n5000000.000\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n 20\r\n123456789.125\r\n"), std::string::npos) << text;
}

TEST_F(DrawingTest, EndIsWrittenOnceAndNothingFollowsIt)
{
    Drawing drawing(path_);
    drawing.WriteDxfHead();
    drawing.WriteDxfEnd();
    drawing.DxfPoint("0", 1.0, 1.0);
    drawing.WriteDxfEnd();
    EXPECT_FALSE(drawing.IsOpen());
    EXPECT_EQ(ReadBytes(path_), Crlf(kHead) + kEnd);
}

TEST(BearingGons, QuadrantsAndAxes)
{
    EXPECT_NEAR(BearingGons(0.0, 1.0), 0.0, 1e-12);
    EXPECT_NEAR(BearingGons(1.0, 1.0), 50.0, 1e-12);
    EXPECT_NEAR(BearingGons(1.0, 0.0), 100.0, 1e-12);
    EXPECT_NEAR(BearingGons(1.0, -1.0), 150.0, 1e-12);
    EXPECT_NEAR(BearingGons(0.0, -1.0), 200.0, 1e-12);
    EXPECT_NEAR(BearingGons(-1.0, -1.0), 250.0, 1e-12);
    EXPECT_NEAR(BearingGons(-1.0, 0.0), 300.0, 1e-12);
    EXPECT_NEAR(BearingGons(-1.0, 1.0), 350.0, 1e-12);
    // Both branches of the steep/flat split against the atan2 direction.
    for (const auto& [e, n] : {std::pair{3.0, 4.0}, {4.0, 3.0}, {-4.0, 3.0}, {-3.0, -4.0}, {4.0, -3.0}}) {
        double expected = std::atan2(e, n) * 200.0 / std::numbers::pi;
        if (expected < 0.0)
            expected += 400.0;
        EXPECT_NEAR(BearingGons(e, n), expected, 1e-12) << e << "," << n;
    }
}

TEST(BearingGons, CoincidentPointsAreFatal)
{
    EXPECT_EQ(MessageOf([] { BearingGons(0.0, 0.0); }), "Eroare teta: dx=dy=0, => puncte confundate!");
    EXPECT_EQ(MessageOf([] { BearingGons(4e-11, -5e-11); }), "Eroare teta: dx=dy=0, => puncte confundate!");
    EXPECT_EQ(MessageOf([] { BearingGons(1e-10, 0.0); }), "");
}

// The three lines of an arrow from (x, y) to the tip, its barbs t long at 225 and 175 gons past
// the arrow's own direction.
void ExpectArrow(const std::vector<DxfEntity>& lines, const std::string& layer, double x, double y, double tipX,
                 double tipY)
{
    ASSERT_EQ(lines.size(), 3u);
    const double length = std::hypot(tipX - x, tipY - y);
    const double barb = length * std::sqrt(0.05);
    const double direction = std::atan2(tipX - x, tipY - y);
    const double ends[2][2] = {
        {tipX + barb * std::sin(direction + 225.0 * std::numbers::pi / 200.0),
         tipY + barb * std::cos(direction + 225.0 * std::numbers::pi / 200.0)},
        {tipX + barb * std::sin(direction + 175.0 * std::numbers::pi / 200.0),
         tipY + barb * std::cos(direction + 175.0 * std::numbers::pi / 200.0)}};
    for (const DxfEntity& line : lines) {
        EXPECT_EQ(line.type, "LINE");
        EXPECT_EQ(line.layer, layer);
    }
    EXPECT_NEAR(lines[0].Number("10"), x, 5e-4);
    EXPECT_NEAR(lines[0].Number("20"), y, 5e-4);
    EXPECT_NEAR(lines[0].Number("11"), tipX, 5e-4);
    EXPECT_NEAR(lines[0].Number("21"), tipY, 5e-4);
    for (int b = 0; b < 2; ++b) {
        EXPECT_NEAR(lines[1 + b].Number("10"), tipX, 5e-4);
        EXPECT_NEAR(lines[1 + b].Number("20"), tipY, 5e-4);
        EXPECT_NEAR(lines[1 + b].Number("11"), ends[b][0], 5e-4);
        EXPECT_NEAR(lines[1 + b].Number("21"), ends[b][1], 5e-4);
    }
}

TEST_F(DrawingTest, ArrowIsOnePointFiveScalesPerMetre)
{
    ExpectArrow(Drawn([](Drawing& d) { d.DxfArrow('L', 100.0, 0.3, -0.4, 1000.0, 2000.0); }), "DISTORSIUNI", 1000.0,
                2000.0, 1045.0, 1940.0);
}

TEST_F(DrawingTest, ArrowLettersPickTheLayer)
{
    const std::pair<char, const char*> letters[] = {
        {'L', "DISTORSIUNI"}, {'R', "DISTORSIUNIR"}, {'H', "DISTORSIUNIH"}, {'I', "RARITEH"}, {'J', "RARITER"}};
    for (const auto& [letter, layer] : letters) {
        const char l = letter;
        const auto lines = Drawn([&](Drawing& d) { d.DxfArrow(l, 10.0, 1.0, 1.0, 0.0, 0.0); });
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_EQ(lines[0].layer, layer);
    }
    EXPECT_TRUE(Drawn([](Drawing& d) { d.DxfArrow('X', 10.0, 1.0, 1.0, 0.0, 0.0); }).empty());
    EXPECT_TRUE(Drawn([](Drawing& d) { d.DxfArrow('l', 10.0, 1.0, 1.0, 0.0, 0.0); }).empty());
}

TEST_F(DrawingTest, VanishingArrowComponentsBecomeTinyPositiveOnes)
{
    // dE = 0 and a small positive dN both become 1e-6: a tiny arrow at 50 gons.
    const double f = 1.5 * 1e6;
    ExpectArrow(Drawn([](Drawing& d) { d.DxfArrow('L', 1e6, 0.0, 5e-7, 10.0, 20.0); }), "DISTORSIUNI", 10.0, 20.0,
                10.0 + f * 1e-6, 20.0 + f * 1e-6);
    // A negative dE of -1e-7 becomes +1e-6: the arrow turns to the East side.
    ExpectArrow(Drawn([](Drawing& d) { d.DxfArrow('L', 1e6, -1e-7, 1.0, 10.0, 20.0); }), "DISTORSIUNI", 10.0, 20.0,
                10.0 + f * 1e-6, 20.0 + f);
}

TEST_F(DrawingTest, HeightArrowPointsUpOrDown)
{
    ExpectArrow(Drawn([](Drawing& d) { d.DxfHeightArrow('H', 100.0, -0.2, 50.0, 40.0); }), "DISTORSIUNIH", 40.0, 50.0,
                40.0, 20.0);
    ExpectArrow(Drawn([](Drawing& d) { d.DxfHeightArrow('R', 100.0, 0.1, 50.0, 40.0); }), "DISTORSIUNIR", 40.0, 50.0,
                40.0, 65.0);
    EXPECT_TRUE(Drawn([](Drawing& d) { d.DxfHeightArrow('L', 100.0, 0.0, 50.0, 40.0); }).empty());
    // The excluded points' letters have no height arrow.
    EXPECT_TRUE(Drawn([](Drawing& d) { d.DxfHeightArrow('I', 100.0, 0.5, 50.0, 40.0); }).empty());
    EXPECT_TRUE(Drawn([](Drawing& d) { d.DxfHeightArrow('J', 100.0, 0.5, 50.0, 40.0); }).empty());
}

TEST_F(DrawingTest, HeightArrowTooSmallForABearingIsStillDrawn)
{
    std::vector<DxfEntity> lines;
    EXPECT_EQ(MessageOf([&] { lines = Drawn([](Drawing& d) { d.DxfHeightArrow('L', 10.0, -1e-12, 5.0, 4.0); }); }),
              "");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].Number("11"), 4.0);
}

} // namespace
} // namespace velmora
