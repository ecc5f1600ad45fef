#include "model/ModelParameters.h"

#include "model/ModelFile.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace velmora {

namespace {

// The trend is evaluated in millions of metres.
constexpr long double kTrendScale = 1000000.0L;

// x to the power n by repeated multiplication, in extended precision like the whole trend.
long double ExtendedPower(long double x, int n)
{
    long double result = 1.0L;
    for (int k = 0; k < n; ++k) {
        result *= x;
    }
    return result;
}

bool AllFinite(std::initializer_list<double> values)
{
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

// The values the model application reads: the plane Helmert step and, when the model has a
// trend, the means and coefficients of its components that have terms.
bool UsedValuesFinite(const ModelParameterRecord& model)
{
    if (!AllFinite({model.helmertShiftE, model.helmertShiftN, model.helmertA, model.helmertB})) {
        return false;
    }
    if (model.regressionPresent == 0) {
        return true;
    }
    for (int c = 0; c < 3; ++c) {
        const auto ci = static_cast<std::size_t>(c);
        if (model.termCount[ci] > 0 && !AllFinite({model.meanHelmert[ci], model.meanSystem2[ci]})) {
            return false;
        }
        for (int k = 1; k <= model.termCount[ci]; ++k) {
            if (!std::isfinite(model.Term(c, k).coefficient)) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

ModelParameterRecord LoadModelParameters(const std::filesystem::path& path)
{
    ModelFileReader file(path, sizeof(ModelParameterRecord), kParameterFileKind);
    ModelParameterRecord model;
    file.ReadNext(&model, 1);
    if (model.regressionPresent != 0) {
        for (const std::uint16_t count : model.termCount) {
            if (count > kMaxRegressionTerms) {
                throw ModelFileError(kParameterFileKind, path, "are mai multi termeni de regresie decat 59");
            }
        }
    }
    if (!UsedValuesFinite(model)) {
        throw ModelFileError(kParameterFileKind, path, "are parametri care nu sunt numere finite");
    }
    return model;
}

void ApplyModelHelmert(PointRecord& point, const ModelParameterRecord& model)
{
    const double x = point.sys1[0];
    const double y = point.sys1[1];
    point.result[0] = model.helmertA * x - model.helmertB * y + model.helmertShiftE;
    point.result[1] = model.helmertB * x + model.helmertA * y + model.helmertShiftN;
}

void ApplyModelHelmert3D(PointRecord& point, const ModelParameterRecord& model)
{
    const auto& r = model.helmert3DRotation;
    const auto& p = point.sys1;
    for (std::size_t i = 0; i < 3; ++i) {
        const double rotated = r[3 * i] * p[0] + r[3 * i + 1] * p[1] + r[3 * i + 2] * p[2];
        point.result[i] = model.helmert3DScale * rotated + model.helmert3DShift[i];
    }
}

void EvaluateRegression(PointRecord& point, const ModelParameterRecord& model, char kind)
{
    const int components = kind == 'G' ? 3 : 2;
    for (int c = 0; c < components; ++c) {
        const auto ci = static_cast<std::size_t>(c);
        point.regression[ci] = EvaluateRegressionComponent(point, model, c, model.termCount[ci]);
    }
    if (components == 2) {
        point.regression[2] = 0.0;
    }
}

TrendPosition TrendPositionOf(const PointRecord& point, const ModelParameterRecord& model)
{
    return {(static_cast<long double>(point.result[0]) - model.meanHelmert[0]) / kTrendScale,
            (static_cast<long double>(point.result[1]) - model.meanHelmert[1]) / kTrendScale};
}

long double TermValue(const RegressionTerm& term, TrendPosition position)
{
    return ExtendedPower(position.u, term.powerU) * ExtendedPower(position.v, term.powerV);
}

double EvaluateRegressionComponent(const PointRecord& point, const ModelParameterRecord& model, int component,
                                   int termCount)
{
    const TrendPosition position = TrendPositionOf(point, model);
    long double sum = 0.0L;
    for (int k = 1; k <= termCount; ++k) {
        const RegressionTerm& term = model.Term(component, k);
        sum += term.coefficient * ExtendedPower(position.u, term.powerU) * ExtendedPower(position.v, term.powerV);
    }
    const auto c = static_cast<std::size_t>(component);
    const long double centred =
        static_cast<long double>(point.result[c]) - model.meanHelmert[c] + model.meanSystem2[c];
    return static_cast<double>((centred / kTrendScale + sum) * kTrendScale);
}

} // namespace velmora
