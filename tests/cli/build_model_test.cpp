// The build-model command of velmora-cli end to end: the whole model-building chain on small
// sources, plane and three-dimensional, without and with regression, what it prints, the files it
// leaves, the accuracy of the model it builds, and its failures.
#include "cli/CliRun.h"
#include "files/PointRecord.h"
#include "support/PointFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>

namespace velmora {
namespace {

namespace fs = std::filesystem;

fs::path Fixture(const std::string& name)
{
    return fs::path(VELMORA_BUILDING_FIXTURES_DIR) / name;
}

// The target coordinates of a synthetic plane model: the source system maps to the target by a
// similarity, then a quadratic trend and a small smooth distortion are added.
struct PlaneTruth {
    static constexpr double kA = 1.0 + 10e-6;
    static constexpr double kB = 2e-6;
    static constexpr double kShiftE = 150.0;
    static constexpr double kShiftN = -80.0;

    static std::array<double, 2> Field(double e, double n)
    {
        const double u = (e - 502000.0) / 1000.0;
        const double v = (n - 322000.0) / 1000.0;
        return {0.03 * u * u - 0.02 * u * v + 0.01 * v + 0.004 * std::sin(1.3 * u) * std::cos(0.9 * v),
                -0.02 * v * v + 0.015 * u + 0.003 * std::cos(1.1 * u) * std::sin(0.7 * v)};
    }

    // The source coordinates of a point whose target coordinates are (e, n).
    static std::array<double, 2> Source(double e, double n)
    {
        const auto f = Field(e, n);
        const double te = e - f[0] - kShiftE;
        const double tn = n - f[1] - kShiftN;
        const double d = kA * kA + kB * kB;
        return {(kA * te + kB * tn) / d, (-kB * te + kA * tn) / d};
    }
};

std::string PointLine(const std::string& name, std::array<double, 2> source, double e, double n)
{
    char line[160];
    std::snprintf(line, sizeof line, "%s, %.3f, %.3f, %.3f, %.3f\r\n", name.c_str(), source[0], source[1], e, n);
    return line;
}

std::string Numbered(char prefix, long number)
{
    char name[32];
    std::snprintf(name, sizeof name, "%c%ld", prefix, number);
    return name;
}

// 25 common points in a jittered lattice, two excluded ones, and the new points at newTargets.
std::string PlaneSource(const std::vector<std::array<double, 2>>& newTargets)
{
    std::string text = "Model sintetic\r\nlinia 2\r\nlinia 3\r\nlinia 4\r\nSC\r\n5000\r\nPAS\r\n500, 500\r\nC\r\n"
                       "V1, 500000, 320000\r\nV2, 504000, 320000\r\nV3, 504000, 324000\r\nV4, 500000, 324000\r\n"
                       "END\r\nP\r\n6378388.0, 297.0, 6378245.0, 298.3\r\nPC\r\n";
    for (int i = 0; i < 5; ++i) {
        for (int j = 0; j < 5; ++j) {
            const double e = 500400.0 + 800.0 * i + 37.0 * j;
            const double n = 320350.0 + 800.0 * j + 23.0 * i;
            text += PointLine(Numbered('C', 5 * i + j + 1), PlaneTruth::Source(e, n), e, n);
        }
    }
    for (const auto& [name, e, n] : {std::tuple{"*X1", 501700.0, 321900.0}, std::tuple{"*X2", 503100.0, 322700.0}}) {
        text += PointLine(name, PlaneTruth::Source(e, n), e, n);
    }
    text += "END\r\nPN\r\n";
    for (std::size_t k = 0; k < newTargets.size(); ++k) {
        const auto s = PlaneTruth::Source(newTargets[k][0], newTargets[k][1]);
        char line[96];
        std::snprintf(line, sizeof line, "N%zu, %.3f, %.3f\r\n", k + 1, s[0], s[1]);
        text += line;
    }
    return text + "END\r\nENDF\r\n";
}

class BuildModelCommand : public ::testing::Test {
protected:
    void SetUp() override { fs::current_path(dir.Path()); }
    void TearDown() override { fs::current_path(fs::temp_directory_path()); }

    std::string FinalMessage(const std::string& base) const
    {
        const std::string stem = (dir / base).string();
        return "Fisierele rezultate sunt: REZULT.TXT, REZ_NOI.TXT, " + stem + ".DXF, " + stem + ".GRT, " + stem +
               ".GRD (fis. binar), " + stem + ".PAR (fis. binar).\n";
    }

    std::string Report() const { return test::ReadBytes(dir / "REZ_NOI.TXT"); }

    test::TempDir dir;
};

constexpr const char* kGlobal = "S-a executat TRANSFORMAREA GLOBALA!\n";
constexpr const char* kRegression = "S-a executat MODELAREA TRENDULUI REGIONAL (REGRESIA)!\n";

TEST_F(BuildModelCommand, PlaneModelFromTheFixture)
{
    fs::copy_file(Fixture("plane_model.txt"), dir / "model.txt");
    test::WriteBytes(dir / "erori.pas", "x");
    test::WriteBytes(dir / "noduri.txt", "x");
    const CliRun run = Cli({"build-model", "plane", "model.txt"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, kGlobal + FinalMessage("model"));
    EXPECT_EQ(run.err, "");
    for (const char* name : {"model.PAR", "model.DXF", "model.GRT", "model.GRD", "modelJ.GRD", "REZULT.TXT"})
        EXPECT_TRUE(fs::exists(dir / name)) << name;
    EXPECT_FALSE(fs::exists(dir / "erori.pas"));
    EXPECT_FALSE(fs::exists(dir / "noduri.txt"));
    EXPECT_TRUE(test::ReadBytes(dir / "model.DXF").ends_with("  0\r\nENDSEC\r\n  0\r\nEOF\r\n"));

    const std::string report = Report();
    EXPECT_TRUE(report.starts_with("Fisier sursa: " + (dir / "model.txt").string() +
                                   "\r\nCoordonate transformate, distorsiuni, semnale, erori:\r\n"
                                   "-----------------------------------------------------\r\n"
                                   "COMMON POINTS:\r\n==============\r\n\r\n"
                                   "Statistical Situation for Common Points before modelling\r\n"
                                   "========================================================\r\n"
                                   "Grid Step=     500.00000\r\nNodes Number=100\r\n"));
    // The point set apart by its "#" name takes no part in the statistics.
    EXPECT_NE(report.find("# Data:                             8         8\r\n"), std::string::npos);
    EXPECT_EQ(report.find("#P1"), std::string::npos);
    EXPECT_NE(report.find("EXCLUDED POINTS:\r\n================\r\nPunct: *R1 (rarit)\r\n"), std::string::npos);
    EXPECT_TRUE(report.ends_with("ENDF"));

    // Final coordinates: the Helmert coordinates plus the signal, listed as in the records.
    const auto fresh = test::ReadPoints(dir / "PNOI.REC");
    ASSERT_EQ(fresh.size(), 3u);
    for (const PointRecord& point : fresh) {
        ASSERT_EQ(point.pointState, 'D');
        EXPECT_DOUBLE_EQ(point.modelWork2[3], point.result[0] + point.residual[0]);
        char line[96];
        std::snprintf(line, sizeof line, "%s, %10.3f, %10.3f, +/-  0.000, +/-  0.000\r\n",
                      std::string(point.name.View()).c_str(), point.modelWork2[3], point.modelWork2[4]);
        EXPECT_NE(report.find(line), std::string::npos) << line;
    }
    // The common points listed are those of pcpol.rec, marked.
    const auto listed = test::ReadPoints(dir / "pcpol.rec");
    ASSERT_EQ(listed.size(), 8u);
    EXPECT_EQ(listed[7].mark, 1);
}

TEST_F(BuildModelCommand, PlaneModelsPredictTheTruthWithAndWithoutRegression)
{
    const std::vector<std::array<double, 2>> targets{
        {500900.0, 320700.0}, {502350.0, 321450.0}, {503500.0, 323600.0}, {501200.0, 323300.0}};
    test::WriteBytes(dir / "synt.txt", PlaneSource(targets));
    for (const bool regression : {false, true}) {
        const CliRun run = Cli({"build-model", regression ? "plane-regression" : "plane", "synt.txt"});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, kGlobal + std::string(regression ? kRegression : "") + FinalMessage("synt"));
        const auto fresh = test::ReadPoints(dir / "PNOI.REC");
        ASSERT_EQ(fresh.size(), targets.size());
        // Without the trend the grid carries the whole quadratic field and smooths it (about
        // 6 mm off); with it the grid is left the small distortion only, and the model is off by
        // no more than the rounding of the source's millimetres.
        const double tolerance = regression ? 0.002 : 0.012;
        for (std::size_t k = 0; k < targets.size(); ++k) {
            EXPECT_NEAR(fresh[k].modelWork2[3], targets[k][0], tolerance) << regression << k;
            EXPECT_NEAR(fresh[k].modelWork2[4], targets[k][1], tolerance) << regression << k;
        }
        const auto excluded = test::ReadPoints(dir / "RAR.REC");
        ASSERT_EQ(excluded.size(), 2u);
        for (const PointRecord& point : excluded) {
            EXPECT_EQ(point.mark, 1);
            EXPECT_LT(std::hypot(point.modelWork1[0], point.modelWork1[1]), tolerance) << regression;
        }
        const bool trendListed = Report().find("Trans. Regresie:       0.000         0.000\r\n") == std::string::npos;
        EXPECT_EQ(trendListed, regression);
    }
}

TEST_F(BuildModelCommand, ThreeDimensionalModelsFromTheFixture)
{
    fs::copy_file(Fixture("geocentric_model.txt"), dir / "geo.txt");
    for (const bool regression : {false, true}) {
        const CliRun run = Cli({"build-model", regression ? "3d-regression" : "3d", "geo.txt"});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, kGlobal + std::string(regression ? kRegression : "") + FinalMessage("geo"));
        const std::string report = Report();
        EXPECT_NE(report.find("----------------------------------------------------------\r\n"
                              "Statistic                         X         Y        Z    \r\n"),
                  std::string::npos);
        EXPECT_NE(report.find("Coordonate elipsoidale (B, L, h (Hn), Er_Hn_MN.) transformate:\r\nGN1,  44 "),
                  std::string::npos);
        // The nodes are marked and the new points get their cells from the seven-parameter
        // result: they lie inside the model, and so does the excluded point.
        const auto fresh = test::ReadPoints(dir / "PNOI.REC");
        for (const PointRecord& point : fresh) {
            EXPECT_EQ(point.pointState, 'D');
            EXPECT_NE(point.residual[0], 0.0);
            EXPECT_DOUBLE_EQ(point.modelWork2[5], (regression ? point.regression[2] : point.result[2]) +
                                                      point.residual[2]);
        }
        EXPECT_NE(report.find("Punct: *G9 (rarit)\r\n"), std::string::npos);
        const auto excluded = test::ReadPoints(dir / "RAR.REC");
        EXPECT_LT(std::abs(excluded[0].modelWork1[2]), 0.05);
        EXPECT_EQ(test::ReadBytes(dir / "geo.GRT").find("999.0"), std::string::npos);
        EXPECT_FALSE(fs::exists(dir / "geoJ.GRD"));
    }
}

TEST_F(BuildModelCommand, StopAfterTheEstimation)
{
    fs::copy_file(Fixture("plane_model.txt"), dir / "model.txt");
    const CliRun run = Cli({"build-model", "plane", "model.txt", "--stop-after", "estimation"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string stem = (dir / "model").string();
    EXPECT_EQ(run.out, kGlobal + ("Fisierele rezultate sunt: REZULT.TXT, " + stem + ".DXF, " + stem +
                                  ".PAR (fis. binar).\n"));
    EXPECT_TRUE(fs::exists(dir / "REZULT.TXT"));
    EXPECT_FALSE(fs::exists(dir / "REZ_NOI.TXT"));
    EXPECT_FALSE(fs::exists(dir / "modelJ.GRD"));
    EXPECT_TRUE(test::ReadBytes(dir / "model.DXF").ends_with("EOF\r\n"));
    // The grid text holds its header only.
    EXPECT_TRUE(test::ReadBytes(dir / "model.GRT").ends_with("(columns: minE-->maxE; rows: minN-->maxN):\r\n"));
}

TEST_F(BuildModelCommand, FailuresAndBadArguments)
{
    const auto usage = [](const std::vector<std::string>& args) {
        const CliRun run = Cli(args);
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_EQ(run.out, "");
        return run.err;
    };
    EXPECT_TRUE(usage({"build-model", "plane"}).starts_with("velmora-cli: build-model needs"));
    EXPECT_TRUE(usage({"build-model", "2d", "a.txt"}).starts_with("velmora-cli: unknown kind of model 2d"));
    EXPECT_TRUE(usage({"build-model", "plane", "a.txt", "--stop-after", "grid"}).starts_with("velmora-cli: --stop-after"));
    EXPECT_TRUE(usage({"transform", "3", "a.txt", "b.txt", "--stop-after", "estimation"})
                    .starts_with("velmora-cli: --stop-after belongs to build-model"));

    // A source the run would write over is refused before anything is written.
    for (const char* name : {"REZULT.TXT", "zona.GRD", "zonaJ.GRD", "pcomune.rec"}) {
        test::WriteBytes(dir / name, "precious");
        const CliRun refused = Cli({"build-model", "plane", name});
        EXPECT_EQ(refused.status, 2) << name;
        EXPECT_EQ(refused.err, "Nume fisier intrare identic cu nume fisier iesire!\n");
        EXPECT_EQ(test::ReadBytes(dir / name), "precious");
    }

    const CliRun missing = Cli({"build-model", "3d", "absent.txt"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err, "Eroare: Fisier cu date initiale invalid!\n");

    std::ofstream(dir / "step.txt", std::ios::binary) << "Model\r\n2\r\n3\r\n4\r\nSC\r\n5000\r\nPAS\r\nx\r\n";
    const CliRun step = Cli({"build-model", "plane", "step.txt"});
    EXPECT_EQ(step.status, 1);
    EXPECT_EQ(step.err, "Eroare: valoare pas1 nenumerica in fis. sursa.\nla linia 8 din step.txt\n");

    // Two of the five common points inside the zone: the global model is estimated from all five,
    // but the grid needs four.
    std::string source = "Model\r\n2\r\n3\r\n4\r\nSC\r\n5000\r\nPAS\r\n500, 500\r\nC\r\n"
                         "V1, 500000, 320000\r\nV2, 502000, 320000\r\nV3, 502000, 322000\r\nV4, 500000, 322000\r\n"
                         "END\r\nP\r\n6378388.0, 297.0, 6378245.0, 298.3\r\nPC\r\n";
    for (const auto& [e, n] : {std::pair{500500.0, 320500.0}, {501500.0, 321500.0}, {505000.0, 320500.0},
                               {506000.0, 324000.0}, {498000.0, 326000.0}}) {
        source += PointLine(Numbered('P', static_cast<long>(e)), PlaneTruth::Source(e, n), e, n);
    }
    test::WriteBytes(dir / "out.txt", source + "END\r\nPN\r\nN1, 501000, 321000\r\nEND\r\nENDF\r\n");
    const CliRun outside = Cli({"build-model", "plane", "out.txt"});
    EXPECT_EQ(outside.status, 1);
    EXPECT_EQ(outside.out, kGlobal);
    EXPECT_EQ(outside.err, "Eroare: Numarul de puncte comune cuprinse in grid=2. Este necesar ca nr. puncte >= 4. "
                           "(vezi inversat x, y in poligon?) (Verificati si limitele gridului in fisierul de date "
                           "dupa \"C\").\n");
    EXPECT_FALSE(fs::exists(dir / "REZ_NOI.TXT"));
}

} // namespace
} // namespace velmora
