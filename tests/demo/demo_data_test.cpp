// The demonstration correction grids in data/demo: coverage of the country, agreement of the
// ETRS89 -> Stereo70 chain with the published route through PROJ, the round trip, and the
// quasigeoid against EGM96.
#include "core/CorrectionGrid.h"
#include "core/CoreEnv.h"
#include "core/TransformPoint.h"
#include "support/ProjSession.h"
#include "support/TestSupport.h"
#include "support/Transform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <optional>
#include <vector>


namespace velmora {
namespace {

const std::filesystem::path kDemoDir = VELMORA_DEMO_DATA_DIR;

// The Bucharest box, in which the Bucharest quasigeoid grid is read.
constexpr double kBoxMinL = 25.98161988, kBoxMaxL = 26.22410817;
constexpr double kBoxMinB = 44.34914006, kBoxMaxB = 44.51947112;

struct LonLat {
    double L;
    double B;
};

// A rough outline of Romania (decimal degrees), generous by a few kilometres.
const std::vector<LonLat> kRomania = {
    {20.25, 46.12}, {21.0, 46.75}, {21.6, 47.6},  {22.3, 47.8},  {22.9, 48.0},  {23.9, 48.0},
    {24.9, 47.75},  {26.2, 48.0},  {26.65, 48.28}, {27.4, 47.75}, {28.2, 47.0},  {28.25, 46.0},
    {28.25, 45.47}, {28.8, 45.25}, {29.75, 45.25}, {29.7, 44.8},  {28.8, 44.3},  {28.6, 43.73},
    {27.9, 43.98},  {27.3, 44.13}, {26.1, 43.7},   {25.35, 43.6}, {24.3, 43.7},  {23.0, 43.8},
    {22.5, 44.2},   {22.7, 44.55}, {22.0, 44.6},   {21.35, 44.8}, {21.4, 45.2},  {20.7, 45.5},
};

bool InsideRomania(double L, double B)
{
    bool inside = false;
    for (std::size_t k = 0, prev = kRomania.size() - 1; k < kRomania.size(); prev = k++) {
        const LonLat& a = kRomania[k];
        const LonLat& b = kRomania[prev];
        if ((a.B > B) != (b.B > B) && L < (b.L - a.L) * (B - a.B) / (b.B - a.B) + a.L)
            inside = !inside;
    }
    return inside;
}

// Points inside the outline on a lattice of the given spacing in degrees. The lattice is not
// aligned with the grid nodes, so that the points fall at all positions within the cells.
std::vector<LonLat> RomaniaLattice(double spacing)
{
    std::vector<LonLat> points;
    for (double B = 43.5 + spacing / 3.0; B <= 48.4; B += spacing)
        for (double L = 20.1 + spacing / 7.0; L <= 29.9; L += spacing)
            if (InsideRomania(L, B))
                points.push_back({L, B});
    return points;
}

class DemoData : public ::testing::Test {
protected:
    GridCache grids;
    CoreEnv env{kDemoDir, 35, grids};

    double Zeta(double L, double B)
    {
        const CoreResult<double> value = ZetaLookup(env, L, B);
        EXPECT_TRUE(value) << L << " " << B << value.Failure().text;
        return value ? *value : 0.0;
    }

    ChainResult Transform(TransformationType type, int heightFlag, double P1, double P2, double P3)
    {
        return test::MustTransform(env, type, heightFlag, P1, P2, P3);
    }
};

// The whole rectangle around the country (and so the outline above), borders included, passes
// both quasigeoid grids and both plane grids in both directions: there is nothing the lookups
// would refuse inside Romania.
TEST_F(DemoData, EveryPointOfTheCountryPassesTheGrids)
{
    constexpr double kMinL = 20.2, kMaxL = 29.8, kMinB = 43.6, kMaxB = 48.3;
    constexpr int kStepsL = 192, kStepsB = 94; // 0.05 degrees
    int points = 0;
    for (int j = 0; j <= kStepsB; ++j) {
        for (int i = 0; i <= kStepsL; ++i) {
            const double L = kMinL + (kMaxL - kMinL) * i / kStepsL;
            const double B = kMinB + (kMaxB - kMinB) * j / kStepsB;
            const ChainResult plane = Transform(TransformationType::EtrsToStereo70, 1, L, B, 200.0);
            Transform(TransformationType::Stereo70ToEtrs, 1, plane.second, plane.first, plane.third);
            ASSERT_FALSE(HasFailure()) << L << " " << B;
            ++points;
        }
    }
    EXPECT_EQ(points, 193 * 95);

    // The Bucharest box, its edges included, with the Bucharest quasigeoid and Stereo30.
    for (int j = 0; j <= 20; ++j) {
        for (int i = 0; i <= 20; ++i) {
            const double L = kBoxMinL + (kBoxMaxL - kBoxMinL) * i / 20;
            const double B = kBoxMinB + (kBoxMaxB - kBoxMinB) * j / 20;
            const auto [e, n, H] = Transform(TransformationType::EtrsToStereo30, 1, L, B, 80.0);
            const auto [B2, L2, h2] = Transform(TransformationType::Stereo30ToEtrs, 1, e, n, H);
            ASSERT_FALSE(HasFailure()) << L << " " << B;
            EXPECT_NEAR(B2, B, 1e-8);
            EXPECT_NEAR(L2, L, 1e-8);
            // On the box edge the way back may land just outside and read the country grid.
            EXPECT_NEAR(h2, 80.0, 0.015);
        }
    }
}

// Inside the Bucharest box the finer grid takes over; both sample the same surface, so a point
// on the edge and one just outside it get nearly the same height anomaly.
TEST_F(DemoData, QuasigeoidGridsMeetAtTheBucharestBoxEdge)
{
    constexpr double kOut = 1e-9;
    double worst = 0.0;
    for (int k = 0; k <= 50; ++k) {
        const double L = kBoxMinL + (kBoxMaxL - kBoxMinL) * k / 50;
        const double B = kBoxMinB + (kBoxMaxB - kBoxMinB) * k / 50;
        worst = std::max({worst, std::fabs(Zeta(L, kBoxMinB) - Zeta(L, kBoxMinB - kOut)),
                          std::fabs(Zeta(L, kBoxMaxB) - Zeta(L, kBoxMaxB + kOut)),
                          std::fabs(Zeta(kBoxMinL, B) - Zeta(kBoxMinL - kOut, B)),
                          std::fabs(Zeta(kBoxMaxL, B) - Zeta(kBoxMaxL + kOut, B))});
    }
    std::cout << "largest step of zeta across the Bucharest box edge " << worst << " m\n";
    EXPECT_LT(worst, 0.015);
}

// Stereo70 and back with heights: the inverse looks its correction up at the corrected point and
// uses the rounded stored inverse Helmert set, so the round trip closes to a fraction of a
// millimetre, not exactly.
TEST_F(DemoData, Stereo70RoundTrip)
{
    double worstPlane = 0.0; // metres, via the Stereo70 coordinates
    double worstHeight = 0.0;
    for (const LonLat& p : RomaniaLattice(0.23)) {
        const double h = 50.0 + 10.0 * (p.L - 20.0) * (p.B - 43.0);
        const auto [x, y, H] = Transform(TransformationType::EtrsToStereo70, 1, p.L, p.B, h);
        const auto [B2, L2, h2] = Transform(TransformationType::Stereo70ToEtrs, 1, y, x, H);
        ASSERT_FALSE(HasFailure());
        // Degrees to metres on the ground: 111 km per degree of latitude, less in longitude.
        const double dN = (B2 - p.B) * 111.2e3;
        const double dE = (L2 - p.L) * 111.3e3 * std::cos(DegToRad(p.B));
        worstPlane = std::max(worstPlane, std::hypot(dN, dE));
        worstHeight = std::max(worstHeight, std::fabs(h2 - h));
    }
    std::cout << "type 1 -> type 2: largest position error " << worstPlane << " m, height " << worstHeight
              << " m\n";
    EXPECT_LT(worstPlane, 5e-4);
    EXPECT_LT(worstHeight, 1e-6);
}

#ifdef VELMORA_HAVE_PROJ

class DemoDataProj : public DemoData {
protected:
    test::ProjSession proj;
};

// ETRS89 -> Stereo70 on the demonstration grid against PROJ's own route for EPSG:4258 ->
// EPSG:3844 (the published seven-parameter transformation and the Stereo70 projection).
TEST_F(DemoDataProj, Stereo70MatchesThePublishedTransformation)
{
    const auto op = proj.CrsToCrs("EPSG:4258", "EPSG:3844");
    ASSERT_TRUE(op) << "PROJ has no route EPSG:4258 -> EPSG:3844";
    const std::vector<LonLat> points = RomaniaLattice(0.23);
    ASSERT_GT(points.size(), 300u);
    double worst = 0.0;
    for (const LonLat& p : points) {
        const PJ_COORD ref = proj_trans(op.get(), PJ_FWD, proj_coord(p.L, p.B, 0.0, 0.0));
        const ChainResult xy = Transform(TransformationType::EtrsToStereo70, 0, p.L, p.B, 0.0);
        ASSERT_FALSE(HasFailure());
        worst = std::max({worst, std::fabs(xy.first - ref.xy.y), std::fabs(xy.second - ref.xy.x)});
    }
    std::cout << points.size() << " points, largest |type 1 - PROJ| " << worst << " m\n";
    EXPECT_LT(worst, 1e-5);
}

// Both quasigeoid grids against PROJ's EGM96 (bilinear over the 15' grid). The demonstration
// grids hold EGM96 at their nodes; the bicubic patch follows the bilinear surface except next to
// the 15' lines, where that surface bends, and parts from it there by up to about a centimetre.
TEST_F(DemoDataProj, QuasigeoidReproducesEgm96)
{
    const auto egm96 = proj.Egm96();
    if (!egm96)
        GTEST_SKIP() << "egm96_15.gtx is not installed";

    auto undulation = [&](double L, double B) {
        return proj_trans(egm96.get(), PJ_FWD, proj_coord(L, B, 0.0, 0.0)).xyz.z;
    };
    // On an EGM96 node the value is the node's.
    EXPECT_NEAR(Zeta(26.0, 45.0), undulation(26.0, 45.0), 1e-6);
    EXPECT_NEAR(Zeta(26.0, 44.5), undulation(26.0, 44.5), 1e-6); // inside the Bucharest box

    double worstCountry = 0.0;
    for (const LonLat& p : RomaniaLattice(0.07))
        worstCountry = std::max(worstCountry, std::fabs(Zeta(p.L, p.B) - undulation(p.L, p.B)));
    double worstBucharest = 0.0;
    for (double B = 44.351; B < 44.519; B += 0.0037)
        for (double L = 25.983; L < 26.224; L += 0.0041)
            worstBucharest = std::max(worstBucharest, std::fabs(Zeta(L, B) - undulation(L, B)));
    std::cout << "largest |zeta - EGM96|: country " << worstCountry << " m, Bucharest " << worstBucharest
              << " m\n";
    EXPECT_LT(worstCountry, 0.015);
    EXPECT_LT(worstBucharest, 0.005);
}

#endif // VELMORA_HAVE_PROJ

} // namespace
} // namespace velmora
