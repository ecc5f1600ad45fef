// The transform command of velmora-cli: statuses, texts and files.
#include "cli/CliRun.h"
#include "core/CorrectionGrid.h"
#include "core/TransformPoint.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

namespace velmora {
namespace {

namespace fs = std::filesystem;

class TransformCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::WriteGrid(dir / kStereo70GridName, 0.0, 1000000.0, 0.0, 1000000.0, 50000.0, 50000.0,
                        [](double, double) { return 0.0; }, [](double, double) { return 0.0; });
        std::ofstream(dir / "src.txt", std::ios::binary) << "T\nP1, 500000, 500000\nP2, 600000, 400000\n";
        fs::current_path(dir.Path());
    }
    void TearDown() override { fs::current_path(fs::temp_directory_path()); }

    test::TempDir dir;
};

TEST_F(TransformCommand, StatusesAndTexts)
{
    const CliRun ok = Cli({"transform", "g", "src.txt", "rez", "--data", dir.Path().string()});
    EXPECT_EQ(ok.status, 0);
    EXPECT_EQ(ok.out, "Fisierul rezultat este: rez.txt.\n");
    EXPECT_TRUE(fs::exists(dir / "rez.txt"));
    EXPECT_TRUE(fs::exists(dir / "PNXYZ.REC"));

    const CliRun same = Cli({"transform", "stereo70-laea", "src.txt", "./SRC.txt", "--data", dir.Path().string()});
    EXPECT_EQ(same.status, 2);
    EXPECT_EQ(same.err, "Nume fisier intrare identic cu nume fisier iesire!\n");

    const CliRun missing = Cli({"transform", "g", "nothing.txt", "rez", "--data", dir.Path().string()});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "Fisier de intrare invalid!\n");

    // No quasigeoid is needed without heights, but the Stereo30 grid is missing.
    const CliRun failed = Cli({"transform", "9", "src.txt", "out", "--data", dir.Path().string()});
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.err, "I/O " + (dir / kStereo30GridName).string() +
                              " File Error!\nTastati <Enter>...Eroare: nu se poate transforma punctul P1\n");
    EXPECT_FALSE(fs::exists(dir / "out.txt"));

    const CliRun unknown = Cli({"transform", "z", "src.txt", "out"});
    EXPECT_EQ(unknown.status, 2);
}

// A source that cannot be read with certainty fails, and the message says on which line.
TEST_F(TransformCommand, SourceErrorsNameTheirLine)
{
    std::ofstream(dir / "guess.txt", std::ios::binary) << "T\r\nP1, 500000, 500000\r\nP2, 600000, 400000, 7O.5\r\n";
    const CliRun guess = Cli({"transform", "g", "guess.txt", "rez", "--data", dir.Path().string()});
    EXPECT_EQ(guess.status, 1);
    EXPECT_EQ(guess.err, "Eroare: coordonata h este nenumerica la punctul P2\nla linia 3 din guess.txt\n");
    EXPECT_FALSE(fs::exists(dir / "rez.txt"));

    std::ofstream(dir / "unnamed.txt", std::ios::binary) << "T\nP1, 500000, 500000\n\n, 600000, 400000\n";
    const CliRun unnamed = Cli({"transform", "g", "unnamed.txt", "rez", "--data", dir.Path().string()});
    EXPECT_EQ(unnamed.status, 1);
    EXPECT_EQ(unnamed.err, "Eroare: punct fara nume pe randul 4 in fis. sursa.\nla linia 4 din unnamed.txt\n");
    EXPECT_FALSE(fs::exists(dir / "rez.txt"));
}

} // namespace
} // namespace velmora
