// The quasigeoid commands on synthetic sources: a planted field of zeta corrections is recovered
// at the new points, the report and the result file are laid out as the users read them, and the
// exchange with an external model closes the loop through the node grid.
#include "building/Quasigeoid.h"
#include "commands/QuasigeoidCommands.h"
#include "commands/QuasigeoidSources.h"
#include "files/FatalError.h"
#include "files/NumberText.h"
#include "model/ModelTestSupport.h"
#include "support/PointFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace velmora {
namespace {

namespace fs = std::filesystem;
using test::Fixed;
using test::GlobalZeta;
using test::PlantedCorrection;
using test::SyntheticSource;

class QuasigeoidCommandsTest : public ::testing::Test {
protected:
    test::TempDir dir;

    void Start(BuildRun& run)
    {
        run.sourcePath = dir / "ZITA.txt";
        run.workDir = dir.Path();
    }
};

// The new points' lines of the final results: name, B, L, corrected zeta.
std::vector<std::vector<std::string>> FinalResults(const std::string& report)
{
    std::vector<std::vector<std::string>> lines;
    std::istringstream in(report.substr(report.find("Rezultate finale")));
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line) && !line.starts_with("ENDF")) {
        std::istringstream fields(line);
        std::vector<std::string> words;
        for (std::string word; fields >> word;)
            words.push_back(word);
        lines.push_back(words);
    }
    return lines;
}

TEST_F(QuasigeoidCommandsTest, BuildRecoversThePlantedCorrections)
{
    test::WriteBytes(dir / "ZITA.txt", SyntheticSource());
    BuildRun run;
    Start(run);
    const std::string text = BuildQuasigeoidModel(run);
    EXPECT_EQ(text, "Fisierele rezultate sunt: REZ_NOI.TXT, " + (dir / "ZITA.DXF").string() + ", " +
                        (dir / "ZITA.GRT").string() + ", " + (dir / "ZITA.GRD").string() + " (fis. binar), " +
                        (dir / "ZITA.PAR").string() + " (fis. binar).");

    const std::string report = test::ReadBytes(dir / "REZ_NOI.TXT");
    const auto finals = FinalResults(report);
    ASSERT_EQ(finals.size(), 4u);
    for (std::size_t k = 0; k < 3; ++k) {
        const double B = std::stod(finals[k][1]);
        const double L = std::stod(finals[k][2]);
        EXPECT_NEAR(std::stod(finals[k][3]), GlobalZeta(L, B) + PlantedCorrection(L, B), 0.004) << finals[k][0];
        EXPECT_EQ(finals[k][4], "0");
    }
    EXPECT_EQ(finals[3][0], "AFARA");
    EXPECT_NE(report.find("    N1    45.450000    24.550000       "), std::string::npos);
    EXPECT_NE(report.find(" AFARA    45.500000    26.500000 - exterior gridului\r\nENDF"), std::string::npos);

    // The new points keep their final coordinates, and the corrected zeta their precision.
    const auto fresh = test::ReadPoints(dir / "PNOI.REC");
    EXPECT_DOUBLE_EQ(fresh[0].modelWork2[3], 24.55);
    EXPECT_DOUBLE_EQ(fresh[0].modelWork2[4], 45.45);
    EXPECT_NEAR(fresh[0].modelWork2[5], std::stod(finals[0][3]), 0.0005);
    EXPECT_GT(fresh[0].modelWork2[2], 0.0);
    EXPECT_DOUBLE_EQ(fresh[3].modelWork2[5], GlobalZeta(26.5, 45.5));
}

TEST_F(QuasigeoidCommandsTest, ReportSectionsAndTables)
{
    test::WriteBytes(dir / "ZITA.txt", SyntheticSource());
    BuildRun run;
    Start(run);
    BuildQuasigeoidModel(run);
    const std::string report = test::ReadBytes(dir / "REZ_NOI.TXT");
    EXPECT_TRUE(report.starts_with("Fisier sursa: " + (dir / "ZITA.txt").string() +
                                   "\r\nZita corectat, distorsiuni, semnale, erori:\r\n"
                                   "-------------------------------------------\r\n"
                                   "COMMON POINTS:\r\n==============\r\n\r\n"
                                   "Statistical Situation for Common Points before modelling\r\n"
                                   "========================================================\r\n"
                                   "Grid Step=       0.10000\r\nNodes Number=143\r\n"
                                   "--------------------------------------\r\n"
                                   "Statistic                       dZita\r\n"
                                   "--------------------------------------\r\n"
                                   "Mean:                         -0."));
    EXPECT_NE(report.find("# Data:                            47\r\n"), std::string::npos);
    EXPECT_NE(report.find("Punct: C0 (comun)\r\n"
                          "                 L [G]         B [G]         Zita [m]\r\n"
                          "Sistem 1 :     24.070000     45.090000        30.042\r\n"),
              std::string::npos);
    EXPECT_NE(report.find("\r\nDistorsiuni :"), std::string::npos);
    EXPECT_NE(report.find("\r\nZita final    :"), std::string::npos);
    EXPECT_NE(report.find("VERIFIED POINTS:\r\n================\r\nPunct: *C20 (rarit)\r\n"), std::string::npos);
    EXPECT_NE(report.find("# Predicted:                        1\r\n"), std::string::npos);
    // A new point has no distortion and no error; one outside the grid only its systems.
    const std::size_t n1 = report.find("Punct: N1 (nou)\r\n");
    ASSERT_NE(n1, std::string::npos);
    const std::string n1Table = report.substr(n1, report.find("\r\n\r\n", n1) - n1);
    EXPECT_NE(n1Table.find("Distorsiuni :       0.000\r\n"), std::string::npos);
    EXPECT_EQ(n1Table.find("Erori :"), std::string::npos);
    EXPECT_NE(report.find("Punct: AFARA (nou) - EXTERIOR RETELEI DE DISTORSIUNI\r\n"
                          "                 L [G]         B [G]         Zita [m]\r\n"
                          "Sistem 1 :     26.500000     45.500000        33.400\r\n"
                          "Sistem 2 :      0.000000      0.000000         0.000\r\n"
                          "Zita final    :      33.400\r\n\r\n"
                          "Rezultate finale (folosite si pentru incarcare grid cu zita in noduri):\r\n"),
              std::string::npos);

    // The grid text holds one zeta correction per node; the drawing is complete.
    const std::string gridText = test::ReadBytes(dir / "ZITA.GRT");
    EXPECT_NE(gridText.find("Number of dimensions (1 for dZita - grid shift value):\r\n1\r\n"), std::string::npos);
    EXPECT_TRUE(test::ReadBytes(dir / "ZITA.DXF").ends_with("  0\r\nEOF\r\n"));
    // The common and verified points keep their final zeta.
    const auto common = test::ReadPoints(dir / "PCOMUNE.REC");
    EXPECT_EQ(common[0].mark, 1);
    EXPECT_NEAR(common[0].modelWork1[2], common[0].sys2[2], 0.005);
}

TEST_F(QuasigeoidCommandsTest, ExportSampleAndLoadCloseTheLoop)
{
    test::WriteBytes(dir / "ZITA.txt", SyntheticSource());
    BuildRun run;
    Start(run);
    BuildQuasigeoidModel(run);
    const fs::path grid = dir / "ZITA.GRD";
    const auto before = test::ReadPoints(grid);
    ASSERT_EQ(ExportGridNodesForEgg(grid, false, dir.Path()), std::nullopt);

    // An external model of constant height 40 m over the nodes.
    std::istringstream list(test::ReadBytes(dir / kNodeListName));
    std::string zita;
    for (std::string line; std::getline(list, line);) {
        std::istringstream fields(line);
        double k = 0.0;
        double B = 0.0;
        double L = 0.0;
        fields >> k >> B >> L;
        zita += Fixed(B, 6) + " " + Fixed(L, 6) + " 40.0\r\n";
    }
    test::WriteBytes(dir / "zita.txt", zita);
    ASSERT_EQ(LoadZitaIntoGrid(dir / "zita.txt", grid), std::nullopt);
    const auto after = test::ReadPoints(grid);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t k = 0; k < after.size(); ++k)
        EXPECT_DOUBLE_EQ(after[k].residual[2], before[k].residual[2] + 40.0);
}

TEST_F(QuasigeoidCommandsTest, ApplicationWritesTheFinalLinesOfTheNewPoints)
{
    // A grid of constant correction 0.5 m with its standard errors 0.01 m.
    const fs::path grid = dir / "Q.GRD";
    {
        test::WriteNodeGrid(grid, {24.0, 45.0, 0.1, 8, 8}, [](int, int) { return test::NodeValues{0.0, 0.0, 0.5}; });
        auto nodes = test::ReadPoints(grid);
        for (PointRecord& node : nodes)
            node.modelWork3[2] = 0.01;
        test::WritePoints(grid, nodes);
    }
    test::WriteBytes(dir / "puncte.txt", "Puncte (B, L, zita)\r\n"
                                         "P1, 45.3, 24.2, 31.25\r\n"
                                         "*V1, 45.4, 24.3, 31.0, 45.4, 24.3, 31.5\r\n"
                                         "P2, 47.0, 24.2, 33.0\r\n"
                                         "ENDF\r\n");
    CommandContext ctx;
    ctx.startDir = dir.Path();
    PrepareQuasigeoidApplication(ctx, grid, dir.Path());
    ctx.inputPath = (dir / "puncte.txt").string();
    ctx.resultPath = (dir / "rezultat.txt").string();
    EXPECT_EQ(ApplyQuasigeoidModel(ctx, dir.Path()), "Fisierul rezultat este: " + ctx.resultPath + ".");
    EXPECT_EQ(test::ReadBytes(dir / "rezultat.txt"), "Puncte (B, L, zita)\r\n"
                                                     "    P1    45.300000    24.200000       31.750 0 0 0 0\r\n"
                                                     "    P2    47.000000    24.200000 - exterior gridului\r\n"
                                                     "ENDF");
    const auto points = test::ReadPoints(dir / "PNXYZ.REC");
    EXPECT_NEAR(points[0].modelWork2[2], 0.01, 1e-12);
    EXPECT_EQ(test::ReadPoints(dir / "RAR.REC").size(), 1u);

    // A source that cannot be read ends the command.
    ctx.inputPath = (dir / "lipsa.txt").string();
    try {
        ApplyQuasigeoidModel(ctx, dir.Path());
        ADD_FAILURE() << "a missing source was applied";
    } catch (const FatalError& e) {
        EXPECT_EQ(std::string(e.what()), "Eroare: Fisier cu date initiale invalid!\nEroare I/O fisier sursa!");
    }
}

} // namespace
} // namespace velmora
