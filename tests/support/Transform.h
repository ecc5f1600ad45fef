// The dispatcher where the chain must succeed: a failure fails the test with its diagnostic.
#pragma once

#include "core/TransformPoint.h"

#include <gtest/gtest.h>

namespace velmora::test {

inline ChainResult MustTransform(CoreEnv& env, TransformationType type, int heightFlag, double P1, double P2,
                                 double P3)
{
    const auto result = TransformPoint(env, type, heightFlag, P1, P2, P3);
    EXPECT_TRUE(result) << "type " << static_cast<int>(type) << " at (" << P1 << ", " << P2
                        << "): " << result.Failure().text;
    return result ? *result : ChainResult{};
}

} // namespace velmora::test
