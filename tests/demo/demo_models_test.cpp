// The Bucharest distortion models in data/demo. They are what the program's own model building
// makes of the shipped model-building sources, byte for byte. Run through the commands of codes
// '5' and '6', they agree inside the model zone with the dispatcher's own route between the two
// systems (transformation types 5 and 6, through ETRS89) to within a centimetre, at points spread
// over the zone and at the sample points; and every point of the grid's surroundings is either
// transformed or listed as exterior, none ending the command.
#include "cli/CliRun.h"
#include "core/CorrectionGrid.h"
#include "core/CoreEnv.h"
#include "core/TransformPoint.h"
#include "files/NumberText.h"
#include "files/RecordFile.h"
#include "model/ModelParameters.h"
#include "model/ModelTestSupport.h"
#include "model/NodeGrid.h"
#include "support/PointFiles.h"
#include "support/TestSupport.h"
#include "support/Transform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace velmora {
namespace {

namespace fs = std::filesystem;

const fs::path kDemoDir = VELMORA_DEMO_DATA_DIR;

struct ModelCase {
    char code;
    const char* stem; // the model's files: stem.GRD, stem.PAR, and its source stem.txt
    TransformationType routeType;
    bool sourceNorthFirst; // the source file gives North before East (Stereo70)
    bool routeNorthFirst;  // the route gives North before East (Stereo70)
    const char* sample;    // the sample source of the command in samples/
};

const ModelCase kModels[] = {
    {'5', "Stereo30_Stereo70_2D", TransformationType::Stereo30ToStereo70, false, true, "5_stereo30-stereo70"},
    {'6', "Stereo70_Stereo30_2D", TransformationType::Stereo70ToStereo30, true, false, "6_stereo70-stereo30"},
};

// What the models must give inside their zone: the route to within a centimetre.
constexpr double kZoneTolerance = 0.01;

// The other outputs of the first model's run ship in models/Stereo30_Stereo70_2D/.
const fs::path kShippedRun = kDemoDir / "models" / "Stereo30_Stereo70_2D";

struct EastNorth {
    double e;
    double n;
};

// The source point whose model Helmert image is (e, n): the exact inverse of the similarity.
EastNorth InverseHelmert(const ModelParameterRecord& m, double e, double n)
{
    const double de = e - m.helmertShiftE;
    const double dn = n - m.helmertShiftN;
    const double m2 = m.helmertA * m.helmertA + m.helmertB * m.helmertB;
    return {(m.helmertA * de + m.helmertB * dn) / m2, (m.helmertA * dn - m.helmertB * de) / m2};
}

class DemoModel : public ::testing::TestWithParam<ModelCase> {
protected:
    void SetUp() override { fs::current_path(dir.Path()); }
    void TearDown() override { fs::current_path(fs::temp_directory_path()); }

    // Writes the points (node-grid frame positions, mapped back to the source system) as a
    // source file of the command, runs it through velmora-cli and returns the new-points records.
    std::vector<PointRecord> Run(const std::vector<EastNorth>& positions)
    {
        const ModelCase& m = GetParam();
        const ModelParameterRecord parameters = LoadModelParameters(GridPath().replace_extension(".PAR"));
        std::ofstream source(dir / "src.txt", std::ios::binary);
        source << "test\r\n";
        for (std::size_t k = 0; k < positions.size(); ++k) {
            const EastNorth s = InverseHelmert(parameters, positions[k].e, positions[k].n);
            source << "P" << k << ", " << FormatFixed(m.sourceNorthFirst ? s.n : s.e, 0, 4) << ", "
                   << FormatFixed(m.sourceNorthFirst ? s.e : s.n, 0, 4) << "\r\n";
        }
        source.close();
        const CliRun run = Cli({"transform", std::string(1, m.code), "src.txt", "rez", "--data", kDemoDir.string(),
                              "--work-dir", dir.Path().string()});
        EXPECT_EQ(run.status, 0) << run.err;
        return test::ReadPoints(dir / "PNXYZ.REC");
    }

    fs::path GridPath() const { return kDemoDir / (std::string(GetParam().stem) + ".GRD"); }

    EastNorth Route(double east, double north)
    {
        const ModelCase& m = GetParam();
        const ChainResult out = test::MustTransform(env, m.routeType, 0, east, north, 0.0);
        return m.routeNorthFirst ? EastNorth{out.second, out.first} : EastNorth{out.first, out.second};
    }

    test::TempDir dir;
    GridCache grids;
    CoreEnv env{kDemoDir, 34, grids};
};

// The shipped source, built afresh by velmora-cli build-model plane-regression in a folder of its
// own, gives the shipped node grid and parameter file byte for byte: every step of the model
// building is deterministic. The other outputs that ship beside them are what the same run
// writes; the model report differs only in naming the source by its full path.
TEST_P(DemoModel, ShippedSourceRebuildsTheShippedModel)
{
    const std::string stem = GetParam().stem;
    const std::string source = test::ReadBytes(kDemoDir / (stem + ".txt"));
    EXPECT_TRUE(source.starts_with("DATE DEMONSTRATIVE, nu pentru lucrari topografice"));
    test::WriteBytes(dir / (stem + ".txt"), source);
    const CliRun run = Cli({"build-model", "plane-regression", stem + ".txt"});
    ASSERT_EQ(run.status, 0) << run.err;
    for (const std::string& name : {stem + ".GRD", stem + ".PAR"})
        EXPECT_TRUE(test::ReadBytes(dir / name) == test::ReadBytes(kDemoDir / name)) << name << " differs";

    if (stem != kShippedRun.filename())
        return;
    for (const std::string& name : {std::string("REZULT.TXT"), stem + ".GRT", stem + "J.GRD"})
        EXPECT_TRUE(test::ReadBytes(dir / name) == test::ReadBytes(kShippedRun / name)) << name << " differs";
    const std::string report = test::ReadBytes(dir / "REZ_NOI.TXT");
    const std::string shipped = test::ReadBytes(kShippedRun / "REZ_NOI.TXT");
    const std::string firstLine = "Fisier sursa: " + stem + ".txt\r\n";
    ASSERT_TRUE(shipped.starts_with(firstLine));
    const std::size_t reportBody = report.find("\r\n");
    ASSERT_NE(reportBody, std::string::npos);
    EXPECT_TRUE(report.substr(0, reportBody).ends_with("/" + stem + ".txt"));
    EXPECT_TRUE(report.substr(reportBody + 2) == shipped.substr(firstLine.size())) << "REZ_NOI.TXT differs";
}

// A few hundred points spread over the cells whose four corners lie in the model zone, each at
// its own position within its cell: the command's result and the dispatcher's route (types 5 and
// 6, without heights) agree to within a centimetre. The largest differences lie on the ring of
// cells just outside the contour, where no common point holds the surface.
TEST_P(DemoModel, AgreesWithTheDispatcherRouteInsideTheZone)
{
    const ModelCase& m = GetParam();
    const NodeGrid grid = NodeGrid::Load(GridPath());
    const GridGeometry& g = grid.Geometry();
    std::vector<EastNorth> positions;
    for (std::int64_t r = 0; r + 1 < g.nY; ++r) {
        for (std::int64_t c = 0; c + 1 < g.nX; ++c) {
            const bool zoneCell = grid.Node(c, r).pointState != 'E' && grid.Node(c + 1, r).pointState != 'E' &&
                                  grid.Node(c, r + 1).pointState != 'E' && grid.Node(c + 1, r + 1).pointState != 'E';
            if (!zoneCell || (c + 2 * r) % 4 != 0)
                continue;
            const double u = static_cast<double>((7 * c + 3 * r) % 10) / 10.0 + 0.05;
            const double v = static_cast<double>((3 * c + 7 * r) % 10) / 10.0 + 0.05;
            positions.push_back({g.x0 + (static_cast<double>(c) + u) * g.step,
                                 g.y0 + (static_cast<double>(r) + v) * g.step});
        }
    }
    ASSERT_GE(positions.size(), 250u);

    const std::vector<PointRecord> points = Run(positions);
    ASSERT_EQ(points.size(), positions.size());
    double worst = 0.0;
    for (const PointRecord& p : points) {
        ASSERT_EQ(p.pointState, 'D') << p.name.View();
        // sys1 holds the source East and North as the parser read them.
        const EastNorth route = Route(p.sys1[0], p.sys1[1]);
        ASSERT_FALSE(HasFailure());
        worst = std::max({worst, std::fabs(p.modelWork2[3] - route.e), std::fabs(p.modelWork2[4] - route.n)});
    }
    std::cout << "code " << m.code << ": largest |code " << m.code << " - type " << static_cast<int>(m.routeType) << "| at "
              << points.size() << " points in the zone: " << worst << " m\n";
    EXPECT_LT(worst, kZoneTolerance);
}

// The sample of the command: its shipped result lists the places of Bucharest within a centimetre
// of the route (the result is printed to the millimetre), and the two places outside the zone as
// exterior.
TEST_P(DemoModel, SampleResultsFollowTheRoute)
{
    const ModelCase& m = GetParam();
    const fs::path samples = kDemoDir / "samples";
    std::istringstream source(test::ReadBytes(samples / (std::string(m.sample) + ".txt")));
    std::istringstream result(test::ReadBytes(samples / (std::string(m.sample) + "_rezultat.txt")));
    std::string sourceLine;
    std::string resultLine;
    std::getline(source, sourceLine);
    std::getline(result, resultLine);
    double worst = 0.0;
    int transformed = 0;
    int exterior = 0;
    while (std::getline(source, sourceLine) && !sourceLine.starts_with("ENDF")) {
        ASSERT_TRUE(std::getline(result, resultLine));
        SCOPED_TRACE(resultLine);
        if (resultLine.ends_with(" - exterior gridului de distorsiuni\r")) {
            ++exterior;
            continue;
        }
        double in[2];
        double out[2];
        ASSERT_EQ(std::sscanf(sourceLine.c_str(), "%*[^,], %lf, %lf", &in[0], &in[1]), 2);
        ASSERT_EQ(std::sscanf(resultLine.c_str(), "%*[^,], %lf, %lf", &out[0], &out[1]), 2);
        // Stereo70 lines give North first, Stereo30 lines East first.
        const EastNorth from = m.sourceNorthFirst ? EastNorth{in[1], in[0]} : EastNorth{in[0], in[1]};
        const EastNorth to = m.sourceNorthFirst ? EastNorth{out[0], out[1]} : EastNorth{out[1], out[0]};
        const EastNorth route = Route(from.e, from.n);
        worst = std::max({worst, std::fabs(to.e - route.e), std::fabs(to.n - route.n)});
        ++transformed;
    }
    std::cout << "code " << m.code << " sample: largest |result - type " << static_cast<int>(m.routeType) << "| at "
              << transformed << " points: " << worst << " m\n";
    EXPECT_EQ(transformed, 8);
    EXPECT_EQ(exterior, 2);
    EXPECT_LT(worst, kZoneTolerance);
}

// A sweep over the node grid and a little beyond it: every point is either transformed or listed
// as exterior (inside the grid but in cells touching the exterior, and beyond the grid alike), and
// none meets a stencil node without data, which would end the command.
TEST_P(DemoModel, EveryPointIsTransformedOrListedAsExterior)
{
    const NodeGrid grid = NodeGrid::Load(GridPath());
    const GridGeometry& g = grid.Geometry();
    constexpr double kBeyond = 700.0; // metres past the outermost nodes
    std::vector<EastNorth> positions;
    for (double n = g.y0 - kBeyond; n <= g.yMax + kBeyond; n += g.step / 2.7)
        for (double e = g.x0 - kBeyond; e <= g.xMax + kBeyond; e += g.step / 2.3)
            positions.push_back({e, n});
    // Points exactly on the cell lines of the zone's first and last node columns.
    for (std::int64_t c = 0; c < g.nX; ++c)
        for (std::int64_t r = 0; r < g.nY; ++r)
            if (grid.Node(c, r).pointState != 'E')
                positions.push_back({grid.Node(c, r).east, grid.Node(c, r).north + g.step / 3.0});

    const std::vector<PointRecord> points = Run(positions);
    ASSERT_EQ(points.size(), positions.size());
    int inside = 0, exterior = 0, beyond = 0;
    for (const PointRecord& p : points)
        (p.pointState == 'D' ? inside : p.pointState == 'E' ? exterior : beyond) += 1;
    EXPECT_GT(inside, 1000);
    EXPECT_GT(exterior, 1000);
    EXPECT_GT(beyond, 100);

    // The result file lists the points in the same order: coordinates or the exterior line.
    const std::string result = test::ReadBytes(dir / "rez.txt");
    std::size_t lines = 0, exteriorLines = 0;
    for (std::size_t at = 0; (at = result.find("\r\n", at)) != std::string::npos; at += 2)
        ++lines;
    for (std::size_t at = 0; (at = result.find(" - exterior gridului de distorsiuni\r\n", at)) != std::string::npos;
         ++at)
        ++exteriorLines;
    EXPECT_EQ(lines, points.size() + 1);
    EXPECT_EQ(exteriorLines, static_cast<std::size_t>(exterior + beyond));
    EXPECT_TRUE(result.ends_with("\r\nENDF"));
}

INSTANTIATE_TEST_SUITE_P(Bucharest, DemoModel, ::testing::ValuesIn(kModels),
                         [](const ::testing::TestParamInfo<ModelCase>& model) {
                             return std::string("Code") + model.param.code;
                         });

} // namespace
} // namespace velmora
