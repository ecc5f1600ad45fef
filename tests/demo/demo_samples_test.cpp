// The sample files in data/demo/samples: every visible command, rerun through velmora-cli on its
// samples, writes its committed result file byte for byte (a snapshot of what the program
// wrote), and every exterior sample ends the command on its last point without a result file.
// The results of the Romanian commands are also held against the published EPSG route through
// PROJ, which knows nothing of this program.
#include "cli/CliRun.h"
#include "files/SourceScan.h"
#include "support/ProjSession.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <set>
#include <sstream>
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

#ifdef VELMORA_HAVE_PROJ

// The point lines of a sample or result file, each split at its commas; the title line and the
// "ENDF" line are left out.
std::vector<std::vector<std::string>> PointLines(const std::string& name)
{
    std::istringstream text(ReadFile(kSamplesDir / name));
    std::vector<std::vector<std::string>> lines;
    std::string line;
    std::getline(text, line);
    while (std::getline(text, line) && !line.starts_with("ENDF")) {
        lines.push_back(test::CommaFields(line.substr(0, line.find('\r'))));
    }
    return lines;
}

double Degrees(const std::string& dms)
{
    double radians = 0.0;
    EXPECT_EQ(ParseDmsAngle(dms, radians), 0) << dms;
    return radians * 180.0 / std::numbers::pi;
}

double Number(const std::string& text)
{
    return std::stod(text);
}

// Pairs of a sample's point lines with its result's, line by line.
struct SamplePair {
    std::vector<std::string> source;
    std::vector<std::string> result;
};

std::vector<SamplePair> Pairs(const std::string& stem)
{
    const auto sources = PointLines(stem + ".txt");
    const auto results = PointLines(stem + "_rezultat.txt");
    EXPECT_FALSE(sources.empty());
    EXPECT_EQ(sources.size(), results.size());
    std::vector<SamplePair> pairs;
    for (std::size_t k = 0; k < std::min(sources.size(), results.size()); ++k)
        pairs.push_back({sources[k], results[k]});
    return pairs;
}

// The result files are printed to the millimetre (a hundred-thousandth of an arc second); the
// demonstration grids follow the route to a hundredth of a millimetre, the way back from Stereo70
// closes to half a millimetre, and the demonstration quasigeoid follows PROJ's EGM96 to 1.5 cm.
constexpr double kPlaneTolerance = 0.0015;
constexpr double kAngleTolerance = 0.003 / 111000.0;
constexpr double kHeightTolerance = 0.02;

TEST(DemoSamplesProj, RomanianResultsFollowThePublishedRoute)
{
    const test::ProjSession proj;
    const auto toStereo70 = proj.CrsToCrs("EPSG:4258", "EPSG:3844");
    const auto toLaea = proj.CrsToCrs("EPSG:3844", "EPSG:3035");
    ASSERT_TRUE(toStereo70 && toLaea) << "PROJ has no route between ETRS89 and Stereo70";
    const auto egm96 = proj.Egm96();

    // ETRS89 (B, L, h) -> Stereo70 (x North, y East, H = h - zeta).
    for (const auto& [source, result] : Pairs("3_etrs89-stereo70")) {
        SCOPED_TRACE(source[0]);
        const double B = Degrees(source[1]);
        const double L = Degrees(source[2]);
        const PJ_COORD ref = proj_trans(toStereo70.get(), PJ_FWD, proj_coord(L, B, 0.0, 0.0));
        EXPECT_NEAR(Number(result[1]), ref.xy.y, kPlaneTolerance);
        EXPECT_NEAR(Number(result[2]), ref.xy.x, kPlaneTolerance);
        if (source.size() > 3 && egm96) {
            const double zeta = proj_trans(egm96.get(), PJ_FWD, proj_coord(L, B, 0.0, 0.0)).xyz.z;
            EXPECT_NEAR(Number(result[3]), Number(source[3]) - zeta, kHeightTolerance);
        }
    }
    // Stereo70 (x, y) -> ETRS89 (B, L).
    for (const auto& [source, result] : Pairs("4_stereo70-etrs89")) {
        SCOPED_TRACE(source[0]);
        const PJ_COORD ref = proj_trans(toStereo70.get(), PJ_INV, proj_coord(Number(source[2]), Number(source[1]), 0, 0));
        EXPECT_NEAR(Degrees(result[1]), ref.lp.phi, kAngleTolerance);
        EXPECT_NEAR(Degrees(result[2]), ref.lp.lam, kAngleTolerance);
    }
    // Stereo70 (x, y) -> LAEA (x East, y North).
    for (const auto& [source, result] : Pairs("g_stereo70-laea")) {
        SCOPED_TRACE(source[0]);
        const PJ_COORD ref = proj_trans(toLaea.get(), PJ_FWD, proj_coord(Number(source[2]), Number(source[1]), 0, 0));
        EXPECT_NEAR(Number(result[1]), ref.xy.x, kPlaneTolerance);
        EXPECT_NEAR(Number(result[2]), ref.xy.y, kPlaneTolerance);
    }
}

#endif // VELMORA_HAVE_PROJ

} // namespace
} // namespace velmora
