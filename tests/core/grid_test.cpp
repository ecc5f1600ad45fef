// Correction grid lookups on grids the tests write themselves.
#include "core/CorrectionGrid.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include <sys/stat.h>

namespace velmora {
namespace {

using test::RecordingConsole;
using test::TempDir;
using test::WriteGrid;

class GridTest : public ::testing::Test {
protected:
    // A quasigeoid grid 20..30 E, 43..49 N at 0.5 degrees holding the given field.
    void WriteQuasigeoid(const std::function<double(double, double)>& field, const char* name = kQuasigeoidGridName)
    {
        WriteGrid(dir / name, 20.0, 30.0, 43.0, 49.0, 0.5, 0.5, field);
    }
    std::optional<double> Zeta(double L, double B)
    {
        CoreEnv env{dir.Path(), 34, grids};
        return Reported(ZetaLookup(env, L, B));
    }
    std::optional<PlanePair> Shift(const std::string& name, double U1, double U2)
    {
        CoreEnv env{dir.Path(), 34, grids};
        return Reported(GridShiftLookup(env, name, U1, U2));
    }
    // A failure goes to the console as a command puts it there.
    template <class Value>
    std::optional<Value> Reported(const CoreResult<Value>& result)
    {
        if (!result) {
            ReportAndWait(console, result.Failure());
            return std::nullopt;
        }
        return *result;
    }

    TempDir dir;
    RecordingConsole console;
    GridCache grids;
};

TEST_F(GridTest, ReproducesLinearAndOneWayQuadraticFieldsAndNodes)
{
    WriteQuasigeoid([](double L, double B) { return 30.0 + 0.7 * L - 1.3 * B + 0.05 * L * B; });
    for (double L : {21.13, 24.5, 26.99, 28.2})
        for (double B : {43.77, 45.01, 47.5, 48.3})
            EXPECT_NEAR(*Zeta(L, B), 30.0 + 0.7 * L - 1.3 * B + 0.05 * L * B, 1e-10) << L << " " << B;

    GridCache fresh;
    grids = std::move(fresh);
    WriteQuasigeoid([](double L, double B) { return 2.0 * L * L - 0.1 * B; });
    for (double L : {21.13, 24.5, 26.99, 28.2})
        EXPECT_NEAR(*Zeta(L, 45.3), 2.0 * L * L - 0.1 * 45.3, 1e-9) << L;

    grids = GridCache();
    WriteQuasigeoid([](double L, double B) { return std::sin(L) * std::cos(B); });
    EXPECT_EQ(*Zeta(25.0, 46.0), std::sin(25.0) * std::cos(46.0));
    EXPECT_EQ(console.Reads(), 0);
}

TEST_F(GridTest, BoundingBoxExcludesTheOuterNodesAndItsLimits)
{
    WriteQuasigeoid([](double L, double) { return L; });
    for (auto [L, B] : {std::pair{20.5, 46.0}, {29.5, 46.0}, {25.0, 43.5}, {25.0, 48.5}, {19.0, 46.0}}) {
        console.Clear();
        EXPECT_FALSE(Zeta(L, B));
        EXPECT_EQ(console.Text(), "Error: Outside bounding box of EGG97_QGRJ.GRD!\nTastati <Enter>...<read>");
    }
    console.Clear();
    EXPECT_NEAR(*Zeta(20.5000001, 43.5000001), 20.5000001, 1e-9); // uses columns 0 to 3
    EXPECT_TRUE(Zeta(29.4999999, 48.4999999));
    EXPECT_EQ(console.Reads(), 0);
}

TEST_F(GridTest, NoDataNodesAmongTheSixteen)
{
    // The node at column 9 (24.5 E), row 6 (46 N) holds the value under test; the point's cell
    // is 25..25.5 E, 46.5..47 N, so that node is a neighbour, not a corner.
    auto gridWith = [&](double value) {
        grids = GridCache();
        WriteQuasigeoid([value](double L, double B) { return (L == 24.5 && B == 46.0) ? value : 10.0; });
        console.Clear();
        return Zeta(25.2, 46.7);
    };
    EXPECT_FALSE(gridWith(999.4));
    EXPECT_EQ(console.Text(), "Error: Outside of border!\nTastati <Enter>...<read>");
    EXPECT_FALSE(gridWith(999.0));
    EXPECT_TRUE(gridWith(998.9));
    EXPECT_TRUE(gridWith(-999.0));
    EXPECT_TRUE(gridWith(1000.0));
    EXPECT_EQ(console.Reads(), 0);
}

TEST_F(GridTest, TwoValueGridsNameTheFullPathAndKeepThePromptOnTheLine)
{
    WriteGrid(dir / "plane.grd", 0.0, 1000.0, 0.0, 1000.0, 100.0, 100.0,
              [](double e, double n) { return 0.001 * e + 0.002 * n; },
              [](double e, double n) { return e >= 700.0 && n >= 700.0 ? 999.0 : -0.003 * e; });
    const auto shift = Shift("plane.grd", 345.0, 456.0);
    ASSERT_TRUE(shift);
    EXPECT_NEAR(shift->first, 0.001 * 345.0 + 0.002 * 456.0, 1e-12);
    EXPECT_NEAR(shift->second, -0.003 * 345.0, 1e-12);

    EXPECT_FALSE(Shift("plane.grd", 650.0, 650.0));
    EXPECT_EQ(console.Text(), "Error: Outside of border!Tastati <Enter>...<read>");
    console.Clear();
    EXPECT_FALSE(Shift("plane.grd", 50.0, 650.0));
    EXPECT_EQ(console.Text(), "Error: Outside bounding box of " + (dir / "plane.grd").string() + "!\nTastati <Enter>...<read>");
    console.Clear();
    EXPECT_FALSE(Shift("missing.grd", 500.0, 500.0));
    EXPECT_EQ(console.Text(), "I/O " + (dir / "missing.grd").string() + " File Error!\nTastati <Enter>...<read>");
}

TEST_F(GridTest, BucharestBoxChoosesItsOwnFile)
{
    WriteQuasigeoid([](double, double) { return 1.0; });
    WriteGrid(dir / kBucharestQuasigeoidGridName, 25.9, 26.3, 44.3, 44.6, 0.01, 0.01, [](double, double) { return 2.0; });
    EXPECT_EQ(*Zeta(25.98161988, 44.4), 2.0);
    EXPECT_EQ(*Zeta(25.98161987, 44.4), 1.0);
    EXPECT_EQ(*Zeta(26.22410817, 44.51947112), 2.0);
    EXPECT_EQ(*Zeta(26.1, 44.51947113), 1.0);

    std::filesystem::remove(dir / kBucharestQuasigeoidGridName);
    grids = GridCache();
    EXPECT_FALSE(Zeta(26.1, 44.4));
    EXPECT_EQ(console.Text(), "I/O zitaBucx.grd File Error!\nTastati <Enter>...<read>");
}

TEST_F(GridTest, FilesOfAnotherSizeThanTheHeaderSaysAreInputErrors)
{
    const std::string ioError = "I/O EGG97_QGRJ.GRD File Error!\nTastati <Enter>...<read>";
    auto resizeTo = [&](std::uintmax_t size) {
        WriteQuasigeoid([](double L, double) { return L; });
        std::filesystem::resize_file(dir / kQuasigeoidGridName, size);
        grids = GridCache();
        console.Clear();
    };
    // 21 x 13 nodes of one double behind the header: a byte short or a byte long is no grid,
    // not even for the points whose nodes are all there.
    const std::uintmax_t exact = 48 + 8 * 21 * 13;
    for (const std::uintmax_t size : {std::uintmax_t{40}, exact - 1, exact + 1, exact + 8, std::uintmax_t{48 + 8 * (21 * 8 + 3)}}) {
        resizeTo(size);
        EXPECT_FALSE(Zeta(25.0, 44.2)) << size;
        EXPECT_EQ(console.Text(), ioError);
    }
    resizeTo(exact);
    EXPECT_TRUE(Zeta(25.0, 44.2));

    // A header whose steps were doubled describes a quarter of the nodes: no longer read at the
    // wrong nodes.
    {
        std::fstream out(dir / kQuasigeoidGridName, std::ios::binary | std::ios::in | std::ios::out);
        out.seekp(32);
        test::WriteDoubles(out, {1.0, 1.0});
    }
    grids = GridCache();
    EXPECT_FALSE(Zeta(25.0, 44.2));
    EXPECT_EQ(console.Text(), ioError);

    // Zero or negative steps and non-finite headers describe no grid.
    for (const std::vector<double>& header : {std::vector<double>{20, 30, 43, 49, 0, 0.5},
                                              std::vector<double>{20, 30, 43, 49, 0.5, -0.5},
                                              std::vector<double>{20, 30, 43, NAN, 0.5, 0.5},
                                              std::vector<double>{20, 30, 43, 49, 1e-9, 0.5}}) {
        {
            std::ofstream out(dir / kQuasigeoidGridName, std::ios::binary | std::ios::trunc);
            test::WriteDoubles(out, header);
            test::WriteDoubles(out, std::vector<double>(1000, 1.0));
        }
        grids = GridCache();
        console.Clear();
        EXPECT_FALSE(Zeta(25.0, 46.0));
        EXPECT_EQ(console.Text(), ioError);
    }
}

TEST_F(GridTest, NonFiniteNodeValuesAreInputErrors)
{
    // Far from the point's nodes, a value that is neither a number nor no-data spoils the file.
    for (const double bad : {NAN, INFINITY, -INFINITY}) {
        WriteQuasigeoid([bad](double L, double B) { return L == 29.5 && B == 48.5 ? bad : 10.0; });
        grids = GridCache();
        console.Clear();
        EXPECT_FALSE(Zeta(22.0, 44.0));
        EXPECT_EQ(console.Text(), "I/O EGG97_QGRJ.GRD File Error!\nTastati <Enter>...<read>");
    }
    WriteGrid(dir / "plane.grd", 0.0, 1000.0, 0.0, 1000.0, 100.0, 100.0, [](double, double) { return 0.0; },
              [](double e, double) { return e == 0.0 ? NAN : 0.0; });
    console.Clear();
    EXPECT_FALSE(Shift("plane.grd", 500.0, 500.0));
    EXPECT_EQ(console.Text(), "I/O " + (dir / "plane.grd").string() + " File Error!\nTastati <Enter>...<read>");
}

TEST_F(GridTest, OnlyRegularFilesAreRead)
{
    // A directory, a FIFO without a writer and a link to an endless device: each is reported at
    // once, without waiting or reading without end.
    const auto grid = dir / kQuasigeoidGridName;
    std::filesystem::create_directory(grid);
    EXPECT_FALSE(Zeta(25.0, 46.0));
    std::filesystem::remove(grid);
    ASSERT_EQ(::mkfifo(grid.c_str(), 0600), 0);
    EXPECT_FALSE(Zeta(25.0, 46.0));
    std::filesystem::remove(grid);
    std::filesystem::create_symlink("/dev/zero", grid);
    EXPECT_FALSE(Zeta(25.0, 46.0));
    EXPECT_EQ(console.Text(), "I/O EGG97_QGRJ.GRD File Error!\nTastati <Enter>...<read>"
                              "I/O EGG97_QGRJ.GRD File Error!\nTastati <Enter>...<read>"
                              "I/O EGG97_QGRJ.GRD File Error!\nTastati <Enter>...<read>");

    // A link to a regular grid is followed.
    std::filesystem::remove(grid);
    WriteQuasigeoid([](double, double) { return 3.0; }, "real.grd");
    std::filesystem::create_symlink(dir / "real.grd", grid);
    EXPECT_EQ(*Zeta(25.0, 46.0), 3.0);
}

TEST_F(GridTest, RoundingAtTheLastCellKeepsTheStencilInsideTheGrid)
{
    // (0.2 - 0) / 0.1 rounds to just above 2, the column whose stencil would need a fifth column.
    const double max = 3 * 0.1;
    WriteGrid(dir / kQuasigeoidGridName, 0.0, max, 0.0, max, 0.1, 0.1, [](double L, double B) { return 30.0 + L + B; });
    EXPECT_NEAR(*Zeta(0.2, 0.15), 30.35, 1e-12);
    EXPECT_NEAR(*Zeta(0.15, 0.2), 30.35, 1e-12);
    EXPECT_EQ(console.Reads(), 0);
}

TEST(BicubicPatch, CornerValuesAndBilinearCase)
{
    std::array<double, 16> values{};
    for (int q = 0; q < 4; ++q)
        for (int p = 0; p < 4; ++p)
            values[static_cast<std::size_t>(q * 4 + p)] = 3.0 * (p - 1) - 2.0 * (q - 1) + (p - 1) * (q - 1);
    EXPECT_EQ(BicubicPatch(0.0, 0.0, values), 0.0);
    EXPECT_NEAR(BicubicPatch(0.25, 0.75, values), 0.75 - 1.5 + 0.1875, 1e-14);
}

} // namespace
} // namespace velmora
