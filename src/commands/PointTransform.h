// One point through the transformation dispatcher, the way every command does it: a point that
// cannot be transformed has its diagnostic shown on the error console, and once the user has
// acknowledged it the command ends with its own message (a FatalError).
#pragma once

#include "core/CoreEnv.h"
#include "core/ErrorConsole.h"
#include "core/TransformPoint.h"

#include <string_view>

namespace velmora {

// The failure message is failurePrefix followed by pointName.
ChainResult TransformOrStop(CoreEnv& env, ErrorConsole& console, TransformationType type, int heightFlag, double P1,
                            double P2, double P3, std::string_view failurePrefix, std::string_view pointName = {});

} // namespace velmora
