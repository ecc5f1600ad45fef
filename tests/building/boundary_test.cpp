// The boundary polygon: points on vertices and edges, rays through vertices that cross or only
// touch the boundary, horizontal and degenerate edges, starred vertices, and the node statuses
// and zone cells of a grid.
#include "building/BoundaryPolygon.h"
#include "building/GridGeneration.h"

#include "BuildingTestSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace velmora {
namespace {

using test::MessageOf;
using test::TempDir;

using Polygon = std::vector<PlanePoint>;

char At(const Polygon& polygon, double east, double north)
{
    return PointInBoundary(polygon, {east, north});
}

TEST(PointInBoundary, OnVerticesAndEdgesIsInside)
{
    const Polygon square{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    EXPECT_EQ(At(square, 5, 5), 'I');
    EXPECT_EQ(At(square, 0, 0), 'I');
    EXPECT_EQ(At(square, 10, 10), 'I');
    EXPECT_EQ(At(square, -0.00005, 0.00003), 'I'); // within 0.0001 of a vertex
    EXPECT_EQ(At(square, 5, 0), 'I');               // on a horizontal edge
    EXPECT_EQ(At(square, 10, 5), 'I');              // on a vertical edge
    EXPECT_EQ(At(square, 10.0002, 5), 'E');
    EXPECT_EQ(At(square, 5, -0.0002), 'E');
    EXPECT_EQ(At(square, -5, 5), 'E');
    EXPECT_EQ(At(square, 15, 5), 'E');
    // The tolerance of an edge reaches only as far as the edge's bounding box: nothing beside a
    // vertical or horizontal edge, a band along a slanted one.
    EXPECT_EQ(At(square, 10.00005, 5), 'E');
    EXPECT_EQ(At(square, 5, 10.00005), 'E');
    const Polygon slanted{{0, 0}, {10, 5}, {0, 10}};
    EXPECT_EQ(At(slanted, 6, 3), 'I');              // on the edge (0,0)-(10,5)
    EXPECT_EQ(At(slanted, 6, 2.99997), 'I');        // East of the edge by 0.00006
    EXPECT_EQ(At(slanted, 6, 2.9998), 'E');
}

TEST(PointInBoundary, RayThroughAVertexCountsOnlyWhenTheBoundaryCrosses)
{
    // Diamond: the ray from the left point passes through two crossing vertices, the one from the
    // inside point through one.
    const Polygon diamond{{5, 0}, {10, 5}, {5, 10}, {0, 5}};
    EXPECT_EQ(At(diamond, 2, 5), 'I');
    EXPECT_EQ(At(diamond, -2, 5), 'E');
    EXPECT_EQ(At(diamond, 11, 5), 'E');

    // A notch whose bottom vertex (5,5) touches the ray from both sides above it.
    const Polygon notch{{0, 0}, {10, 0}, {10, 10}, {5, 5}, {0, 10}};
    EXPECT_EQ(At(notch, 2, 5), 'I');
    EXPECT_EQ(At(notch, -1, 5), 'E');
    EXPECT_EQ(At(notch, 5, 7), 'E');
    // The same touching from below.
    const Polygon peak{{0, 0}, {5, 5}, {10, 0}, {10, 10}, {0, 10}};
    EXPECT_EQ(At(peak, 2, 5), 'I');
    EXPECT_EQ(At(peak, -1, 5), 'E');
    EXPECT_EQ(At(peak, 5, 3), 'E');

    EXPECT_EQ(EdgeCrossing({2, 5}, {10, 5}, {5, 10}).code, 'S');
    EXPECT_EQ(EdgeCrossing({2, 5}, {5, 0}, {10, 5}).code, 'J');
    EXPECT_EQ(EdgeCrossing({2, 5}, {5, 0}, {10, 5}).count, 0);
}

TEST(PointInBoundary, HorizontalAndDegenerateEdges)
{
    // The ray runs along the step's horizontal edge: it never counts, its two ends decide.
    const Polygon step{{0, 0}, {10, 0}, {10, 5}, {20, 5}, {20, 10}, {0, 10}};
    EXPECT_EQ(At(step, 5, 5), 'I');
    EXPECT_EQ(At(step, 15, 5), 'I');          // on the horizontal edge
    EXPECT_EQ(At(step, 15, 4), 'E');
    EXPECT_EQ(At(step, -5, 5), 'E');
    EXPECT_EQ(EdgeCrossing({5, 5}, {10, 5}, {20, 5}).code, 'V');
    EXPECT_EQ(EdgeCrossing({5, 5}, {10, 5}, {20, 5}).count, 0);

    // Repeated vertices change nothing.
    const Polygon repeated{{0, 0}, {10, 0}, {10, 0}, {10, 10}, {10, 10.00001}, {0, 10}, {0, 0}};
    for (const PlanePoint p : {PlanePoint{5, 5}, {-1, 5}, {5, 0}, {11, 0}, {10, 10}}) {
        EXPECT_EQ(At(repeated, p.east, p.north), At({{0, 0}, {10, 0}, {10, 10}, {0, 10}}, p.east, p.north))
            << p.east << "," << p.north;
    }
}

// Away from the boundary the answer is the winding number's.
TEST(PointInBoundary, AgreesWithTheWindingNumberOffTheBoundary)
{
    // A concave outline with vertices on shared Norths, so that many rays pass through vertices.
    const Polygon outline{{0, 0}, {4, 0}, {4, 2}, {6, 2}, {6, 0}, {10, 0}, {10, 4}, {8, 6},
                          {10, 8}, {6, 8}, {5, 6}, {4, 8}, {0, 8}, {2, 4}};
    const auto winding = [&](PlanePoint p) {
        double turn = 0.0;
        for (std::size_t i = 0; i < outline.size(); ++i) {
            const PlanePoint a = outline[i];
            const PlanePoint b = outline[(i + 1) % outline.size()];
            turn += std::atan2((a.east - p.east) * (b.north - p.north) - (a.north - p.north) * (b.east - p.east),
                               (a.east - p.east) * (b.east - p.east) + (a.north - p.north) * (b.north - p.north));
        }
        return std::fabs(turn) > 3.0 ? 'I' : 'E';
    };
    const auto nearBoundary = [&](PlanePoint p) {
        for (std::size_t i = 0; i < outline.size(); ++i) {
            const PlanePoint a = outline[i];
            const PlanePoint b = outline[(i + 1) % outline.size()];
            const double ex = b.east - a.east;
            const double ny = b.north - a.north;
            const double t = std::clamp(((p.east - a.east) * ex + (p.north - a.north) * ny) / (ex * ex + ny * ny), 0.0, 1.0);
            if (std::hypot(a.east + t * ex - p.east, a.north + t * ny - p.north) < 0.001)
                return true;
        }
        return false;
    };
    std::mt19937 random(7);
    std::uniform_real_distribution<double> east(-1.0, 11.0);
    std::uniform_int_distribution<int> row(-1, 9);
    int checked = 0;
    for (int n = 0; n < 4000; ++n) {
        // Half the points on the Norths of the vertices.
        const PlanePoint p{east(random), n % 2 == 0 ? static_cast<double>(row(random)) : east(random) - 1.0};
        if (nearBoundary(p))
            continue;
        ++checked;
        ASSERT_EQ(At(outline, p.east, p.north), winding(p)) << p.east << "," << p.north;
    }
    EXPECT_GT(checked, 3000);
}

class BoundaryFiles : public ::testing::Test {
protected:
    void WriteContour(const std::vector<std::tuple<std::string, double, double>>& vertices)
    {
        ContourFile file = ContourFile::Create(polygon_);
        for (const auto& [name, east, north] : vertices) {
            ContourVertex v{};
            v.name.Assign(name);
            v.east = east;
            v.north = north;
            file.Append(v);
        }
        file.Close();
    }

    TempDir dir_;
    std::filesystem::path polygon_ = dir_ / "POLIGON.REC";
};

TEST_F(BoundaryFiles, StarredVerticesWidenTheExtentAndLeaveThePolygon)
{
    WriteContour({{"A", 10, 20}, {"*far", 50, -5}, {"B", 30, 20}, {"c 1", 30, 40}, {"*", 0, 45}});
    const Extent e = PrepareBoundaryPolygon(polygon_);
    EXPECT_EQ(e.minE, 0);
    EXPECT_EQ(e.maxE, 50);
    EXPECT_EQ(e.minN, -5);
    EXPECT_EQ(e.maxN, 45);
    ContourFile file = ContourFile::OpenForUpdate(polygon_);
    ASSERT_EQ(file.Size(), 3u);
    EXPECT_EQ(file.Read(0).name.View(), "A");
    EXPECT_EQ(file.Read(2).name.View(), "c 1");
    EXPECT_EQ(file.Read(2).north, 40);
}

TEST_F(BoundaryFiles, TooFewVertices)
{
    WriteContour({{"A", 0, 0}, {"B", 1, 0}});
    EXPECT_EQ(MessageOf([&] { PrepareBoundaryPolygon(polygon_); }), "Eroare: Nr. puncte poligon <3!");
    WriteContour({{"A", 0, 0}, {"*B", 1, 0}, {"C", 1, 1}, {"*D", 0, 1}});
    EXPECT_EQ(MessageOf([&] { PrepareBoundaryPolygon(polygon_); }), "Eroare: Nr. puncte poligon fara * <3!");
    EXPECT_EQ(ContourFile::OpenForUpdate(polygon_).Size(), 4u);
    WriteContour({{"A", 0, 0}, {"B", 1, 0}, {"C", 1, 1}});
    const Extent e = PrepareBoundaryPolygon(polygon_);
    EXPECT_EQ(e.maxE, 1);
    EXPECT_EQ(ContourFile::OpenForUpdate(polygon_).Size(), 3u);
}

// A 7 x 7 node grid of interval 1 from (0, 0) and a square zone from (0.5, 0.5) to (3.5, 3.5):
// nodes 1..3 each way are inside, the ring of cells around them turns its outside nodes to 'G'.
class MarkNodes : public BoundaryFiles {
protected:
    void SetUp() override
    {
        WriteContour({{"A", 0.5, 0.5}, {"B", 3.5, 0.5}, {"C", 3.5, 3.5}, {"D", 0.5, 3.5}});
        run_.workDir = dir_.Path();
        run_.nodeGridPath = dir_ / "z.GRD";
        run_.drawing.emplace(dir_ / "z.DXF");
        run_.drawing->WriteDxfHead();
        SetUpGridNodes({0, 0, 6, 6}, 1.0, 1e-9, run_.nodeGridPath);
    }

    std::string Statuses()
    {
        std::string rows;
        const auto nodes = test::ReadPoints(run_.nodeGridPath);
        for (int r = 6; r >= 0; --r) {
            for (int c = 0; c <= 6; ++c)
                rows += nodes.at(static_cast<std::size_t>(7 * r + c)).pointState;
            rows += '\n';
        }
        return rows;
    }

    BuildRun run_;
};

TEST_F(MarkNodes, StatusLettersAndZoneCells)
{
    MarkGridNodes(run_);
    EXPECT_EQ(Statuses(), "EEEEEEE\n"
                          "EEEEEEE\n"
                          "GGGGGEE\n"
                          "GIIIGEE\n"
                          "GIIIGEE\n"
                          "GIIIGEE\n"
                          "GGGGGEE\n");
    run_.drawing->WriteDxfEnd();
    const auto entities = test::ReadDxfEntities(dir_ / "z.DXF");
    // 24 joins between neighbouring inside nodes; 8 border nodes mark 4 cells each, of which 12
    // lie wholly inside (the inner four cells, three times each) and draw nothing; each vertex
    // marks its corner cell again.
    EXPECT_EQ(entities.size(), 24u + 4u * (32u - 12u) + 4u * 4u);
    EXPECT_EQ(test::CountByLayer(entities)["DISTCELL"], static_cast<int>(entities.size()));
    // Node (1, 1) comes first: its two joins, then the cell under its lower-left corner, drawn
    // lower-left, lower-right, upper-right, upper-left.
    const auto& first = entities.at(2);
    EXPECT_EQ(first.Number("10"), 0.0);
    EXPECT_EQ(first.Number("20"), 0.0);
    EXPECT_EQ(first.Number("11"), 1.0);
    EXPECT_EQ(first.Number("21"), 0.0);
    EXPECT_EQ(entities.at(3).Number("11"), 1.0);
    EXPECT_EQ(entities.at(3).Number("21"), 1.0);
    EXPECT_EQ(entities.at(4).Number("11"), 0.0);
    EXPECT_EQ(entities.at(4).Number("21"), 1.0);
}

TEST_F(MarkNodes, MissingOrEmptyNodeGrid)
{
    const auto missing = dir_ / "none.GRD";
    run_.nodeGridPath = missing;
    EXPECT_EQ(MessageOf([&] { MarkGridNodes(run_); }), "Eroare deschidere fis. " + missing.string() + "!");
    run_.nodeGridPath = dir_ / "empty.GRD";
    PointFile::Create(run_.nodeGridPath).Close();
    EXPECT_EQ(MessageOf([&] { MarkGridNodes(run_); }), "");
    // A file that is not a grid is refused rather than read out of its bounds.
    test::WritePoints(run_.nodeGridPath, {PointRecord{}, PointRecord{}, PointRecord{}});
    EXPECT_NE(MessageOf([&] { MarkGridNodes(run_); }), "");
}

} // namespace
} // namespace velmora
