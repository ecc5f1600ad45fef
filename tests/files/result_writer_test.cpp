#include "FilesTestSupport.h"

#include "files/FatalError.h"
#include "files/ResultWriter.h"
#include "files/SourceParsers.h"

#include "core/Geodesy.h"

namespace velmora {
namespace {

using testing::ScratchDirTest;

class ResultWriterTest : public ScratchDirTest {
protected:
    void WritePoints(const std::vector<PointRecord>& points)
    {
        PointFile file = PointFile::Create(Path("PNXYZ.REC"));
        for (const PointRecord& point : points) {
            file.Append(point);
        }
        file.Close();
    }

    // Every record of the new-points file into the result, as a command writes them.
    void WriteResult(ResultLayout layout, const std::filesystem::path& source, const std::filesystem::path& result)
    {
        ResultFileWriter writer(layout, result, ReadTitleLine(source));
        for (const PointRecord& point : test::ReadPoints(Path("PNXYZ.REC"))) {
            writer.Add(point);
        }
        writer.Finish();
    }

    std::string Result(ResultLayout layout, std::string_view source = "Titlu\r\nignored\r\n")
    {
        WriteFile("source.txt", source);
        WriteResult(layout, Path("source.txt"), Path("result.txt"));
        return test::ReadBytes(Path("result.txt"));
    }

    // Parses the result file as the source of the inverse command.
    std::vector<PointRecord> Reparse(char code, bool geodetic)
    {
        EllipsoidPair pair{};
        const bool opened = geodetic ? LoadGeodeticSource(code, 'P', Path("result.txt"), WorkFileTargets(dir_), pair)
                                     : LoadPlaneSource(code, 'P', Path("result.txt"), WorkFileTargets(dir_), pair);
        EXPECT_TRUE(opened);
        return test::ReadPoints(Path("PNXYZ.REC"));
    }
};

PointRecord Point(std::string_view name, double r0, double r1, double r2, bool withHeight)
{
    PointRecord point{};
    point.name.Assign(name);
    point.result = {r0, r1, r2};
    point.sys1[2] = 999.0; // means nothing without a height
    point.hasHeight = withHeight ? 1 : 0;
    return point;
}

TEST_F(ResultWriterTest, PlaneLinesGolden)
{
    WritePoints({Point("P1", 450000.123, 320000.456, 101.5, true), Point("P 2", 450000.123, 320000.456, 0.0, false),
                 Point("FAR", 12345678.9, -5.0, 12345.6789, true)});
    EXPECT_EQ(Result(ResultLayout::Plane), "Titlu\r\n"
                           "P1,  450000.123,  320000.456,  101.500\r\n"
                           "P 2,  450000.123,  320000.456, fara_cota\r\n"
                           "FAR, 12345678.900,      -5.000, 12345.679\r\n"
                           "ENDF");
}

TEST_F(ResultWriterTest, GeodeticLinesGolden)
{
    const double b = 45.0 + 30.0 / 60.0 + 15.5 / 3600.0;
    WritePoints({Point("A", b, 25.168125, 120.3, true), Point("B", b, 25.168125, 0.0, false),
                 Point("C", 45.0 + 59.0 / 60.0 + 59.999999 / 3600.0, 25.0 + 30.0 / 60.0 + 59.999999 / 3600.0, 1.0,
                       true)});
    EXPECT_EQ(Result(ResultLayout::Geodetic), "Titlu\r\n"
                           "A, 45\xB0" "30'15.50000\"N, 25\xB0" "10'05.25000\"E,   120.300\r\n"
                           "B, 45\xB0" "30'15.50000\"N, 25\xB0" "10'05.25000\"E, fara_cota\r\n"
                           "C, 46\xB0" "00'00.00000\"N, 25\xB0" "31'00.00000\"E,     1.000\r\n"
                           "ENDF");
}

TEST_F(ResultWriterTest, TitleIsCopiedFromAnyLineEnd)
{
    WritePoints({Point("P1", 1, 2, 3, true)});
    EXPECT_EQ(Result(ResultLayout::Plane, "\xEF\xBB\xBFTitle \xB0 x\n"),
              "Title \xB0 x\r\nP1,       1.000,       2.000,    3.000\r\nENDF");
    EXPECT_EQ(Result(ResultLayout::Plane, ""), "\r\nP1,       1.000,       2.000,    3.000\r\nENDF");
    WritePoints({});
    EXPECT_EQ(Result(ResultLayout::Geodetic, "T"), "T\r\nENDF");
}

TEST_F(ResultWriterTest, ModelLinesGolden)
{
    PointRecord inside = Point("A", 0, 0, 0, false);
    inside.pointState = 'D';
    inside.modelWork2[3] = 330500.25;
    inside.modelWork2[4] = 560649.875;
    PointRecord exterior = inside;
    exterior.name.Assign("E");
    exterior.pointState = 'E';
    WritePoints({inside, exterior, Point("OUT", 0, 0, 0, false)});
    EXPECT_EQ(Result(ResultLayout::ModelNorthFirst), "Titlu\r\n"
                                                     "A, 560649.875, 330500.250\r\n"
                                                     "E - exterior gridului de distorsiuni\r\n"
                                                     "OUT - exterior gridului de distorsiuni\r\n"
                                                     "ENDF");
    EXPECT_EQ(Result(ResultLayout::ModelEastFirst).substr(7, 25), "A, 330500.250, 560649.875");
}

TEST_F(ResultWriterTest, FailuresCarryTheirMessages)
{
    const auto message = [](auto&& write) -> std::string {
        try {
            write();
        } catch (const FatalError& error) {
            return error.what();
        }
        return "(no error)";
    };
    WriteFile("source.txt", "T\n");
    WritePoints({Point("P1", 1, 2, 3, true)});
    const auto write = [&](const std::filesystem::path& source, const std::filesystem::path& result) {
        return message([&] { WriteResult(ResultLayout::Plane, source, result); });
    };
    EXPECT_EQ(write(Path("none.txt"), Path("r.txt")), kSourceIoMessage);
    EXPECT_EQ(write(Path("source.txt"), dir_ / "no" / "r.txt"), kResultIoMessage);
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_EQ(write(Path("source.txt"), "/dev/full"), kResultIoMessage);
    }
}

TEST_F(ResultWriterTest, GeodeticResultIsASourceForTheInverseCommand)
{
    const double b = 45.0 + 30.0 / 60.0 + 15.5 / 3600.0;
    WritePoints({Point("A", b, 25.168125, 120.3, true), Point("B 2", 47.123456789, 21.987654321, 0.0, false)});
    Result(ResultLayout::Geodetic);
    const auto points = Reparse('3', true);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].name.View(), "A");
    EXPECT_NEAR(RadToDeg(points[0].sys1[0]), b, 1e-12);
    EXPECT_NEAR(RadToDeg(points[0].sys1[1]), 25.168125, 1e-12);
    EXPECT_EQ(points[0].sys1[2], 120.3);
    EXPECT_EQ(points[0].hasHeight, 1);
    EXPECT_EQ(points[1].name.View(), "B 2");
    EXPECT_NEAR(RadToDeg(points[1].sys1[0]), 47.123456789, 0.5e-5 / 3600.0);
    EXPECT_NEAR(RadToDeg(points[1].sys1[1]), 21.987654321, 0.5e-5 / 3600.0);
    EXPECT_EQ(points[1].hasHeight, 0);
}

TEST_F(ResultWriterTest, PlaneResultIsASourceForTheInverseCommand)
{
    WritePoints({Point("P1", 450000.123, 320000.456, 101.5, true), Point("P2", 1.0, 2.0, 0.0, false)});
    Result(ResultLayout::Plane);
    const auto points = Reparse('4', false);
    ASSERT_EQ(points.size(), 2u);
    // x (North) is the first column: the parser of code '4' stores it second.
    EXPECT_EQ(points[0].sys1[1], 450000.123);
    EXPECT_EQ(points[0].sys1[0], 320000.456);
    EXPECT_EQ(points[0].sys1[2], 101.5);
    EXPECT_EQ(points[1].hasHeight, 0);
}

} // namespace
} // namespace velmora
