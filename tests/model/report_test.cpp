// Report mode of the model application: the report byte for byte on a small fixed model, the
// statistics with the three-sigma rules, the arrows of the drawing, the marks and errors kept in
// the records, the selection of the common points and the three-dimensional listings.
#include "model/GridCells.h"
#include "model/ModelReport.h"
#include "model/ReportStatistics.h"
#include "ModelTestSupport.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string_view>

namespace velmora {
namespace {

using test::MakePoint;
using test::NodeValues;
using test::TempDir;

std::string Lines(std::initializer_list<std::string_view> lines)
{
    std::string text;
    for (const std::string_view line : lines) {
        text.append(line).append("\r\n");
    }
    return text;
}

struct Arrow {
    char letter;
    double scale;
    double dE;
    double dN;
    double x;
    double y;
};

class RecordingDrawing : public ReportDrawing {
public:
    void DxfArrow(char letter, double scale, double dE, double dN, double x, double y) override
    {
        EXPECT_FALSE(ended);
        arrows.push_back({letter, scale, dE, dN, x, y});
    }
    void WriteDxfEnd() override { ended = true; }

    std::vector<Arrow> arrows;
    bool ended = false;
};

// A known point: its source and Helmert coordinates, and target coordinates that leave the given
// error after the signal.
PointRecord KnownPoint(const std::string& name, double east, double north, NodeValues signal, double errorE,
                       double errorN)
{
    PointRecord point = MakePoint(name, east, north);
    point.coordKind = 'P';
    point.sys2 = {east + signal[0] - errorE, north + signal[1] - errorN, 0.0};
    return point;
}

PointRecord NewPoint(const std::string& name, double east, double north, char kind = 'P')
{
    PointRecord point = MakePoint(name, east, north);
    point.coordKind = kind;
    return point;
}

class ReportTest : public ::testing::Test {
protected:
    static constexpr NodeValues kSignal{0.05, -0.02, 0.0};

    // 5 x 5 nodes from (499800, 499800) at 100 m, a constant signal, the north-east node outside
    // the zone. The model's Helmert step is the identity.
    void SetUp() override
    {
        test::WriteNodeGrid(dir / "M.GRD", {499800.0, 499800.0, 100.0, 5, 5}, [](int, int) { return kSignal; },
                            [](int c, int r) { return c == 4 && r == 4; });
        test::WriteParameters(dir / "M.PAR", test::ShiftModel(0.0, 0.0));
        test::WritePoints(dir / "PCOMUNE.REC", {KnownPoint("C1", 499850.0, 499850.0, kSignal, 0.01, 0.02),
                                                KnownPoint("C2", 500150.0, 499850.0, kSignal, -0.01, 0.01),
                                                KnownPoint("C3", 500150.0, 500150.0, kSignal, 0.03, -0.01),
                                                KnownPoint("C4", 499850.0, 500150.0, kSignal, -0.01, 0.0)});
        test::WritePoints(dir / "RAR.REC", {KnownPoint("X1", 499920.0, 499930.0, kSignal, 0.01, 0.03),
                                            KnownPoint("X1", 499923.5, 499930.0, kSignal, 0.03, 0.01),
                                            KnownPoint("X2", 500050.0, 500060.0, kSignal, -0.02, 0.02)});
        PointRecord n1 = NewPoint("N1", 499999.95, 500000.02);
        n1.modelWork2[0] = 0.1;
        n1.modelWork2[1] = 0.2;
        test::WritePoints(dir / "PNOI.REC",
                          {n1, NewPoint("N2", 600000.0, 600000.0), NewPoint("N3", 500150.0, 500150.0)});
    }

    ModelReportJob Job(bool withStatistics = true)
    {
        ModelReportJob job;
        job.newPointsPath = dir / "PNOI.REC";
        job.commonPointsPath = dir / "PCOMUNE.REC";
        job.excludedPointsPath = dir / "RAR.REC";
        job.selectionPath = dir / "pcpol.rec";
        job.reportPath = dir / "REZ_NOI.TXT";
        job.sourceName = "LUCRARE.TXT";
        job.target = kKrasovski1942;
        job.withStatistics = withStatistics;
        return job;
    }

    void Run(const ModelReportJob& job)
    {
        const DistortionModel model = LoadDistortionModel(dir / "M.GRD", dir / "M.PAR");
        AssignGridCells(job.commonPointsPath, model.grid, true, &model.parameters);
        AssignGridCells(job.excludedPointsPath, model.grid, false, &model.parameters);
        AssignGridCells(job.newPointsPath, model.grid, false, &model.parameters);
        ApplyDistortionModelWithReport(model, job, drawing);
    }

    std::string Report() { return test::ReadBytes(dir / "REZ_NOI.TXT"); }

    TempDir dir;
    RecordingDrawing drawing;
};

const std::string kPlaneTable = Lines({"------------------------------------------------",
                                       "Statistic                       East      North ",
                                       "------------------------------------------------"});
const std::string kPlaneRule = Lines({"------------------------------------------------"});

TEST_F(ReportTest, PlaneReportWithCommonExcludedAndNewPoints)
{
    Run(Job());
    const std::string expected =
        Lines({"Fisier sursa: LUCRARE.TXT", "Coordonate transformate, distorsiuni, semnale, erori:",
               "-----------------------------------------------------", "COMMON POINTS:", "==============", "",
               "Statistical Situation for Common Points before modelling",
               "========================================================", "Grid Step=     100.00000",
               "Nodes Number=25"})
        + kPlaneTable
        + Lines({"Mean:                         -0.0450    0.0250", "Std Dev:                       0.0166    0.0112",
                 "Max:                          -0.0200    0.0400", "Min:                          -0.0600    0.0100",
                 "# Data:                             4         4", "# Data over +/-3*(Std Dev):         2         1",
                 "% Data within +/-3*(Std Dev):   50.00     75.00"})
        + kPlaneRule
        + Lines({"", "Punct: C1 (comun)", "                   Est [m]       Nord [m]",
                 "Sistem 1 :        499850.000    499850.000", "Sistem 2 :        499850.040    499849.960",
                 "Trans. Helmert:   499850.000    499850.000", "Trans. Regresie:       0.000         0.000",
                 "Distorsiuni :          0.040        -0.040", "Semnale :              0.050        -0.020",
                 "Coord. finale :   499850.050    499849.980", "Erori :                0.010         0.020",
                 "Precizii :             0.000         0.000", ""});
    ASSERT_EQ(Report().substr(0, expected.size()), expected);

    const std::string afterModelling =
        Lines({"", "Statistical Situation for Common Points after modelling",
               "=======================================================", "Grid Step=     100.00000",
               "Nodes Number=25"})
        + kPlaneTable
        + Lines({"Mean:                          0.0050    0.0050", "Std Dev:                       0.0166    0.0112",
                 "Max:                           0.0300    0.0200", "Min:                          -0.0100   -0.0100",
                 "# Data:                             4         4", "# Data over +/-3*(Std Dev):         0         0",
                 "% Data within +/-3*(Std Dev):  100.00    100.00"})
        + kPlaneRule + Lines({"EXCLUDED POINTS:", "================", "Punct: X1 (rarit)",
                              "!!! Punct dublu (dist. in plan=  3.500) !!!"});
    EXPECT_NE(Report().find(afterModelling), std::string::npos) << Report();

    // All data, then the data within three sigma: the North error of 0.03 lies beyond 3 s.
    const std::string excludedStatistics =
        Lines({"", "Statistical Situation for Excluded Points", "                All data                 ",
               "=========================================", ""})
        + kPlaneTable
        + Lines({"Mean:                          0.0067    0.0200", "Std Dev:                       0.0205    0.0082",
                 "Max:                           0.0300    0.0300", "Min:                          -0.0200    0.0100",
                 "# Data:                             4         4", "# Predicted:                        3         3",
                 "# Excluded (over +/-3*StDev):       0         1", "% Used (within +/-3*StDev):    100.00     66.67"})
        + kPlaneRule
        + Lines({"", "Statistical Situation for Excluded Points", "          Data within +/-3*StdDev        ",
                 "=========================================", ""})
        + kPlaneTable
        + Lines({"Mean:                          0.0067    0.0150", "Std Dev:                       0.0205    0.0050",
                 "Max:                           0.0300    0.0200", "Min:                          -0.0200    0.0100",
                 "# Data:                             4         4", "# Predicted:                        3         2",
                 "# Excluded (over +/-3*StDev):       0         1", "% Used (within +/-3*StDev):    100.00     66.67"})
        + kPlaneRule;
    EXPECT_NE(Report().find(excludedStatistics + "NEW POINTS:\r\n==============\r\n"), std::string::npos);

    const std::string newPoints =
        Lines({"NEW POINTS:", "==============", "Punct: N1 (nou)", "                   Est [m]       Nord [m]",
               "Sistem 1 :        499999.950    500000.020", "Sistem 2 :             0.000         0.000",
               "Trans. Helmert:   499999.950    500000.020", "Trans. Regresie:       0.000         0.000",
               "Distorsiuni :          0.000         0.000", "Semnale :              0.050        -0.020",
               "Coord. finale :   500000.000    500000.000", "Precizii :             0.100         0.200", "",
               "Punct: N2 (nou) - EXTERIOR RETELEI DE DISTORSIUNI", "                  Est [m]         Nord [m]",
               "Sistem 1 :        600000.000    600000.000", "Sistem 2 :             0.000         0.000",
               "Trans. Helmert:   600000.000    600000.000", "Trans. Regresie:       0.000         0.000",
               "Coord. finale :   600000.000    600000.000", "",
               "Punct: N3 (nou) - EXTERIOR POLIGONULUI DE DISTORSIUNI"});
    EXPECT_NE(Report().find(newPoints), std::string::npos);

    // The listings; the arcs of the precisions (0.1 m East, 0.2 m North) at the projection's origin.
    const std::string listings =
        Lines({"", "", "Coordonate carteziene transformate:", "N1, 500000.000, 500000.000, +/-  0.100, +/-  0.200",
               "N2 - exterior gridului de distorsiuni", "N3 - exterior gridului de distorsiuni", "ENDF",
               "Coordonate elipsoidale (B, L) transformate:",
               "N1, 46\xB0" "00'00.00000\"N, 25\xB0" "00'00.00000\"E, +/- 0.00648\" ( 0.200 m), +/- 0.00465\" ( 0.100 m)",
               "N2 - exterior gridului de distorsiuni", "N3 - exterior gridului de distorsiuni"})
        + "ENDF";
    const std::string report = Report();
    ASSERT_GE(report.size(), listings.size());
    EXPECT_EQ(report.substr(report.size() - listings.size()), listings);
}

TEST_F(ReportTest, ArrowsMarksAndErrorsOfTheListedPoints)
{
    Run(Job());
    // Helmert difference and error of each common, then of each excluded point; none for new points.
    ASSERT_EQ(drawing.arrows.size(), 14u);
    EXPECT_TRUE(drawing.ended);
    std::string letters;
    for (const Arrow& arrow : drawing.arrows) {
        letters += arrow.letter;
        EXPECT_EQ(arrow.scale, 100.0);
    }
    EXPECT_EQ(letters, "HRHRHRHRIJIJIJ");
    const Arrow& helmert = drawing.arrows[0];
    EXPECT_NEAR(helmert.x, 499850.04, 1e-9);
    EXPECT_NEAR(helmert.y, 499849.96, 1e-9);
    EXPECT_NEAR(helmert.dE, 0.04, 1e-9);
    EXPECT_NEAR(helmert.dN, -0.04, 1e-9);
    EXPECT_NEAR(drawing.arrows[1].dE, -0.01, 1e-9);
    EXPECT_NEAR(drawing.arrows[1].dN, -0.02, 1e-9);

    const auto common = test::ReadPoints(dir / "PCOMUNE.REC");
    EXPECT_EQ(common[2].mark, 1);
    EXPECT_NEAR(common[2].modelWork1[0], 0.03, 1e-9);
    EXPECT_NEAR(common[2].modelWork1[1], -0.01, 1e-9);
    const auto excluded = test::ReadPoints(dir / "RAR.REC");
    EXPECT_EQ(excluded[1].mark, 1);
    EXPECT_NEAR(excluded[1].residual[0], 0.05, 1e-12);
    EXPECT_NEAR(excluded[1].modelWork1[1], 0.01, 1e-9);
    const auto fresh = test::ReadPoints(dir / "PNOI.REC");
    EXPECT_EQ(fresh[0].mark, 0);
    EXPECT_NEAR(fresh[0].modelWork2[3], 500000.0, 1e-9);
    EXPECT_EQ(fresh[1].modelWork2[3], 600000.0);
}

TEST_F(ReportTest, WithoutStatisticsTheNewPointsFollowTheHead)
{
    Run(Job(false));
    const std::string head = Lines({"Fisier sursa: LUCRARE.TXT", "Coordonate transformate, distorsiuni, semnale, erori:",
                                    "-----------------------------------------------------", "COMMON POINTS:",
                                    "==============", "NEW POINTS:", "==============", "Punct: N1 (nou)"});
    EXPECT_EQ(Report().substr(0, head.size()), head);
    EXPECT_TRUE(drawing.arrows.empty());
    EXPECT_TRUE(drawing.ended);
    EXPECT_EQ(test::ReadPoints(dir / "PCOMUNE.REC")[0].mark, 0);
}

TEST_F(ReportTest, SelectionFileNarrowsTheStatisticsAndTakesTheMarks)
{
    auto common = test::ReadPoints(dir / "PCOMUNE.REC");
    common.push_back(KnownPoint("#C5", 500000.0, 500100.0, kSignal, 0.5, 0.5));
    // Outside the grid: listed and counted, with the Helmert coordinates as its final ones.
    common.push_back(KnownPoint("C6", 400000.0, 400000.0, {0.0, 0.0, 0.0}, 0.0, 0.0));
    test::WritePoints(dir / "PCOMUNE.REC", common);
    test::WritePoints(dir / "pcpol.rec", {KnownPoint("#C5", 500000.0, 500100.0, kSignal, 0.5, 0.5)});
    Run(Job());
    const std::string report = Report();
    EXPECT_NE(report.find("# Data:                             5         5"), std::string::npos);
    EXPECT_EQ(report.find("#C5"), std::string::npos);
    EXPECT_NE(report.find("Punct: C6 (comun)- *** exterior gridului ***\r\n"), std::string::npos);

    const auto selected = test::ReadPoints(dir / "pcpol.rec");
    ASSERT_EQ(selected.size(), 5u);
    EXPECT_EQ(selected[4].name.View(), "C6");
    EXPECT_EQ(selected[4].mark, 1);
    EXPECT_EQ(test::ReadPoints(dir / "PCOMUNE.REC")[0].mark, 0);
}

TEST_F(ReportTest, RegressionCoordinatesReplaceTheHelmertOnes)
{
    // A trend of +1 m East everywhere; the common points carry it from the regression estimation.
    ModelParameterRecord model = test::ShiftModel(0.0, 0.0);
    model.regressionPresent = 1;
    model.termCount = {1, 1, 0};
    model.Term(0, 1).coefficient = 0.000001;
    test::WriteParameters(dir / "M.PAR", model);
    auto common = test::ReadPoints(dir / "PCOMUNE.REC");
    for (PointRecord& point : common) {
        point.regression = point.result;
        point.regression[0] += 1.0;
    }
    test::WritePoints(dir / "PCOMUNE.REC", common);
    Run(Job());
    const std::string report = Report();
    EXPECT_NE(report.find("Trans. Regresie:  499851.000    499850.000\r\n"
                          "Distorsiuni :         -0.960        -0.040\r\n"
                          "Semnale :              0.050        -0.020\r\n"
                          "Coord. finale :   499851.050    499849.980\r\n"
                          "Erori :                1.010         0.020\r\n"),
              std::string::npos);
    EXPECT_NE(report.find("N1, 500001.000, 500000.000, +/-"), std::string::npos);
    // Outside the grid the trend coordinates are the final ones.
    EXPECT_NE(report.find("Trans. Regresie:  600001.000    600000.000\r\n"
                          "Coord. finale :   600001.000    600000.000\r\n"),
              std::string::npos);
}

TEST(ReportSpatial, ThreeDimensionalListings)
{
    TempDir dir;
    // Geocentric coordinates of (46 N, 25 E, 100 m) and (45 15' N, 25 30' E, 250.5 m) on the
    // Krasovski ellipsoid; the signal is zero.
    const double x1 = 4022614.141813;
    const double y1 = 1875775.780130;
    const double z1 = 4565400.046259;
    test::WriteNodeGrid(dir / "M.GRD", {x1 - 200.0, y1 - 200.0, 100.0, 5, 5},
                        [](int, int) { return NodeValues{0.0, 0.0, 0.0}; });
    test::WriteParameters(dir / "M.PAR", test::ShiftModel(0.0, 0.0));
    PointRecord known = NewPoint("K", x1, y1, 'G');
    known.sys1[2] = z1;
    known.result[2] = z1;
    known.mark = 1;
    known.sys2 = {x1, y1, z1 - 0.5};
    PointRecord outside = NewPoint("F", 4059967.216466, 1936505.025811, 'G');
    outside.result[2] = 4507208.898155;
    test::WritePoints(dir / "PNOI.REC", {known, outside});
    test::WritePoints(dir / "PCOMUNE.REC", {});
    test::WritePoints(dir / "RAR.REC", {});

    const DistortionModel model = LoadDistortionModel(dir / "M.GRD", dir / "M.PAR");
    AssignGridCells(dir / "PNOI.REC", model.grid, false, nullptr);
    ModelReportJob job{dir / "PNOI.REC", dir / "PCOMUNE.REC", dir / "RAR.REC", dir / "pcpol.rec",
                       dir / "REZ_NOI.TXT", "S.TXT", kKrasovski1942, 'G', false, false};
    RecordingDrawing drawing;
    ApplyDistortionModelWithReport(model, job, drawing);

    const std::string report = test::ReadBytes(dir / "REZ_NOI.TXT");
    EXPECT_NE(report.find("Punct: K (comun)\r\n                       X[m]           Y[m]        Z[m]\r\n"
                          "Sistem 1 :       4022614.142   1875775.780   4565400.046\r\n"),
              std::string::npos);
    EXPECT_NE(report.find("Punct: F (nou) - EXTERIOR RETELEI DE DISTORSIUNI\r\n"
                          "                       X[m]           Y[m]         Z[m]\r\n"),
              std::string::npos);
    // The known point shows its error against the target; the height error is the 0.5 m of Z
    // projected on the normal.
    EXPECT_NE(report.find("Erori :                0.000         0.000         0.500\r\n"), std::string::npos);
    const std::string listings =
        Lines({"", "", "Coordonate carteziene transformate:",
               "K, 4022614.142, 1875775.780, 4565400.046, +/-  0.000, +/-  0.000, +/-  0.000",
               "F, 4059967.216, 1936505.026, 4507208.898 - exterior gridului", "ENDF",
               "Coordonate elipsoidale (B, L, h (Hn), Er_Hn_MN.) transformate:",
               "K,  46 00 00.00000,  25 00 00.00000,    100.000,      0.360",
               "F,  45 15 00.00000,  25 30 00.00000,    250.500 - exterior gridului"})
        + "ENDF";
    ASSERT_GE(report.size(), listings.size());
    EXPECT_EQ(report.substr(report.size() - listings.size()), listings);
    EXPECT_EQ(drawing.arrows.size(), 2u);
}

TEST(ReportStatistics, ThreeSigmaRules)
{
    // Four values of the Helmert differences.
    const std::vector<double> four{0.01, -0.01, 0.02, -0.02};
    const ComponentStatistics s = AllDataStatistics(four);
    EXPECT_NEAR(s.mean, 0.0, 1e-18);
    EXPECT_NEAR(s.stdDev, 0.0158114, 1e-7);
    EXPECT_EQ(s.max, 0.02);
    EXPECT_EQ(s.min, -0.02);
    EXPECT_EQ(s.over, 0u);

    // The values themselves are compared with 3 s, not their distance from the mean.
    const std::vector<double> shifted{10.0, 10.1, 9.9, 10.0};
    EXPECT_EQ(AllDataStatistics(shifted).over, 4u);

    // A value of exactly 3 sigma is neither retained nor over; the means divide by the count
    // less the values over.
    const std::vector<double> values{3.0, 1.0, -5.0, 0.5};
    const ComponentStatistics within = WithinThreeSigmaStatistics(values, 1.0);
    EXPECT_EQ(within.over, 1u);
    EXPECT_DOUBLE_EQ(within.mean, 1.5 / 3.0);
    EXPECT_EQ(within.max, 1.0);
    EXPECT_EQ(within.min, 0.5);
    EXPECT_DOUBLE_EQ(within.stdDev, std::sqrt((0.25 + 0.0) / 3.0));

    // Nothing retained: zeros.
    const ComponentStatistics none = WithinThreeSigmaStatistics(std::vector<double>{5.0, -6.0}, 1.0);
    EXPECT_EQ(none.over, 2u);
    EXPECT_EQ(none.max, 0.0);
    EXPECT_EQ(none.min, 0.0);
    EXPECT_EQ(none.mean, 0.0);
}

TEST(ReportStatistics, NegativeValuesRoundingToZeroKeepTheirSign)
{
    std::string table;
    const std::vector<ComponentStatistics> columns{{-0.00001, 0.0, 0.0, -0.00001, 0}, {0.00001, 0.0, 0.0, 0.0, 0}};
    const std::vector<CountRow> rows{{"# Data:                      ", {2, 2, 0}, 0}};
    AppendStatisticsTable(table, columns, rows);
    EXPECT_NE(table.find("Mean:                         -0.0000    0.0000\r\n"), std::string::npos);
    EXPECT_NE(table.find("# Data:                             2         2\r\n"), std::string::npos);
}

} // namespace
} // namespace velmora
