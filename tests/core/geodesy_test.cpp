#include "core/Geodesy.h"

#include <gtest/gtest.h>

#include <cmath>

namespace velmora {
namespace {

TEST(Helmert2D, ShiftScaleAndRotation)
{
    const PlanePair shifted = Helmert2D({10.0, -20.0, 0.0, 0.0}, 1000.0, 2000.0);
    EXPECT_EQ(shifted.first, 1010.0);
    EXPECT_EQ(shifted.second, 1980.0);
    const PlanePair scaled = Helmert2D({0.0, 0.0, 10.0, 0.0}, 1e6, 2e6);
    EXPECT_NEAR(scaled.first, 1e6 + 10.0, 1e-9);
    EXPECT_NEAR(scaled.second, 2e6 + 20.0, 1e-9);
    // A quarter turn counter-clockwise takes the easting axis onto the northing axis.
    const PlanePair turned = Helmert2D({0.0, 0.0, 0.0, 324000.0}, 100.0, 0.0);
    EXPECT_NEAR(turned.first, 0.0, 1e-9);
    EXPECT_NEAR(turned.second, 100.0, 1e-9);
}

TEST(IntPower, PositiveNegativeAndZero)
{
    EXPECT_EQ(IntPower(0, 7.0), 1.0);
    EXPECT_EQ(IntPower(3, 2.0), 8.0);
    EXPECT_EQ(IntPower(-2, 4.0), 1.0 / 16.0);
}

TEST(MeridianArc, KnownLengthAndSymmetry)
{
    const double f = 1.0 / kGrs80.invF;
    const double e2 = 2.0 * f - f * f;
    EXPECT_EQ(MeridianArc(0.0, e2, kGrs80.a), 0.0);
    // GRS80: equator to 45 degrees, and the quarter meridian.
    EXPECT_NEAR(MeridianArc(DegToRad(45.0), e2, kGrs80.a), 4984944.378, 0.002);
    EXPECT_NEAR(MeridianArc(DegToRad(90.0), e2, kGrs80.a), 10001965.729, 0.002);
    EXPECT_NEAR(MeridianArc(DegToRad(-30.0), e2, kGrs80.a), -MeridianArc(DegToRad(30.0), e2, kGrs80.a), 1e-6);
}

TEST(GeodeticCartesian, PublishedExample)
{
    // EPSG Guidance Note 7-2, geographic/geocentric conversions on WGS 84.
    const double phi = DegToRad(53.0 + 48.0 / 60.0 + 33.820 / 3600.0);
    const double lambda = DegToRad(2.0 + 7.0 / 60.0 + 46.380 / 3600.0);
    const Cartesian c = GeodeticToCartesian(kWgs84, phi, lambda, 73.0);
    EXPECT_NEAR(c.X, 3771793.968, 0.001);
    EXPECT_NEAR(c.Y, 140253.342, 0.001);
    EXPECT_NEAR(c.Z, 5124304.349, 0.001);
    const Geodetic g = CartesianToGeodetic(kWgs84, 3771793.968, 140253.342, 5124304.349);
    EXPECT_NEAR(g.phi, phi, 1e-10);
    EXPECT_NEAR(g.lambda, lambda, 1e-10);
    EXPECT_NEAR(g.h, 73.0, 0.001);
}

TEST(GeodeticCartesian, RoundTripQuadrantsAndBelowTheEllipsoid)
{
    for (double B : {43.5, 46.0, 48.3})
        for (double L : {20.0, 26.0, 30.0, 120.0, -150.0})
            for (double h : {-50.0, 0.0, 2500.0}) {
                const Cartesian c = GeodeticToCartesian(kGrs80, DegToRad(B), DegToRad(L), h);
                const Geodetic g = CartesianToGeodetic(kGrs80, c.X, c.Y, c.Z);
                EXPECT_NEAR(RadToDeg(g.phi), B, 1e-9);
                EXPECT_NEAR(RadToDeg(g.lambda), L, 1e-11);
                EXPECT_NEAR(g.h, h, 1e-4);
            }
}

// On the polar axis the closed form divides zero by a tiny negative number and lands on the wrong
// pole with a height of about the polar diameter.
TEST(GeodeticCartesian, PointsOnThePolarAxis)
{
    const double b = kGrs80.a * (1.0 - 1.0 / kGrs80.invF);
    for (double sign : {1.0, -1.0})
        for (double h : {-20.0, 0.0, 1500.0}) {
            const Geodetic g = CartesianToGeodetic(kGrs80, 0.0, 0.0, sign * (b + h));
            EXPECT_DOUBLE_EQ(RadToDeg(g.phi), sign * 90.0);
            EXPECT_EQ(g.lambda, 0.0);
            EXPECT_NEAR(g.h, h, 1e-6);
        }
    const Geodetic centre = CartesianToGeodetic(kGrs80, 0.0, 0.0, 0.0);
    EXPECT_DOUBLE_EQ(RadToDeg(centre.phi), 90.0);
    EXPECT_NEAR(centre.h, -b, 1e-6);
}

} // namespace
} // namespace velmora
