// The point command of velmora-cli, run in-process with its streams captured.
#include "cli/CliRun.h"
#include "core/CorrectionGrid.h"
#include "core/TransformPoint.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>


namespace velmora {
namespace {

class PointCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::WriteGrid(dir / kQuasigeoidGridName, 19.0, 31.0, 43.0, 49.0, 0.5, 0.5, [](double, double) { return 35.0; });
        test::WriteGrid(dir / kStereo70GridName, 0.0, 1000000.0, 0.0, 1000000.0, 50000.0, 50000.0,
                        [](double, double) { return 0.0; }, [](double, double) { return 0.0; });
    }
    test::TempDir dir;
};

TEST_F(PointCommand, PrintsTheThreeResultsAtFullPrecision)
{
    const CliRun run = Cli({"point", "1", "25", "46", "135.5", "--data", dir.Path().string()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    // The origin of the projection after Helmert set A, with a zero correction grid.
    const PlanePair r = Helmert2D(kHelmertA, 500000.0, 500000.0);
    char expected[128];
    std::snprintf(expected, sizeof expected, "%.17g %.17g %.17g\n", r.second, r.first, 100.5);
    EXPECT_EQ(run.out, expected);

    const CliRun noHeight = Cli({"--data=" + dir.Path().string(), "point", "1", "25", "46"});
    EXPECT_EQ(noHeight.status, 0);
    EXPECT_EQ(noHeight.out.substr(noHeight.out.rfind(' ')), " 0\n");
}

TEST_F(PointCommand, FailureWaitsForOneLineThenReports)
{
    const CliRun run = Cli({"point", "1", "40", "46", "--data", dir.Path().string()}, "first\nsecond\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Error: Outside bounding box of " + (dir / kStereo70GridName).string() +
                           "!\nTastati <Enter>...Eroare: nu se poate transforma punctul introdus\n");
    EXPECT_EQ(run.unread, "second\n");

    // Off the sphere, where no grid would stop the closing step.
    const CliRun offSphere = Cli({"point", "15", "26", "500", "10", "--data", dir.Path().string()});
    EXPECT_EQ(offSphere.status, 1);
    EXPECT_EQ(offSphere.err, "Eroare: Date invalide pentru ETRS89\nTastati <Enter>...Eroare: nu se poate transforma "
                             "punctul introdus\n");
    EXPECT_EQ(offSphere.out, "");
    EXPECT_EQ(Cli({"point", "15", "1e308", "44", "--data", dir.Path().string()}).status, 1);
}

TEST(CliArguments, UsageErrorsAndHelp)
{
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, {"point"}, {"point", "1", "2"}, {"point", "x", "1", "2"},
          {"point", "1", "2", "abc"}, {"point", "1", "2", "3", "4", "5"}, {"point", "1", "nan", "2"},
          {"point", "1", "2", "3", "--zone", "33"}, {"point", "1", "2", "3", "--zone"}, {"frobnicate"},
          {"point", "1", "2", "3", "--colour"}, {"point", "0", "1", "2"}, {"point", "16", "1", "2"}}) {
        const CliRun run = Cli(args);
        EXPECT_EQ(run.status, 2) << ::testing::PrintToString(args);
        EXPECT_NE(run.err.find("Usage: velmora-cli"), std::string::npos);
        EXPECT_EQ(run.out, "");
    }
    const CliRun help = Cli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--zone 34|35"), std::string::npos);
}

TEST_F(PointCommand, NegativeNumbersAreValuesNotOptions)
{
    // Type 9 from a North far south of the equator: a Transverse Mercator failure, not a usage error.
    const CliRun run = Cli({"point", "9", "500000", "-1000", "--zone", "35", "--data", dir.Path().string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Eroare: Date invalide pentru TMzn\nTastati <Enter>...Eroare: nu se poate transforma punctul introdus\n");
}

} // namespace
} // namespace velmora
