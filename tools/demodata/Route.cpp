#include "Route.h"

#include <sstream>
#include <stdexcept>

namespace velmora::demodata {

Route::Route(const std::filesystem::path& dataDir, int tmZone) : env_{dataDir, tmZone, grids_} {}

ChainResult Route::Transform(TransformationType type, int heightFlag, double P1, double P2, double P3)
{
    const auto result = TransformPoint(env_, type, heightFlag, P1, P2, P3);
    if (!result) {
        std::ostringstream message;
        message.precision(12);
        message << "transformation type " << static_cast<int>(type) << " fails at (" << P1 << ", " << P2
                << "): " << result.Failure().text;
        throw std::runtime_error(message.str());
    }
    return *result;
}

} // namespace velmora::demodata
