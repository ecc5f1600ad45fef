// The program's own transformation chains as the generator uses them: TransformPoint on the
// grids of one directory, a failure turned into an exception that carries its diagnostic.
#pragma once

#include "core/CorrectionGrid.h"
#include "core/CoreEnv.h"
#include "core/TransformPoint.h"

#include <filesystem>

namespace velmora::demodata {

class Route {
public:
    explicit Route(const std::filesystem::path& dataDir, int tmZone = 34);
    Route(const Route&) = delete;
    Route& operator=(const Route&) = delete;

    // Out1, Out2, Out3 of TransformPoint; throws std::runtime_error with the core's diagnostic.
    ChainResult Transform(TransformationType type, int heightFlag, double P1, double P2, double P3 = 0.0);

private:
    GridCache grids_;
    CoreEnv env_;
};

} // namespace velmora::demodata
