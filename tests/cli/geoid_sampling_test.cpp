// The zita file sampled from PROJ's EGM96 grid, checked against PROJ's own command line tool.
#include "cli/GeoidSampling.h"
#include "support/PointFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>

namespace velmora {
namespace {

// The geoid height cct computes at (B, L), or NaN when cct is not there.
double CctGeoidHeight(double B, double L)
{
    const std::string command = "echo '" + std::to_string(L) + " " + std::to_string(B) +
                                " 0' | cct -d 6 +proj=vgridshift +grids=egm96_15.gtx +multiplier=1 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return std::nan("");
    double l = 0.0;
    double b = 0.0;
    double n = std::nan("");
    if (std::fscanf(pipe, "%lf %lf %lf", &l, &b, &n) != 3)
        n = std::nan("");
    pclose(pipe);
    return n;
}

TEST(GeoidSampling, ZitaFileFromTheNodeList)
{
    test::TempDir dir;
    test::WriteBytes(dir / "BL_EGG.txt", "        1 44.430000 26.100000\r\n        2 47.150000 27.600000\r\n");
    ASSERT_EQ(SampleGeoid(dir / "BL_EGG.txt", dir / "zita.txt", kDefaultGeoidGrid), std::nullopt);
    std::istringstream zita(test::ReadBytes(dir / "zita.txt"));
    std::string line;
    ASSERT_TRUE(std::getline(zita, line));
    EXPECT_TRUE(line.starts_with(" 44.430000   26.100000 ")) << line;
    EXPECT_TRUE(line.ends_with("\r"));
    const double bucharest = std::stod(line.substr(23));
    const double reference = CctGeoidHeight(44.43, 26.1);
    if (!std::isnan(reference)) {
        EXPECT_NEAR(bucharest, reference, 1e-4);
    }
    EXPECT_GT(bucharest, 20.0);
    EXPECT_LT(bucharest, 50.0);
    ASSERT_TRUE(std::getline(zita, line));
    EXPECT_TRUE(line.starts_with(" 47.150000   27.600000 ")) << line;
    EXPECT_FALSE(std::getline(zita, line));
}

TEST(GeoidSampling, FailuresSayWhy)
{
    test::TempDir dir;
    EXPECT_NE(SampleGeoid(dir / "BL_EGG.txt", dir / "zita.txt", kDefaultGeoidGrid)->find("cannot read"),
              std::string::npos);
    test::WriteBytes(dir / "BL_EGG.txt", "        1 44.430000 26.100000\r\n        2 44.43\r\n");
    EXPECT_NE(SampleGeoid(dir / "BL_EGG.txt", dir / "zita.txt", kDefaultGeoidGrid)->find("line 2"),
              std::string::npos);
    EXPECT_NE(SampleGeoid(dir / "BL_EGG.txt", dir / "zita.txt", "no_such_grid.gtx")->find("no_such_grid.gtx"),
              std::string::npos);
    test::WriteBytes(dir / "BL_EGG.txt", "        1 95.000000 26.100000\r\n");
    EXPECT_NE(SampleGeoid(dir / "BL_EGG.txt", dir / "zita.txt", kDefaultGeoidGrid)->find("outside"),
              std::string::npos);
}

} // namespace
} // namespace velmora
