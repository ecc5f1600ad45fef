// The one place the front ends catch what ends a command.
#include "files/FatalError.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

namespace velmora {
namespace {

TEST(FailureOf, FatalErrorsKeepTheirTextAndAnythingElseIsAnInternalError)
{
    EXPECT_EQ(FailureOf([] {}), std::nullopt);
    EXPECT_EQ(FailureOf([] { throw FatalError("Eroare: nu se poate transforma punctul P3"); }),
              "Eroare: nu se poate transforma punctul P3");
    EXPECT_EQ(FailureOf([] { throw std::out_of_range("index 7"); }), "Eroare interna: index 7");
    EXPECT_EQ(FailureOf([] { throw std::bad_alloc(); }), "Eroare interna: std::bad_alloc");
    EXPECT_EQ(FailureOf([] { throw 42; }), "Eroare interna: exceptie necunoscuta");
}

} // namespace
} // namespace velmora
