#include "Route.h"

#include <sstream>
#include <stdexcept>

namespace velmora::demodata {

Route::Route(const std::filesystem::path& dataDir, int tmZone) : env_{dataDir, tmZone, console_, grids_} {}

std::optional<ChainResult> Route::TryTransform(int type, int heightFlag, double P1, double P2, double P3)
{
    ChainResult out{};
    const int status = TransformPoint(env_, type, heightFlag, P1, P2, P3, out.first, out.second, out.third);
    console_.Take();
    if (status != 0)
        return std::nullopt;
    return out;
}

ChainResult Route::Transform(int type, int heightFlag, double P1, double P2, double P3)
{
    ChainResult out{};
    if (TransformPoint(env_, type, heightFlag, P1, P2, P3, out.first, out.second, out.third) != 0) {
        std::ostringstream message;
        message.precision(12);
        message << "transformation type " << type << " fails at (" << P1 << ", " << P2 << "): " << console_.Take();
        throw std::runtime_error(message.str());
    }
    return out;
}

} // namespace velmora::demodata
