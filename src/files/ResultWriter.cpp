#include "files/ResultWriter.h"

#include "files/FatalError.h"
#include "files/NumberText.h"

namespace velmora {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kWithoutHeight = ", fara_cota";
constexpr std::string_view kOutsideGrid = " - exterior gridului de distorsiuni";

// The height in the given width, or the mark of a point without one.
void AppendHeight(std::string& line, const PointRecord& record, int width)
{
    if (record.hasHeight == 0) {
        line.append(kWithoutHeight);
        return;
    }
    line.append(", ");
    AppendFixed(line, record.result[2], width, 3);
}

void AppendPlane(std::string& line, const PointRecord& record)
{
    line.append(", ");
    AppendFixed(line, record.result[0], 11, 3);
    line.append(", ");
    AppendFixed(line, record.result[1], 11, 3);
    AppendHeight(line, record, 8);
}

void AppendGeodetic(std::string& line, const PointRecord& record)
{
    line.push_back(',');
    AppendAngleText(line, record.result[0] * 3600.0, AngleForm::DegreeSign);
    line.append("N,");
    AppendAngleText(line, record.result[1] * 3600.0, AngleForm::DegreeSign);
    line.push_back('E');
    AppendHeight(line, record, 9);
}

void AppendModel(std::string& line, const PointRecord& record, bool northFirst)
{
    if (record.pointState != 'D') {
        line.append(kOutsideGrid);
        return;
    }
    const double east = record.modelWork2[3];
    const double north = record.modelWork2[4];
    line.append(", ");
    AppendFixed(line, northFirst ? north : east, 10, 3);
    line.append(", ");
    AppendFixed(line, northFirst ? east : north, 10, 3);
}

} // namespace

void AppendResultLine(std::string& line, ResultLayout layout, const PointRecord& record)
{
    line.append(record.name.View());
    switch (layout) {
    case ResultLayout::Plane: AppendPlane(line, record); break;
    case ResultLayout::Geodetic: AppendGeodetic(line, record); break;
    case ResultLayout::ModelNorthFirst: AppendModel(line, record, true); break;
    case ResultLayout::ModelEastFirst: AppendModel(line, record, false); break;
    }
    line.append(kLineEnd);
}

std::string ReadTitleLine(const std::filesystem::path& sourcePath)
{
    TextReader source(sourcePath);
    if (!source.IsOpen())
        throw FatalError(kSourceIoMessage);
    std::string title;
    source.ReadLine(title);
    return title;
}

ResultFileWriter::ResultFileWriter(ResultLayout layout, const std::filesystem::path& resultPath,
                                   std::string_view title)
    : layout_(layout), result_(resultPath)
{
    if (!result_.IsOpen())
        throw FatalError(kResultIoMessage);
    result_.Write(title);
    result_.Write(kLineEnd);
}

void ResultFileWriter::Add(const PointRecord& record)
{
    line_.clear();
    AppendResultLine(line_, layout_, record);
    result_.Write(line_);
}

void ResultFileWriter::Finish()
{
    result_.Write("ENDF");
    if (!result_.Close())
        throw FatalError(kResultIoMessage);
}

} // namespace velmora
