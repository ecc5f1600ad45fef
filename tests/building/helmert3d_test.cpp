// The seven-parameter Helmert estimation: a known transformation recovered from noisy geocentric
// points, a planted blunder caught by the F test, the report of a cube whose least-squares
// solution is known exactly, and every message.
#include "building/HelmertEstimation.h"
#include "building/NormalEquations.h"
#include "EstimationRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

namespace velmora {
namespace {

using test::EstimationRun;
using test::Lines;
using test::MakeCommonPoint;
using test::MakeNewPoint;
using test::MessageOf;
using Vector = std::array<double, 3>;
using Matrix = std::array<double, 9>;

constexpr double kArcSecond = std::numbers::pi / 180.0 / 3600.0;

Matrix Product(const Matrix& l, const Matrix& r)
{
    Matrix p{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k)
                p[static_cast<std::size_t>(3 * i + j)] +=
                    l[static_cast<std::size_t>(3 * i + k)] * r[static_cast<std::size_t>(3 * k + j)];
    return p;
}

// The rotations of the axes about X, Y and Z, composed as Rz Ry Rx.
Matrix AxisRotations(double rx, double ry, double rz)
{
    const Matrix x{1, 0, 0, 0, std::cos(rx), std::sin(rx), 0, -std::sin(rx), std::cos(rx)};
    const Matrix y{std::cos(ry), 0, -std::sin(ry), 0, 1, 0, std::sin(ry), 0, std::cos(ry)};
    const Matrix z{std::cos(rz), std::sin(rz), 0, -std::sin(rz), std::cos(rz), 0, 0, 0, 1};
    return Product(z, Product(y, x));
}

struct Similarity {
    Vector shift;
    double scale;
    Matrix rotation;

    Vector operator()(const Vector& p) const
    {
        Vector q{};
        for (std::size_t i = 0; i < 3; ++i)
            q[i] = scale * (rotation[3 * i] * p[0] + rotation[3 * i + 1] * p[1] + rotation[3 * i + 2] * p[2]) +
                   shift[i];
        return q;
    }
};

const Similarity kTruth{{25.4, -110.2, 80.7},
                        1.0 + 4.2e-6,
                        AxisRotations(0.8 * kArcSecond, -1.3 * kArcSecond, 2.1 * kArcSecond)};
constexpr Vector kCentre{4100000.0, 1900000.0, 4500000.0};

// Ten points within 30 km of the centre, mapped by the similarity with up to 1 cm of noise.
std::vector<PointRecord> NoisyNetwork(const Similarity& similarity, unsigned seed)
{
    std::mt19937 random(seed);
    const auto uniform = [&](double half) { return (static_cast<double>(random() % 20001) / 10000.0 - 1.0) * half; };
    std::vector<PointRecord> points;
    for (int k = 0; k < 10; ++k) {
        const Vector p{kCentre[0] + uniform(30000), kCentre[1] + uniform(30000), kCentre[2] + uniform(30000)};
        Vector q = similarity(p);
        for (double& value : q)
            value += uniform(0.01);
        const char name[] = {'G', static_cast<char>('0' + k), '\0'};
        points.push_back(MakeCommonPoint(name, 'G', p, q));
    }
    return points;
}

TEST(Helmert3D, AKnownTransformationIsRecoveredWithinTheNoise)
{
    EstimationRun setup;
    setup.WriteCommon(NoisyNetwork(kTruth, 3));
    const Vector newPoint{kCentre[0] + 5000, kCentre[1] - 7000, kCentre[2] + 2000};
    setup.WriteNew({MakeNewPoint("N", 'G', newPoint)});
    EstimateHelmert3D(setup.run, 1);

    const ModelParameterRecord model = setup.Parameters();
    EXPECT_EQ(model.helmert3DPresent, 1);
    EXPECT_EQ(model.regressionPresent, 0);
    EXPECT_NEAR(model.helmert3DScale, kTruth.scale, 1e-6);
    for (std::size_t k = 0; k < 9; ++k)
        EXPECT_NEAR(model.helmert3DRotation[k], kTruth.rotation[k], 1e-6) << k;
    const Vector expected = kTruth(newPoint);
    const Vector result = setup.New()[0].result;
    for (std::size_t c = 0; c < 3; ++c)
        EXPECT_NEAR(result[c], expected[c], 0.02);
    for (const PointRecord& point : setup.Common()) {
        for (std::size_t c = 0; c < 3; ++c) {
            EXPECT_LT(std::fabs(point.residual[c]), 0.03);
            EXPECT_EQ(point.modelWork4[c], 1) << point.name.View();
        }
    }
    // The parameter table comes once, from the weighted run.
    const std::string report = setup.Report();
    EXPECT_EQ(report.find("Parametrii Transformarii Helmert in spatiul 3D"),
              report.rfind("Parametrii Transformarii Helmert in spatiul 3D"));
}

TEST(Helmert3D, APlantedBlunderFailsTheFTest)
{
    EstimationRun setup;
    std::vector<PointRecord> points = NoisyNetwork(kTruth, 11);
    points[4].sys2[2] += 0.5;
    setup.WriteCommon(points);
    setup.WriteNew({MakeNewPoint("N", 'G', kCentre)});
    EstimateHelmert3D(setup.run, 1);
    const std::vector<PointRecord> common = setup.Common();
    for (std::size_t k = 0; k < common.size(); ++k) {
        for (std::size_t c = 0; c < 3; ++c)
            EXPECT_EQ(common[k].modelWork4[c], k == 4 && c == 2 ? 0 : 1) << k << " " << c;
    }
    const std::vector<std::string> lines = Lines(setup.Report());
    const auto g4 = std::find(lines.begin(), lines.end(), "Punct: G4");
    ASSERT_NE(g4, lines.end());
    EXPECT_EQ(*(g4 + 7), "Er. grosiere:           NU           NU           DA");
}

TEST(Helmert3D, TheFTableIsInterpolatedBetweenItsRows)
{
    EXPECT_DOUBLE_EQ(CriticalF(1), 4050.0);
    EXPECT_DOUBLE_EQ(CriticalF(6), 13.7);
    EXPECT_DOUBLE_EQ(CriticalF(7), 12.5);
    EXPECT_DOUBLE_EQ(CriticalF(16), 8.68 + (8.1 - 8.68) / 5.0);
    EXPECT_DOUBLE_EQ(CriticalF(1000), 6.66);
    EXPECT_DOUBLE_EQ(CriticalF(5000), 6.66);
    EXPECT_TRUE(std::isinf(CriticalF(0)));
}

TEST(Helmert3D, APureShiftIsFoundAtOnce)
{
    EstimationRun setup;
    const Similarity shift{{-12.5, 40.25, 3.0}, 1.0, AxisRotations(0, 0, 0)};
    setup.WriteCommon(NoisyNetwork(shift, 5));
    setup.WriteNew({MakeNewPoint("N", 'G', kCentre)});
    EstimateHelmert3D(setup.run, 1);
    const ModelParameterRecord model = setup.Parameters();
    EXPECT_NEAR(model.helmert3DScale, 1.0, 1e-6);
    EXPECT_NEAR(model.helmert3DRotation[1], 0.0, 1e-6);
    const Vector result = setup.New()[0].result;
    EXPECT_NEAR(result[0], kCentre[0] - 12.5, 0.02);
    EXPECT_NEAR(result[1], kCentre[1] + 40.25, 0.02);
    EXPECT_NEAR(result[2], kCentre[2] + 3.0, 0.02);
}

// Whole metres related by a pure shift: the estimation reproduces them exactly, every distortion
// and Omega are 0, and the test statistic 0/0 of each coordinate is no sign of a gross error.
TEST(Helmert3D, ExactlyConsistentPointsHaveNoGrossErrors)
{
    EstimationRun setup;
    std::vector<PointRecord> points;
    for (int k = 0; k < 9; ++k) {
        const Vector p{4000000.0 + 1000.0 * k, 2000000.0 + 700.0 * (k * k % 5), 4600000.0 + 500.0 * (k % 3)};
        const char name[] = {'E', static_cast<char>('0' + k), '\0'};
        points.push_back(MakeCommonPoint(name, 'G', p, {p[0] + 10.0, p[1] - 5.0, p[2] + 3.0}));
    }
    setup.WriteCommon(points);
    setup.WriteNew({MakeNewPoint("N", 'G', kCentre)});
    EstimateHelmert3D(setup.run, 1);
    for (const PointRecord& point : setup.Common()) {
        for (std::size_t c = 0; c < 3; ++c) {
            EXPECT_EQ(point.residual[c], 0.0);
            EXPECT_EQ(point.modelWork4[c], 1) << point.name.View() << " " << c;
        }
    }
    const std::string report = setup.Report();
    EXPECT_EQ(report.find("DA"), std::string::npos);
    EXPECT_NE(report.find("Er. grosiere:           NU           NU           NU\r\n"), std::string::npos);
}

TEST(Helmert3D, EveryFailureHasItsMessage)
{
    EstimationRun setup;
    EXPECT_EQ(MessageOf([&] { EstimateHelmert3D(setup.run, 1); }), kCommonPointsInvalidMessage);

    const PointRecord spatial = MakeCommonPoint("A", 'G', {1, 2, 3}, {1, 2, 3});
    setup.WriteCommon({spatial, spatial});
    EXPECT_EQ(MessageOf([&] { EstimateHelmert3D(setup.run, 1); }), kTooFewPlanePointsMessage);
    const PointRecord plane = MakeCommonPoint("A", 'P', {1, 2, 0}, {1, 2, 0});
    setup.WriteCommon({plane, plane});
    EXPECT_EQ(MessageOf([&] { EstimateHelmert3D(setup.run, 1); }), kTooFewPlanePointsMessage);
    // Plane points are the plane estimation's.
    setup.WriteCommon({plane, plane, plane});
    EXPECT_EQ(MessageOf([&] { EstimateHelmert3D(setup.run, 1); }), "");
    EXPECT_FALSE(std::filesystem::exists(setup.Path("REZULT.TXT")));

    std::vector<PointRecord> mixed = NoisyNetwork(kTruth, 1);
    mixed[3].coordKind = 'P';
    setup.WriteCommon(mixed);
    EXPECT_EQ(MessageOf([&] { EstimateHelmert3D(setup.run, 1); }), kMixedKindsMessage);

    // Points on one vertical line leave the plane rotation undetermined.
    std::vector<PointRecord> line;
    for (int k = 0; k < 4; ++k)
        line.push_back(MakeCommonPoint("L", 'G', {kCentre[0], kCentre[1], kCentre[2] + 100.0 * k},
                                       {kCentre[0] + 1, kCentre[1], kCentre[2] + 100.0 * k}));
    setup.WriteCommon(line);
    EXPECT_EQ(MessageOf([&] { EstimateHelmert3D(setup.run, 1); }), kDecompositionMessage);
}


// A cube of 2 km mapped by the similarity and moved by (0.01, -0.02, 0.015) times the product of
// the signs of its corner: a pattern orthogonal to every similarity, so the distortions are the
// pattern, every observation has the cofactor 7/24 and every weight is the same. Then
// sigma0 = sqrt(24/7), the precisions are sqrt(7/24) s0 with s0 = sqrt(0.0058 / 17), the shift
// precisions s0 / sqrt(8), the scale's s0 / (m 0.001 sqrt(24)) ppm and the rotations' s0 / (4 m 0.001)
// in micro-radians.
TEST(Helmert3D, TheCubeCaseGivesItsKnownReport)
{
    EstimationRun setup;
    std::vector<PointRecord> points;
    for (int k = 0; k < 8; ++k) {
        const double sx = (k & 1) != 0 ? 1 : -1;
        const double sy = (k & 2) != 0 ? 1 : -1;
        const double sz = (k & 4) != 0 ? 1 : -1;
        const Vector p{kCentre[0] + 1000 * sx, kCentre[1] + 1000 * sy, kCentre[2] + 1000 * sz};
        Vector q = kTruth(p);
        const double sign = sx * sy * sz;
        q[0] += 0.01 * sign;
        q[1] -= 0.02 * sign;
        q[2] += 0.015 * sign;
        const char name[] = {'K', static_cast<char>('1' + k), '\0'};
        points.push_back(MakeCommonPoint(name, 'G', p, q));
    }
    setup.WriteCommon(points);
    setup.WriteNew({MakeNewPoint("N", 'G', kCentre)});
    EstimateHelmert3D(setup.run, 1);

    const std::vector<std::string> lines = Lines(setup.Report());
    ASSERT_GT(lines.size(), 100u);
    const std::vector<std::string> head{"",
                                        "Parametrii Transformarii Helmert in spatiul 3D",
                                        "",
                                        "Numar puncte comune:     8",
                                        "Originea sistemului 1: X=4100000.0000 m",
                                        "                       Y=1900000.0000 m",
                                        "                       Z=4500000.0000 m",
                                        "",
                                        std::string(66, '='),
                                        "|    Parametru      |     Valoare     |      Precizie      | UM  |",
                                        std::string(66, '-')};
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 11), head);

    // Label, value, precision and unit of each parameter row; the values only to the play the
    // convergence limit of 0.1 mm leaves to the shifts and the rotations about the origin.
    const double s0 = std::sqrt(0.0058 / 17.0);
    const double m = kTruth.scale;
    const double rotationPrecision = s0 / (4 * m * 0.001) * 1e-6 / kArcSecond;
    const struct {
        const char* label;
        double value;
        double precision;
        const char* unit;
    } rows[] = {{"| Translatie Tx     | ", 25.4, s0 / std::sqrt(8.0), " |  m  |"},
                {"| Translatie Ty     | ", -110.2, s0 / std::sqrt(8.0), " |  m  |"},
                {"| Translatie Tz     | ", 80.7, s0 / std::sqrt(8.0), " |  m  |"},
                {"| Sc. dm=(m-1)*1e+6 | ", 4.2, s0 / (m * 0.001 * std::sqrt(24.0)), " | ppm |"},
                {"| Rotatie Rx        | ", 0.8, rotationPrecision, " |  \"  |"},
                {"| Rotatie Ry        | ", -1.3, rotationPrecision, " |  \"  |"},
                {"| Rotatie Rz        | ", 2.1, rotationPrecision, " |  \"  |"}};
    for (std::size_t k = 0; k < std::size(rows); ++k) {
        const std::string& line = lines[11 + k];
        ASSERT_EQ(line.size(), 66u) << line;
        EXPECT_EQ(line.substr(0, 22), rows[k].label);
        EXPECT_NEAR(std::stod(line.substr(22, 15)), rows[k].value, 2e-4) << line;
        EXPECT_EQ(line.substr(37, 6), " | +/-");
        // Half a unit of the last decimal written, and a little of the weighted solution's play.
        EXPECT_NEAR(std::stod(line.substr(43, 15)), rows[k].precision, k < 3 ? 5e-5 : 5e-8) << line;
        EXPECT_EQ(line.substr(58), rows[k].unit);
    }

    const std::vector<std::string> tables{
        std::string(66, '='),
        "Sigma0   = +/-   1.851640",
        "",
        "Distorsiuni \"D\" pe X, Y si Z in punctele comune:",
        "",
        std::string(72, '='),
        "|Nr. crt.|        Punct         |  D_Est [m] | D_Nord [m] |    D_Z [m] |",
        std::string(72, '-'),
        "|      1 |                   K1 |   -0.01000 |    0.02000 |   -0.01500 |",
        "|      2 |                   K2 |    0.01000 |   -0.02000 |    0.01500 |",
        "|      3 |                   K3 |    0.01000 |   -0.02000 |    0.01500 |",
        "|      4 |                   K4 |   -0.01000 |    0.02000 |   -0.01500 |",
        "|      5 |                   K5 |    0.01000 |   -0.02000 |    0.01500 |",
        "|      6 |                   K6 |   -0.01000 |    0.02000 |   -0.01500 |",
        "|      7 |                   K7 |   -0.01000 |    0.02000 |   -0.01500 |",
        "|      8 |                   K8 |    0.01000 |   -0.02000 |    0.01500 |",
        std::string(71, '='),
        "",
        "Precizii \"Si\" pe X, Y si Z in punctele comune:",
        "",
        std::string(72, '='),
        "|Nr. crt.|        Punct         |  Si_X [m]  |  Si_Y [m]  |  Si_Z [m]  |",
        std::string(72, '-'),
        "|      1 |                   K1 |    0.00998 |    0.00998 |    0.00998 |"};
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 18, lines.begin() + 18 + static_cast<long>(tables.size())),
              tables);

    const std::vector<std::string> firstPoint{"Coordonate transformate, precizii, distorsiuni",
                                              "----------------------------------------------",
                                              "",
                                              "Puncte comune",
                                              "-------------",
                                              "Punct: K1",
                                              "                  X [m]        Y [m]       Z [m]",
                                              "Sistemul 1:   4099000.0000 1899000.0000 4499000.0000",
                                              "Sistemul 2:   4099090.2950 1898873.5124 4499066.3810",
                                              "Transformate: 4099090.3050 1898873.4924 4499066.3960",
                                              "Distorsiuni:       -0.0100       0.0200      -0.0150",
                                              "Precizii:           0.0100       0.0100       0.0100",
                                              "Er. grosiere:           NU           NU           NU",
                                              ""};
    const auto block = std::find(lines.begin(), lines.end(), firstPoint.front());
    ASSERT_NE(block, lines.end());
    EXPECT_EQ(std::vector<std::string>(block, block + static_cast<long>(firstPoint.size())), firstPoint);

    const std::vector<std::string> end{"",
                                       "",
                                       "Coordonatele punctelor noi dupa Transf. Helmert 3D",
                                       "--------------------------------------------------",
                                       "Punct                  X [m]        Y [m]       Z [m]",
                                       "N, 4100090.3257, 1899873.4903, 4500066.3900"};
    EXPECT_EQ(std::vector<std::string>(lines.end() - static_cast<long>(end.size()), lines.end()), end);
}

} // namespace
} // namespace velmora
