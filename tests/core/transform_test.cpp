// The dispatcher's chains on smooth synthetic grids.
#include "core/CorrectionGrid.h"
#include "core/Stereo70.h"
#include "core/TransformPoint.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace velmora {
namespace {

using test::WriteGrid;

double Zeta(double L, double B) { return 30.0 + 0.8 * (L - 25.0) - 0.4 * (B - 46.0) + 0.02 * (L - 25.0) * (B - 46.0); }
double Shift1(double e, double n) { return 1.5 + 2e-6 * (e - 500000.0) - 1e-6 * (n - 500000.0); }
double Shift2(double e, double n) { return -0.8 + 1e-6 * (e - 500000.0) + 3e-6 * (n - 500000.0); }

class TransformTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteGrid(dir / kQuasigeoidGridName, 19.0, 31.0, 43.0, 49.0, 0.25, 0.25, Zeta);
        WriteGrid(dir / kBucharestQuasigeoidGridName, 25.9, 26.3, 44.3, 44.6, 0.02, 0.02,
                  [](double L, double B) { return Zeta(L, B) + 0.5; });
        WriteGrid(dir / kStereo70GridName, 0.0, 1000000.0, 0.0, 1000000.0, 10000.0, 10000.0, Shift1, Shift2);
        // Stereo30 around Bucharest, in the frame after Helmert set C.
        const NorthEast ne = StereoForward(kGrs80.a, kGrs80.invF, DegToRad(44.43), DegToRad(26.1));
        const PlanePair c = Helmert2D(kHelmertC, ne.E, ne.N);
        WriteGrid(dir / kStereo30GridName, c.first - 40000.0, c.first + 40000.0, c.second - 40000.0,
                  c.second + 40000.0, 1000.0, 1000.0, [](double, double) { return 0.2; },
                  [](double, double) { return -0.1; });
    }

    int Run(int type, int flag, double P1, double P2, double P3, double& o1, double& o2, double& o3, int zone = 34)
    {
        CoreEnv env{dir.Path(), zone, console, grids};
        return TransformPoint(env, type, flag, P1, P2, P3, o1, o2, o3);
    }

    test::TempDir dir;
    test::RecordingConsole console;
    GridCache grids;
};

TEST_F(TransformTest, EtrsToStereo70AssemblesTheChainAndComesBack)
{
    double x = 0.0, y = 0.0, H = 0.0;
    ASSERT_EQ(Run(1, 1, 26.7, 45.2, 400.0, x, y, H), 0);
    const NorthEast ne = StereoForward(kGrs80.a, kGrs80.invF, DegToRad(45.2), DegToRad(26.7));
    const PlanePair r = Helmert2D(kHelmertA, ne.E, ne.N);
    EXPECT_NEAR(x, r.second + Shift2(r.first, r.second), 1e-9);
    EXPECT_NEAR(y, r.first + Shift1(r.first, r.second), 1e-9);
    EXPECT_NEAR(H, 400.0 - Zeta(26.7, 45.2), 1e-9);

    double B = 0.0, L = 0.0, h = 0.0;
    ASSERT_EQ(Run(2, 1, y, x, H, B, L, h), 0);
    // The stored inverse Helmert set undoes the forward set to about 0.1 mm.
    EXPECT_NEAR(B, 45.2, 5e-9);
    EXPECT_NEAR(L, 26.7, 5e-9);
    EXPECT_NEAR(h, 400.0, 1e-6);
    EXPECT_EQ(console.Reads(), 0);
}

TEST_F(TransformTest, HeightFlagOtherThanOneMeansNoHeightAndNoQuasigeoid)
{
    std::filesystem::remove(dir / kQuasigeoidGridName);
    double o1 = 0.0, o2 = 0.0, o3 = 99.0;
    EXPECT_EQ(Run(1, 0, 26.7, 45.2, 400.0, o1, o2, o3), 0);
    EXPECT_EQ(o3, 0.0);
    o3 = 99.0;
    EXPECT_EQ(Run(2, 2, o2, o1, 400.0, o1, o2, o3), 0);
    EXPECT_EQ(o3, 0.0);

    // With a height the quasigeoid fails the point before the plane grid is consulted.
    std::filesystem::remove(dir / kStereo70GridName);
    grids = GridCache();
    EXPECT_EQ(Run(1, 1, 26.7, 45.2, 400.0, o1, o2, o3), -1);
    EXPECT_EQ(console.Text(), "I/O EGG97_QGRJ.GRD File Error!\nTastati <Enter>...<read>");
}

TEST_F(TransformTest, BucharestRoutesThroughEtrs)
{
    double E30 = 0.0, N30 = 0.0, H30 = 0.0;
    ASSERT_EQ(Run(3, 1, 26.1, 44.43, 90.0, E30, N30, H30), 0);
    EXPECT_NEAR(H30, 90.0 - Zeta(26.1, 44.43) - 0.5, 1e-9);
    double x70 = 0.0, y70 = 0.0, H70 = 0.0;
    ASSERT_EQ(Run(5, 1, E30, N30, H30, x70, y70, H70), 0);
    EXPECT_NEAR(H70, H30, 1e-6); // the height crosses ETRS89 at the same B, L
    double direct[3];
    ASSERT_EQ(Run(1, 1, 26.1, 44.43, 90.0, direct[0], direct[1], direct[2]), 0);
    EXPECT_NEAR(x70, direct[0], 5e-4);
    EXPECT_NEAR(y70, direct[1], 5e-4);
    double back[3];
    ASSERT_EQ(Run(6, 1, y70, x70, H70, back[0], back[1], back[2]), 0);
    EXPECT_NEAR(back[0], E30, 5e-4);
    EXPECT_NEAR(back[1], N30, 5e-4);
    double geo[3];
    ASSERT_EQ(Run(4, 0, E30, N30, 0.0, geo[0], geo[1], geo[2]), 0);
    EXPECT_NEAR(geo[0], 44.43, 5e-9);
    EXPECT_NEAR(geo[1], 26.1, 5e-9);
}

TEST_F(TransformTest, TransverseMercatorAndLaeaRoutes)
{
    double x = 0.0, y = 0.0, H = 0.0;
    ASSERT_EQ(Run(1, 1, 27.4, 46.3, 300.0, x, y, H), 0);
    double N7[3], N8[3];
    ASSERT_EQ(Run(7, 1, y, x, H, N7[0], N7[1], N7[2], 35), 0);
    ASSERT_EQ(Run(8, 1, y, x, H, N8[0], N8[1], N8[2], 35), 0);
    EXPECT_EQ(N7[0], N8[0]);
    EXPECT_EQ(N7[1], N8[1]);
    EXPECT_EQ(N7[2], N8[2]);
    double back[3];
    ASSERT_EQ(Run(10, 1, N7[1], N7[0], N7[2], back[0], back[1], back[2], 35), 0);
    EXPECT_NEAR(back[0], x, 5e-4);
    EXPECT_NEAR(back[1], y, 5e-4);
    EXPECT_NEAR(back[2], H, 1e-9);

    double laea[3];
    ASSERT_EQ(Run(11, 1, y, x, H, laea[0], laea[1], laea[2]), 0);
    EXPECT_NEAR(laea[2], N7[2], 1e-12); // the same EVRF2007 height
    ASSERT_EQ(Run(12, 1, laea[0], laea[1], laea[2], back[0], back[1], back[2]), 0);
    EXPECT_NEAR(back[0], x, 5e-4);
    EXPECT_NEAR(back[1], y, 5e-4);
    EXPECT_NEAR(back[2], H, 1e-9);
    EXPECT_EQ(console.Reads(), 0);
}

TEST_F(TransformTest, FailuresWriteTheirMessagesAndWait)
{
    double o[3];
    EXPECT_EQ(Run(9, 1, 500000.0, -1000.0, 0.0, o[0], o[1], o[2]), -1);
    EXPECT_EQ(console.Text(), "Eroare: Date invalide pentru TMzn\nTastati <Enter>...<read>");
    for (int type : {0, 16}) {
        console.Clear();
        EXPECT_EQ(Run(type, 1, 0.0, 0.0, 0.0, o[0], o[1], o[2]), -1);
        EXPECT_EQ(console.Text(), "Wrong choice for transformation! Your choice must be in [1, 2, ... 15]\n"
                                  "or I/O grid file errors!\nTastati <Enter>...<read>");
    }
    console.Clear();
    EXPECT_EQ(Run(1, 0, 35.0, 45.0, 0.0, o[0], o[1], o[2]), -1); // east of the plane grid
    EXPECT_EQ(console.Text(),
              "Error: Outside bounding box of " + (dir / kStereo70GridName).string() + "!\nTastati <Enter>...<read>");
}

TEST_F(TransformTest, ClosingStepKeepsTheHeight)
{
    double o[3];
    ASSERT_EQ(Run(15, 1, 25.5, 45.5, 123.4, o[0], o[1], o[2]), 0);
    EXPECT_EQ(o[2], 123.4);
    EXPECT_NEAR(o[0], 45.5, 1e-5); // a decimetre-level shift
    EXPECT_NEAR(o[1], 25.5, 1e-5);
    double x = 0.0, y = 0.0, H = 0.0;
    ASSERT_EQ(Run(1, 1, 25.5, 45.5, 123.4, x, y, H), 0);
    double viaStereo70[3];
    ASSERT_EQ(Run(13, 1, y, x, H, viaStereo70[0], viaStereo70[1], viaStereo70[2]), 0);
    EXPECT_NEAR(viaStereo70[0], o[0], 5e-9);
    EXPECT_NEAR(viaStereo70[1], o[1], 5e-9);
    EXPECT_NEAR(viaStereo70[2], 123.4, 1e-6);
    ASSERT_EQ(Run(14, 0, 0.0, 0.0, 5.0, o[0], o[1], o[2]), -1); // outside the Stereo30 grid
}

TEST(HelmertSets, InverseSetsUndoTheForwardSets)
{
    for (double e : {150000.0, 500000.0, 850000.0})
        for (double n : {250000.0, 500000.0, 750000.0}) {
            const PlanePair a = Helmert2D(kHelmertA, e, n);
            const PlanePair a2 = Helmert2D(kHelmertAInverse, a.first, a.second);
            EXPECT_NEAR(a2.first, e, 2e-4);
            EXPECT_NEAR(a2.second, n, 2e-4);
        }
    const NorthEast ne = StereoForward(kGrs80.a, kGrs80.invF, DegToRad(44.43), DegToRad(26.1));
    const PlanePair c = Helmert2D(kHelmertC, ne.E, ne.N);
    const PlanePair c2 = Helmert2D(kHelmertCInverse, c.first, c.second);
    EXPECT_NEAR(c2.first, ne.E, 2e-4);
    EXPECT_NEAR(c2.second, ne.N, 2e-4);
}

} // namespace
} // namespace velmora
