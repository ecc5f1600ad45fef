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
using T = TransformationType;

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

    CoreResult<ChainResult> Run(T type, int flag, double P1, double P2, double P3, int zone = 34)
    {
        CoreEnv env{dir.Path(), zone, grids};
        return TransformPoint(env, type, flag, P1, P2, P3);
    }

    // A chain that must succeed.
    ChainResult Ok(T type, int flag, double P1, double P2, double P3, int zone = 34)
    {
        const auto result = Run(type, flag, P1, P2, P3, zone);
        EXPECT_TRUE(result) << result.Failure().text;
        return result ? *result : ChainResult{};
    }

    test::TempDir dir;
    GridCache grids;
};

TEST_F(TransformTest, EtrsToStereo70AssemblesTheChainAndComesBack)
{
    const auto [x, y, H] = Ok(T::EtrsToStereo70, 1, 26.7, 45.2, 400.0);
    const NorthEast ne = StereoForward(kGrs80.a, kGrs80.invF, DegToRad(45.2), DegToRad(26.7));
    const PlanePair r = Helmert2D(kHelmertA, ne.E, ne.N);
    EXPECT_NEAR(x, r.second + Shift2(r.first, r.second), 1e-9);
    EXPECT_NEAR(y, r.first + Shift1(r.first, r.second), 1e-9);
    EXPECT_NEAR(H, 400.0 - Zeta(26.7, 45.2), 1e-9);

    const auto [B, L, h] = Ok(T::Stereo70ToEtrs, 1, y, x, H);
    // The stored inverse Helmert set undoes the forward set to about 0.1 mm.
    EXPECT_NEAR(B, 45.2, 5e-9);
    EXPECT_NEAR(L, 26.7, 5e-9);
    EXPECT_NEAR(h, 400.0, 1e-6);
}

TEST_F(TransformTest, HeightFlagOtherThanOneMeansNoHeightAndNoQuasigeoid)
{
    std::filesystem::remove(dir / kQuasigeoidGridName);
    const ChainResult plane = Ok(T::EtrsToStereo70, 0, 26.7, 45.2, 400.0);
    EXPECT_EQ(plane.third, 0.0);
    EXPECT_EQ(Ok(T::Stereo70ToEtrs, 2, plane.second, plane.first, 400.0).third, 0.0);

    // With a height the quasigeoid fails the point before the plane grid is consulted.
    std::filesystem::remove(dir / kStereo70GridName);
    grids = GridCache();
    const auto failed = Run(T::EtrsToStereo70, 1, 26.7, 45.2, 400.0);
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.Failure().text, "I/O EGG97_QGRJ.GRD File Error!\n");
}

TEST_F(TransformTest, BucharestRoutesThroughEtrs)
{
    const auto [E30, N30, H30] = Ok(T::EtrsToStereo30, 1, 26.1, 44.43, 90.0);
    EXPECT_NEAR(H30, 90.0 - Zeta(26.1, 44.43) - 0.5, 1e-9);
    const auto [x70, y70, H70] = Ok(T::Stereo30ToStereo70, 1, E30, N30, H30);
    EXPECT_NEAR(H70, H30, 1e-6); // the height crosses ETRS89 at the same B, L
    const ChainResult direct = Ok(T::EtrsToStereo70, 1, 26.1, 44.43, 90.0);
    EXPECT_NEAR(x70, direct.first, 5e-4);
    EXPECT_NEAR(y70, direct.second, 5e-4);
    const ChainResult back = Ok(T::Stereo70ToStereo30, 1, y70, x70, H70);
    EXPECT_NEAR(back.first, E30, 5e-4);
    EXPECT_NEAR(back.second, N30, 5e-4);
    const ChainResult geo = Ok(T::Stereo30ToEtrs, 0, E30, N30, 0.0);
    EXPECT_NEAR(geo.first, 44.43, 5e-9);
    EXPECT_NEAR(geo.second, 26.1, 5e-9);
}

TEST_F(TransformTest, TransverseMercatorAndLaeaRoutes)
{
    const auto [x, y, H] = Ok(T::EtrsToStereo70, 1, 27.4, 46.3, 300.0);
    const ChainResult N7 = Ok(T::Stereo70ToTm, 1, y, x, H, 35);
    const ChainResult N8 = Ok(T::Stereo70ToTmZone35, 1, y, x, H, 35);
    EXPECT_EQ(N7.first, N8.first);
    EXPECT_EQ(N7.second, N8.second);
    EXPECT_EQ(N7.third, N8.third);
    ChainResult back = Ok(T::TmZone35ToStereo70, 1, N7.second, N7.first, N7.third, 35);
    EXPECT_NEAR(back.first, x, 5e-4);
    EXPECT_NEAR(back.second, y, 5e-4);
    EXPECT_NEAR(back.third, H, 1e-9);

    const ChainResult laea = Ok(T::Stereo70ToLaea, 1, y, x, H);
    EXPECT_NEAR(laea.third, N7.third, 1e-12); // the same EVRF2007 height
    back = Ok(T::LaeaToStereo70, 1, laea.first, laea.second, laea.third);
    EXPECT_NEAR(back.first, x, 5e-4);
    EXPECT_NEAR(back.second, y, 5e-4);
    EXPECT_NEAR(back.third, H, 1e-9);
}

TEST_F(TransformTest, FailuresCarryTheirDiagnostics)
{
    auto failed = Run(T::TmToStereo70, 1, 500000.0, -1000.0, 0.0);
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.Failure().text, "Eroare: Date invalide pentru TMzn\n");
    for (int type : {0, 16}) {
        failed = Run(static_cast<T>(type), 1, 0.0, 0.0, 0.0);
        ASSERT_FALSE(failed);
        EXPECT_EQ(failed.Failure().text, "Wrong choice for transformation! Your choice must be in [1, 2, ... 15]\n"
                                         "or I/O grid file errors!\n");
    }
    failed = Run(T::EtrsToStereo70, 0, 35.0, 45.0, 0.0); // east of the plane grid
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.Failure().text, "Error: Outside bounding box of " + (dir / kStereo70GridName).string() + "!\n");
}

TEST_F(TransformTest, InputsBeyondTheirDomainAndNonNumbersFail)
{
    const std::string wrongType = "Wrong choice for transformation! Your choice must be in [1, 2, ... 15]\n"
                                  "or I/O grid file errors!\n";
    // A latitude of 500 degrees is 140 on the formulas' circle: no grid would stop the closing step.
    for (const T type : {T::EtrsClosing, T::EtrsToStereo70, T::EtrsToStereo30}) {
        for (const auto& [L, B] : {std::pair{26.0, 500.0}, {1e308, 44.0}, {-180.5, 45.0}, {26.0, NAN}}) {
            const auto failed = Run(type, 1, L, B, 10.0);
            ASSERT_FALSE(failed) << static_cast<int>(type) << " " << L << " " << B;
            EXPECT_EQ(failed.Failure().text, "Eroare: Date invalide pentru ETRS89\n");
        }
    }
    // A height that is no number passes no step that would notice it; the result is refused.
    const auto failed = Run(T::EtrsClosing, 1, 25.5, 45.5, NAN);
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.Failure().text, wrongType);
    EXPECT_TRUE(Run(T::EtrsClosing, 0, 25.5, 45.5, NAN)); // unused without height
}

TEST_F(TransformTest, ClosingStepKeepsTheHeight)
{
    const ChainResult o = Ok(T::EtrsClosing, 1, 25.5, 45.5, 123.4);
    EXPECT_EQ(o.third, 123.4);
    EXPECT_NEAR(o.first, 45.5, 1e-5); // a decimetre-level shift
    EXPECT_NEAR(o.second, 25.5, 1e-5);
    const auto [x, y, H] = Ok(T::EtrsToStereo70, 1, 25.5, 45.5, 123.4);
    const ChainResult viaStereo70 = Ok(T::Stereo70ToEtrsClosing, 1, y, x, H);
    EXPECT_NEAR(viaStereo70.first, o.first, 5e-9);
    EXPECT_NEAR(viaStereo70.second, o.second, 5e-9);
    EXPECT_NEAR(viaStereo70.third, 123.4, 1e-6);
    EXPECT_FALSE(Run(T::Stereo30ToEtrsClosing, 0, 0.0, 0.0, 5.0)); // outside the Stereo30 grid
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
