// The transform command of velmora-cli: statuses, texts and files.
#include "cli/CliRun.h"
#include "core/CorrectionGrid.h"
#include "core/TransformPoint.h"
#include "support/PointFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace velmora {
namespace {

namespace fs = std::filesystem;

// The names in a folder, sorted.
std::vector<std::string> ListDir(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

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

    const CliRun same = Cli({"transform", "stereo70-laea", "src.txt", "./SRC.txt", "--data", dir.Path().string()});
    EXPECT_EQ(same.status, 2);
    EXPECT_EQ(same.err, "Nume fisier intrare identic cu nume fisier iesire!\n");

    const CliRun missing = Cli({"transform", "g", "nothing.txt", "rez", "--data", dir.Path().string()});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "Fisier de intrare invalid!\n");

    // A point outside the grid.
    std::ofstream(dir / "far.txt", std::ios::binary) << "T\nP1, 500000, 500000\nP2, 5000000, 400000\n";
    const CliRun failed = Cli({"transform", "g", "far.txt", "out", "--data", dir.Path().string()});
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.err, "Error: Outside bounding box of " + (dir / kStereo70GridName).string() +
                              "!\nTastati <Enter>...Eroare: nu se poate transforma punctul P2\n");
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

TEST_F(TransformCommand, DataFolderAndFilesAreCheckedBeforeAnyPoint)
{
    // No quasigeoid is needed without heights, but the Stereo30 grid is missing.
    const CliRun grid = Cli({"transform", "9", "src.txt", "out", "--data", dir.Path().string()});
    EXPECT_EQ(grid.status, 2);
    EXPECT_EQ(grid.err, "velmora-cli: the data file " + (dir / kStereo30GridName).string() + " is missing (see --data)\n");
    const CliRun model = Cli({"transform", "5", "src.txt", "out", "--data", dir.Path().string()});
    EXPECT_EQ(model.status, 2);
    EXPECT_EQ(model.err, "velmora-cli: the data file " + (dir / "Stereo30_Stereo70_2D.GRD").string()
                             + " is missing (see --data)\n");
    const CliRun folder = Cli({"transform", "g", "src.txt", "out", "--data", (dir / "none").string()});
    EXPECT_EQ(folder.status, 2);
    EXPECT_EQ(folder.err, "velmora-cli: the data directory " + (dir / "none").string() + " does not exist\n");
    EXPECT_EQ(Cli({"point", "1", "25", "46", "100", "--data", dir.Path().string()}).err,
              "velmora-cli: the data file " + (dir / kQuasigeoidGridName).string() + " is missing (see --data)\n");
    EXPECT_FALSE(fs::exists(dir / "out.txt"));
}

TEST_F(TransformCommand, WorkFilesAreTheRunsOwn)
{
    const std::string data = dir.Path().string();
    // By default nothing is left behind, neither here nor in the temporary folder.
    fs::create_directory(dir / "tmp");
    const char* savedTmp = std::getenv("TMPDIR");
    const std::string saved = savedTmp != nullptr ? savedTmp : "";
    ::setenv("TMPDIR", (dir / "tmp").c_str(), 1);
    const CliRun run = Cli({"transform", "g", "src.txt", "rez", "--data", data});
    savedTmp != nullptr ? ::setenv("TMPDIR", saved.c_str(), 1) : ::unsetenv("TMPDIR");
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(ListDir(dir.Path()),
              (std::vector<std::string>{"ETRS89_KRASOVSCHI42_2DJ.GRD", "rez.txt", "src.txt", "tmp"}));
    EXPECT_TRUE(fs::is_empty(dir / "tmp"));

    // Kept on request; a missing work folder is a bad argument.
    fs::create_directory(dir / "work");
    ASSERT_EQ(Cli({"transform", "g", "src.txt", "rez", "--data", data, "--work-dir", "work"}).status, 0);
    EXPECT_TRUE(fs::exists(dir / "work" / "PNXYZ.REC"));
    EXPECT_EQ(Cli({"transform", "g", "src.txt", "rez", "--work-dir", "nowhere"}).status, 2);
    EXPECT_EQ(Cli({"point", "1", "25", "46", "--work-dir", "work"}).status, 2);

    // Two runs in one work folder take turns: each result holds its own points only.
    constexpr int kPoints = 3000;
    // Names are upper-cased in the results.
    for (const char* name : {"A", "B"}) {
        std::string text = "T\n";
        for (int k = 0; k < kPoints; ++k)
            text += std::string(name) + std::to_string(k) + ", 500000, 500000\n";
        test::WriteBytes(dir / (std::string(name) + ".txt"), text);
    }
    std::vector<CliRun> runs(2);
    std::thread first([&] { runs[0] = Cli({"transform", "g", "A.txt", "rA", "--data", data, "--work-dir", "work"}); });
    runs[1] = Cli({"transform", "g", "B.txt", "rB", "--data", data, "--work-dir", "work"});
    first.join();
    for (const auto& [done, name] : {std::pair{runs[0], "A"}, {runs[1], "B"}}) {
        EXPECT_EQ(done.status, 0) << done.err;
        const std::string result = test::ReadBytes(dir / ("r" + std::string(name) + ".txt"));
        const std::string other = name == std::string("A") ? "\nB" : "\nA";
        EXPECT_EQ(result.find(other), std::string::npos);
        EXPECT_NE(result.find("\n" + std::string(name) + std::to_string(kPoints - 1) + ","), std::string::npos);
    }
}

TEST_F(TransformCommand, SourceAndLinksAreNeverWrittenThrough)
{
    const std::string data = dir.Path().string();
    const std::string source = test::ReadBytes(dir / "src.txt");
    // A link planted where a temporary result could go, and one under the result's own name.
    test::WriteBytes(dir / "victim", "precious");
    fs::create_symlink(dir / "victim", dir / "rez.txt.partial");
    fs::create_symlink(dir / "victim", dir / "link.txt");
    ASSERT_EQ(Cli({"transform", "g", "src.txt", "rez", "--data", data}).status, 0);
    ASSERT_EQ(Cli({"transform", "g", "src.txt", "link", "--data", data}).status, 0);
    EXPECT_EQ(test::ReadBytes(dir / "victim"), "precious");
    EXPECT_FALSE(fs::is_symlink(dir / "link.txt"));

    // A source whose name a temporary result or a work file would take.
    fs::rename(dir / "src.txt", dir / "r.txt.partial");
    EXPECT_EQ(Cli({"transform", "g", "r.txt.partial", "r", "--data", data}).status, 0);
    EXPECT_EQ(test::ReadBytes(dir / "r.txt.partial"), source);
    fs::rename(dir / "r.txt.partial", dir / "PNXYZ.REC");
    const CliRun work = Cli({"transform", "g", "PNXYZ.REC", "r", "--data", data, "--work-dir", "."});
    EXPECT_EQ(work.status, 2);
    EXPECT_EQ(work.err, "Nume fisier intrare identic cu nume fisier iesire!\n");
    EXPECT_EQ(test::ReadBytes(dir / "PNXYZ.REC"), source);

    // A result name that is a folder.
    fs::create_directory(dir / "sub");
    for (const std::string result : {"sub/", "sub/.", "."}) {
        const CliRun folder = Cli({"transform", "g", "PNXYZ.REC", result, "--data", data});
        EXPECT_EQ(folder.status, 2) << result;
        EXPECT_EQ(folder.err, "Nume fisier cu rezultate invalid!\n") << result;
    }
    EXPECT_TRUE(fs::is_empty(dir / "sub"));
}

} // namespace
} // namespace velmora
