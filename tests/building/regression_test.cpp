// The regression trend: a planted polynomial selected term by term, pure noise selecting nothing,
// candidates that add nothing rejected, the term limit, the t table, the report blocks and every
// message.
#include "building/HelmertEstimation.h"
#include "building/Regression.h"
#include "model/ModelParameters.h"
#include "EstimationRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace velmora {
namespace {

using test::EstimationRun;
using test::Lines;
using test::MakeCommonPoint;
using test::MessageOf;
using Powers = std::pair<int, int>;

// The Helmert coordinates of the common points are result[0..2]; system 2 is given as them plus
// a leftover per component.
PointRecord HelmertPoint(const std::string& name, char kind, std::array<double, 3> helmert,
                         std::array<double, 3> leftover)
{
    PointRecord point = MakeCommonPoint(name, kind, {helmert[0] - 100.0, helmert[1] - 200.0, helmert[2] - 300.0},
                                        {helmert[0] + leftover[0], helmert[1] + leftover[1], helmert[2] + leftover[2]});
    point.result = helmert;
    return point;
}

void PrepareRun(EstimationRun& setup, const std::vector<PointRecord>& points)
{
    setup.WriteCommon(points);
    test::WriteBytes(setup.Path("REZULT.TXT"), "Helmert\r\n");
}

std::vector<Powers> TermsOf(const ModelParameterRecord& model, int component)
{
    std::vector<Powers> terms;
    for (int k = 1; k <= model.termCount[static_cast<std::size_t>(component)]; ++k)
        terms.emplace_back(model.Term(component, k).powerU, model.Term(component, k).powerV);
    return terms;
}

const std::vector<Powers> kBasic{{0, 0}, {0, 1}, {1, 0}, {1, 1}};

std::vector<Powers> BasicAnd(std::initializer_list<Powers> more)
{
    std::vector<Powers> terms = kBasic;
    terms.insert(terms.end(), more);
    return terms;
}

// 7 x 7 points 2 km apart; u and v reach 0.006 at the edges.
std::vector<PointRecord> GridNetwork(char kind, const std::function<std::array<double, 3>(double, double)>& leftover)
{
    std::vector<PointRecord> points;
    for (int i = -3; i <= 3; ++i) {
        for (int j = -3; j <= 3; ++j) {
            const double u = i * 0.002;
            const double v = j * 0.002;
            const char name[] = {'R', static_cast<char>('D' + i), static_cast<char>('d' + j), '\0'};
            points.push_back(HelmertPoint(name, kind, {500000.0 + u * 1e6, 300000.0 + v * 1e6, 4500000.0},
                                          leftover(u, v)));
        }
    }
    return points;
}

// The X leftover holds 0.06 m of v^2 and 0.05 m of u^2 v at the edges, both with 2 mm of noise; the
// Y leftover is noise alone.
TEST(Regression, APlantedTrendIsSelectedTermByTermAndNoiseIsNot)
{
    std::mt19937 random(2024);
    const auto noise = [&] { return (static_cast<double>(random() % 2001) / 1000.0 - 1.0) * 0.002; };
    const double a = 0.06 / (1e6 * 0.006 * 0.006);
    const double b = 0.05 / (1e6 * 0.006 * 0.006 * 0.006);
    EstimationRun setup;
    PrepareRun(setup, GridNetwork('P', [&](double u, double v) {
                   return std::array<double, 3>{0.3 + 1e6 * (a * v * v + b * u * u * v) + noise(), -0.2 + noise(), 0.0};
               }));
    EXPECT_TRUE(RunRegression(setup.run, 'P'));

    const ModelParameterRecord model = setup.Parameters(0);
    EXPECT_EQ(model.regressionPresent, 1);
    EXPECT_EQ(TermsOf(model, 0), BasicAnd({{0, 2}, {2, 1}}));
    EXPECT_NEAR(model.Term(0, 5).coefficient, a, 0.05 * a);
    EXPECT_NEAR(model.Term(0, 6).coefficient, b, 0.05 * b);
    EXPECT_GT(model.coefficientError[0][5], 0.0);
    // The errors come out in metres over the coefficients' millions of metres.
    EXPECT_LT(model.coefficientError[0][5] / 1e6, 0.05 * b);
    EXPECT_EQ(TermsOf(model, 1), kBasic);
    EXPECT_EQ(model.termCount[2], 39); // round(0.8 * 49), untouched in plane mode
    EXPECT_NEAR(model.meanHelmert[0], 500000.0, 1e-6);
    EXPECT_NEAR(model.meanSystem2[1], 299999.8, 1e-3);

    // The points hold what the model application will compute from record 0.
    for (PointRecord point : setup.Common()) {
        const std::array<double, 3> stored = point.regression;
        EXPECT_LT(std::fabs(point.residual[0]), 0.006);
        EXPECT_EQ(point.residual[0], point.sys2[0] - stored[0]);
        EvaluateRegression(point, model, 'P');
        EXPECT_EQ(point.regression[0], stored[0]);
        EXPECT_EQ(point.regression[1], stored[1]);
    }
    // Record 1 keeps the last accepted state: the final X model and the basic Y terms.
    const ModelParameterRecord accepted = setup.Parameters(1);
    EXPECT_EQ(accepted.workingTermCount, 4);
    for (int k = 1; k <= 6; ++k)
        EXPECT_EQ(accepted.Term(0, k).coefficient, model.Term(0, k).coefficient);
}

// Six points at u in {-1, 0, 1} mm, v in {-1, 1} mm: v^2 is a constant there and uv^2 is u, so
// both add nothing; the limit round(0.8 * 6) = 5 leaves room for one term. X is left with a u^2
// pattern, Y with a u^2 v pattern, Z with both.
std::vector<PointRecord> SixPoints(char kind)
{
    std::vector<PointRecord> points;
    for (const int j : {-1, 1}) {
        for (const int i : {-1, 0, 1}) {
            const double w = i == 0 ? -2.0 : 1.0; // 3 i^2 - 2
            const char name[] = {'S', static_cast<char>('1' + (j + 1) / 2 * 3 + i + 1), '\0'};
            points.push_back(HelmertPoint(name, kind, {500000.0 + 1000.0 * i, 300000.0 + 1000.0 * j, 4500000.0},
                                          {0.5 + 0.01 * i + 0.04 * w, -0.3 + 0.03 * j * w, 0.2 + 0.02 * w + 0.01 * j * w}));
        }
    }
    return points;
}

TEST(Regression, CandidatesThatAddNothingAreRejectedUpToTheLimit)
{
    EstimationRun setup;
    PrepareRun(setup, SixPoints('G'));
    EXPECT_TRUE(RunRegression(setup.run, 'G'));
    const ModelParameterRecord model = setup.Parameters(0);
    EXPECT_EQ(TermsOf(model, 0), BasicAnd({{2, 0}}));
    EXPECT_EQ(TermsOf(model, 1), BasicAnd({{2, 1}}));
    // Z's u^2 and u^2 v parts are each too weak against the other with one degree of freedom.
    EXPECT_EQ(TermsOf(model, 2), kBasic);
    // u^2 carries 0.04 (3e6 u^2 - 2) of X: 0.12 in units of 10^6 m.
    EXPECT_NEAR(model.Term(0, 5).coefficient, 0.12, 1e-9);
    EXPECT_NEAR(model.Term(0, 3).coefficient, 1e-5, 1e-12);
    for (const PointRecord& point : setup.Common()) {
        EXPECT_NEAR(point.residual[0], 0.0, 1e-9);
        EXPECT_NEAR(point.residual[1], 0.0, 1e-9);
        EXPECT_GT(std::fabs(point.residual[2]), 0.005); // Z keeps its u^2 v part
    }
}

// Twelve points along a straight line 5 km apart: v is 4/3 u, so the basic terms are already
// dependent and every fit is nearly singular. Some candidates then leave more over than the fit
// without them (Y with u^7 more than seven times as much); such a term adds nothing and must not
// be kept, however large the relative change of the sum of squares.
TEST(Regression, ACandidateThatLeavesMoreOverIsRejected)
{
    const double leftoverX[] = {0.01, 0.092, -0.036, -0.001, 0.062, -0.092, -0.094, 0.026, -0.07, 0.032, 0.046, 0.077};
    const double leftoverY[] = {0.064, 0.038, -0.029, 0.003, 0.035, -0.004, 0.007, 0.015, -0.059, -0.024, -0.09, -0.08};
    std::vector<PointRecord> points;
    for (int i = 0; i < 12; ++i) {
        const double t = i - 5.5;
        const char name[] = {'L', static_cast<char>('A' + i), '\0'};
        points.push_back(HelmertPoint(name, 'P',
                                      {500000.0 + 3000.0 * t, 300000.0 + 4000.0 * t, 0.0},
                                      {leftoverX[i], leftoverY[i], 0.0}));
    }
    EstimationRun setup;
    PrepareRun(setup, points);
    EXPECT_TRUE(RunRegression(setup.run, 'P'));
    const ModelParameterRecord model = setup.Parameters(0);
    EXPECT_EQ(TermsOf(model, 0), kBasic);
    EXPECT_EQ(TermsOf(model, 1), kBasic);
}

TEST(Regression, TheReportBlocksFollowTheHelmertReport)
{
    EstimationRun setup;
    PrepareRun(setup, SixPoints('P'));
    RunRegression(setup.run, 'P');
    const ModelParameterRecord model = setup.Parameters(0);
    EXPECT_EQ(model.termCount[2], 5); // the Z count keeps the limit in plane mode

    const std::vector<std::string> lines = Lines(setup.Report());
    ASSERT_EQ(lines.size(), 15u + 6 + 6 * 9);
    const std::vector<std::string> head{"Helmert", "", "Parametrii si coeficientii regresiei",
                                        "------------------------------------", ""};
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 5), head);
    const std::vector<std::string> names{")", ")v", ")u", ")uv", ")uu", ")", ")v", ")u", ")uv", ")uuv"};
    for (std::size_t k = 0; k < names.size(); ++k) {
        const std::string& line = lines[5 + k];
        const int c = k < 5 ? 0 : 1;
        const int term = static_cast<int>(k % 5) + 1;
        EXPECT_EQ(line.substr(0, 4), term > 1 ? "  +(" : c == 0 ? "dX=(" : "dY=(");
        EXPECT_EQ(line.substr(27), names[k]);
        const std::string number = line.substr(4, 23);
        EXPECT_TRUE(number[0] == ' ' || number[0] == '-') << line;
        EXPECT_EQ(number.substr(2, 1), ".");
        EXPECT_EQ(number.substr(17, 1), "E");
        EXPECT_NEAR(std::stod(number), model.Term(c, term).coefficient,
                    1e-14 * std::fabs(model.Term(c, term).coefficient)) << line;
    }
    const std::vector<std::string> block{"",
                                         "Coordonate transformate, precizii, distorsiuni",
                                         "----------------------------------------------",
                                         "",
                                         "Puncte comune",
                                         "-------------",
                                         "Punct: S1",
                                         "                 Est [m]      Nord [m]     ",
                                         "Sistemul 1:    498900.0000  298800.0000",
                                         "Sistemul 2:    499000.5300  298999.6700",
                                         "Trs.  Helmert: 499000.0000  299000.0000",
                                         "Distorsiuni_H:      0.5300      -0.3300",
                                         "Trs. Regresie: 499000.5300  298999.6700"};
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 15, lines.begin() + 15 + static_cast<long>(block.size())),
              block);
    // The regression leaves nothing: its distortions are zeros, whatever their signs.
    EXPECT_NEAR(std::stod(lines[28].substr(14, 12)), 0.0, 1e-9);
    EXPECT_EQ(lines[29], "");
}

// After the plane Helmert estimation, as the model-building command runs them: the trend keeps
// the Helmert fields and continues its report.
TEST(Regression, FollowsThePlaneHelmertEstimation)
{
    std::mt19937 random(99);
    const auto noise = [&] { return (static_cast<double>(random() % 2001) / 1000.0 - 1.0) * 0.002; };
    EstimationRun setup;
    std::vector<PointRecord> points = GridNetwork('P', [&](double u, double v) {
        return std::array<double, 3>{0.8 + 2e3 * v * v + noise(), -0.4 + 1e3 * u * u + noise(), 0.0};
    });
    for (PointRecord& point : points)
        point.result = {};
    setup.WriteCommon(points);
    setup.WriteNew({test::MakeNewPoint("N", 'P', {500000, 300000, 0})});
    EstimateHelmert2D(setup.run, 1);
    const ModelParameterRecord helmert = setup.Parameters(0);
    EXPECT_TRUE(RunRegression(setup.run, 'P'));

    const ModelParameterRecord model = setup.Parameters(0);
    EXPECT_EQ(model.helmertA, helmert.helmertA);
    EXPECT_EQ(model.helmertShiftN, helmert.helmertShiftN);
    EXPECT_EQ(TermsOf(model, 0), BasicAnd({{0, 2}}));
    EXPECT_EQ(TermsOf(model, 1), BasicAnd({{2, 0}}));
    for (const PointRecord& point : setup.Common()) {
        EXPECT_LT(std::fabs(point.residual[0]), 0.004);
        EXPECT_LT(std::fabs(point.residual[1]), 0.004);
    }
    const std::string report = setup.Report();
    const std::size_t helmertTable = report.find("Parametrii Transformarii Helmert in spatiul 2D");
    const std::size_t newPoints = report.find("Puncte noi dupa Tr. Helmert");
    const std::size_t trend = report.find("Parametrii si coeficientii regresiei");
    EXPECT_LT(helmertTable, newPoints);
    EXPECT_LT(newPoints, trend);
    EXPECT_NE(trend, std::string::npos);
}

TEST(Regression, TheTTableIsInterpolatedAndItsLimitsHold)
{
    // A T equal to the critical value, as the table's doubles give it, rejects the term.
    EXPECT_TRUE(IsTermInsignificant(0, 100.0L));
    EXPECT_TRUE(IsTermInsignificant(-3, 100.0L));
    EXPECT_TRUE(IsTermInsignificant(1, 12.71));
    EXPECT_FALSE(IsTermInsignificant(1, 12.72));
    EXPECT_TRUE(IsTermInsignificant(2, 4.30));
    EXPECT_FALSE(IsTermInsignificant(2, 4.31));
    // Between the rows 30 and 35: 2.04 + 2 (2.03 - 2.04) / 5 = 2.036.
    const double critical32 = 2.04 + 2.0 * (2.03 - 2.04) / 5.0;
    EXPECT_TRUE(IsTermInsignificant(32, critical32));
    EXPECT_FALSE(IsTermInsignificant(32, 2.0361L));
    EXPECT_TRUE(IsTermInsignificant(1000, 1.97 + 500 * (1.96 - 1.97) / 500));
    EXPECT_FALSE(IsTermInsignificant(1000, 1.961));
    EXPECT_TRUE(IsTermInsignificant(5000, 1.96));
    EXPECT_FALSE(IsTermInsignificant(5000, 1.9601));
    EXPECT_TRUE(IsTermInsignificant(10, std::nanl("")));
    EXPECT_FALSE(IsTermInsignificant(10, HUGE_VALL));
}

TEST(Regression, EveryFailureHasItsMessage)
{
    EstimationRun setup;
    EXPECT_EQ(MessageOf([&] { RunRegression(setup.run, 'P'); }), kRegressionCommonPointsMessage);

    std::vector<PointRecord> points = SixPoints('P');
    PrepareRun(setup, std::vector<PointRecord>(points.begin(), points.begin() + 5));
    EXPECT_EQ(MessageOf([&] { RunRegression(setup.run, 'P'); }), kRegressionRedundancyMessage);

    points[3].coordKind = 'G';
    PrepareRun(setup, points);
    EXPECT_EQ(MessageOf([&] { RunRegression(setup.run, 'P'); }), kRegressionMixedKindsMessage);
    // Letters are compared without regard to case.
    points[3].coordKind = 'p';
    PrepareRun(setup, points);
    EXPECT_EQ(MessageOf([&] { RunRegression(setup.run, 'P'); }), "");

    std::filesystem::remove(setup.Path("REZULT.TXT"));
    EXPECT_EQ(MessageOf([&] { RunRegression(setup.run, 'P'); }), "Eroare I/O fisier rezultat!");
    std::filesystem::remove(setup.run.parameterPath);
    EXPECT_EQ(MessageOf([&] { RunRegression(setup.run, 'P'); }), "Eroare I/O fisier tip record!");
}

} // namespace
} // namespace velmora
