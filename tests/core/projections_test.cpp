// The projection formulas against published worked examples, independent implementations and
// their own inverses.
#include "core/Geodesy.h"
#include "core/Stereo70.h"
#include "core/TMzn_EVRF2007.h"

#include <gtest/gtest.h>

#include <cmath>

#ifdef VELMORA_HAVE_PROJ
#include <proj.h>
#endif

namespace velmora {
namespace {

double Dms(double d, double m, double s) { return d + m / 60.0 + s / 3600.0; }

TEST(Stereographic, PublishedExampleWithOtherConstants)
{
    // Amersfoort / RD New on Bessel 1841.
    const StereoConstants rd{DegToRad(Dms(52, 9, 22.178)), DegToRad(Dms(5, 23, 15.5)), 0.9999079, 155000.0, 463000.0};
    const StereoProjection bessel({6377397.155, 299.15281}, rd);
    const NorthEast ne = bessel.Forward(DegToRad(53.0), DegToRad(6.0));
    EXPECT_NEAR(ne.E, 196105.283, 0.001);
    EXPECT_NEAR(ne.N, 557057.739, 0.001);
    const LatLon back = bessel.Inverse(ne.E, ne.N);
    EXPECT_NEAR(RadToDeg(back.phi), 53.0, 1e-11);
    EXPECT_NEAR(RadToDeg(back.lambda), 6.0, 1e-11);
}

TEST(Stereo70, ReferenceValuesOnGrs80)
{
    struct Case {
        double B, L, N, E;
    };
    const Case cases[] = {{46, 25, 500000.0000, 500000.0000},
                          {45.5, 26.1, 445031.3593, 585952.5880},
                          {47.2, 23.4, 634596.9948, 378786.8896},
                          {44.43, 26.1, 326146.0281, 587580.2408}};
    for (const Case& c : cases) {
        const NorthEast ne = StereoForward(kGrs80.a, kGrs80.invF, DegToRad(c.B), DegToRad(c.L));
        EXPECT_NEAR(ne.N, c.N, 1e-4) << c.B << " " << c.L;
        EXPECT_NEAR(ne.E, c.E, 1e-4) << c.B << " " << c.L;
    }
    const NorthEast origin = StereoForward(kGrs80.a, kGrs80.invF, DegToRad(46.0), DegToRad(25.0));
    EXPECT_EQ(origin.N, 500000.0);
    EXPECT_EQ(origin.E, 500000.0);
    const LatLon back = StereoInverse(kGrs80.a, kGrs80.invF, 500000.0, 500000.0);
    EXPECT_NEAR(RadToDeg(back.phi), 46.0, 1e-12);
    EXPECT_NEAR(RadToDeg(back.lambda), 25.0, 1e-12);
}

TEST(Stereo70, EllipsoidChangesTheResultAndInverseReturnsThePoint)
{
    const NorthEast grs = StereoForward(kGrs80.a, kGrs80.invF, DegToRad(45.0), DegToRad(27.0));
    const NorthEast kra = StereoForward(kKrasovski1942.a, kKrasovski1942.invF, DegToRad(45.0), DegToRad(27.0));
    EXPECT_GT(std::hypot(grs.N - kra.N, grs.E - kra.E), 1.0);
    for (double B : {43.6, 45.0, 46.0, 48.2})
        for (double L : {20.3, 22.0, 25.0, 29.7}) {
            for (const Ellipsoid& ell : {kGrs80, kKrasovski1942}) {
                const NorthEast ne = StereoForward(ell.a, ell.invF, DegToRad(B), DegToRad(L));
                const LatLon back = StereoInverse(ell.a, ell.invF, ne.E, ne.N);
                EXPECT_NEAR(RadToDeg(back.phi), B, 1e-9);
                EXPECT_NEAR(RadToDeg(back.lambda), L, 1e-9);
            }
        }
}

TEST(TransverseMercator, PublishedExampleWithOtherConstants)
{
    // OSGB 1936 / British National Grid on Airy 1830; the series agrees with the exact value
    // to a few millimetres here.
    const detail::TmConstants osgb{6377563.396, 299.3249646, 0.9996012717, 400000.0, -100000.0, DegToRad(49.0)};
    const detail::TransverseMercator tm(osgb);
    const NorthEast ne = tm.Forward(DegToRad(-2.0), DegToRad(50.5), DegToRad(0.5));
    EXPECT_NEAR(ne.E, 577274.984, 0.005);
    EXPECT_NEAR(ne.N, 69740.492, 0.005);
    const LatLon back = tm.Inverse(DegToRad(-2.0), ne.N, ne.E);
    EXPECT_NEAR(RadToDeg(back.phi), 50.5, 1e-8);
    EXPECT_NEAR(RadToDeg(back.lambda), 0.5, 1e-8);
}

TEST(TransverseMercator, ZonesRangeAndRoundTrip)
{
    const ConversorUTM utm;
    EXPECT_EQ(utm.MapLatLonToNE(45.0, 21.0, 34)->E, 500000.0);
    const auto central = utm.MapLatLonToNE(45.0, 27.0, 35);
    ASSERT_TRUE(central);
    EXPECT_EQ(central->E, 500000.0);
    EXPECT_NEAR(central->N, 0.9996 * MeridianArc(DegToRad(45.0), 0.0066943800229, kGrs80.a), 1e-3);

    EXPECT_TRUE(utm.MapLatLonToNE(84.0, 0.0, 34));
    EXPECT_FALSE(utm.MapLatLonToNE(84.0000001, 20.0, 34));
    EXPECT_FALSE(utm.MapLatLonToNE(45.0, -0.0000001, 34));
    EXPECT_TRUE(utm.MapLatLonToNE(45.0, 21.0, 35)); // six degrees off its meridian
    EXPECT_FALSE(utm.MapNEToLatLon(-100000.0, 500000.0, 34)); // south of the equator

    for (int zone : {34, 35})
        for (double lat : {43.7, 46.0, 48.2})
            for (double dl : {-3.0, -1.0, 0.5, 3.0}) {
                const double lon = zone * 6 - 183 + dl;
                const auto ne = utm.MapLatLonToNE(lat, lon, zone);
                ASSERT_TRUE(ne);
                const auto back = utm.MapNEToLatLon(ne->N, ne->E, zone);
                ASSERT_TRUE(back);
                // Far below a millimetre on the ground.
                EXPECT_NEAR(back->B, lat, 5e-9);
                EXPECT_NEAR(back->L, lon, 5e-9);
            }
}

TEST(Laea, PublishedExampleRoundTripAndCentre)
{
    const ConversorLAEA laea(kGrs80);
    const PlanePair xy = laea.BLtoXY(DegToRad(50.0), DegToRad(5.0));
    EXPECT_NEAR(xy.first, 3962799.45, 0.005);
    EXPECT_NEAR(xy.second, 2999718.85, 0.005);
    const LatLon back = laea.XYtoBL(xy.first, xy.second);
    EXPECT_NEAR(RadToDeg(back.phi), 50.0, 1e-8);
    EXPECT_NEAR(RadToDeg(back.lambda), 5.0, 1e-12);

    const LatLon centre = laea.XYtoBL(4321000.0, 3210000.0);
    EXPECT_NEAR(RadToDeg(centre.phi), 52.0, 1e-12);
    EXPECT_NEAR(RadToDeg(centre.lambda), 10.0, 1e-12);
}

TEST(Evrf2007, TiltedPlane)
{
    const ConversorEVRF2007 evrf;
    EXPECT_NEAR(evrf.HBlackSeeToHEVRF2007(evrf.LATo, evrf.LONo, 100.0) - 100.0, 0.062, 1e-12);
    EXPECT_LT(evrf.HBlackSeeToHEVRF2007(evrf.LATo + 1.0, evrf.LONo, 100.0) - 100.0, 0.062);
    EXPECT_GT(evrf.HBlackSeeToHEVRF2007(evrf.LATo, evrf.LONo + 1.0, 100.0) - 100.0, 0.062);

    const double high = evrf.HBlackSeeToHEVRF2007(44.0, 28.5, 2500.0);
    EXPECT_NEAR(high - 2500.0, evrf.HBlackSeeToHEVRF2007(44.0, 28.5, 0.0), 1e-9);
    EXPECT_NEAR(evrf.HEVRF2007ToHBlackSee(44.0, 28.5, high), 2500.0, 1e-9);
}

#ifdef VELMORA_HAVE_PROJ
// PROJ as an independent implementation: the stereographic and LAEA formulas are the same
// mathematics; the Transverse Mercator series agrees with PROJ's exact method to a fraction
// of a millimetre inside a zone.
TEST(IndependentImplementation, AgreesWithProjOverRomania)
{
    PJ_CONTEXT* ctx = proj_context_create();
    PJ* sterea = proj_create(ctx, "+proj=sterea +lat_0=46 +lon_0=25 +k=0.99975 +x_0=500000 +y_0=500000 +ellps=GRS80");
    PJ* tmerc = proj_create(ctx, "+proj=tmerc +lon_0=27 +k=0.9996 +x_0=500000 +ellps=GRS80");
    PJ* laea = proj_create(ctx, "+proj=laea +lat_0=52 +lon_0=10 +x_0=4321000 +y_0=3210000 +ellps=GRS80");
    ASSERT_TRUE(sterea && tmerc && laea);
    const ConversorUTM utm;
    for (double B = 43.5; B <= 48.5; B += 0.25) {
        for (double L = 20.0; L <= 30.0; L += 0.25) {
            const PJ_COORD in = proj_coord(proj_torad(L), proj_torad(B), 0, 0);
            const PJ_COORD s = proj_trans(sterea, PJ_FWD, in);
            const NorthEast ne = StereoForward(kGrs80.a, kGrs80.invF, DegToRad(B), DegToRad(L));
            EXPECT_NEAR(ne.E, s.xy.x, 1e-6);
            EXPECT_NEAR(ne.N, s.xy.y, 1e-6);

            const PJ_COORD l = proj_trans(laea, PJ_FWD, in);
            const PlanePair xy = ConversorLAEA().BLtoXY(DegToRad(B), DegToRad(L));
            EXPECT_NEAR(xy.first, l.xy.x, 1e-6);
            EXPECT_NEAR(xy.second, l.xy.y, 1e-6);

            if (std::fabs(L - 27.0) <= 3.0) {
                const PJ_COORD t = proj_trans(tmerc, PJ_FWD, in);
                const NorthEast tm = *utm.MapLatLonToNE(B, L, 35);
                EXPECT_NEAR(tm.E, t.xy.x, 2e-4);
                EXPECT_NEAR(tm.N, t.xy.y, 2e-4);
            }
        }
    }
    proj_destroy(sterea);
    proj_destroy(tmerc);
    proj_destroy(laea);
    proj_context_destroy(ctx);
}
#endif

} // namespace
} // namespace velmora
