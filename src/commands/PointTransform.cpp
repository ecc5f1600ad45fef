#include "commands/PointTransform.h"

#include "files/FatalError.h"

#include <string>

namespace velmora {

ChainResult TransformOrStop(CoreEnv& env, ErrorConsole& console, TransformationType type, int heightFlag, double P1,
                            double P2, double P3, std::string_view failurePrefix, std::string_view pointName)
{
    const auto result = TransformPoint(env, type, heightFlag, P1, P2, P3);
    if (!result) {
        ReportAndWait(console, result.Failure());
        std::string message(failurePrefix);
        message.append(pointName);
        throw FatalError(message);
    }
    return *result;
}

} // namespace velmora
