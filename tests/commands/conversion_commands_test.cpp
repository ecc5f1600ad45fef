// The coordinate conversion commands on source files the tests write: the result layout byte for
// byte where the values are known exactly, round trips through the result files, PROJ as an
// independent check of the projections, and the listings after "ENDF".
#include "commands/ConversionCommands.h"
#include "commands/ModelBuildingCommands.h"
#include "core/Geodesy.h"
#include "files/FatalError.h"
#include "files/NumberText.h"
#include "files/SourceScan.h"
#include "model/ModelTestSupport.h"
#include "support/PointFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#ifdef VELMORA_HAVE_PROJ
#include <proj.h>
#endif

namespace velmora {
namespace {

namespace fs = std::filesystem;

constexpr const char* kHeader = "Lucrare test\r\nLinia 2\r\nLinia 3\r\nLinia 4\r\n";

const ConversionCommand& Command(const char* name)
{
    const ConversionCommand* command = FindConversionCommand(name);
    EXPECT_NE(command, nullptr) << name;
    return *command;
}

// Writes the source, runs the conversion in the folder and returns the result file's bytes.
class ConversionTest : public ::testing::Test {
protected:
    test::TempDir dir;

    std::string Run(const char* name, const std::string& source, ConversionOutcome* outcome = nullptr)
    {
        test::WriteBytes(dir / "sursa.txt", source);
        const ConversionOutcome result = ConvertFile(Command(name), dir / "sursa.txt", dir.Path(), dir.Path());
        if (outcome != nullptr)
            *outcome = result;
        return test::ReadBytes(result.resultPath);
    }

    std::string MessageOf(const char* name, const std::string& source)
    {
        try {
            Run(name, source);
        } catch (const FatalError& e) {
            return e.what();
        }
        return "";
    }
};

// The point lines of a result between its section identifier and "END", split at the commas.
std::vector<std::vector<std::string>> SectionFields(const std::string& text, const std::string& identifier)
{
    std::vector<std::vector<std::string>> lines;
    std::istringstream in(text);
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!inside) {
            inside = line == identifier;
            continue;
        }
        if (line == "END")
            break;
        lines.push_back(test::CommaFields(line));
    }
    return lines;
}

double Degrees(const std::string& dms)
{
    double radians = 0.0;
    EXPECT_EQ(ParseDmsAngle(dms, radians), 0) << dms;
    return RadToDeg(radians);
}

TEST_F(ConversionTest, CartesianResultLayoutOnExactlyKnownPoints)
{
    // The equator at the zero meridian lies at X = a; the pole at Z = b.
    const std::string result = Run("blh-xyz", std::string(kHeader) +
                                                  "G\r\n6378137, 298.257222101, 6378245, 298.3\r\n"
                                                  "PC\r\nEq, 0 0 0, 0 0 0, 0, 0 0 0, 0 0 0, 10\r\nEND\r\n"
                                                  "pn\r\npol, 90 0 0, 0 0 0, 0\r\nEND\r\nENDF\r\n");
    EXPECT_EQ(result, std::string(kHeader) +
                          "G\r\n"
                          "6378137,298.257222101,6378245,298.300000000\r\n"
                          "PC\r\n"
                          "EQ,6378137.0000,      0.0000,      0.0000,6378255.0000,      0.0000,      0.0000\r\n"
                          "END\r\n"
                          "PN\r\n"
                          "POL,      0.0000,      0.0000,6356752.3141\r\n"
                          "END\r\n"
                          "ENDF");
}

TEST_F(ConversionTest, CartesianRoundTripThroughTheResultFiles)
{
    const std::string source = std::string(kHeader) +
                               "G\r\n6378137, 298.257222101, 6378245, 298.3\r\n"
                               "PC\r\nA1, 45 30 15.5, 25 10 5.25, 120.3, 45 30 14.125, 25 10 7.5, 85.125\r\nEND\r\n"
                               "PN\r\nB2, 47 59 59.99999, 21 0 0.00001, 1999.875\r\nEND\r\nENDF";
    const std::string back = Run("xyz-blh", Run("blh-xyz", source));
    EXPECT_NE(back.find(std::string(kHeader) + "G\r\n6378137,298.257222101,6378245,298.300000000\r\nPC\r\n"),
              std::string::npos);
    EXPECT_TRUE(back.ends_with("\r\nEND\r\nENDF"));
    // The angles come back to the last written decimal; the heights to the rounding of the
    // cartesian values to 0.1 mm.
    const auto common = SectionFields(back, "PC");
    ASSERT_EQ(common.size(), 1u);
    EXPECT_EQ(common[0][1], " 45 30 15.50000");
    EXPECT_EQ(common[0][2], " 25 10 05.25000");
    EXPECT_NEAR(std::stod(common[0][3]), 120.3, 1e-4);
    EXPECT_EQ(common[0][4], " 45 30 14.12500");
    EXPECT_EQ(common[0][5], " 25 10 07.50000");
    EXPECT_NEAR(std::stod(common[0][6]), 85.125, 1e-4);
    const auto fresh = SectionFields(back, "PN");
    ASSERT_EQ(fresh.size(), 1u);
    EXPECT_EQ(fresh[0][1], " 47 59 59.99999");
    EXPECT_EQ(fresh[0][2], " 21 00 00.00001");
    EXPECT_NEAR(std::stod(fresh[0][3]), 1999.875, 1e-4);
    EXPECT_EQ(fresh[0][3].size(), 10u); // 9:5, wider when needed

    // Without the text in between the pair agrees to a few micrometres: the closed form of the
    // inverse is not iterated, and its latitude is good to about 2e-13 rad.
    for (double B : {43.5, 45.75, 48.25})
        for (double h : {0.0, 120.3, 2544.0}) {
            const Cartesian c = GeodeticToCartesian(kKrasovski1942, DegToRad(B), DegToRad(25.5), h);
            const Geodetic g = CartesianToGeodetic(kKrasovski1942, c.X, c.Y, c.Z);
            const Cartesian again = GeodeticToCartesian(kKrasovski1942, g.phi, g.lambda, g.h);
            EXPECT_NEAR(g.h, h, 5e-6);
            EXPECT_NEAR(std::hypot(again.X - c.X, again.Y - c.Y, again.Z - c.Z), 0.0, 5e-6);
        }
}

TEST_F(ConversionTest, SecondsThatRoundToSixtyCarryIntoMinutesAndDegrees)
{
    // 45 59 59.999996 written with 5 decimals is 60.00000 seconds: 46 00 00.00000.
    const double phi = DegToRad(45.0 + 59.0 / 60.0 + 59.999996 / 3600.0);
    const Cartesian c = GeodeticToCartesian(kGrs80, phi, DegToRad(25.0), 100.0);
    const std::string xyz = FormatFixed(c.X, 0, 6) + ", " + FormatFixed(c.Y, 0, 6) + ", " + FormatFixed(c.Z, 0, 6);
    const std::string result = Run("xyz-blh", std::string(kHeader) + "G\r\n6378137, 298.257222101, 6378245, 298.3\r\n"
                                                                      "PN\r\nC, " + xyz + "\r\nEND\r\nENDF");
    const auto lines = SectionFields(result, "PN");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0][1], " 46 00 00.00000");
    EXPECT_EQ(lines[0][2], " 25 00 00.00000");
}

TEST_F(ConversionTest, PlaneProjectionsRoundTripAndWriteTheirWarnings)
{
    const std::string source = std::string(kHeader) +
                               "P\r\n6378137, 298.257222101, 6378245, 298.3\r\n"
                               "PC\r\nA, 45 30 15.5, 25 10 5.25, 45 30 14.125, 25 10 7.5\r\n"
                               "B, 48 12 0, 20 18 0, 48 11 59, 20 18 1\r\nEND\r\n"
                               "PN\r\nC, 43 40 0, 28 30 0\r\nEND\r\nENDF";
    struct Pair {
        const char* forward;
        const char* inverse;
        const char* warning;
    };
    for (const Pair& pair :
         {Pair{"bl-stereo70", "stereo70-bl",
               "ATENTIE: COORDONATELE REZULTATE SUNT \"Est\" si \"Nord\" (S-a inversat X cu Y pentru Stereo 70)!\r\n"},
          Pair{"bl-laea", "laea-bl", "ATENTIE: COORDONATELE REZULTATE SUNT \"Est\" si \"Nord\"!\r\n"}}) {
        SCOPED_TRACE(pair.forward);
        const std::string plane = Run(pair.forward, source);
        // The forward projections write their semi-axes with three decimals, then the warning.
        EXPECT_NE(plane.find("P\r\n6378137.000,298.257222101,6378245.000,298.300000000\r\n"), std::string::npos);
        EXPECT_TRUE(plane.ends_with(std::string("ENDF\r\n") + pair.warning));

        const std::string back = Run(pair.inverse, plane);
        EXPECT_TRUE(back.ends_with("END\r\nENDF"));
        const auto original = SectionFields(source, "PC");
        const auto common = SectionFields(back, "PC");
        ASSERT_EQ(common.size(), 2u);
        for (std::size_t k = 0; k < common.size(); ++k)
            for (std::size_t v = 1; v < 5; ++v)
                EXPECT_NEAR(Degrees(common[k][v]), Degrees(original[k][v]), 1e-4 / 3600.0) << k << " " << v;
        EXPECT_NEAR(Degrees(SectionFields(back, "PN")[0][1]), 43.0 + 40.0 / 60.0, 1e-4 / 3600.0);
    }
}

#ifdef VELMORA_HAVE_PROJ
// Each system is projected on its own ellipsoid; PROJ computes the same projections independently.
TEST_F(ConversionTest, PlaneProjectionsAgreeWithProjOnEachSystemsEllipsoid)
{
    PJ_CONTEXT* ctx = proj_context_create();
    PJ* stereoGrs80 =
        proj_create(ctx, "+proj=sterea +lat_0=46 +lon_0=25 +k=0.99975 +x_0=500000 +y_0=500000 +ellps=GRS80");
    PJ* stereoKrassowsky =
        proj_create(ctx, "+proj=sterea +lat_0=46 +lon_0=25 +k=0.99975 +x_0=500000 +y_0=500000 +ellps=krass");
    PJ* laeaKrassowsky =
        proj_create(ctx, "+proj=laea +lat_0=52 +lon_0=10 +x_0=4321000 +y_0=3210000 +ellps=krass");
    ASSERT_NE(stereoGrs80, nullptr);
    ASSERT_NE(stereoKrassowsky, nullptr);
    ASSERT_NE(laeaKrassowsky, nullptr);
    const std::string source = std::string(kHeader) +
                               "P\r\n6378137, 298.257222101, 6378245, 298.3\r\n"
                               "PC\r\nA, 44 15 0, 23 45 0, 47 30 0, 27 15 0\r\nEND\r\nENDF";
    const auto stereo = SectionFields(Run("bl-stereo70", source), "PC");
    const auto laea = SectionFields(Run("bl-laea", source), "PC");
    ASSERT_EQ(stereo.size(), 1u);
    ASSERT_EQ(laea.size(), 1u);
    const PJ_COORD first = proj_trans(stereoGrs80, PJ_FWD, proj_coord(proj_torad(23.75), proj_torad(44.25), 0, 0));
    const PJ_COORD second =
        proj_trans(stereoKrassowsky, PJ_FWD, proj_coord(proj_torad(27.25), proj_torad(47.5), 0, 0));
    const PJ_COORD laeaSecond =
        proj_trans(laeaKrassowsky, PJ_FWD, proj_coord(proj_torad(27.25), proj_torad(47.5), 0, 0));
    EXPECT_NEAR(std::stod(stereo[0][1]), first.xy.x, 0.001);
    EXPECT_NEAR(std::stod(stereo[0][2]), first.xy.y, 0.001);
    EXPECT_NEAR(std::stod(stereo[0][3]), second.xy.x, 0.001);
    EXPECT_NEAR(std::stod(stereo[0][4]), second.xy.y, 0.001);
    EXPECT_NEAR(std::stod(laea[0][3]), laeaSecond.xy.x, 0.001);
    EXPECT_NEAR(std::stod(laea[0][4]), laeaSecond.xy.y, 0.001);
    proj_destroy(stereoGrs80);
    proj_destroy(stereoKrassowsky);
    proj_destroy(laeaKrassowsky);
    proj_context_destroy(ctx);
}
#endif

TEST_F(ConversionTest, SourcesWithOnlyNewPointsOrNoPoints)
{
    ConversionOutcome outcome;
    const std::string onlyNew = Run("bl-stereo70",
                                    std::string(kHeader) + "P\r\n6378137, 298.257222101, 6378245, 298.3\r\n"
                                                           "PN\r\nO, 46 0 0, 25 0 0\r\nEND\r\nENDF",
                                    &outcome);
    EXPECT_EQ(onlyNew.find("PC\r\n"), std::string::npos);
    EXPECT_NE(onlyNew.find("PN\r\nO,  500000.000,  500000.000\r\nEND\r\nENDF\r\n"), std::string::npos);
    EXPECT_TRUE(outcome.anySection);
    EXPECT_EQ(ConversionMessage(outcome), "Rezultatul conversiei se gasesc in fis. REZXY_ST70.TXT");

    const std::string empty =
        Run("blh-xyz", std::string(kHeader) + "G\r\n6378137, 298.257222101, 6378137, 298.257222101\r\nENDF\r\n",
            &outcome);
    EXPECT_EQ(empty, std::string(kHeader) + "G\r\n6378137,298.257222101,6378137,298.257222101\r\nENDF");
    EXPECT_FALSE(outcome.anySection);
}

TEST_F(ConversionTest, DegreeListingForTheExternalQuasigeoidProgram)
{
    const std::string result = Run("dms-deg", std::string(kHeader) +
                                                  "G\r\n6378137, 298.257222101, 6378245, 298.3\r\n"
                                                  "PC\r\nPUNCT_LUNG_10, 45 30 0, 25 15 0, 100.5, 45 30 0, 25 15 0, 70\r\nEND\r\n"
                                                  "PN\r\nN1, 46 0 36, 24 0 0, 12.34567\r\nEND\r\nENDF");
    EXPECT_EQ(result, std::string(kHeader) +
                          "G\r\n6378137,298.257222101,6378245,298.300000000\r\n"
                          "PC\r\n"
                          "PUNCT_LUNG_10, 45.5000000000, 25.2500000000, 100.5000, 45.5000000000, 25.2500000000,"
                          "  70.0000\r\n"
                          "END\r\n"
                          "PN\r\n"
                          "N1, 46.0100000000, 24.0000000000,  12.3457\r\n"
                          "END\r\n"
                          "ENDF\r\n"
                          "\r\n"
                          "Cod B L (L B ?) cu format pentru EGGPRO.exe\r\n"
                          "===========================================\r\n"
                          "PC\r\n"
                          "PUNCT_LUN 45.500000 25.250000\r\n"
                          "END\r\n"
                          "PN\r\n"
                          "       N1 46.010000 24.000000\r\n"
                          "END\r\n");
}

TEST_F(ConversionTest, MarkedCommonPointsAreConvertedWithTheOthers)
{
    const std::string result = Run("dms-deg", std::string(kHeader) +
                                                  "G\r\n6378137, 298.257222101, 6378137, 298.257222101\r\n"
                                                  "PC\r\n*R, 45 0 0, 25 0 0, 1, 45 0 0, 25 0 0, 1\r\n"
                                                  "#P, 45 0 0, 25 0 0, 2, 45 0 0, 25 0 0, 2\r\n"
                                                  "&A, 45 0 0, 25 0 0, 3, 45 0 0, 25 0 0, 3\r\n"
                                                  "C, 45 0 0, 25 0 0, 4, 45 0 0, 25 0 0, 4\r\nEND\r\nENDF");
    const auto common = SectionFields(result, "PC");
    ASSERT_EQ(common.size(), 4u);
    EXPECT_EQ(common[0][0], "*R");
    EXPECT_EQ(common[1][0], "#P");
    EXPECT_EQ(common[2][0], "&A");
    EXPECT_EQ(common[3][0], "C");
}

TEST_F(ConversionTest, NormalHeightsSubtractTheInterpolatedQuasigeoid)
{
    // A plane zeta field is reproduced exactly by the interpolation.
    auto zeta = [](double L, double B) { return 30.0 + 0.5 * (L - 25.0) - 0.25 * (B - 46.0); };
    const test::GridSpec g{22.0, 43.0, 0.5, 17, 13};
    test::WriteNodeGrid(dir / kNormalHeightGridName, g, [&](int c, int r) {
        return test::NodeValues{0.0, 0.0, zeta(g.East(c), g.North(r))};
    });
    const std::string result = Run("blh-xyzn", std::string(kHeader) +
                                                   "G\r\n6378137, 298.257222101, 6378245, 298.3\r\n"
                                                   "PC\r\nK, 45 45 0, 24 30 0, 150, 45 45 0, 24 30 0, 119.8\r\nEND\r\n"
                                                   "PN\r\nN, 46 15 0, 25 30 0, 200\r\nOUT, 50 0 0, 25 0 0, 300\r\n"
                                                   "EDGE, 49 0 0, 25 0 0, 400\r\nEND\r\nENDF");
    const double zK = zeta(24.5, 45.75);
    const double zN = zeta(25.5, 46.25);
    const Cartesian k = GeodeticToCartesian(kGrs80, DegToRad(45.75), DegToRad(24.5), 150.0 - zK);
    const auto common = SectionFields(result, "PC");
    ASSERT_EQ(common.size(), 1u);
    EXPECT_EQ(common[0][3], FormatFixed(k.Z, 12, 4));
    const Cartesian out = GeodeticToCartesian(kGrs80, DegToRad(50.0), DegToRad(25.0), 300.0);
    EXPECT_EQ(SectionFields(result, "PN")[1][3], FormatFixed(out.Z, 12, 4));

    const std::string report = result.substr(result.find("ENDF"));
    EXPECT_EQ(report, "ENDF\r\n"
                      "\r\n"
                      "PUNCTE COMUNE:\r\n"
                      "Cod pct.    B        L            zita      (h-zita)      Hn_MN        dHn\r\n"
                      "K, 45.750000, 24.500000," +
                          FormatFixed(zK, 12, 4) + "," + FormatFixed(150.0 - zK, 12, 4) + ",    119.8000," +
                          FormatFixed(150.0 - zK - 119.8, 12, 4) +
                          "\r\n"
                          "END\r\n"
                          "\r\n"
                          "PUNCTE NOI:\r\n"
                          "Cod pct.    B        L            zita      (h-zita)\r\n"
                          "N, 46.250000, 25.500000," +
                          FormatFixed(zN, 12, 4) + "," + FormatFixed(200.0 - zN, 12, 4) +
                          "\r\n"
                          "OUT, 50.000000, 25.000000,      0.0000,    300.0000\r\n"
                          // On the last row of the grid: no cell above it, no zeta.
                          "EDGE, 49.000000, 25.000000,      0.0000,    400.0000\r\n"
                          "END\r\n");
}

TEST_F(ConversionTest, NormalHeightConversionNeedsItsGrid)
{
    const std::string message = MessageOf("blh-xyzn", std::string(kHeader) +
                                                          "G\r\n6378137, 298.257222101, 6378245, 298.3\r\n"
                                                          "PN\r\nN, 46 15 0, 25 30 0, 200\r\nEND\r\nENDF");
    EXPECT_NE(message.find(kNormalHeightGridName), std::string::npos) << message;
}

TEST_F(ConversionTest, WorkFilesAreDeletedAndFailuresEndTheCommand)
{
    for (const char* name : kLeftoverWorkFiles)
        test::WriteBytes(dir / name, "x");
    Run("bl-laea", std::string(kHeader) + "P\r\n6378137, 298.257222101, 6378245, 298.3\r\n"
                                          "PN\r\nO, 46 0 0, 25 0 0\r\nEND\r\nENDF");
    for (const char* name : {"PCXYZ.REC", "PNXYZ.REC", kLeftoverWorkFiles[0], kLeftoverWorkFiles[1]})
        EXPECT_FALSE(fs::exists(dir / name)) << name;

    // An ellipsoid without an axis gives no numbers: the conversion fails instead of writing "nan".
    EXPECT_EQ(MessageOf("blh-xyz", std::string(kHeader) + "G\r\n0, 0, 0, 0\r\nPN\r\nN, 46 0 0, 25 0 0, 100\r\nEND\r\nENDF"),
              kNonFiniteConversionMessage);

    // A source of the other kind, and one that cannot be opened.
    EXPECT_EQ(MessageOf("xyz-blh", std::string(kHeader) + "P\r\n6378137, 298.257222101, 6378245, 298.3\r\nENDF"),
              "Eroare: tipul transformarii (2D sau 3D) nu corespunde cu tip identificator de puncte \"G\" sau \"P\".");
    try {
        ConvertFile(Command("xyz-blh"), dir / "lipsa.txt", dir.Path(), dir.Path());
        ADD_FAILURE() << "a missing source converted";
    } catch (const FatalError& e) {
        EXPECT_EQ(std::string(e.what()), "Eroare: Fisier cu date initiale invalid!\nEroare I/O fisier sursa!");
    }
}

} // namespace
} // namespace velmora
