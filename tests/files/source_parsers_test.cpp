#include "FilesTestSupport.h"

#include "files/FatalError.h"
#include "files/SourceParsers.h"

#include "core/Geodesy.h"

#include <optional>
#include <tuple>

namespace velmora {
namespace {

using testing::ScratchDirTest;

enum class Front { Plane, Geodetic };

class SourceParsersTest : public ScratchDirTest {
protected:
    // Parses text as the source of a command; returns the fatal message, if any.
    std::optional<std::string> Load(Front front, char code, std::string_view text, char kind = 'P')
    {
        const auto source = WriteFile("source.txt", text);
        errorLine_.reset();
        try {
            const bool opened = front == Front::Plane
                                    ? LoadPlaneSource(code, kind, source, Targets(), ellipsoids_)
                                    : LoadGeodeticSource(code, kind, source, Targets(), ellipsoids_);
            EXPECT_TRUE(opened);
            return std::nullopt;
        } catch (const SourceLineError& error) {
            errorLine_ = error.LineNumber();
            return error.what();
        } catch (const FatalError& error) {
            return error.what();
        }
    }

    std::vector<PointRecord> Parse(Front front, char code, std::string_view text, char kind = 'P')
    {
        const auto message = Load(front, code, text, kind);
        EXPECT_FALSE(message) << *message;
        return test::ReadPoints(Path("PNXYZ.REC"));
    }

    SourceTargets Targets()
    {
        SourceTargets targets = WorkFileTargets(dir_);
        targets.excludedPoints = excluded_ ? &*excluded_ : nullptr;
        return targets;
    }

    void OpenExcluded() { excluded_.emplace(PointFile::Create(Path("RAR.REC"))); }

    EllipsoidPair ellipsoids_{1, 2, 3, 4};
    std::optional<PointFile> excluded_;
    std::optional<std::size_t> errorLine_; // the source line the last Load's error names
};

double Dms(double d, double m, double s)
{
    return DegToRad(d + m / 60.0 + s / 3600.0);
}

constexpr char kOtherCode = 21; // a model-building code: four-line formats

// --- one-line plane format -----------------------------------------------------------------

TEST_F(SourceParsersTest, PlaneSourceWithTitleBlankLineAndOptionalHeight)
{
    const auto points = Parse(Front::Plane, '4',
                              "Titlu\r\nP1, 450000.123, 320000.456, 101.5\r\n\r\np 2,450000.5,320000.25\r\nENDF\r\n"
                              "P3, not read\r\n");
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].name.View(), "P1");
    EXPECT_EQ(points[0].sys1[1], 450000.123);
    EXPECT_EQ(points[0].sys1[0], 320000.456);
    EXPECT_EQ(points[0].sys1[2], 101.5);
    EXPECT_EQ(points[0].hasHeight, 1);
    EXPECT_EQ(points[0].pointState, 'N');
    EXPECT_EQ(points[0].coordKind, 0);
    EXPECT_EQ(points[0].nodeIndex, (std::array<std::int32_t, 4>{1, 2, 3, 4}));
    EXPECT_EQ(points[1].name.View(), "P 2");
    EXPECT_EQ(points[1].hasHeight, 0);
    EXPECT_EQ(points[1].sys1[1], 450000.5);
    EXPECT_EQ(std::filesystem::file_size(Path("PNXYZ.REC")), 624u);
    EXPECT_EQ(ellipsoids_.a1, kKrasovski1942.a);
    EXPECT_EQ(ellipsoids_.invF2, kGrs80.invF);
}

TEST_F(SourceParsersTest, LineEndsByteOrderMarkAndMissingEndfReadAlike)
{
    const std::string body = "A, 1, 2, 3\nB, 4, 5\n, ,\n   \ne n d f\nC, 8, 9\n";
    for (const std::string& text : {"T\n" + body, "\xEF\xBB\xBFT\r\n" + body, std::string("T\nA, 1, 2, 3\r\nB, 4, 5")}) {
        const auto points = Parse(Front::Plane, '9', text);
        ASSERT_EQ(points.size(), 2u);
        EXPECT_EQ(points[0].sys1[0], 1.0);
        EXPECT_EQ(points[0].sys1[1], 2.0);
        EXPECT_EQ(points[0].hasHeight, 1);
        EXPECT_EQ(points[1].sys1[1], 5.0);
        EXPECT_EQ(points[1].hasHeight, 0);
    }
}

TEST_F(SourceParsersTest, TabsSeparateLikeCommasAndHeightDigitsAreJoined)
{
    const auto points = Parse(Front::Plane, '4', "T\nP1\t450000.123\t320000.456\t101.5\nP2, 1, 2, 10 1.5, ignored\n");
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].name.View(), "P1");
    EXPECT_EQ(points[0].sys1[1], 450000.123);
    EXPECT_EQ(points[0].sys1[2], 101.5);
    EXPECT_EQ(points[1].sys1[2], 101.5);
}

TEST_F(SourceParsersTest, ColumnMappingHeightAndEllipsoidsPerCode)
{
    struct Case {
        char code;
        bool firstIsNorth;
        bool height;
        std::optional<EllipsoidPair> pair;
    };
    const Case cases[] = {
        {'4', true, true, MakeEllipsoidPair(kKrasovski1942, kGrs80)},
        {'5', false, false, MakeEllipsoidPair(kHayford1924, kKrasovski1942)},
        {'6', true, false, MakeEllipsoidPair(kKrasovski1942, kHayford1924)},
        {'9', false, true, MakeEllipsoidPair(kHayford1924, kGrs80)},
        {'e', false, true, MakeEllipsoidPair(kKrasovski1942, kGrs80)},
        {'h', false, true, MakeEllipsoidPair(kKrasovski1942, kGrs80)},
        {'7', true, true, std::nullopt},
    };
    for (const Case& c : cases) {
        ellipsoids_ = {1, 2, 3, 4};
        const auto points = Parse(Front::Plane, c.code, "T\nA, 100, 200, 3\n");
        ASSERT_EQ(points.size(), 1u);
        EXPECT_EQ(points[0].sys1[c.firstIsNorth ? 1 : 0], 100.0) << c.code;
        EXPECT_EQ(points[0].sys1[c.firstIsNorth ? 0 : 1], 200.0) << c.code;
        EXPECT_EQ(points[0].hasHeight, c.height ? 1 : 0) << c.code;
        const EllipsoidPair expected = c.pair.value_or(EllipsoidPair{1, 2, 3, 4});
        EXPECT_EQ(ellipsoids_.a1, expected.a1) << c.code;
        EXPECT_EQ(ellipsoids_.invF1, expected.invF1) << c.code;
        EXPECT_EQ(ellipsoids_.a2, expected.a2) << c.code;
        EXPECT_EQ(ellipsoids_.invF2, expected.invF2) << c.code;
    }
}

TEST_F(SourceParsersTest, StarredQuasigeoidPointsGoToTheExcludedFile)
{
    OpenExcluded();
    const auto points = Parse(Front::Plane, '7', "T\nA, 1, 2, 3\n*B, 10, 20, 30, 40, 50, -6.5\nC, 4, 5\n");
    excluded_->Close();
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[1].name.View(), "C");
    const auto starred = test::ReadPoints(Path("RAR.REC"));
    ASSERT_EQ(starred.size(), 1u);
    EXPECT_EQ(starred[0].sys1[1], 10.0);
    EXPECT_EQ(starred[0].sys2[1], 40.0);
    EXPECT_EQ(starred[0].sys2[0], 50.0);
    EXPECT_EQ(starred[0].sys2[2], 6.5); // only digits and the point are taken
}

TEST_F(SourceParsersTest, LongLinesAreReadWholeAndNamesCutAtSixty)
{
    const std::string longName(100000, 'n');
    const std::string padded = "Q," + std::string(300, ' ') + "1, 2, 3";
    const auto points = Parse(Front::Plane, '4', "T\n" + longName + ", 1, 2\n" + padded + "\n");
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].name.View(), std::string(60, 'N'));
    EXPECT_EQ(points[1].sys1[2], 3.0);
}

TEST_F(SourceParsersTest, SecondCommandReplacesTheNewPointsFile)
{
    EXPECT_EQ(Parse(Front::Plane, '4', "T\nA,1,2\nB,1,2\nC,1,2\n").size(), 3u);
    EXPECT_EQ(std::filesystem::file_size(Path("PNXYZ.REC")), 936u);
    EXPECT_EQ(Parse(Front::Plane, '4', "T\nD,1,2\n").size(), 1u);
}

TEST_F(SourceParsersTest, UnopenableSourceIsReportedWithoutTouchingTheWorkFiles)
{
    EllipsoidPair pair{};
    EXPECT_FALSE(LoadPlaneSource('4', 'P', Path("missing.txt"), WorkFileTargets(dir_), pair));
    EXPECT_FALSE(LoadGeodeticSource('3', 'P', dir_, WorkFileTargets(dir_), pair));
    EXPECT_FALSE(std::filesystem::exists(Path("PNXYZ.REC")));
}

// --- one-line geodetic format --------------------------------------------------------------

TEST_F(SourceParsersTest, GeodeticSourceInDegreesMinutesSeconds)
{
    const auto points = Parse(Front::Geodetic, '3',
                              "T\nA, 45 30 15.5, 25 10 5.25, 120.3\n"
                              "b, 45\xB0" "30'15.50000\"N, 25\xB0" "10'05.25000\"E, fara_cota\n");
    ASSERT_EQ(points.size(), 2u);
    EXPECT_DOUBLE_EQ(points[0].sys1[0], Dms(45, 30, 15.5));
    EXPECT_DOUBLE_EQ(points[0].sys1[1], Dms(25, 10, 5.25));
    EXPECT_EQ(points[0].sys1[2], 120.3);
    EXPECT_EQ(points[0].hasHeight, 1);
    EXPECT_EQ(points[1].name.View(), "B");
    EXPECT_DOUBLE_EQ(points[1].sys1[0], Dms(45, 30, 15.5));
    EXPECT_EQ(points[1].hasHeight, 0);
    EXPECT_EQ(ellipsoids_.a1, kGrs80.a);
    EXPECT_EQ(ellipsoids_.a2, kKrasovski1942.a);

    Parse(Front::Geodetic, '8', "T\nA, 45 30 15.5, 25 10 5.25\n");
    EXPECT_EQ(ellipsoids_.a2, kHayford1924.a);
}

// --- messages of the one-line formats ------------------------------------------------------

struct MessageCase {
    Front front;
    char code;
    const char* text;
    const char* message;
};

TEST_F(SourceParsersTest, OneLineMessages)
{
    const MessageCase cases[] = {
        MessageCase{Front::Plane, '4', "T\nA,1,2\nEND\n",
                    "Eroare: dupa un identificator nu sunt puncte in fis. sursa."},
        MessageCase{Front::Geodetic, '3', "T\nend, 1\n", "Eroare: Nu sunt puncte in fis. sursa."},
        MessageCase{Front::Plane, '4', "T\n", "Eroare: fisier sursa fara coordonate de transformat!"},
        MessageCase{Front::Geodetic, '3', "T\n\n,,\nENDF\n", "Eroare: fisier sursa fara coordonate de transformat!"},
        MessageCase{Front::Plane, '4', "T\np1 450000.123 320000.456\n",
                    "Eroare: lipseste/invalida prima coordonata la punctul P1 450000.123 320000.456 in fis. sursa."},
        MessageCase{Front::Plane, '4', "T\nA, 450000",
                    "Eroare: lipseste/invalida prima coordonata la punctul A in fis. sursa."},
        MessageCase{Front::Plane, '4', "T\nA, 1.2.3, 4",
                    "Eroare: prima coordonata este nenumerica la punctul A in fis. sursa."},
        MessageCase{Front::Plane, '4', "T\nA, 1, x",
                    "Eroare: a doua coordonata este nenumerica la punctul A in fis. sursa."},
        MessageCase{Front::Plane, '4', "T\nA, 1, 2, 3-4", "Eroare: coordonata h este nenumerica la punctul A"},
        MessageCase{Front::Geodetic, '3', "T\nA, 45 30 15", "Eroare: lipseste coordonata Bv la punctul A"},
        MessageCase{Front::Geodetic, '3', "T\nA, 45 60 0, 25 0 0", "Eroare: coordonata B este nenumerica la punctul A"},
        MessageCase{Front::Geodetic, '3', "T\nA, 45 0 0, 25 x", "Eroare: coordonata L este nenumerica la punctul A"},
        MessageCase{Front::Geodetic, '8', "T\nA, 45 0 0, 25 0 0, 1..2",
                    "Eroare: coordonata h este nenumerica la punctul A"},
    };
    for (const MessageCase& c : cases) {
        EXPECT_EQ(Load(c.front, c.code, c.text).value_or("(no error)"), c.message) << c.text;
    }
}

// A value the parser cannot read with certainty is an error, never a guess.
TEST_F(SourceParsersTest, HeightWithOtherTextBetweenItsDigitsIsRefused)
{
    for (const std::string height : {"7O.588", "7.7588E1", "77 (pct 5)", "1 m 2"}) {
        EXPECT_EQ(Load(Front::Plane, '4', "T\nA, 1, 2, " + height).value_or("(no error)"),
                  "Eroare: coordonata h este nenumerica la punctul A")
            << height;
        EXPECT_EQ(Load(Front::Geodetic, '3', "T\nA, 45 0 0, 25 0 0, " + height).value_or("(no error)"),
                  "Eroare: coordonata h este nenumerica la punctul A")
            << height;
    }
    // Blanks between digits are joined; text before the first and after the last digit is no part
    // of the number.
    const auto points = Parse(Front::Plane, '4', "T\nA, 1, 2, 77.588 m\nB, 1, 2, 7 7.5\nC, 1, 2, h=-3.25\n");
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[0].sys1[2], 77.588);
    EXPECT_EQ(points[1].sys1[2], 77.5);
    EXPECT_EQ(points[2].sys1[2], -3.25);
}

TEST_F(SourceParsersTest, PointWithoutNameIsRefusedWithItsLineNumber)
{
    const std::string plane = "T\nA, 325820.1, 587900.2, 77.5\n\n , , \n, 325824.388, 587904.312, 77.588\nB, 1, 2\n";
    const std::string geodetic = "T\nA, 45 0 0, 25 0 0\n\n , , \n, 45 0 1, 25 0 1\nB, 45 0 2, 25 0 2\n";
    for (const auto& [front, code, text] : {std::tuple{Front::Plane, '4', plane}, {Front::Geodetic, '3', geodetic}}) {
        EXPECT_EQ(Load(front, code, text).value_or("(no error)"),
                  "Eroare: punct fara nume pe randul 5 in fis. sursa.");
        EXPECT_EQ(errorLine_, 5u);
    }
}

TEST_F(SourceParsersTest, ErrorsNameTheLineTheyWereFoundOn)
{
    Load(Front::Plane, '4', "Titlu\r\n\r\nA, 1, 2\r\nB, 1, x\r\nC, 1, 2\r\n");
    EXPECT_EQ(errorLine_, 4u);
    Load(Front::Geodetic, '3', "\xEF\xBB\xBFT\nA, 45 0 0, 25 0 0\nB, 45 0 0, 25 x");
    EXPECT_EQ(errorLine_, 3u);
    // The four header lines count.
    Load(Front::Plane, kOtherCode, "1\n2\n3\n4\nP\n1, 2, 3, 4\nPN\nN, 1, 2\nM, 1.1.1, 2\n");
    EXPECT_EQ(errorLine_, 9u);
    Load(Front::Plane, kOtherCode, "1\n2\n3\n4\nQ\n");
    EXPECT_EQ(errorLine_, 5u);
    // A source without points has no line to point at.
    EXPECT_TRUE(Load(Front::Plane, '4', "T\n\n"));
    EXPECT_FALSE(errorLine_);
}

TEST_F(SourceParsersTest, RomanianLettersInNamesAreTransliteratedBeforeTheCut)
{
    const std::string longName = std::string(58, 'x') + "\xC4\x83\xC8\x99\xC8\x9B"; // then a, s, t
    const auto points = Parse(Front::Plane, '4',
                              "T\nBr\xC4\x83ila, 1, 2\nBr\xE3ila 2, 1, 2\n\xC8\x98tei, 1, 2\n" + longName + ", 1, 2\n");
    ASSERT_EQ(points.size(), 4u);
    EXPECT_EQ(points[0].name.View(), "BRAILA");
    EXPECT_EQ(points[1].name.View(), "BRAILA 2");
    EXPECT_EQ(points[2].name.View(), "STEI");
    EXPECT_EQ(points[3].name.View(), std::string(58, 'X') + "AS");
}

// --- four-line formats ---------------------------------------------------------------------

constexpr const char* kHeader = "h1\nh2\nh3\nh4\n";

TEST_F(SourceParsersTest, CommonAndNewSectionsAreSortedIntoTheirFiles)
{
    OpenExcluded();
    WriteFile("PCXYZ.REC", std::string(312 * 4, 'x')); // left by an earlier command
    const std::string text = std::string(kHeader)
                             + "g\n6378245, 298.3, 6378137.0, 298.257222101\n"
                               "PC\nC1, 1, 2, 3, 4, 5, 6\n#c2, 1, 2, 3, 4, 5, 6\n&C3, 1, 2, 3, 4, 5, 6\n"
                               "*C4, 1, 2, 3, 4, 5, 6\nEND\n"
                               "PN, new points\nN1, 10, 20, 30\nN2, 11, 21, 31\nend\n"
                               "PC\nC5, 7, 8, 9, 10, 11, 12\nENDF\nnot read\n";
    const auto points = Parse(Front::Plane, kOtherCode, text, 'G');
    excluded_->Close();
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[1].name.View(), "N2");
    EXPECT_EQ(points[1].sys1, (std::array<double, 3>{11, 21, 31}));
    EXPECT_EQ(points[1].coordKind, 'G');
    EXPECT_EQ(points[1].sys2, (std::array<double, 3>{}));

    const auto common = test::ReadPoints(Path("PCXYZ.REC"));
    ASSERT_EQ(common.size(), 2u);
    EXPECT_EQ(common[0].name.View(), "C1");
    EXPECT_EQ(common[0].sys1, (std::array<double, 3>{1, 2, 3}));
    EXPECT_EQ(common[0].sys2, (std::array<double, 3>{4, 5, 6}));
    EXPECT_EQ(common[1].name.View(), "C5");
    EXPECT_EQ(test::ReadPoints(Path("pcpol.rec")).at(0).name.View(), "#C2");
    EXPECT_EQ(test::ReadPoints(Path("pcnoth.rec")).at(0).name.View(), "&C3");
    EXPECT_EQ(test::ReadPoints(Path("RAR.REC")).at(0).name.View(), "*C4");

    EllipsoidFile felips = EllipsoidFile::OpenForUpdate(Path("felips.rec"));
    ASSERT_EQ(felips.Size(), 1u);
    const EllipsoidPair pair = felips.Read(0);
    EXPECT_EQ(pair.a1, 6378245.0);
    EXPECT_EQ(pair.invF1, 298.3);
    EXPECT_EQ(pair.a2, 6378137.0);
    EXPECT_EQ(pair.invF2, 298.257222101);
    EXPECT_EQ(ellipsoids_.invF2, 298.257222101);
}

TEST_F(SourceParsersTest, SourceWithoutCommonPointsLeavesNoStaleCommonPoints)
{
    WriteFile("PCXYZ.REC", std::string(312, 'x'));
    WriteFile("pcpol.rec", std::string(312, 'x'));
    const auto points = Parse(Front::Plane, kOtherCode, std::string(kHeader) + "P\n1,2,3,4\nPN\nN1, 1, 2\n", 'P');
    EXPECT_EQ(points.size(), 1u);
    EXPECT_EQ(std::filesystem::file_size(Path("PCXYZ.REC")), 0u);
    EXPECT_EQ(std::filesystem::file_size(Path("pcpol.rec")), 0u);
}

TEST_F(SourceParsersTest, GeodeticCommonAndNewPoints)
{
    const std::string text = std::string(kHeader)
                             + "P\n6378137, 298.257222101, 6378245, 298.3\n"
                               "PC\nC1, 45 30 15.5, 25 10 5.25, 45 30 16, 25 10 6\nEND\n"
                               "PN\nN1, 46\xB0" "00'00.00000\"N, 24\xB0" "00'00.00000\"E\nEND\nENDF\n";
    const auto points = Parse(Front::Geodetic, kOtherCode, text);
    ASSERT_EQ(points.size(), 1u);
    EXPECT_DOUBLE_EQ(points[0].sys1[0], DegToRad(46.0));
    EXPECT_DOUBLE_EQ(points[0].sys1[1], DegToRad(24.0));
    const auto common = test::ReadPoints(Path("PCXYZ.REC"));
    ASSERT_EQ(common.size(), 1u);
    EXPECT_DOUBLE_EQ(common[0].sys1[1], Dms(25, 10, 5.25));
    EXPECT_DOUBLE_EQ(common[0].sys2[0], Dms(45, 30, 16));
    EXPECT_EQ(common[0].hasHeight, 0);
}

struct FourLineCase {
    Front front;
    char kind;
    const char* body; // after the header, kind and ellipsoid lines
    const char* message;
};

class FourLineMessages : public SourceParsersTest {
protected:
    template <std::size_t N>
    void Check(const FourLineCase (&cases)[N])
    {
        for (const FourLineCase& c : cases) {
            const std::string text = std::string(kHeader) + c.kind + "\n1, 2, 3, 4\n" + c.body;
            EXPECT_EQ(Load(c.front, kOtherCode, text, c.kind).value_or("(no error)"), c.message) << c.body;
        }
    }
};

constexpr Front kP = Front::Plane;
constexpr Front kB = Front::Geodetic;

TEST_F(FourLineMessages, Sections)
{
    const FourLineCase cases[] = {
        FourLineCase{kP, 'P', "PC\n\n", "Eroare: rand gol in fisierul sursa."},
        FourLineCase{kP, 'P', "PN\n\n", "Eroare: rand gol in fis. sursa."},
        FourLineCase{kP, 'P', "PN\nA,1,2\nEND\n\nPC\n", "Eroare: rand gol in fisierul sursa."},
        FourLineCase{kP, 'P', "PX\n", "Eroare: identificator de puncte <> PC sau PN."},
        FourLineCase{kP, 'P', "PC\nEND\n", "Eroare: dupa un identificator nu sunt puncte in fis. sursa."},
        FourLineCase{kP, 'P', "PN\nA,1,2\nEND\nPN\n", "Eroare: dupa un identificator nu sunt puncte in fis. sursa."},
    };
    Check(cases);
}

TEST_F(FourLineMessages, PlaneValues)
{
    const FourLineCase cases[] = {
        FourLineCase{kP, 'G', "PC\nC, 1", "Eroare: lipseste coordonata xv pe randul:C"},
        FourLineCase{kP, 'G', "PC\nC, 1.1.1, 2, 3, 4, 5, 6",
                     "Eroare: coordonata xv este nenumerica la un punct in fis. sursa."},
        FourLineCase{kP, 'G', "PC\nC, 1, 2", "Eroare: lipseste coordonata yv la un punct in fis. sursa."},
        FourLineCase{kP, 'G', "PC\nC, 1, -, 3, 4, 5, 6",
                     "Eroare: coordonata yv este nenumerica la un punct in fis. sursa."},
        FourLineCase{kP, 'G', "PC\nC, 1, 2, 3", "Eroare: lipseste coordonata zv la un punct in fis. sursa."},
        FourLineCase{kP, 'G', "PC\nC, 1, 2, 3.3.3, 4, 5, 6",
                     "Eroare: coordonata zv este nenumerica la un punct in fis. sursa."},
        FourLineCase{kP, 'G', "PC\nC, 1, 2, 3, 4", "Eroare: lipseste coordonata xn la un punct in fis. sursa."},
        FourLineCase{kP, 'P', "PC\nC, 1, 2, 3", "Eroare: lipseste coordonata xn la un punct in fis. sursa."},
        FourLineCase{kP, 'G', "PC\nC, 1, 2, 3, 4.4.4, 5, 6", "Eroare: coordonata xn este nenumerica in fis. sursa."},
        FourLineCase{kP, 'G', "PC\nC, 1, 2, 3, 4, x",
                     "Eroare: coordonata yn este nenumerica la un punct in fis. sursa."},
        FourLineCase{kP, 'G', "PC\nC, 1, 2, 3, 4, 5", "Eroare: coordonata zn este nenumerica in fis. sursa."},
        FourLineCase{kP, 'G', "PN\nN, 1", "Eroare: lipseste coordonata xv la un punct in fis. sursa."},
        FourLineCase{kP, 'G', "PN\nN, 1.1.1, 2, 3", "Eroare: coordonat xv este nenumerica la un punct in fis. sursa."},
        FourLineCase{kP, 'G', "PN\nN, 1, x", "Eroare: coordonata yv este nenumerica la un punct in fis. sursa."},
        FourLineCase{kP, 'G', "PN\nN, 1, 2", "Eroare: coordonata zv este nenumerica in fis. sursa."},
    };
    Check(cases);
}

TEST_F(FourLineMessages, GeodeticValues)
{
    const FourLineCase cases[] = {
        FourLineCase{kB, 'G', "PC\nC, 45 0 0", "Eroare: lipseste coordonata xv pe randul:C"},
        FourLineCase{kB, 'G', "PC\nC, 45 61 0, 25 0 0, 1, 45 0 0, 25 0 0, 1",
                     "Eroare: coordonata x(B)_vechi este nenumerica la punctul C"},
        FourLineCase{kB, 'G', "PC\nC, 45 0 0, 25 0 0", "Eroare: lipseste coordonata yv la punctul C"},
        FourLineCase{kB, 'G', "PC\nC, 45 0 0, 25 x, 1, 45 0 0, 25 0 0, 1",
                     "Eroare: coordonata yv este nenumerica la un punctul C"},
        FourLineCase{kB, 'G', "PC\nC, 45 0 0, 25 0 0, 100", "Eroare: lipseste coordonata zv la punctul C"},
        FourLineCase{kB, 'G', "PC\nC, 45 0 0, 25 0 0, 1..0, 45 0 0, 25 0 0, 1",
                     "Eroare: coordonata zv este nenumerica la punctul C"},
        FourLineCase{kB, 'G', "PC\nC, 45 0 0, 25 0 0, 100, 45 0 1", "Eroare: lipseste coordonata xn la un punctul C"},
        FourLineCase{kB, 'G', "PC\nC, 45 0 0, 25 0 0, 100, x, 25 0 1, 101",
                     "Eroare: coordonata xn este nenumerica la punctul C"},
        FourLineCase{kB, 'G', "PC\nC, 45 0 0, 25 0 0, 100, 45 0 1, x, 101",
                     "Eroare: coordonata yn este nenumerica la punctul C"},
        FourLineCase{kB, 'G', "PC\nC, 45 0 0, 25 0 0, 100, 45 0 1, 25 0 1",
                     "Eroare: coordonata zn este nenumerica la punctul C"},
        FourLineCase{kB, 'G', "PN\nN, 45 0 0", "Eroare: lipseste coordonata xv la punctul N"},
        FourLineCase{kB, 'G', "PN\nN, x, 25 0 0, 1", "Eroare: coordonat xv este nenumerica la punctul N"},
        FourLineCase{kB, 'G', "PN\nN, 45 0 0, x, 1", "Eroare: coordonata yv este nenumerica la punctul N"},
        FourLineCase{kB, 'G', "PN\nN, 45 0 0, 25 0 0", "Eroare: coordonata zv este nenumerica la punctul N"},
    };
    Check(cases);
}

TEST_F(SourceParsersTest, KindAndEllipsoidLineMessages)
{
    const auto load = [&](std::string_view kindAndEllipsoids, char kind) {
        return Load(Front::Plane, kOtherCode, std::string(kHeader) + std::string(kindAndEllipsoids), kind)
            .value_or("(no error)");
    };
    EXPECT_EQ(load("", 'P'), "Eroare: rand gol in fis. sursa.");
    EXPECT_EQ(load("\n1,2,3,4\n", 'P'), "Eroare: rand gol in fis. sursa.");
    EXPECT_EQ(load("G\n1,2,3,4\n", 'P'),
              "Eroare: tipul transformarii (2D sau 3D) nu corespunde cu tip identificator de puncte \"G\" sau \"P\".");
    EXPECT_EQ(load("Q\n1,2,3,4\n", 'Q'), "Eroare: identificator de puncte <> G sau P.");
    EXPECT_EQ(load("P\nx\n", 'P'), "Eroare: valoare a1 nenumerica in fis. sursa.");
    EXPECT_EQ(load("P\n1, 2.2.2\n", 'P'), "Eroare: valoare f1 nenumerica in fis. sursa.");
    EXPECT_EQ(load("P\n1, 2\n", 'P'), "Eroare: valoare a2 nenumerica in fis. sursa.");
    EXPECT_EQ(load("P\n1, 2, 3", 'P'), "Eroare: valoare f2 nenumerica in fis. sursa.");
    EXPECT_EQ(load("P\n1, 2, 3, 4", 'P'), "(no error)");
}

TEST_F(SourceParsersTest, StarredCommonPointWithoutExcludedFileIsARecordFailure)
{
    const std::string text = std::string(kHeader) + "P\n1,2,3,4\nPC\n*C, 1, 2, 3, 4\nEND\n";
    EXPECT_EQ(Load(Front::Plane, kOtherCode, text).value_or("(no error)"), kRecordIoMessage);
}

} // namespace
} // namespace velmora
