// A scratch directory per test and small helpers to write sources and read back record files.
#pragma once

#include "files/PointRecord.h"
#include "files/RecordFile.h"
#include "support/PointFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::testing {

class ScratchDirTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        dir_ = std::filesystem::temp_directory_path()
               / ("velmora_files_" + std::string(info->test_suite_name()) + "_" + info->name() + "_"
                  + std::to_string(stamp));
        std::filesystem::create_directories(dir_);
    }

    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    std::filesystem::path Path(std::string_view name) const { return dir_ / name; }

    std::filesystem::path WriteFile(std::string_view name, std::string_view bytes) const
    {
        const auto path = Path(name);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    std::filesystem::path dir_;
};

} // namespace velmora::testing
