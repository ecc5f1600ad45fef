#include "commands/FileSelection.h"

#include "building/BuildRun.h"
#include "commands/WorkFolder.h"
#include "core/FileHandle.h"
#include "files/PointRecord.h"
#include "model/ModelParameters.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace velmora {

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool IsReadableFile(const fs::path& path)
{
    return FileHandle::Open(path, FileHandle::Mode::Read).has_value();
}

} // namespace

bool IsDispatcherCode(char code)
{
    return std::string_view("3489efgh").find(code) != std::string_view::npos;
}

bool SameFile(const std::string& a, const std::string& b)
{
    if (a == b)
        return true;
    std::error_code ec;
    const fs::path pa = fs::weakly_canonical(fs::absolute(a, ec), ec);
    const fs::path pb = fs::weakly_canonical(fs::absolute(b, ec), ec);
    if (fs::exists(pa, ec) && fs::exists(pb, ec) && fs::equivalent(pa, pb, ec))
        return true;
    // Names are matched without regard to letter case, as the program's files always were.
    return Lower(pa.string()) == Lower(pb.string());
}

bool SourceWouldBeWritten(const fs::path& source, const fs::path& workDir, const std::vector<fs::path>& written)
{
    // The files the source parsers, the quasigeoid application (its set-aside points) and the
    // lock write in the work folder; the model-building commands name theirs.
    constexpr std::string_view kWorkFileNames[] = {
        kNewPointsFileName,   kCommonPointsFileName,    kEllipsoidFileName,  kPolygonPointsFileName,
        kOtherPointsFileName, kBuildExcludedPointsName, kWorkFolderLockName,
    };
    const std::string name = source.string();
    const auto hits = [&name](const fs::path& path) { return SameFile(name, path.string()); };
    return std::any_of(std::begin(kWorkFileNames), std::end(kWorkFileNames),
                       [&](std::string_view file) { return hits(workDir / file); })
           || std::any_of(written.begin(), written.end(), hits);
}

bool IsRecordFile(const fs::path& path, std::uintmax_t recordSize)
{
    if (!IsReadableFile(path))
        return false;
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(path, ec);
    return !ec && size > 0 && size % recordSize == 0;
}

bool CanWriteFile(const fs::path& path)
{
    std::error_code ec;
    const bool existed = fs::exists(path, ec);
    if (existed && !fs::is_regular_file(path, ec))
        return false;
    if (!existed) {
        // Created and removed again; never through a link that leads nowhere yet.
        if (!FileHandle::Open(path, FileHandle::Mode::CreateNew))
            return false;
        fs::remove(path, ec);
        return true;
    }
    // Opening for appending leaves an existing file as it is.
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (file == nullptr)
        return false;
    std::fclose(file);
    return true;
}

std::optional<std::string> ValidateFileSelection(CommandContext& ctx)
{
    // A name that ends in a folder ("sub/", ".") names no file; the extension would make it a
    // hidden ".txt" in that folder.
    const fs::path resultName = fs::path(ctx.resultPath).filename();
    const bool resultNamesFile = !resultName.empty() && resultName != "." && resultName != "..";
    if (resultNamesFile)
        ctx.resultPath = fs::path(ctx.resultPath).replace_extension(".txt").string();
    if (!ctx.inputPath.empty() && !ctx.resultPath.empty() && SameFile(ctx.inputPath, ctx.resultPath))
        return kMessageSameFile;
    if (!ctx.inputPath.empty() && SourceWouldBeWritten(ctx.inputPath, ctx.workDir))
        return kMessageSameFile;

    ctx.dialogConfirmed = false;
    // Every check runs; the last one that fails names the message.
    const char* message = nullptr;
    if (!resultNamesFile || !CanWriteFile(ctx.resultPath))
        message = kMessageBadResult;
    if (ctx.inputPath.empty() || !IsReadableFile(ctx.inputPath))
        message = kMessageBadSource;
    if (!IsDispatcherCode(ctx.transformationCode)) {
        if (!IsRecordFile(ctx.planeGridPath, sizeof(PointRecord)))
            message = kMessageBadGrid;
        const bool modelCommand = ctx.transformationCode == '5' || ctx.transformationCode == '6';
        if (!modelCommand && !IsRecordFile(ctx.heightGridPath, sizeof(PointRecord)))
            message = kMessageBadGrid;
        if (!IsRecordFile(ctx.parameterPath, sizeof(ModelParameterRecord)))
            message = kMessageBadParameters;
    }
    if (message != nullptr)
        return message;
    ctx.dialogConfirmed = true;
    return std::nullopt;
}

} // namespace velmora
