// The plane Helmert estimation: a known similarity recovered from noisy common points, the report
// of a small case whose least-squares solution is known exactly, the further common points, the
// new points and their drawing, and every message.
#include "building/EstimationSupport.h"
#include "building/HelmertEstimation.h"
#include "files/SourceParsers.h"
#include "EstimationRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <string>

namespace velmora {
namespace {

using test::EstimationRun;
using test::MakeCommonPoint;
using test::MakeNewPoint;
using test::MessageOf;

// Four points on a square of 20 km around (500000, 300000), mapped by a = 1.000012,
// b = 0.000031, tE = 120.5, tN = -80.25 and then moved by (+-0.1, +-0.2): a pattern orthogonal to
// every similarity, so the least-squares model is exactly the one used and the distortions are
// the pattern. A further point of each kind ("&" and "#") and one new point.
constexpr const char* kSquareSource = "Header 1\r\nHeader 2\r\nHeader 3\r\nHeader 4\r\n"
                                      "P\r\n"
                                      "6378245.0, 298.3, 6378137.0, 298.257222101\r\n"
                                      "PC\r\n"
                                      "P1, 490000, 290000, 490117.49, 289938.62\r\n"
                                      "P2, 510000, 290000, 510117.53, 289938.84\r\n"
                                      "&X1, 505000, 295000, 505117.445, 294938.905\r\n"
                                      "P3, 510000, 310000, 510117.11, 309939.48\r\n"
                                      "#Y1, 495000, 305000, 495116.935, 304938.815\r\n"
                                      "Point number 4 with a long name, 490000, 310000, 490116.67, 309938.46\r\n"
                                      "END\r\n"
                                      "PN\r\n"
                                      "N1, 500000, 300000\r\n"
                                      "END\r\n"
                                      "ENDF\r\n";

void ParseSource(const EstimationRun& setup, const std::string& source)
{
    test::WriteBytes(setup.Path("MODEL.txt"), source);
    TextReader reader(setup.Path("MODEL.txt"));
    std::string header;
    for (int k = 0; k < 4; ++k)
        reader.ReadLine(header);
    EllipsoidPair ellipsoids{};
    ParseCommonNewPoints(reader, 'P', {setup.Path("PNOI.REC"), setup.Path("PCOMUNE.REC")}, ellipsoids);
}

constexpr const char* kSquareReport =
    "\r\n"
    "Parametrii Transformarii Helmert in spatiul 2D\r\n"
    "\r\n"
    "Numar puncte comune:     4\r\n"
    "Originea sistemului 1: Est(0) =500000.0000 [m]\r\n"
    "                       Nord(0)=300000.0000 [m]\r\n"
    "\r\n"
    "================================================================\r\n"
    "|    Parametru    |     Valoare     |      Precizie      | UM  |\r\n"
    "----------------------------------------------------------------\r\n"
    "| Translatie Est  |        120.5000 | +/-         0.1118 | [m] |\r\n"
    "| Translatie Nord |        -80.2500 | +/-         0.1118 | [m] |\r\n"
    "|Sc. dm=(m-1)*1e+6|     12.00048049 | +/-     7.90569415 | ppm |\r\n"
    "| Rotatie Rz (K)  |      6.39413226 | +/-     1.63064690 |  \"  |\r\n"
    "================================================================\r\n"
    "Sigma0   = +/-   1.414214\r\n"
    "\r\n"
    "Distorsiuni \"D\" pe Est si Nord in punctele comune:\r\n"
    "\r\n"
    "===========================================================\r\n"
    "|Nr. crt.|        Punct         |  D_Est [m] | D_Nord [m] |\r\n"
    "-----------------------------------------------------------\r\n"
    "|      1 |                   P1 |    0.10000 |    0.20000 |\r\n"
    "|      2 |                   P2 |   -0.10000 |   -0.20000 |\r\n"
    "|      3 |                   P3 |    0.10000 |    0.20000 |\r\n"
    "|      4 | POINT NUMBER 4 WITH A LONG NAME |   -0.10000 |   -0.20000 |\r\n"
    "===========================================================\r\n"
    "\r\n"
    "Coordonate transformate, precizii, distorsiuni\r\n"
    "----------------------------------------------\r\n"
    "\r\n"
    "Puncte comune\r\n"
    "-------------\r\n"
    "Punct: P1\r\n"
    "                  Est [m]      Nord [m]\r\n"
    "Sistemul 1:    490000.0000  290000.0000\r\n"
    "Sistemul 2:    490117.4900  289938.6200\r\n"
    "Transformate:  490117.3900  289938.4200\r\n"
    "Distorsiuni:        0.1000       0.2000\r\n"
    "Precizii:           0.1581       0.1581\r\n"
    "Er. grosiere:           NU           NU\r\n"
    "\r\n";

constexpr const char* kSquareReportEnd = "Puncte noi dupa Tr. Helmert\r\n"
                                         "---------------------------\r\n"
                                         "Punct, Est_sistem1, Nord_sistem1, Est_sistem2, Nord_sistem2\r\n"
                                         "N1,  500000.0000,  300000.0000,  500117.2000,  299938.8500\r\n";

TEST(Helmert2D, TheSquareCaseGivesItsKnownModelReportAndPoints)
{
    EstimationRun setup;
    ParseSource(setup, kSquareSource);
    EstimateHelmert2D(setup.run, 1);

    const std::string report = setup.Report();
    EXPECT_EQ(report.substr(0, std::string(kSquareReport).size()), kSquareReport);
    EXPECT_TRUE(report.ends_with(kSquareReportEnd)) << report;

    const ModelParameterRecord model = setup.Parameters();
    EXPECT_NEAR(model.helmertA, 1.000012, 1e-13);
    EXPECT_NEAR(model.helmertB, 0.000031, 1e-13);
    EXPECT_NEAR(model.helmertShiftE, 120.5, 1e-7);
    EXPECT_NEAR(model.helmertShiftN, -80.25, 1e-7);
    EXPECT_EQ(model.regressionPresent, 0);
    EXPECT_EQ(model.helmert3DPresent, 0);

    // The common points, then the "&" point and the "#" point with the model's distortions.
    const std::vector<PointRecord> common = setup.Common();
    ASSERT_EQ(common.size(), 6u);
    for (std::size_t k = 0; k < 4; ++k) {
        const double sign = k % 2 == 0 ? 1.0 : -1.0;
        EXPECT_NEAR(common[k].residual[0], 0.1 * sign, 1e-8);
        EXPECT_NEAR(common[k].residual[1], 0.2 * sign, 1e-8);
        EXPECT_EQ(common[k].residual[2], 0.0);
        EXPECT_NEAR(common[k].modelWork2[0], 0.158113883, 1e-8);
        EXPECT_NEAR(common[k].modelWork2[1], 0.158113883, 1e-8);
        EXPECT_NEAR(common[k].modelWork3[0], 40.0, 1e-6);
        EXPECT_NEAR(common[k].modelWork3[1], 40.0, 1e-6);
    }
    EXPECT_EQ(common[4].name.View(), "&X1");
    EXPECT_NEAR(common[4].result[0], 505117.415, 1e-6);
    EXPECT_NEAR(common[4].residual[0], 0.03, 1e-6);
    EXPECT_NEAR(common[4].residual[1], -0.04, 1e-6);
    EXPECT_EQ(common[5].name.View(), "#Y1");
    EXPECT_NEAR(common[5].residual[0], -0.05, 1e-6);
    EXPECT_NEAR(common[5].residual[1], 0.06, 1e-6);
    // Their own files stay as the parser wrote them.
    EXPECT_EQ(test::ReadPoints(setup.Path("pcnoth.rec"))[0].result[0], 0.0);
    EXPECT_EQ(test::ReadPoints(setup.Path("pcpol.rec")).size(), 1u);

    const std::vector<PointRecord> newPoints = setup.New();
    ASSERT_EQ(newPoints.size(), 1u);
    EXPECT_NEAR(newPoints[0].result[0], 500117.2, 1e-6);
    EXPECT_NEAR(newPoints[0].result[1], 299938.85, 1e-6);

    // The new point: a point, a target of radius 1 and its name 2.5 m to the East.
    const std::string drawing = setup.Drawing();
    EXPECT_NE(drawing.find("  0\r\nPOINT\r\n  8\r\nPUNCTE_NOI\r\n 10\r\n500117.200\r\n 20\r\n299938.850\r\n"),
              std::string::npos);
    EXPECT_NE(drawing.find("  0\r\nCIRCLE\r\n  8\r\nPUNCTE_NOI\r\n 10\r\n500117.200\r\n 20\r\n299938.850\r\n"
                           " 30\r\n0\r\n 40\r\n     1.000\r\n"),
              std::string::npos);
    EXPECT_NE(drawing.find("  0\r\nTEXT\r\n  8\r\nTEXTNOI\r\n 10\r\n500119.700\r\n 20\r\n299938.850\r\n 30\r\n0\r\n"
                           " 40\r\n 2.50\r\n  1\r\nN1\r\n 50\r\n  0.0000\r\n"),
              std::string::npos);
}

// A similarity of 12.5 ppm and 3.2" with 2 cm of noise over a 20 km network.
TEST(Helmert2D, AKnownSimilarityIsRecoveredWithinTheNoise)
{
    const double scale = 1.0 + 12.5e-6;
    const double rotation = 3.2 / 3600.0 * std::numbers::pi / 180.0;
    const double a = scale * std::cos(rotation);
    const double b = scale * std::sin(rotation);
    const auto transform = [&](double e, double n) {
        return std::array<double, 2>{a * e - b * n + 315.25, b * e + a * n - 122.75};
    };
    std::mt19937 random(7);
    const auto noise = [&] { return (static_cast<double>(random() % 2001) / 1000.0 - 1.0) * 0.02; };

    EstimationRun setup;
    std::vector<PointRecord> common;
    for (int k = 0; k < 15; ++k) {
        const double e = 420000.0 + 1000.0 * ((k * 7) % 20);
        const double n = 380000.0 + 1000.0 * ((k * 13) % 20);
        const auto target = transform(e, n);
        const char name[] = {'C', static_cast<char>('A' + k), '\0'};
        common.push_back(MakeCommonPoint(name, 'P', {e, n, 0.0},
                                         {target[0] + noise(), target[1] + noise(), 0.0}));
    }
    setup.WriteCommon(common);
    setup.WriteNew({MakeNewPoint("A", 'P', {431234.5, 389876.5, 0.0}), MakeNewPoint("B", 'P', {438000, 381000, 0})});
    EstimateHelmert2D(setup.run, 1);

    const ModelParameterRecord model = setup.Parameters();
    EXPECT_NEAR(model.helmertA, a, 3e-6);
    EXPECT_NEAR(model.helmertB, b, 3e-6);
    for (const PointRecord& point : setup.New()) {
        const auto expected = transform(point.sys1[0], point.sys1[1]);
        EXPECT_NEAR(point.result[0], expected[0], 0.03);
        EXPECT_NEAR(point.result[1], expected[1], 0.03);
    }
    for (const PointRecord& point : setup.Common()) {
        EXPECT_LT(std::fabs(point.residual[0]), 0.05);
        EXPECT_GT(point.modelWork3[0], 0.0);
        EXPECT_TRUE(std::isfinite(point.modelWork3[0]));
    }
}

// The rotation K of the report in seconds of arc, read back from its line.
double ReportedRotation(const std::string& report)
{
    const std::string label = "| Rotatie Rz (K)  | ";
    const std::size_t at = report.find(label);
    return at == std::string::npos ? std::nan("") : std::stod(report.substr(at + label.size(), 15));
}

// A rotation beyond a right angle (a < 0) is reported in its own quadrant, not 180 degrees off.
// The four corners of a square carry a pattern orthogonal to every similarity, so the estimated
// model is the one used.
TEST(Helmert2D, ARotationBeyondARightAngleIsReportedAsItIs)
{
    for (const double degrees : {150.0, -120.0, 30.0}) {
        const double rotation = degrees * std::numbers::pi / 180.0;
        const double a = std::cos(rotation);
        const double b = std::sin(rotation);
        EstimationRun setup;
        std::vector<PointRecord> common;
        const double corners[][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
        for (int k = 0; k < 4; ++k) {
            const double e = 500000.0 + 10000.0 * corners[k][0];
            const double n = 300000.0 + 10000.0 * corners[k][1];
            const double sign = k % 2 == 0 ? 1.0 : -1.0;
            const char name[] = {'C', static_cast<char>('1' + k), '\0'};
            common.push_back(MakeCommonPoint(name, 'P', {e, n, 0.0},
                                             {a * e - b * n + 250.0 + 0.1 * sign, b * e + a * n - 75.0 + 0.2 * sign, 0.0}));
        }
        setup.WriteCommon(common);
        setup.WriteNew({MakeNewPoint("N", 'P', {500000.0, 300000.0, 0.0})});
        EstimateHelmert2D(setup.run, 1);
        EXPECT_NEAR(setup.Parameters().helmertA, a, 1e-9);
        EXPECT_NEAR(setup.Parameters().helmertB, b, 1e-9);
        EXPECT_NEAR(ReportedRotation(setup.Report()), degrees * 3600.0, 1e-4) << degrees;
    }
}

// Three points are the fewest, with two degrees of freedom; a pure shift gives a = 1 and b = 0.
TEST(Helmert2D, ThreePointsWithAShiftGiveTheShift)
{
    EstimationRun setup;
    setup.WriteCommon({MakeCommonPoint("A", 'P', {1000, 2000, 0}, {1010.003, 1980, 0}),
                       MakeCommonPoint("B", 'P', {3000, 2000, 0}, {3010, 1979.998, 0}),
                       MakeCommonPoint("C", 'P', {2000, 4000, 0}, {2009.998, 3980.001, 0})});
    setup.WriteNew({MakeNewPoint("N", 'P', {0, 0, 0})});
    EstimateHelmert2D(setup.run, 1);
    const ModelParameterRecord model = setup.Parameters();
    EXPECT_NEAR(model.helmertA, 1.0, 2e-6);
    EXPECT_NEAR(model.helmertB, 0.0, 2e-6);
    EXPECT_NEAR(setup.New()[0].result[0], 10.0, 0.02);
    EXPECT_NEAR(setup.New()[0].result[1], -20.0, 0.02);
    EXPECT_NE(setup.Report().find("Numar puncte comune:     3\r\n"), std::string::npos);
}

TEST(Helmert2D, ExactlyConsistentObservationsKeepTheUnitWeight)
{
    double a[] = {1.0, 0.0, 0.25, -0.5};
    std::vector<EquationRecord> equations{MakeEquation(a, 0.0, 1.0)};
    std::vector<PointRecord> points(1);
    NormalMatrix q;
    for (int i = 0; i < 4; ++i)
        q(i, i) = 1.0;
    AssignObservationPrecisions(equations, q, 0.0, points, 1, WeightUpdate::Recompute);
    EXPECT_EQ(equations[0].p, 1.0);
    EXPECT_EQ(points[0].modelWork3[0], 1.0);
    EXPECT_EQ(points[0].modelWork2[0], 0.0);
    EXPECT_DOUBLE_EQ(equations[0].cofactor, 1.0 + 0.0625 + 0.25);
    EXPECT_DOUBLE_EQ(equations[0].redundancy, 1.0 - 1.3125);
}

TEST(Helmert2D, EveryFailureHasItsMessage)
{
    EstimationRun setup;
    EXPECT_EQ(MessageOf([&] { EstimateHelmert2D(setup.run, 1); }), kCommonPointsInvalidMessage);

    setup.WriteCommon({});
    EXPECT_EQ(MessageOf([&] { EstimateHelmert2D(setup.run, 1); }), kCommonPointsInvalidMessage);

    const PointRecord a = MakeCommonPoint("A", 'P', {0, 0, 0}, {1, 1, 0});
    const PointRecord b = MakeCommonPoint("B", 'P', {9, 0, 0}, {10, 1, 0});
    setup.WriteCommon({a, b});
    EXPECT_EQ(MessageOf([&] { EstimateHelmert2D(setup.run, 1); }), kTooFewPlanePointsMessage);

    std::vector<PointRecord> spatial(3, MakeCommonPoint("G", 'G', {1, 2, 3}, {1, 2, 3}));
    setup.WriteCommon(spatial);
    EXPECT_EQ(MessageOf([&] { EstimateHelmert2D(setup.run, 1); }), kTooFewSpatialPointsMessage);
    // Four geocentric points pass the count and are left to the three-dimensional estimation.
    spatial.push_back(spatial.front());
    setup.WriteCommon(spatial);
    EXPECT_EQ(MessageOf([&] { EstimateHelmert2D(setup.run, 1); }), "");
    EXPECT_FALSE(std::filesystem::exists(setup.Path("REZULT.TXT")));

    setup.WriteCommon({a, b, MakeCommonPoint("C", 'G', {0, 9, 0}, {1, 10, 0})});
    EXPECT_EQ(MessageOf([&] { EstimateHelmert2D(setup.run, 1); }), kMixedKindsMessage);

    // Three points on one spot leave the rotation and scale undetermined.
    setup.WriteCommon(std::vector<PointRecord>(3, MakeCommonPoint("A", 'P', {5, 5, 0}, {6, 6, 0})));
    EXPECT_EQ(MessageOf([&] { EstimateHelmert2D(setup.run, 1); }), kDecompositionMessage);
}

} // namespace
} // namespace velmora
