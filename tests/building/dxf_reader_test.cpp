// A drawing of a whole grid generation, boundary marking and every kind of arrow and text, read
// back by GDAL's ogrinfo (when it is installed): every entity must be read, on its layer.
#include "building/BoundaryPolygon.h"
#include "building/GridGeneration.h"

#include "BuildingTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>

namespace velmora {
namespace {

using test::TempDir;

// Standard output of a shell command; empty when it could not be run.
std::string Output(const std::string& command)
{
    std::string out;
    const std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe)
        return out;
    std::array<char, 4096> buffer{};
    while (const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe.get()))
        out.append(buffer.data(), n);
    return out;
}

bool OgrinfoInstalled()
{
    return std::system("command -v ogrinfo > /dev/null 2>&1") == 0;
}

TEST(DxfReader, OgrinfoReadsEveryEntityOnItsLayer)
{
    if (!OgrinfoInstalled())
        GTEST_SKIP() << "ogrinfo (Debian package gdal-bin) is not installed: the drawing is not checked by a DXF reader";

    TempDir dir;
    test::WriteBytes(dir / "model.txt", test::ReadBytes(test::FixturePath("plane_model.txt")));
    BuildRun run;
    test::StartRun(run, dir.Path(), dir / "model.txt");
    GenerateGrid(run);
    MarkGridNodes(run);
    Drawing& drawing = *run.drawing;
    const double x = run.grid.East(3);
    const double y = run.grid.North(4);
    for (const char letter : {'L', 'R', 'H', 'I', 'J'})
        drawing.DxfArrow(letter, run.grid.step, 0.12, -0.05, x, y);
    for (const char letter : {'L', 'R', 'H'})
        drawing.DxfHeightArrow(letter, run.grid.step, -0.08, y, x);
    drawing.DxfPoint(kLayerNewPoints, x + 10.0, y + 10.0);
    drawing.DxfText("N1", 0.0, kLayerNewText, run.labelHeight, x + 10.0, y + 10.0);
    drawing.DxfText("( 0.120,-0.050)", 0.0, kLayerDistortionText, run.labelHeight, x, y);
    drawing.DxfTextWide("Model de proba", 0.0, kLayerText, run.labelHeight, x, y - 100.0);
    drawing.WriteDxfEnd();

    const auto written = test::CountByLayer(test::ReadDxfEntities(run.drawingPath));
    ASSERT_EQ(written.size(), 16u) << "every layer of the table is drawn on";

    const std::string listing = Output("ogrinfo -ro -al '" + run.drawingPath.string() + "' 2>&1");
    ASSERT_NE(listing.find("Feature Count"), std::string::npos) << listing.substr(0, 2000);
    EXPECT_EQ(listing.find("ERROR"), std::string::npos) << listing.substr(0, 2000);
    std::map<std::string, int> read;
    // Each feature lists its layer as "  Layer (String) = NAME".
    constexpr std::string_view kLayerField = "Layer (String) = ";
    std::istringstream lines(listing);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t start = line.find_first_not_of(' ');
        if (start != std::string::npos && std::string_view(line).substr(start).starts_with(kLayerField))
            ++read[line.substr(start + kLayerField.size())];
    }
    EXPECT_EQ(read, written);
}

} // namespace
} // namespace velmora
