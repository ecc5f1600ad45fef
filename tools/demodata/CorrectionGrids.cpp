// The four compact correction grids of the demonstration set.
//
// Quasigeoid grids: EGM96 undulations from PROJ's egm96_15.gtx, standing in for the national
// quasigeoid. Stereo70 plane corrections: at every node the difference between the published
// seven-parameter route to Stereo70 (EPSG:15994 + EPSG:3844, through PROJ) and the program's own
// chain before its grid step, so that ETRS89 -> Stereo70 reproduces the published route.
// Stereo30 plane corrections: a smooth synthetic field, there being no public definition.

#include "GrdWriter.h"
#include "Products.h"

#include "core/CorrectionGrid.h"
#include "core/Stereo70.h"
#include "core/TransformPoint.h"

#include <cmath>
#include <sstream>
#include <stdexcept>

namespace velmora::demodata {
namespace {

// Area the country grids must serve, in ETRS89 degrees: Romania with a little to spare.
constexpr double kCountryMinL = 20.2;
constexpr double kCountryMaxL = 29.8;
constexpr double kCountryMinB = 43.6;
constexpr double kCountryMaxB = 48.3;

// The Bucharest box in which the Bucharest quasigeoid grid is used.
constexpr double kBucharestMinL = 25.98161988;
constexpr double kBucharestMaxL = 26.22410817;
constexpr double kBucharestMinB = 44.34914006;
constexpr double kBucharestMaxB = 44.51947112;

// Steps are binary fractions of a degree so that every node falls exactly on its coordinate, and
// the 15' nodes of EGM96 are nodes of both grids.
constexpr GridHeader kCountryQuasigeoid{19.5, 30.5, 43.0, 49.0, 1.0 / 32.0, 1.0 / 32.0};
constexpr GridHeader kBucharestQuasigeoid{25.9375, 26.3125, 44.3125, 44.5625, 1.0 / 128.0, 1.0 / 128.0};

// Stereo70 frame after Helmert set A (easting-like, northing-like), metres.
constexpr GridHeader kStereo70Frame{60000.0, 940000.0, 180000.0, 820000.0, 10000.0, 10000.0};
// Stereo30 frame after Helmert set C around Bucharest, metres.
constexpr GridHeader kStereo30Frame{540000.0, 574000.0, 321000.0, 354000.0, 500.0, 500.0};

// Every point must lie this many steps inside the outermost nodes: one for the strict bounding
// box of the lookup and one more for the inverse chains, which look up corrected coordinates.
constexpr double kSpareSteps = 2.0;

struct Box {
    double minL;
    double maxL;
    double minB;
    double maxB;
};

constexpr Box kCountry{kCountryMinL, kCountryMaxL, kCountryMinB, kCountryMaxB};
constexpr Box kBucharest{kBucharestMinL, kBucharestMaxL, kBucharestMinB, kBucharestMaxB};

// Checks that the border of box, mapped by toFrame, stays kSpareSteps inside the grid; the maps
// used here are smooth and monotonic enough over these areas for the border to bound the image.
template <typename Map>
void RequireCoverage(const std::string& name, const GridHeader& grid, const Box& box, Map toFrame)
{
    constexpr int kSamples = 200;
    for (int k = 0; k <= kSamples; ++k) {
        const double t = static_cast<double>(k) / kSamples;
        const double L = box.minL + t * (box.maxL - box.minL);
        const double B = box.minB + t * (box.maxB - box.minB);
        const double border[4][2] = {{L, box.minB}, {L, box.maxB}, {box.minL, B}, {box.maxL, B}};
        for (const auto& point : border) {
            const PlanePair u = toFrame(point[0], point[1]);
            const bool inside = grid.min1 + kSpareSteps * grid.step1 < u.first &&
                                u.first < grid.max1 - kSpareSteps * grid.step1 &&
                                grid.min2 + kSpareSteps * grid.step2 < u.second &&
                                u.second < grid.max2 - kSpareSteps * grid.step2;
            if (!inside) {
                std::ostringstream message;
                message.precision(12);
                message << name << " does not cover L " << point[0] << ", B " << point[1];
                throw std::runtime_error(message.str());
            }
        }
    }
}

PlanePair Identity(double L, double B)
{
    return {L, B};
}

// The program's plane chain before its grid step: Stereo70 formulas on GRS80, then Helmert.
PlanePair ChainBeforeGrid(const HelmertParams& helmert, double L, double B)
{
    const NorthEast ne = StereoForward(kGrs80.a, kGrs80.invF, DegToRad(B), DegToRad(L));
    return Helmert2D(helmert, ne.E, ne.N);
}

// The exact inverse of Helmert2D with the same parameters (not the rounded stored inverse set).
PlanePair InverseHelmert(const HelmertParams& params, double R1, double R2)
{
    const double m = 1.0 + params.scalePpm * 1e-6;
    const double theta = ArcSecToRad(params.rotationSec);
    const double c = std::cos(theta);
    const double s = std::sin(theta);
    const double dx = R1 - params.t1;
    const double dy = R2 - params.t2;
    return {(dx * c + dy * s) / m, (dy * c - dx * s) / m};
}

std::string Write(const ProductContext& context, const std::string& name, const GridHeader& header,
                  int valuesPerNode, const std::function<void(double, double, double*)>& field)
{
    const GridValues grid = SampleGrid(header, valuesPerNode, field);
    WriteGrd(context.outDir / name, header, valuesPerNode, grid.values);
    return DescribeGrid(name, header, grid);
}

std::vector<std::string> MakeQuasigeoid(const ProductContext& context, const std::string& name,
                                        const GridHeader& header, const Box& area)
{
    RequireCoverage(name, header, area, Identity);
    const Egm96 egm96(context.proj);
    return {Write(context, name, header, 1,
                  [&](double L, double B, double* out) { out[0] = egm96.Undulation(L, B); })};
}

std::vector<std::string> MakeStereo70(const ProductContext& context)
{
    RequireCoverage(kStereo70GridName, kStereo70Frame, kCountry,
                    [](double L, double B) { return ChainBeforeGrid(kHelmertA, L, B); });
    const PublishedStereo70 published(context.proj);
    auto field = [&](double U1, double U2, double* out) {
        // The ETRS89 point whose pre-grid image is this node.
        const PlanePair en = InverseHelmert(kHelmertA, U1, U2);
        const LatLon geo = StereoInverse(kGrs80.a, kGrs80.invF, en.first, en.second);
        const double B = RadToDeg(geo.phi);
        const double L = RadToDeg(geo.lambda);
        const PlanePair chain = ChainBeforeGrid(kHelmertA, L, B);
        const PJ_XY target = published.EastNorth(L, B);
        out[0] = target.x - chain.first;
        out[1] = target.y - chain.second;
    };
    return {Write(context, kStereo70GridName, kStereo70Frame, 2, field),
              std::string("  published route: ") + published.SelectedName()};
}

// A smooth synthetic distortion of a few decimetres: long-wave sines about the middle of the
// Bucharest area, wavelengths of 35 to 50 km.
void SyntheticStereo30Field(double U1, double U2, double* out)
{
    constexpr double kCentre1 = 556500.0;
    constexpr double kCentre2 = 337500.0;
    const double du = (U1 - kCentre1) / 1000.0; // km
    const double dv = (U2 - kCentre2) / 1000.0;
    const double turn = 2.0 * kPi;
    out[0] = 0.10 + 0.20 * std::sin(turn * du / 40.0) * std::cos(turn * dv / 50.0);
    out[1] = -0.05 + 0.15 * std::cos(turn * du / 45.0) * std::sin(turn * dv / 35.0);
}

std::vector<std::string> MakeStereo30(const ProductContext& context)
{
    RequireCoverage(kStereo30GridName, kStereo30Frame, kBucharest,
                    [](double L, double B) { return ChainBeforeGrid(kHelmertC, L, B); });
    return {Write(context, kStereo30GridName, kStereo30Frame, 2, SyntheticStereo30Field)};
}

} // namespace

std::vector<Product> CorrectionGridProducts()
{
    return {
        {"quasigeoid", "EGM96 quasigeoid heights over Romania (EGG97_QGRJ.GRD)",
         [](const ProductContext& c) { return MakeQuasigeoid(c, kQuasigeoidGridName, kCountryQuasigeoid, kCountry); }},
        {"quasigeoid-bucharest", "EGM96 quasigeoid heights over the Bucharest box (zitaBucx.grd)",
         [](const ProductContext& c) {
             return MakeQuasigeoid(c, kBucharestQuasigeoidGridName, kBucharestQuasigeoid, kBucharest);
         }},
        {"stereo70", "ETRS89 -> Stereo70 plane corrections (ETRS89_KRASOVSCHI42_2DJ.GRD)", MakeStereo70},
        {"stereo30", "synthetic ETRS89 -> Stereo30 plane corrections (ETRS89_Stereo30_2DJ.GRD)", MakeStereo30},
    };
}

} // namespace velmora::demodata
