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

[[noreturn]] void Stop(std::string_view message, std::string_view name = {})
{
    std::string text(message);
    text.append(name);
    throw FatalError(text);
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
double FirstCoordinate(LineScanner& scan, const std::string& name)
{
    const LineScanner::Run run = scan.NumberRun();
    if (run.reachedEnd) {
        Stop("Eroare: lipseste/invalida prima coordonata la punctul " + name + " in fis. sursa.");
    }
    double value = 0.0;
    if (!ParseDecimal(run.text, value)) {
        Stop("Eroare: prima coordonata este nenumerica la punctul " + name + " in fis. sursa.");
    }
    return value;
}

double SecondCoordinate(LineScanner& scan, const std::string& name)
{
    double value = 0.0;
    if (!ParseDecimal(scan.NumberRun().text, value)) {
        Stop("Eroare: a doua coordonata este nenumerica la punctul " + name + " in fis. sursa.");
    }
    return value;
}

// The rest of the field as a height; false when it holds no number character.
bool OptionalHeight(LineScanner& scan, const std::string& name, std::string& scratch, double& height,
                    bool digitsAndPointOnly = false)
{
    scan.NumberCharsOfField(scratch, digitsAndPointOnly);
    if (scratch.empty()) {
        return false;
    }
    if (!ParseDecimal(scratch, height)) {
        Stop(kHeightNotNumeric, name);
    }
    return true;
}

void ReadPlaneLine(LineScanner& scan, const OneLineLayout& layout, const std::string& name, std::string& scratch,
                   PointRecord& record)
{
    const double first = FirstCoordinate(scan, name);
    const double second = SecondCoordinate(scan, name);
    StorePair(record.sys1, layout.firstIsNorth, first, second);
    if (layout.readsHeight) {
        record.hasHeight = OptionalHeight(scan, name, scratch, record.sys1[2]) ? 1 : 0;
    }
    if (layout.starredPointsSetAside && name.starts_with('*')) {
        const double extraFirst = FirstCoordinate(scan, name);
        const double extraSecond = SecondCoordinate(scan, name);
        StorePair(record.sys2, layout.firstIsNorth, extraFirst, extraSecond);
        OptionalHeight(scan, name, scratch, record.sys2[2], true);
    }
}

void ReadGeodeticLine(LineScanner& scan, const OneLineLayout& layout, const std::string& name,
                      std::string& scratch, PointRecord& record)
{
    const LineScanner::Field latitude = scan.UpToComma();
    if (!latitude.comma) {
        Stop("Eroare: lipseste coordonata Bv la punctul ", name);
    }
    if (ParseDmsAngle(latitude.text, record.sys1[0]) != 0) {
        Stop("Eroare: coordonata B este nenumerica la punctul ", name);
    }
    if (ParseDmsAngle(scan.UpToComma().text, record.sys1[1]) != 0) {
        Stop("Eroare: coordonata L este nenumerica la punctul ", name);
    }
    if (layout.readsHeight) {
        record.hasHeight = OptionalHeight(scan, name, scratch, record.sys1[2]) ? 1 : 0;
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
            continue;
        }
        anyPoint = true;
        LineScanner scan(line);
        const std::string name = scan.Name();
        if (IsEndKeyword(FirstField(name))) {
            Stop(variant == Variant::Plane ? kNoPointsAfterIdentifier : kGeodeticNoPoints);
        }
        PointRecord record = FreshRecord();
        record.name.Assign(name);
        if (variant == Variant::Plane) {
            ReadPlaneLine(scan, layout, name, scratch, record);
        } else {
            ReadGeodeticLine(scan, layout, name, scratch, record);
        }
        if (layout.starredPointsSetAside && name.starts_with('*')) {
            ExcludedPoints(targets).Append(record);
        } else {
            newPoints.Append(record);
        }
    }
    newPoints.Close();
    if (!anyPoint) {
        Stop(kEmptySource);
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

[[noreturn]] void Stop(const Message& message, const std::string& name)
{
    Stop(message.text, message.withName ? std::string_view(name) : std::string_view());
}

double NumberValue(LineScanner& scan, const ValueMessages& messages, const std::string& name)
{
    const LineScanner::Run run = scan.NumberRun();
    if (!messages.missing.text.empty() && run.reachedEnd) {
        Stop(messages.missing, name);
    }
    double value = 0.0;
    if (!ParseDecimal(run.text, value)) {
        Stop(messages.notNumeric, name);
    }
    return value;
}

double AngleValue(LineScanner& scan, const ValueMessages& messages, const std::string& name)
{
    const LineScanner::Field field = scan.UpToComma();
    if (!messages.missing.text.empty() && !field.comma) {
        Stop(messages.missing, name);
    }
    double radians = 0.0;
    if (ParseDmsAngle(field.text, radians) != 0) {
        Stop(messages.notNumeric, name);
    }
    return radians;
}

// One system's two or three values; messages starts at the system's first value.
void ReadSystem(LineScanner& scan, Variant variant, bool threeD, const ValueMessages* messages,
                const std::string& name, std::array<double, 3>& target)
{
    for (std::size_t i = 0; i < 2; ++i) {
        target[i] = variant == Variant::Geodetic ? AngleValue(scan, messages[i], name)
                                                 : NumberValue(scan, messages[i], name);
    }
    if (threeD) {
        target[2] = NumberValue(scan, messages[2], name);
    }
}

double EllipsoidValue(LineScanner& scan, std::string_view label)
{
    double value = 0.0;
    if (!ParseDecimal(scan.NumberRun().text, value)) {
        Stop("Eroare: valoare " + std::string(label) + " nenumerica in fis. sursa.");
    }
    return value;
}

// Kind line and ellipsoid line; returns the kind letter.
char ReadKindAndEllipsoids(TextReader& source, char pointKind, const std::filesystem::path& workDir,
                           EllipsoidPair& ellipsoids)
{
    std::string line;
    source.ReadLine(line);
    if (line.empty()) {
        Stop(kEmptyLineShort);
    }
    const std::string kind = LineScanner(line).Token();
    if (kind != std::string(1, pointKind)) {
        Stop("Eroare: tipul transformarii (2D sau 3D) nu corespunde cu tip identificator de puncte \"G\" sau \"P\".");
    }
    if (kind != "G" && kind != "P") {
        Stop("Eroare: identificator de puncte <> G sau P.");
    }
    source.ReadLine(line);
    LineScanner scan(line);
    ellipsoids.a1 = EllipsoidValue(scan, "a1");
    ellipsoids.invF1 = EllipsoidValue(scan, "f1");
    ellipsoids.a2 = EllipsoidValue(scan, "a2");
    ellipsoids.invF2 = EllipsoidValue(scan, "f2");
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
            Stop(common ? kEmptyLineLong : kEmptyLineShort);
        }
        LineScanner scan(line);
        const std::string name = scan.Name();
        const std::string key = FirstField(name);
        if (IsEndKeyword(key)) {
            finished = key == "ENDF";
            break;
        }
        sectionHasPoints = true;
        PointRecord record = FreshRecord();
        record.coordKind = kind;
        record.hasHeight = threeD ? 1 : 0;
        record.name.Assign(name);
        ReadSystem(scan, variant, threeD, &messages[kXv], name, record.sys1);
        if (!common) {
            files.newPoints.Append(record);
            continue;
        }
        ReadSystem(scan, variant, threeD, &messages[kXn], name, record.sys2);
        switch (name.empty() || targets.keepMarkedCommonPoints ? ' ' : name.front()) {
        case '*': ExcludedPoints(targets).Append(record); break;
        case '#': files.polygonPoints.Append(record); break;
        case '&': files.otherPoints.Append(record); break;
        default: files.commonPoints.Append(record); break;
        }
    }
    if (!sectionHasPoints) {
        Stop(kNoPointsAfterIdentifier);
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
            Stop(kEmptyLineLong);
        }
        const std::string identifier = LineScanner(line).Token();
        if (identifier != "PC" && identifier != "PN") {
            Stop("Eroare: identificator de puncte <> PC sau PN.");
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
