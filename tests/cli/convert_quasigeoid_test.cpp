// velmora-cli convert and quasigeoid: the arguments answer the dialogs, the message boxes go to
// standard output, an error box gives status 3, and the whole quasigeoid workflow runs on public
// data: build, node list, EGM96 sample, loading, application.
#include "cli/CliRun.h"
#include "commands/QuasigeoidSources.h"
#include "support/PointFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace velmora {
namespace {

namespace fs = std::filesystem;

// Runs the command line with the temporary folder as the current directory.
class CliInFolder : public ::testing::Test {
protected:
    test::TempDir dir;
    fs::path previous = fs::current_path();

    void SetUp() override { fs::current_path(dir.Path()); }
    void TearDown() override { fs::current_path(previous); }
};

constexpr const char* kPlaneSource = "a\r\nb\r\nc\r\nd\r\nP\r\n6378137, 298.257222101, 6378245, 298.3\r\n"
                                     "PN\r\nO, 46 0 0, 25 0 0\r\nEND\r\nENDF\r\n";

TEST_F(CliInFolder, ConvertAnswersTheOpenDialogWithItsSource)
{
    test::WriteBytes(dir / "sursa.txt", kPlaneSource);
    const CliRun run = Cli({"convert", "bl-stereo70", "sursa.txt"});
    EXPECT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.out, "Rezultatul conversiei se gasesc in fis. REZXY_ST70.TXT\n");
    EXPECT_NE(test::ReadBytes(dir / "REZXY_ST70.TXT").find("O,  500000.000,  500000.000\r\n"), std::string::npos);

    // No point, no message box.
    test::WriteBytes(dir / "gol.txt", "a\r\nb\r\nc\r\nd\r\nP\r\n6378137, 298.257222101, 6378245, 298.3\r\nENDF\r\n");
    EXPECT_EQ(Cli({"convert", "bl-laea", "gol.txt"}).out, "");

    EXPECT_EQ(Cli({"convert", "bl-utm", "sursa.txt"}).status, kExitUsage);
    EXPECT_EQ(Cli({"convert", "bl-laea"}).status, kExitUsage);
    EXPECT_EQ(Cli({"convert", "bl-laea", "sursa.txt", "--grid", "x.grd"}).status, kExitUsage);
    // The conversion's own result file is no source for it.
    test::WriteBytes(dir / "REZBLH.TXT", kPlaneSource);
    const CliRun own = Cli({"convert", "xyz-blh", "REZBLH.TXT"});
    EXPECT_EQ(own.status, kExitUsage);
    EXPECT_EQ(own.err, "Nume fisier intrare identic cu nume fisier iesire!\n");
    EXPECT_EQ(test::ReadBytes(dir / "REZBLH.TXT"), kPlaneSource);
    const CliRun missing = Cli({"convert", "xyz-blh", "lipsa.txt"});
    EXPECT_EQ(missing.status, kExitFailure);
    EXPECT_EQ(missing.err, "Eroare: Fisier cu date initiale invalid!\nEroare I/O fisier sursa!\n");
}

TEST_F(CliInFolder, QuasigeoidWorkflowOnPublicData)
{
    test::WriteBytes(dir / "ZITA.txt", test::SyntheticSource());
    const CliRun build = Cli({"quasigeoid", "build", "ZITA.txt"});
    ASSERT_EQ(build.status, kExitOk) << build.err;
    EXPECT_TRUE(build.out.starts_with("Fisierele rezultate sunt: REZ_NOI.TXT, ")) << build.out;

    const CliRun list = Cli({"quasigeoid", "export", "ZITA.GRD", "--geographic"});
    EXPECT_EQ(list.status, kExitOk) << list.err;
    EXPECT_EQ(list.out, "Rezultatul conversiei este fisierul BL_EGG.txt\n");
    ASSERT_EQ(Cli({"quasigeoid", "sample-geoid", "BL_EGG.txt", "egm96.txt"}).status, kExitOk);
    const CliRun load = Cli({"quasigeoid", "load-zita", "egm96.txt", "ZITA.GRD"});
    EXPECT_EQ(load.status, kExitOk) << load.err;
    EXPECT_EQ(load.out, "S-a incarcat fisierul grid cu zita (a => *.GRT cu zita)\n");
    // The binary grid: six header values and one zeta per node, EGM96 around 30 to 45 m here.
    const std::string binary = test::ReadBytes(dir / "ZITAJ.GRD");
    EXPECT_EQ(binary.size(), (6 + 13 * 11) * sizeof(double));

    // The data directory holds the model under the names the application checks.
    fs::create_directory(dir / "date");
    fs::copy_file(dir / "ZITA.GRD", dir / "date" / "EGG97_QGR.GRD");
    fs::copy_file(dir / "ZITA.PAR", dir / "date" / "EGG97_QGR.PAR");
    test::WriteBytes(dir / "puncte.txt", "Puncte\r\nP1, 45.5, 24.5, 0\r\nP2, 47, 24, 0\r\nENDF\r\n");
    const CliRun apply = Cli({"quasigeoid", "apply", "puncte.txt", "rezultat", "--grid", "ZITA.GRD", "--data", "date"});
    ASSERT_EQ(apply.status, kExitOk) << apply.err;
    EXPECT_EQ(apply.out, "Fisierul rezultat este: rezultat.txt.\n");
    const std::string result = test::ReadBytes(dir / "rezultat.txt");
    EXPECT_TRUE(result.starts_with("Puncte\r\n    P1    45.500000    24.500000       ")) << result;
    EXPECT_TRUE(result.ends_with("    P2    47.000000    24.000000 - exterior gridului\r\nENDF")) << result;
    const double corrected = std::stod(result.substr(std::string("Puncte\r\n    P1    45.500000    24.500000").size()));
    EXPECT_GT(corrected, 25.0);
    EXPECT_LT(corrected, 50.0);
}

TEST_F(CliInFolder, QuasigeoidMessagesAndArguments)
{
    // An error message box: the desktop program would go on.
    const CliRun missing = Cli({"quasigeoid", "export", "lipsa.grd"});
    EXPECT_EQ(missing.status, kExitMessage);
    EXPECT_EQ(missing.err, "Eroare la deschiderea fisierului grid!\n");
    const CliRun noZita = Cli({"quasigeoid", "load-zita", "lipsa.txt", "lipsa.grd"});
    EXPECT_EQ(noZita.status, kExitMessage);
    EXPECT_EQ(noZita.err, "Eroare la deschiderea fisierului grid .txt cu dzita!\n");

    // A refused file choice, as for the transformations.
    test::WriteBytes(dir / "puncte.txt", "Puncte\r\nP1, 45.5, 24.5, 0\r\nENDF\r\n");
    const CliRun refused = Cli({"quasigeoid", "apply", "puncte.txt", "rezultat", "--grid", "lipsa.grd"});
    EXPECT_EQ(refused.status, kExitUsage);

    const CliRun sample = Cli({"quasigeoid", "sample-geoid", "lipsa.txt", "zita.txt"});
    EXPECT_EQ(sample.status, kExitFailure);
    EXPECT_NE(sample.err.find("lipsa.txt"), std::string::npos);

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"quasigeoid"}, {"quasigeoid", "fly"}, {"quasigeoid", "build"},
          {"quasigeoid", "apply", "a.txt", "b.txt"}, {"quasigeoid", "export", "g.grd", "--grid", "x"},
          {"quasigeoid", "load-zita", "z.txt", "g.grd", "--geographic"}, {"transform", "3", "a", "b", "--geographic"}})
        EXPECT_EQ(Cli(args).status, kExitUsage) << args.back();

    // The help says what the global model is not.
    EXPECT_NE(Cli({"--help"}).out.find("EGM96 is a global geoid model, not the official quasigeoid"),
              std::string::npos);
}

} // namespace
} // namespace velmora
