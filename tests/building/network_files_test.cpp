#include "building/GridTextConversion.h"
#include "building/NetworkAdjustment.h"

#include "building/NetworkTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace velmora {
namespace {

using test::CommonPoint;
using test::MakeFrame;
using test::NetworkRun;

// 4 x 4 cells; the first column lies outside the zone.
const GridFrame kFrame = MakeFrame(5000.0, 7000.0, 100.0, 4, 4);

char FirstColumnOutside(int, int c)
{
    return c == 0 ? 'E' : 'I';
}

// Points spread over the grid, all with the same distortion.
std::vector<PointRecord> ConstantField(double dE, double dN, double dZ, char kind)
{
    std::vector<PointRecord> points;
    for (const auto& [e, n] : std::vector<std::pair<double, double>>{
             {5030, 7040}, {5370, 7060}, {5150, 7250}, {5280, 7330}, {5060, 7380}, {5390, 7370}, {5210, 7120}}) {
        points.push_back(CommonPoint("P", e, n, dE, dN, dZ, kind));
    }
    return points;
}

std::size_t Count(const std::string& text, const std::string& what)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

// The value lines the adjustment appends: one per node, 999.0 for the nodes outside the zone.
std::string ValueLines(const std::string& inside, const std::string& outside)
{
    std::string lines;
    for (int r = 0; r <= kFrame.nN; ++r) {
        for (int c = 0; c <= kFrame.nE; ++c) {
            lines += (FirstColumnOutside(r, c) == 'E' ? outside : inside) + "\r\n";
        }
    }
    return lines;
}

std::string Doubles(const std::vector<double>& values)
{
    std::string bytes(values.size() * sizeof(double), '\0');
    std::memcpy(bytes.data(), values.data(), bytes.size());
    return bytes;
}

TEST(NetworkFiles, PlaneRunWritesValueLinesLabelsArrowsAndTheBinaryGrid)
{
    NetworkRun net(kFrame, ConstantField(0.05, -0.03, 0.0, 'P'), FirstColumnOutside);
    std::vector<std::uint64_t> progress;
    net.run.progress = [&progress](std::uint64_t done, std::uint64_t total) {
        EXPECT_EQ(total, 100u);
        EXPECT_TRUE(progress.empty() || done >= progress.back());
        progress.push_back(done);
    };
    AdjustDistortionNetwork(net.run);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), 100u);

    EXPECT_EQ(test::ReadBytes(net.run.gridTextPath),
              test::GridTextHeader(kFrame) + ValueLines("   0.050000   -0.030000", " 999.000000  999.000000"));

    std::vector<double> binary{5000.0, 5400.0, 7000.0, 7400.0, 100.0, 100.0};
    for (int r = 0; r <= kFrame.nN; ++r) {
        for (int c = 0; c <= kFrame.nE; ++c) {
            const bool outside = FirstColumnOutside(r, c) == 'E';
            binary.push_back(outside ? 999.0 : 0.05);
            binary.push_back(outside ? 999.0 : -0.03);
        }
    }
    EXPECT_TRUE(test::ReadBytes(net.dir / "ZONAJ.GRD") == Doubles(binary));

    // A label and an arrow (three lines) at every node inside the zone, an arrow at every common point.
    const std::string drawing = net.Drawing();
    EXPECT_EQ(Count(drawing, "  8\r\nDIST_TXT\r\n"), 20u);
    EXPECT_EQ(Count(drawing, "  1\r\n( 0.050,-0.030)\r\n"), 20u);
    EXPECT_EQ(Count(drawing, "LINE\r\n  8\r\nDISTORSIUNI\r\n"), 3u * (20 + 7));
    EXPECT_NE(drawing.find("TEXT\r\n  8\r\nDIST_TXT\r\n 10\r\n  5100.000\r\n 20\r\n  7000.000\r\n 30\r\n0\r\n 40\r\n 2.50\r\n"
                           "  1\r\n( 0.050,-0.030)\r\n 50\r\n  0.0000\r\n"),
              std::string::npos);
}

TEST(NetworkFiles, ThreeDimensionalRunAdjustsThreeComponentsWithoutABinaryGrid)
{
    NetworkRun net(kFrame, ConstantField(0.01, 0.02, -0.05, 'G'), FirstColumnOutside);
    AdjustDistortionNetwork(net.run);
    for (const PointRecord& node : net.Nodes()) {
        EXPECT_NEAR(node.residual[2], -0.05, 1e-10);
    }
    EXPECT_EQ(test::ReadBytes(net.run.gridTextPath),
              test::GridTextHeader(kFrame)
                  + ValueLines("   0.010000    0.020000   -0.050000", " 999.000000  999.000000  999.000000"));
    EXPECT_FALSE(std::filesystem::exists(net.dir / "ZONAJ.GRD"));
    EXPECT_EQ(Count(net.Drawing(), "  1\r\n( 0.010, 0.020,-0.050)\r\n"), 20u);
}

TEST(NetworkFiles, QuasigeoidRunAdjustsTheThirdComponentAlone)
{
    NetworkRun net(kFrame, ConstantField(0.0, 0.0, 0.3, 'P'), FirstColumnOutside);
    net.run.transformationCode = ',';
    AdjustDistortionNetwork(net.run);
    for (const PointRecord& node : net.Nodes()) {
        EXPECT_EQ(node.residual[0], 0.0);
        EXPECT_NEAR(node.residual[2], 0.3, 1e-10);
        EXPECT_EQ(node.modelWork3[0], 0.0);
    }
    EXPECT_EQ(test::ReadBytes(net.run.gridTextPath), test::GridTextHeader(kFrame) + ValueLines("   0.300000", " 999.000000"));
    EXPECT_FALSE(std::filesystem::exists(net.dir / "ZONAJ.GRD"));
    const std::string drawing = net.Drawing();
    EXPECT_EQ(Count(drawing, "  1\r\n( 0.300)\r\n"), 20u);
    // Height arrows at the nodes, plane arrows of the (vanishing) distortions at the common points.
    EXPECT_EQ(Count(drawing, "LINE\r\n  8\r\nDISTORSIUNI\r\n"), 3u * (20 + 7));
}

TEST(GridTextConversion, BinaryGridFromTheGridTextFile)
{
    EXPECT_EQ(BinaryGridPath("/data/ZONA.GRD"), std::filesystem::path("/data/ZONAJ.GRD"));

    test::TempDir dir;
    const GridFrame frame = MakeFrame(100.0, 200.0, 50.0, 1, 1);
    // Numbers as the number rule reads them: signs, commas, text around them.
    test::WriteBytes(dir / "Z.GRT", test::GridTextHeader(frame)
                                        + "   0.001000   -0.002000\r\n+1.5,-2\r\n dE=0.25 dN=.5 m\r\n999.0 999.0\r\n");
    EXPECT_EQ(ConvertGridTextToBinary(dir / "Z.GRT", dir / "Z.GRD"), dir / "ZJ.GRD");
    EXPECT_TRUE(test::ReadBytes(dir / "ZJ.GRD")
                == Doubles({100.0, 150.0, 200.0, 250.0, 50.0, 50.0, 0.001, -0.002, 1.5, -2.0, 0.25, 0.5, 999.0, 999.0}));
}

TEST(GridTextConversion, MissingOrBadNumbersStopWithoutABinaryGrid)
{
    test::TempDir dir;
    const GridFrame frame = MakeFrame(100.0, 200.0, 50.0, 1, 1);
    const auto expectError = [&dir](const std::string& text, const std::string& line) {
        test::WriteBytes(dir / "Z.GRT", text);
        try {
            ConvertGridTextToBinary(dir / "Z.GRT", dir / "Z.GRD");
            ADD_FAILURE() << "no error";
        } catch (const FatalError& error) {
            EXPECT_EQ(std::string(error.what()), "Eroare: fisierul grid text " + (dir / "Z.GRT").string()
                                                     + " are o valoare lipsa sau nenumerica la randul " + line + "!");
        }
        EXPECT_FALSE(std::filesystem::exists(dir / "ZJ.GRD"));
    };
    const std::string header = test::GridTextHeader(frame);
    // Four value lines are due: the fourth is missing, then the third has one number only.
    expectError(header + "0 0\r\n0 0\r\n0 0\r\n", "25");
    expectError(header + "0 0\r\n0 0\r\n0.5\r\n0 0\r\n", "24");
    // A header value that is no number.
    std::string badStep = header;
    badStep.replace(badStep.find("     50.000"), 11, "   cincizeci");
    expectError(badStep + "0 0\r\n0 0\r\n0 0\r\n0 0\r\n", "14");
    // A node count far beyond the lines there are.
    std::string manyNodes = header;
    manyNodes.replace(manyNodes.find("\r\n4\r\n"), 5, "\r\n2000000000\r\n");
    expectError(manyNodes + "0 0\r\n0 0\r\n0 0\r\n0 0\r\n", "26");
    expectError("", "6");
}

} // namespace
} // namespace velmora
