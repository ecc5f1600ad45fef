// The sample files in data/demo/samples: every visible command, rerun through velmora-cli on its
// samples, writes its committed result file byte for byte, and every exterior sample ends the
// command on its last point without a result file.
#include "cli/CliRun.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace velmora {
namespace {

namespace fs = std::filesystem;

const fs::path kDemoDir = VELMORA_DEMO_DATA_DIR;
const fs::path kSamplesDir = kDemoDir / "samples";

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The sources, in name order: CODE_NAME.txt, CODE_NAME_zona35.txt, CODE_NAME_exterior.txt.
std::vector<fs::path> Sources()
{
    std::vector<fs::path> sources;
    for (const auto& entry : fs::directory_iterator(kSamplesDir)) {
        const std::string stem = entry.path().stem().string();
        if (entry.path().extension() == ".txt" && !stem.ends_with("_rezultat"))
            sources.push_back(entry.path());
    }
    std::sort(sources.begin(), sources.end());
    return sources;
}

class DemoSamples : public ::testing::Test {
protected:
    void SetUp() override { fs::current_path(dir.Path()); }
    void TearDown() override { fs::current_path(fs::temp_directory_path()); }

    test::TempDir dir;
};

TEST_F(DemoSamples, EveryCommandReproducesItsResultFiles)
{
    std::set<char> withResult;
    std::set<char> withExterior;
    for (const fs::path& source : Sources()) {
        SCOPED_TRACE(source.filename().string());
        const std::string stem = source.stem().string();
        const std::string code = stem.substr(0, 1);
        const std::string zone = stem.ends_with("_zona35") ? "35" : "34";
        EXPECT_TRUE(ReadFile(source).starts_with("DATE DEMONSTRATIVE, nu pentru lucrari topografice"));
        fs::remove(dir / "rez.txt");

        const CliRun run = Cli({"transform", code, source.string(), "rez", "--zone", zone, "--data", kDemoDir.string()});
        const fs::path golden = kSamplesDir / (stem + "_rezultat.txt");
        if (stem.ends_with("_exterior")) {
            EXPECT_FALSE(fs::exists(golden));
            EXPECT_EQ(run.status, 1);
            EXPECT_TRUE(run.err.ends_with("Eroare: nu se poate transforma punctul PUNCT_EXTERIOR\n")) << run.err;
            EXPECT_FALSE(fs::exists(dir / "rez.txt"));
            withExterior.insert(code[0]);
        } else {
            ASSERT_TRUE(fs::exists(golden));
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(ReadFile(dir / "rez.txt"), ReadFile(golden));
            withResult.insert(code[0]);
        }
    }
    EXPECT_EQ(withResult, (std::set<char>{'3', '4', '5', '6', '8', '9', 'e', 'f', 'g', 'h'}));
    // The model commands list a point outside their zone instead of failing on it.
    EXPECT_EQ(withExterior, (std::set<char>{'3', '4', '8', '9', 'e', 'f', 'g', 'h'}));
}

} // namespace
} // namespace velmora
