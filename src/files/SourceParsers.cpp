#include "files/SourceParsers.h"

#include "files/FatalError.h"
#include "files/NumberText.h"
#include "files/SourceScan.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace velmora {

namespace {

enum class Variant { Plane, Geodetic };

constexpr std::string_view kNoPointsAfterIdentifier = "Eroare: dupa un identificator nu sunt puncte in fis. sursa.";
constexpr std::string_view kGeodeticNoPoints = "Eroare: Nu sunt puncte in fis. sursa.";
constexpr std::string_view kEmptySource = "Eroare: fisier sursa fara coordonate de transformat!";
constexpr std::string_view kHeightNotNumeric = "Eroare: coordonata h este nenumerica la punctul ";
constexpr std::string_view kEmptyLineShort = "Eroare: rand gol in fis. sursa.";
constexpr std::string_view kEmptyLineLong = "Eroare: rand gol in fisierul sursa.";

// A syntax error, found on the given line of the source.
[[noreturn]] void Stop(std::size_t lineNumber, std::string_view message, std::string_view name = {})
{
    std::string text(message);
    text.append(name);
    throw SourceLineError(text, lineNumber);
}

// A point line of the source: the name the messages give and where the line stands.
struct PointLine {
    std::string name;
    std::size_t number;
};

[[noreturn]] void Stop(const PointLine& point, std::string_view message)
{
    Stop(point.number, message, point.name);
}

bool IsPlaneOneLineCode(char code)
{
    return code == '4' || code == '5' || code == '6' || code == '7' || code == '9' || (code >= 'e' && code <= 'h');
}

bool IsGeodeticOneLineCode(char code)
{
    return (code >= '3' && code <= '6') || code == '8' || code == '9';
}

bool IsEndKeyword(const std::string& key)
{
    return key == "END" || key == "ENDF";
}

// How a one-line format maps its columns for one transformation code.
struct OneLineLayout {
    bool firstIsNorth = false; // the first number goes to sys1[1]
    bool readsHeight = false;
    bool starredPointsSetAside = false;
    std::optional<EllipsoidPair> ellipsoids;
};

OneLineLayout PlaneLayout(char code)
{
    constexpr EllipsoidPair krasovskiToGrs80 = MakeEllipsoidPair(kKrasovski1942, kGrs80);
    switch (code) {
    case '4':
        return {true, true, false, krasovskiToGrs80};
    case '5':
        return {false, false, false, MakeEllipsoidPair(kHayford1924, kKrasovski1942)};
    case '6':
        return {true, false, false, MakeEllipsoidPair(kKrasovski1942, kHayford1924)};
    case '7':
        return {true, true, true, std::nullopt};
    case '9':
        return {false, true, false, MakeEllipsoidPair(kHayford1924, kGrs80)};
    case 'e':
    case 'f':
    case 'g':
    case 'h':
        return {false, true, false, krasovskiToGrs80};
    default:
        return {};
    }
}

OneLineLayout GeodeticLayout(char code)
{
    switch (code) {
    case '3':
        return {false, true, false, MakeEllipsoidPair(kGrs80, kKrasovski1942)};
    case '8':
        return {false, true, false, MakeEllipsoidPair(kGrs80, kHayford1924)};
    default:
        return {};
    }
}

// A record as every parser starts it; what a parse does not write stays zero.
PointRecord FreshRecord()
{
    PointRecord record{};
    record.pointState = 'N';
    record.nodeIndex = {1, 2, 3, 4};
    return record;
}

PointFile& ExcludedPoints(const SourceTargets& targets)
{
    if (targets.excludedPoints == nullptr) {
        throw FatalError(kRecordIoMessage);
    }
    return *targets.excludedPoints;
}

void StorePair(std::array<double, 3>& target, bool firstIsNorth, double first, double second)
{
    target[firstIsNorth ? 1 : 0] = first;
    target[firstIsNorth ? 0 : 1] = second;
}

// --- one-line formats -------------------------------------------------------------------------

// The first number must be followed by something: a run that reaches the end of the line means
// the second coordinate is missing.
double FirstCoordinate(LineScanner& scan, const PointLine& point)
{
    const LineScanner::Run run = scan.NumberRun();
    if (run.reachedEnd) {
        Stop(point.number, "Eroare: lipseste/invalida prima coordonata la punctul " + point.name + " in fis. sursa.");
    }
    double value = 0.0;
    if (!ParseDecimal(run.text, value)) {
        Stop(point.number, "Eroare: prima coordonata este nenumerica la punctul " + point.name + " in fis. sursa.");
    }
    return value;
}

double SecondCoordinate(LineScanner& scan, const PointLine& point)
{
    double value = 0.0;
    if (!ParseDecimal(scan.NumberRun().text, value)) {
        Stop(point.number, "Eroare: a doua coordonata este nenumerica la punctul " + point.name + " in fis. sursa.");
    }
    return value;
}

// The rest of the field as a height; false when it holds no number character.
bool OptionalHeight(LineScanner& scan, const PointLine& point, std::string& scratch, double& height,
                    bool digitsAndPointOnly = false)
{
    const bool clean = scan.NumberCharsOfField(scratch, digitsAndPointOnly);
    if (scratch.empty()) {
        return false;
    }
    if (!clean || !ParseDecimal(scratch, height)) {
        Stop(point, kHeightNotNumeric);
    }
    return true;
}

void ReadPlaneLine(LineScanner& scan, const OneLineLayout& layout, const PointLine& point, std::string& scratch,
                   PointRecord& record)
{
    const double first = FirstCoordinate(scan, point);
    const double second = SecondCoordinate(scan, point);
    StorePair(record.sys1, layout.firstIsNorth, first, second);
    if (layout.readsHeight) {
        record.hasHeight = OptionalHeight(scan, point, scratch, record.sys1[2]) ? 1 : 0;
    }
    if (layout.starredPointsSetAside && point.name.starts_with('*')) {
        const double extraFirst = FirstCoordinate(scan, point);
        const double extraSecond = SecondCoordinate(scan, point);
        StorePair(record.sys2, layout.firstIsNorth, extraFirst, extraSecond);
        OptionalHeight(scan, point, scratch, record.sys2[2], true);
    }
}

void ReadGeodeticLine(LineScanner& scan, const OneLineLayout& layout, const PointLine& point, std::string& scratch,
                      PointRecord& record)
{
    const LineScanner::Field latitude = scan.UpToComma();
    if (!latitude.comma) {
        Stop(point, "Eroare: lipseste coordonata Bv la punctul ");
    }
    if (ParseDmsAngle(latitude.text, record.sys1[0]) != 0) {
        Stop(point, "Eroare: coordonata B este nenumerica la punctul ");
    }
    if (ParseDmsAngle(scan.UpToComma().text, record.sys1[1]) != 0) {
        Stop(point, "Eroare: coordonata L este nenumerica la punctul ");
    }
    if (layout.readsHeight) {
        record.hasHeight = OptionalHeight(scan, point, scratch, record.sys1[2]) ? 1 : 0;
    }
}

// A line the point data skips: empty, blanks, or a comma first. One that holds a digit is a point
// whose name is missing, and that is an error rather than a point lost without a word.
void SkipUnnamedLine(std::string_view line, std::size_t lineNumber)
{
    if (line.find_first_of("0123456789") != std::string_view::npos) {
        Stop(lineNumber, "Eroare: punct fara nume pe randul " + std::to_string(lineNumber) + " in fis. sursa.");
    }
}

void ParseOneLine(TextReader& source, const SourceTargets& targets, EllipsoidPair& ellipsoids,
                  const OneLineLayout& layout, Variant variant)
{
    PointFile newPoints = PointFile::Create(targets.newPoints);
    if (layout.ellipsoids) {
        ellipsoids = *layout.ellipsoids;
    }
    std::string line;
    std::string scratch;
    bool anyPoint = false;
    while (source.ReadLine(line)) {
        const std::string key = FirstField(line);
        if (key == "ENDF") {
            break;
        }
        if (key.empty()) {
            SkipUnnamedLine(line, source.LineNumber());
            continue;
        }
        anyPoint = true;
        LineScanner scan(line);
        const PointLine point{scan.Name(), source.LineNumber()};
        if (IsEndKeyword(FirstField(point.name))) {
            Stop(point.number, variant == Variant::Plane ? kNoPointsAfterIdentifier : kGeodeticNoPoints);
        }
        PointRecord record = FreshRecord();
        record.name.Assign(point.name);
        if (variant == Variant::Plane) {
            ReadPlaneLine(scan, layout, point, scratch, record);
        } else {
            ReadGeodeticLine(scan, layout, point, scratch, record);
        }
        if (layout.starredPointsSetAside && point.name.starts_with('*')) {
            ExcludedPoints(targets).Append(record);
        } else {
            newPoints.Append(record);
        }
    }
    newPoints.Close();
    if (!anyPoint) {
        throw FatalError(std::string(kEmptySource));
    }
}

// --- four-line formats ------------------------------------------------------------------------

struct Message {
    std::string_view text;
    bool withName = false;
};

// A value's messages; a value without a "missing" message may end the line.
struct ValueMessages {
    Message missing;
    Message notNumeric;
};

enum Value { kXv, kYv, kZv, kXn, kYn, kZn };

// Indexed by Value; the new points use the first three.
using SectionMessages = std::array<ValueMessages, 6>;

constexpr SectionMessages kPlaneCommon{{
    {{"Eroare: lipseste coordonata xv pe randul:", true},
     {"Eroare: coordonata xv este nenumerica la un punct in fis. sursa."}},
    {{"Eroare: lipseste coordonata yv la un punct in fis. sursa."},
     {"Eroare: coordonata yv este nenumerica la un punct in fis. sursa."}},
    {{"Eroare: lipseste coordonata zv la un punct in fis. sursa."},
     {"Eroare: coordonata zv este nenumerica la un punct in fis. sursa."}},
    {{"Eroare: lipseste coordonata xn la un punct in fis. sursa."},
     {"Eroare: coordonata xn este nenumerica in fis. sursa."}},
    {{}, {"Eroare: coordonata yn este nenumerica la un punct in fis. sursa."}},
    {{}, {"Eroare: coordonata zn este nenumerica in fis. sursa."}},
}};

constexpr SectionMessages kPlaneNew{{
    {{"Eroare: lipseste coordonata xv la un punct in fis. sursa."},
     {"Eroare: coordonat xv este nenumerica la un punct in fis. sursa."}},
    {{}, {"Eroare: coordonata yv este nenumerica la un punct in fis. sursa."}},
    {{}, {"Eroare: coordonata zv este nenumerica in fis. sursa."}},
}};

constexpr SectionMessages kGeodeticCommon{{
    {{"Eroare: lipseste coordonata xv pe randul:", true},
     {"Eroare: coordonata x(B)_vechi este nenumerica la punctul ", true}},
    {{"Eroare: lipseste coordonata yv la punctul ", true},
     {"Eroare: coordonata yv este nenumerica la un punctul ", true}},
    {{"Eroare: lipseste coordonata zv la punctul ", true},
     {"Eroare: coordonata zv este nenumerica la punctul ", true}},
    {{"Eroare: lipseste coordonata xn la un punctul ", true},
     {"Eroare: coordonata xn este nenumerica la punctul ", true}},
    {{}, {"Eroare: coordonata yn este nenumerica la punctul ", true}},
    {{}, {"Eroare: coordonata zn este nenumerica la punctul ", true}},
}};

constexpr SectionMessages kGeodeticNew{{
    {{"Eroare: lipseste coordonata xv la punctul ", true},
     {"Eroare: coordonat xv este nenumerica la punctul ", true}},
    {{}, {"Eroare: coordonata yv este nenumerica la punctul ", true}},
    {{}, {"Eroare: coordonata zv este nenumerica la punctul ", true}},
}};

[[noreturn]] void Stop(const Message& message, const PointLine& point)
{
    Stop(point.number, message.text, message.withName ? std::string_view(point.name) : std::string_view());
}

double NumberValue(LineScanner& scan, const ValueMessages& messages, const PointLine& point)
{
    const LineScanner::Run run = scan.NumberRun();
    if (!messages.missing.text.empty() && run.reachedEnd) {
        Stop(messages.missing, point);
    }
    double value = 0.0;
    if (!ParseDecimal(run.text, value)) {
        Stop(messages.notNumeric, point);
    }
    return value;
}

double AngleValue(LineScanner& scan, const ValueMessages& messages, const PointLine& point)
{
    const LineScanner::Field field = scan.UpToComma();
    if (!messages.missing.text.empty() && !field.comma) {
        Stop(messages.missing, point);
    }
    double radians = 0.0;
    if (ParseDmsAngle(field.text, radians) != 0) {
        Stop(messages.notNumeric, point);
    }
    return radians;
}

// One system's two or three values; messages starts at the system's first value.
void ReadSystem(LineScanner& scan, Variant variant, bool threeD, const ValueMessages* messages,
                const PointLine& point, std::array<double, 3>& target)
{
    for (std::size_t i = 0; i < 2; ++i) {
        target[i] = variant == Variant::Geodetic ? AngleValue(scan, messages[i], point)
                                                 : NumberValue(scan, messages[i], point);
    }
    if (threeD) {
        target[2] = NumberValue(scan, messages[2], point);
    }
}

double EllipsoidValue(LineScanner& scan, std::string_view label, std::size_t lineNumber)
{
    double value = 0.0;
    if (!ParseDecimal(scan.NumberRun().text, value)) {
        Stop(lineNumber, "Eroare: valoare " + std::string(label) + " nenumerica in fis. sursa.");
    }
    return value;
}

// Kind line and ellipsoid line; returns the kind letter.
char ReadKindAndEllipsoids(TextReader& source, char pointKind, const std::filesystem::path& workDir,
                           EllipsoidPair& ellipsoids)
{
    // A missing line is reported as the line after the last one.
    std::string line;
    const std::size_t kindLine = source.LineNumber() + 1;
    source.ReadLine(line);
    if (line.empty()) {
        Stop(kindLine, kEmptyLineShort);
    }
    const std::string kind = LineScanner(line).Token();
    if (kind != std::string(1, pointKind)) {
        Stop(kindLine,
             "Eroare: tipul transformarii (2D sau 3D) nu corespunde cu tip identificator de puncte \"G\" sau \"P\".");
    }
    if (kind != "G" && kind != "P") {
        Stop(kindLine, "Eroare: identificator de puncte <> G sau P.");
    }
    source.ReadLine(line);
    const std::size_t ellipsoidLine = kindLine + 1;
    LineScanner scan(line);
    ellipsoids.a1 = EllipsoidValue(scan, "a1", ellipsoidLine);
    ellipsoids.invF1 = EllipsoidValue(scan, "f1", ellipsoidLine);
    ellipsoids.a2 = EllipsoidValue(scan, "a2", ellipsoidLine);
    ellipsoids.invF2 = EllipsoidValue(scan, "f2", ellipsoidLine);
    EllipsoidFile file = EllipsoidFile::Create(workDir / kEllipsoidFileName);
    file.Append(ellipsoids);
    file.Close();
    return kind.front();
}

// The record files of a common/new parse.
struct CommonNewFiles {
    PointFile newPoints;
    PointFile commonPoints;
    PointFile polygonPoints;
    PointFile otherPoints;
};

// One "PC" or "PN" section, after its identifier line. Returns true when the section ended the
// data (an "ENDF" line or the end of the file), false on its "END" line.
bool ReadSection(TextReader& source, bool common, char kind, Variant variant, const SourceTargets& targets,
                 CommonNewFiles& files)
{
    const bool geodetic = variant == Variant::Geodetic;
    const bool threeD = kind == 'G';
    const SectionMessages& messages =
        common ? (geodetic ? kGeodeticCommon : kPlaneCommon) : (geodetic ? kGeodeticNew : kPlaneNew);
    std::string line;
    bool sectionHasPoints = false;
    bool finished = true; // the end of the file closes the section like "ENDF"
    while (source.ReadLine(line)) {
        if (line.empty()) {
            Stop(source.LineNumber(), common ? kEmptyLineLong : kEmptyLineShort);
        }
        LineScanner scan(line);
        const PointLine point{scan.Name(), source.LineNumber()};
        const std::string key = FirstField(point.name);
        if (IsEndKeyword(key)) {
            finished = key == "ENDF";
            break;
        }
        sectionHasPoints = true;
        PointRecord record = FreshRecord();
        record.coordKind = kind;
        record.hasHeight = threeD ? 1 : 0;
        record.name.Assign(point.name);
        ReadSystem(scan, variant, threeD, &messages[kXv], point, record.sys1);
        if (!common) {
            files.newPoints.Append(record);
            continue;
        }
        ReadSystem(scan, variant, threeD, &messages[kXn], point, record.sys2);
        switch (point.name.empty() || targets.keepMarkedCommonPoints ? ' ' : point.name.front()) {
        case '*': ExcludedPoints(targets).Append(record); break;
        case '#': files.polygonPoints.Append(record); break;
        case '&': files.otherPoints.Append(record); break;
        default: files.commonPoints.Append(record); break;
        }
    }
    if (!sectionHasPoints) {
        Stop(source.LineNumber(), kNoPointsAfterIdentifier);
    }
    return finished;
}

void ParseCommonNew(TextReader& source, char pointKind, const SourceTargets& targets, EllipsoidPair& ellipsoids,
                    Variant variant)
{
    const std::filesystem::path workDir = targets.newPoints.parent_path();
    // Every list is emptied up front, so that no list of an earlier command survives a source
    // without that section, and a second "PC" section adds to the first.
    CommonNewFiles files{PointFile::Create(targets.newPoints), PointFile::Create(targets.commonPoints),
                         PointFile::Create(workDir / kPolygonPointsFileName),
                         PointFile::Create(workDir / kOtherPointsFileName)};

    const char kind = ReadKindAndEllipsoids(source, pointKind, workDir, ellipsoids);
    std::string line;
    bool finished = false;
    while (!finished && source.ReadLine(line)) {
        if (FirstField(line) == "ENDF") {
            break;
        }
        if (line.empty()) {
            Stop(source.LineNumber(), kEmptyLineLong);
        }
        const std::string identifier = LineScanner(line).Token();
        if (identifier != "PC" && identifier != "PN") {
            Stop(source.LineNumber(), "Eroare: identificator de puncte <> PC sau PN.");
        }
        finished = ReadSection(source, identifier == "PC", kind, variant, targets, files);
    }
    files.newPoints.Close();
    files.commonPoints.Close();
    files.polygonPoints.Close();
    files.otherPoints.Close();
}

bool LoadSource(char transformationCode, char pointKind, const std::filesystem::path& sourcePath,
                const SourceTargets& targets, EllipsoidPair& ellipsoids, Variant variant)
{
    TextReader source(sourcePath);
    if (!source.IsOpen()) {
        return false;
    }
    const bool oneLine = variant == Variant::Plane ? IsPlaneOneLineCode(transformationCode)
                                                   : IsGeodeticOneLineCode(transformationCode);
    std::string header;
    for (int i = 0; i < (oneLine ? 1 : 4); ++i) {
        source.ReadLine(header);
    }
    if (oneLine) {
        const OneLineLayout layout =
            variant == Variant::Plane ? PlaneLayout(transformationCode) : GeodeticLayout(transformationCode);
        ParseOneLine(source, targets, ellipsoids, layout, variant);
    } else {
        ParseCommonNew(source, pointKind, targets, ellipsoids, variant);
    }
    return true;
}

} // namespace

SourceTargets WorkFileTargets(const std::filesystem::path& workDir)
{
    return {workDir / kNewPointsFileName, workDir / kCommonPointsFileName};
}

bool LoadPlaneSource(char transformationCode, char pointKind, const std::filesystem::path& sourcePath,
                     const SourceTargets& targets, EllipsoidPair& ellipsoids)
{
    return LoadSource(transformationCode, pointKind, sourcePath, targets, ellipsoids, Variant::Plane);
}

bool LoadGeodeticSource(char transformationCode, char pointKind, const std::filesystem::path& sourcePath,
                        const SourceTargets& targets, EllipsoidPair& ellipsoids)
{
    return LoadSource(transformationCode, pointKind, sourcePath, targets, ellipsoids, Variant::Geodetic);
}

void ParsePlanePoints(TextReader& source, char transformationCode, const SourceTargets& targets,
                      EllipsoidPair& ellipsoids)
{
    ParseOneLine(source, targets, ellipsoids, PlaneLayout(transformationCode), Variant::Plane);
}

void ParseGeodeticPoints(TextReader& source, char transformationCode, const SourceTargets& targets,
                         EllipsoidPair& ellipsoids)
{
    ParseOneLine(source, targets, ellipsoids, GeodeticLayout(transformationCode), Variant::Geodetic);
}

void ParseCommonNewPoints(TextReader& source, char pointKind, const SourceTargets& targets,
                          EllipsoidPair& ellipsoids)
{
    ParseCommonNew(source, pointKind, targets, ellipsoids, Variant::Plane);
}

void ParseGeodeticCommonNewPoints(TextReader& source, char pointKind, const SourceTargets& targets,
                                  EllipsoidPair& ellipsoids)
{
    ParseCommonNew(source, pointKind, targets, ellipsoids, Variant::Geodetic);
}

} // namespace velmora
