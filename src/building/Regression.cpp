#include "building/Regression.h"

#include "building/EstimationSupport.h"
#include "files/FatalError.h"
#include "files/NumberText.h"
#include "files/ResultWriter.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace velmora {

namespace {

constexpr double kRegressionInversionEps = 1e-30;
constexpr int kBasicTerms = 4;
constexpr int kTermLimit = 50;
constexpr int kHighestDegree = 9;

struct TRow {
    int df;
    double t;
};

// Two-sided 95 % quantiles of Student's t, rounded to two decimals.
constexpr std::array<TRow, 48> kTTable{{
    {1, 12.71}, {2, 4.30},  {3, 3.18},  {4, 2.78},   {5, 2.57},   {6, 2.45},   {7, 2.36},   {8, 2.31},
    {9, 2.26},  {10, 2.23}, {11, 2.20}, {12, 2.18},  {13, 2.16},  {14, 2.14},  {15, 2.13},  {16, 2.12},
    {17, 2.11}, {18, 2.10}, {19, 2.09}, {20, 2.09},  {21, 2.08},  {22, 2.07},  {23, 2.07},  {24, 2.06},
    {25, 2.06}, {26, 2.06}, {27, 2.05}, {28, 2.05},  {29, 2.05},  {30, 2.04},  {35, 2.03},  {40, 2.02},
    {45, 2.01}, {50, 2.01}, {60, 2.00}, {70, 1.99},  {80, 1.99},  {90, 1.99},  {100, 1.98}, {120, 1.98},
    {140, 1.98}, {160, 1.97}, {180, 1.97}, {200, 1.97}, {300, 1.97}, {400, 1.97}, {500, 1.97}, {1000, 1.96},
}};

// Terms 1 to 4 of every component, as (power of u, power of v).
constexpr std::array<std::array<std::uint8_t, 2>, kBasicTerms> kBasicPowers{{{0, 0}, {0, 1}, {1, 0}, {1, 1}}};

constexpr std::array<const char*, 3> kFormulaPrefixes{"dX=(", "dY=(", "dZ=("};

char UpperKind(const PointRecord& point)
{
    return static_cast<char>(std::toupper(static_cast<unsigned char>(point.coordKind)));
}

int ComponentsOf(char mode)
{
    return std::toupper(static_cast<unsigned char>(mode)) == 'G' ? 3 : 2;
}

class RegressionEstimation {
public:
    RegressionEstimation(const BuildRun& run, std::vector<PointRecord> points);
    void Run(char mode);

private:
    int N() const { return static_cast<int>(points_.size()); }
    void Prepare();
    void FitComponent(int c);
    void SelectTerms(int c, long double ssrReference);
    void TryTerm(int c, int& m, int powerU, int powerV, long double& ssrReference);
    long double Fit(int c, int m);
    std::vector<EquationRecord> BuildEquations(int c, int m) const;
    void WriteFormulaBlock(ReportFile& report, char mode) const;
    void WritePointBlock(ReportFile& report, char mode) const;

    const BuildRun& run_;
    std::vector<PointRecord> points_;
    ModelParameterRecord current_{};  // record 0: the model being fitted
    ModelParameterRecord accepted_{}; // record 1: the last accepted state of the selection
};

RegressionEstimation::RegressionEstimation(const BuildRun& run, std::vector<PointRecord> points)
    : run_(run), points_(std::move(points))
{
}

void RegressionEstimation::Run(char mode)
{
    const std::filesystem::path reportPath = run_.WorkFile(kEstimationReportName);
    current_ = ReadParameterRecord(run_.parameterPath, 0);
    Prepare();
    const int components = UpperKind(points_.front()) == 'G' ? 3 : 2;
    for (int c = 0; c < components; ++c)
        FitComponent(c);
    StorePoints(run_.WorkFile(kBuildCommonPointsName), points_);
    WriteParameterRecord(run_.parameterPath, 0, current_);
    WriteParameterRecord(run_.parameterPath, 1, accepted_);

    // The report was begun by the Helmert estimation; the trend is only appended to it.
    std::error_code error;
    if (!std::filesystem::is_regular_file(reportPath, error))
        throw FatalError(kResultIoMessage);
    ReportFile report(reportPath, TextWriter::Mode::Append);
    WriteFormulaBlock(report, mode);
    WritePointBlock(report, mode);
    report.Close();
}

// The term limit, the means that centre the trend, and the four basic terms of every component.
void RegressionEstimation::Prepare()
{
    const int n = N();
    const auto limit = static_cast<std::uint16_t>(std::min<long>(std::lround(n / 5.0 * 4.0), kTermLimit));
    current_.termCount = {limit, limit, limit};
    current_.regressionPresent = 1;
    current_.meanHelmert = {};
    current_.meanSystem2 = {};
    for (const PointRecord& point : points_) {
        for (std::size_t c = 0; c < 3; ++c) {
            current_.meanHelmert[c] += point.result[c] / n;
            current_.meanSystem2[c] += point.sys2[c] / n;
        }
    }
    for (int c = 0; c < 3; ++c) {
        for (int k = 1; k <= limit; ++k) {
            RegressionTerm& term = current_.Term(c, k);
            term.inUse = k <= kBasicTerms ? 1 : 0;
            if (k <= kBasicTerms) {
                term.powerU = kBasicPowers[static_cast<std::size_t>(k - 1)][0];
                term.powerV = kBasicPowers[static_cast<std::size_t>(k - 1)][1];
            }
        }
    }
}

// The basic terms, the selection of further ones, and the final fit with the terms kept.
void RegressionEstimation::FitComponent(int c)
{
    current_.workingTermCount = kBasicTerms;
    accepted_ = current_;
    SelectTerms(c, Fit(c, kBasicTerms));
    const auto ci = static_cast<std::size_t>(c);
    current_.termCount[ci] = current_.workingTermCount;
    Fit(c, current_.termCount[ci]);
}

// Candidates of degree g in the order (0,g), (g,0), (1,g), (g,1), ..., (g,g); a rejected one
// leaves its position to the next. The first candidate beyond the limit ends the selection.
void RegressionEstimation::SelectTerms(int c, long double ssrReference)
{
    const int limit = current_.termCount[static_cast<std::size_t>(c)];
    int m = kBasicTerms;
    const auto nextPosition = [&] {
        if (m + 1 > limit)
            return false;
        ++m;
        return true;
    };
    for (int g = 2; g <= kHighestDegree; ++g) {
        for (int j = 0; j <= g; ++j) {
            if (!nextPosition())
                return;
            TryTerm(c, m, j, g, ssrReference);
            if (j == g)
                continue;
            if (!nextPosition())
                return;
            TryTerm(c, m, g, j, ssrReference);
        }
    }
}

void RegressionEstimation::TryTerm(int c, int& m, int powerU, int powerV, long double& ssrReference)
{
    RegressionTerm& term = current_.Term(c, m);
    term.powerU = static_cast<std::uint8_t>(powerU);
    term.powerV = static_cast<std::uint8_t>(powerV);
    term.inUse = 1;
    current_.workingTermCount = static_cast<std::uint16_t>(m);
    const long double ssr = Fit(c, m);
    const int df = N() - m;
    // A candidate whose fit leaves more over than the fit without it adds nothing. Only a nearly
    // singular system (points along a line, pivots replaced by 1e-9) does that, and the size of
    // such an increase must not pass for significance.
    const long double gain = std::max(ssrReference - ssr, 0.0L);
    const long double t = std::sqrt(gain / (ssr / df));
    if (IsTermInsignificant(df, t)) {
        --m;
        current_ = accepted_;
        current_.workingTermCount = static_cast<std::uint16_t>(m);
    } else {
        ssrReference = ssr;
        accepted_ = current_;
    }
}

// Fits component c with its first m terms: coefficients and their standard errors into the
// record, regression coordinate and residual into every point. Returns the sum of the squared
// residuals.
long double RegressionEstimation::Fit(int c, int m)
{
    const LeastSquaresSolution solution =
        SolveLeastSquares(BuildEquations(c, m), m, kRegressionInversionEps, SmallPivot::Replace);
    const auto ci = static_cast<std::size_t>(c);
    for (int k = 1; k <= m; ++k) {
        const auto i = static_cast<std::size_t>(k - 1);
        current_.coefficientError[ci][i] = std::sqrt(std::fabs(solution.q(k - 1, k - 1)));
        current_.Term(c, k).coefficient = solution.x[i];
    }
    long double ssr = 0.0L;
    for (PointRecord& point : points_) {
        point.regression[ci] = EvaluateRegressionComponent(point, current_, c, m);
        point.residual[ci] = point.sys2[ci] - point.regression[ci];
        ssr += static_cast<long double>(point.residual[ci]) * point.residual[ci];
    }
    const long double m0 = std::sqrt(ssr / (N() - m));
    for (int k = 0; k < m; ++k) {
        double& error = current_.coefficientError[ci][static_cast<std::size_t>(k)];
        error = static_cast<double>(error * m0);
    }
    return ssr;
}

// One equation per point: the values of the first m terms, and the centred leftover of the
// Helmert model in millions of metres.
std::vector<EquationRecord> RegressionEstimation::BuildEquations(int c, int m) const
{
    const auto ci = static_cast<std::size_t>(c);
    const char kind = UpperKind(points_.front());
    std::vector<EquationRecord> equations;
    equations.reserve(points_.size());
    std::array<double, kNormalStride> values{};
    for (const PointRecord& point : points_) {
        if (UpperKind(point) != kind)
            throw FatalError(kRegressionMixedKindsMessage);
        const TrendPosition position = TrendPositionOf(point, current_);
        for (int k = 1; k <= m; ++k)
            values[static_cast<std::size_t>(k - 1)] = static_cast<double>(TermValue(current_.Term(c, k), position));
        const double l = (point.sys2[ci] - point.result[ci] + current_.meanHelmert[ci] - current_.meanSystem2[ci]) /
                         kCentringScale;
        equations.push_back(MakeEquation(std::span(values).first(static_cast<std::size_t>(m)), l, 1.0));
    }
    return equations;
}

void RegressionEstimation::WriteFormulaBlock(ReportFile& report, char mode) const
{
    report.Line();
    report.Line("Parametrii si coeficientii regresiei");
    report.Line("------------------------------------");
    report.Line();
    std::string line;
    for (int c = 0; c < ComponentsOf(mode); ++c) {
        for (int k = 1; k <= current_.termCount[static_cast<std::size_t>(c)]; ++k) {
            const RegressionTerm& term = current_.Term(c, k);
            line.assign(k == 1 ? kFormulaPrefixes[static_cast<std::size_t>(c)] : "  +(");
            line.append(ScientificText(term.coefficient)).append(")");
            line.append(term.powerU, 'u').append(term.powerV, 'v');
            report.Line(line);
        }
    }
}

void RegressionEstimation::WritePointBlock(ReportFile& report, char mode) const
{
    const int components = ComponentsOf(mode);
    const auto n = static_cast<std::size_t>(components);
    WriteCommonPointsHeading(report);
    for (const PointRecord& point : points_) {
        std::array<double, 3> helmertDistortion{};
        std::array<double, 3> regressionDistortion{};
        for (std::size_t c = 0; c < 3; ++c) {
            helmertDistortion[c] = point.sys2[c] - point.result[c];
            regressionDistortion[c] = point.sys2[c] - point.regression[c];
        }
        report.Line(std::string("Punct: ").append(point.name.View()));
        report.Line(components == 3 ? "                  X [m]        Y [m]        Z [m] "
                                    : "                 Est [m]      Nord [m]     ");
        report.Line(ValuesLine("Sistemul 1:   ", std::span(point.sys1).first(n)));
        report.Line(ValuesLine("Sistemul 2:   ", std::span(point.sys2).first(n)));
        report.Line(ValuesLine("Trs.  Helmert:", std::span(point.result).first(n)));
        report.Line(ValuesLine("Distorsiuni_H:", std::span(helmertDistortion).first(n)));
        report.Line(ValuesLine("Trs. Regresie:", std::span(point.regression).first(n)));
        report.Line(ValuesLine("Distorsiuni_R:", std::span(regressionDistortion).first(n)));
        report.Line();
    }
}

} // namespace

bool IsTermInsignificant(int df, long double t)
{
    if (df <= 0 || std::isnan(t))
        return true;
    if (df > kTTable.back().df)
        return t <= kTTable.back().t;
    for (std::size_t i = 0; i + 1 < kTTable.size(); ++i) {
        const TRow& low = kTTable[i];
        const TRow& high = kTTable[i + 1];
        if (df < low.df || df > high.df)
            continue;
        const double critical = low.t + (df - low.df) * (high.t - low.t) / (high.df - low.df);
        if (t <= critical)
            return true;
    }
    return false;
}

bool RunRegression(BuildRun& run, char mode)
{
    std::vector<PointRecord> points =
        LoadCommonPoints(run.WorkFile(kBuildCommonPointsName), kRegressionCommonPointsMessage);
    if (points.size() < 6)
        throw FatalError(kRegressionRedundancyMessage);
    RegressionEstimation(run, std::move(points)).Run(mode);
    return true;
}

} // namespace velmora
