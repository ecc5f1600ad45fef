#include "model/EngineSteps.h"

#include "core/FileHandle.h"
#include "files/FatalError.h"
#include "model/GridInterpolation.h"

#include <cstdint>

namespace velmora {

// The record layer would report an unusable file with its general message; the engine names it.
PointFile OpenNewPoints(const std::filesystem::path& path)
{
    if (const auto file = FileHandle::Open(path, FileHandle::Mode::Update);
        !file || file->Size() % sizeof(PointRecord) != 0) {
        throw FatalError(kNewPointsInvalidMessage);
    }
    PointFile points = PointFile::OpenForUpdate(path);
    if (points.Size() == 0) {
        throw FatalError(kNoNewPointsMessage);
    }
    return points;
}

void InterpolateSignal(PointRecord& point, const NodeGrid& grid, char kind, SignalRule rule)
{
    if (kind != 'P' && kind != 'G') {
        return;
    }
    const SignalComponents wanted = kind == 'G' ? kSpatialSignal : kPlaneSignal;
    if (kind == 'P' && rule == SignalRule::ByKind) {
        InterpolateBicubic(point, grid, wanted);
    } else if (!InterpolateWeighted(point, grid, wanted)) {
        InterpolateBilinear(point, grid, wanted);
    }
}

bool ComputeSignals(PointFile& points, const DistortionModel& model, char modelKind, char kind,
                    bool regressionApplied, SignalRule rule)
{
    for (std::uint64_t k = 0; k < points.Size(); ++k) {
        PointRecord point = points.Read(k);
        if (model.parameters.regressionPresent != 0) {
            EvaluateRegression(point, model.parameters, modelKind);
            regressionApplied = true;
        }
        if (point.pointState == 'D') {
            InterpolateSignal(point, model.grid, kind, rule);
        }
        points.Write(k, point);
    }
    return regressionApplied;
}

void ComputeCommonSignals(PointFile& points, const NodeGrid& grid, char kind)
{
    for (std::uint64_t k = 0; k < points.Size(); ++k) {
        PointRecord point = points.Read(k);
        if (point.pointState == 'D') {
            InterpolateSignal(point, grid, kind, SignalRule::ByKind);
            points.Write(k, point);
        }
    }
}

void SetFinalCoordinates(PointRecord& point, char kind, bool regressionApplied)
{
    const std::size_t components = kind == 'G' ? 3 : 2;
    const auto& base = regressionApplied ? point.regression : point.result;
    for (std::size_t c = 0; c < components; ++c) {
        point.modelWork2[3 + c] = point.pointState == 'D' ? base[c] + point.residual[c] : base[c];
    }
}

} // namespace velmora
