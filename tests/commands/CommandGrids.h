// The data directory of the command tests: a quasigeoid over Romania and a Stereo70 correction
// grid, both smooth fields, so that every point of the tests transforms.
#pragma once

#include "core/CorrectionGrid.h"
#include "core/TransformPoint.h"
#include "support/TestSupport.h"

namespace velmora::test {

inline void WriteDispatcherGrids(const std::filesystem::path& dir)
{
    WriteGrid(dir / kQuasigeoidGridName, 19.0, 31.0, 43.0, 49.0, 0.5, 0.5,
              [](double L, double B) { return 30.0 + 0.5 * L - 0.2 * B; });
    WriteGrid(dir / kStereo70GridName, 0.0, 1000000.0, 0.0, 1000000.0, 50000.0, 50000.0,
              [](double e, double) { return 0.2 + 1e-7 * e; }, [](double, double n) { return -0.1 + 2e-7 * n; });
}

} // namespace velmora::test
