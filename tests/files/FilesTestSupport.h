// The fixture of the file tests: a scratch directory per test and a writer of its input files.
#pragma once

#include "support/PointFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string_view>

namespace velmora::testing {

class ScratchDirTest : public ::testing::Test {
protected:
    std::filesystem::path Path(std::string_view name) const { return dir_ / name; }

    std::filesystem::path WriteFile(std::string_view name, std::string_view bytes) const
    {
        const auto path = Path(name);
        test::WriteBytes(path, bytes);
        return path;
    }

    test::TempDir scratch_;
    const std::filesystem::path& dir_ = scratch_.Path();
};

} // namespace velmora::testing
