// The reader behind the picture of a model drawing: it reads back what the program's drawing
// writes (the layer colours of the table and every entity on its layer), lengthens arrows about
// their anchors, and refuses a file that is not a drawing.
#include "DxfScene.h"

#include "building/Drawing.h"
#include "support/PointFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <stdexcept>

namespace velmora::picture {
namespace {

using Kind = DxfEntity::Kind;

std::vector<DxfEntity> OnLayer(const DxfScene& scene, const std::string& layer)
{
    std::vector<DxfEntity> entities;
    std::copy_if(scene.entities.begin(), scene.entities.end(), std::back_inserter(entities),
                 [&](const DxfEntity& e) { return e.layer == layer; });
    return entities;
}

DxfScene WrittenDrawing(const std::function<void(Drawing&)>& draw)
{
    test::TempDir dir;
    {
        Drawing drawing(dir / "model.DXF");
        drawing.WriteDxfHead();
        draw(drawing);
        drawing.WriteDxfEnd();
    }
    std::istringstream text(test::ReadBytes(dir / "model.DXF"));
    return ReadDxf(text);
}

TEST(DxfScene, ReadsBackWhatTheDrawingWrites)
{
    const DxfScene scene = WrittenDrawing([](Drawing& d) {
        d.DxfLine(kLayerGrid, 576000.0, 315000.0, 576000.0, 338000.0);
        d.DxfPoint(kLayerNewPoints, 588123.456, 326543.21);
        d.DxfTarget(kLayerNewPoints, 588123.456, 326543.21, 25.0);
        d.DxfText("UNIRII", 0.0, kLayerNewText, 62.5, 588185.956, 326543.21);
        d.DxfText("576000", 90.0, kLayerZero, 62.5, 576000.0, 315000.0);
        d.DxfArrow('H', 500.0, 0.03, -0.02, 588000.0, 326000.0);
    });

    // The table: all sixteen layers with their colour indices.
    EXPECT_EQ(scene.layerColours.size(), 16u);
    EXPECT_EQ(scene.layerColours.at(kLayerGrid), 3);
    EXPECT_EQ(scene.layerColours.at(kLayerBoundary), 10);
    EXPECT_EQ(scene.layerColours.at(kLayerDistortion), 6);
    EXPECT_EQ(scene.layerColours.at(kLayerNewPoints), 5);

    ASSERT_EQ(scene.entities.size(), 1u + 1u + 4u + 2u + 3u);
    const DxfEntity& grid = scene.entities.front();
    EXPECT_EQ(grid.kind, Kind::Line);
    EXPECT_EQ(grid.layer, kLayerGrid);
    EXPECT_EQ(grid.y2, 338000.0);
    const auto newPoints = OnLayer(scene, kLayerNewPoints);
    ASSERT_EQ(newPoints.size(), 5u);
    EXPECT_EQ(newPoints[0].kind, Kind::Point);
    EXPECT_DOUBLE_EQ(newPoints[0].x1, 588123.456);
    EXPECT_EQ(newPoints[1].kind, Kind::Circle);
    EXPECT_DOUBLE_EQ(newPoints[1].size, 25.0);
    const auto label = OnLayer(scene, kLayerZero);
    ASSERT_EQ(label.size(), 1u);
    EXPECT_EQ(label[0].text, "576000");
    EXPECT_EQ(label[0].angle, 90.0);
    EXPECT_EQ(OnLayer(scene, kLayerNewText)[0].text, "UNIRII");
    EXPECT_EQ(OnLayer(scene, kLayerDistortionHelmert).size(), 3u);
}

// A 3 cm East, 2 cm South arrow drawn at 1.5 x 500 m per metre: 22.5 m East, 15 m South. Twenty
// times longer, it keeps its anchor and its shape.
TEST(DxfScene, LengthensArrowsAboutTheirAnchors)
{
    DxfScene scene = WrittenDrawing([](Drawing& d) {
        d.DxfArrow('H', 500.0, 0.03, -0.02, 588000.0, 326000.0);
        d.DxfArrow('H', 500.0, -0.01, 0.04, 590000.0, 320000.0);
        d.DxfArrow('L', 500.0, 0.002, 0.001, 580000.0, 330000.0);
    });
    const DxfScene original = scene;
    ExaggerateArrows(scene, kLayerDistortionHelmert, 20.0);

    const auto arrows = OnLayer(scene, kLayerDistortionHelmert);
    const auto before = OnLayer(original, kLayerDistortionHelmert);
    ASSERT_EQ(arrows.size(), 6u);
    EXPECT_DOUBLE_EQ(arrows[0].x1, 588000.0);
    EXPECT_DOUBLE_EQ(arrows[0].y1, 326000.0);
    EXPECT_NEAR(arrows[0].x2, 588000.0 + 20.0 * 22.5, 1e-3);
    EXPECT_NEAR(arrows[0].y2, 326000.0 - 20.0 * 15.0, 1e-3);
    for (std::size_t k = 0; k < arrows.size(); ++k) {
        const double ax = before[k / 3 * 3].x1;
        const double ay = before[k / 3 * 3].y1;
        EXPECT_NEAR(arrows[k].x2 - ax, 20.0 * (before[k].x2 - ax), 1e-6) << k;
        EXPECT_NEAR(arrows[k].y1 - ay, 20.0 * (before[k].y1 - ay), 1e-6) << k;
    }
    // The barbs start at the new tip; other layers stay as they were.
    EXPECT_DOUBLE_EQ(arrows[1].x1, arrows[0].x2);
    EXPECT_DOUBLE_EQ(arrows[2].y1, arrows[0].y2);
    EXPECT_DOUBLE_EQ(OnLayer(scene, kLayerDistortion)[0].x2, OnLayer(original, kLayerDistortion)[0].x2);

    // Lines that are not arrows of three are refused.
    DxfScene lines = WrittenDrawing([](Drawing& d) { d.DxfLine(kLayerGrid, 0.0, 0.0, 1.0, 1.0); });
    EXPECT_THROW(ExaggerateArrows(lines, kLayerGrid, 2.0), std::runtime_error);
}

TEST(DxfScene, RefusesWhatIsNotADrawing)
{
    for (const char* text : {"  0\nSECTION\nENTITIES\n", "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n 10\n",
                             "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n 10\nabc\n"}) {
        std::istringstream in(text);
        EXPECT_THROW(ReadDxf(in), std::runtime_error) << text;
    }
    // Entities of other kinds and other sections are passed over.
    std::istringstream in("  0\nSECTION\n  2\nHEADER\n  0\nLINE\n  8\nX\n  0\nENDSEC\n  0\nSECTION\n  2\nENTITIES\n"
                          "  0\nARC\n  8\nX\n  0\nPOINT\n  8\nY\n 10\n1.5\n  0\nENDSEC\n  0\nEOF\n");
    const DxfScene scene = ReadDxf(in);
    ASSERT_EQ(scene.entities.size(), 1u);
    EXPECT_EQ(scene.entities[0].layer, "Y");
    EXPECT_EQ(scene.entities[0].x1, 1.5);
}

} // namespace
} // namespace velmora::picture
