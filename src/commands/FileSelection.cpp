#include "commands/FileSelection.h"

#include "files/PointRecord.h"
#include "model/ModelParameters.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>

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
    std::error_code ec;
    if (!fs::is_regular_file(path, ec))
        return false;
    std::ifstream in(path, std::ios::binary);
    return static_cast<bool>(in);
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
    // Opening for appending creates a missing file but leaves an existing one as it is.
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (file == nullptr)
        return false;
    std::fclose(file);
    if (!existed)
        fs::remove(path, ec);
    return true;
}

std::optional<std::string> ValidateFileSelection(CommandContext& ctx)
{
    if (!ctx.resultPath.empty())
        ctx.resultPath = fs::path(ctx.resultPath).replace_extension(".txt").string();
    if (!ctx.inputPath.empty() && !ctx.resultPath.empty() && SameFile(ctx.inputPath, ctx.resultPath))
        return kMessageSameFile;

    ctx.dialogConfirmed = false;
    // Every check runs; the last one that fails names the message.
    const char* message = nullptr;
    if (ctx.resultPath.empty() || !CanWriteFile(ctx.resultPath))
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
