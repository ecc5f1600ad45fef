#include "cli/CliUi.h"

#include "commands/FileSelection.h"

#include <system_error>

namespace velmora {

CliUi::CliUi(std::string source, std::string result, int zone, std::istream& in, std::ostream& out,
             std::ostream& err, bool showProgress)
    : source_(std::move(source)), result_(std::move(result)), zone_(zone), out_(out), err_(err), console_(err, in),
      showProgress_(showProgress)
{
}

bool CliUi::SelectFiles(CommandContext& ctx, const std::string&)
{
    ctx.inputPath = source_;
    ctx.resultPath = result_;
    if (const auto message = ValidateFileSelection(ctx)) {
        RefuseSelection(*message);
        return false;
    }
    return true;
}

bool CliUi::SelectZone(CommandContext& ctx)
{
    ctx.tmZone = zone_;
    return true;
}

void CliUi::ShowMessage(const std::string& text)
{
    errorShown_ = true;
    err_ << text << "\n";
}

void CliUi::ShowInformation(const std::string& text)
{
    out_ << text << "\n";
}

void CliUi::RefuseSelection(const std::string& text)
{
    ShowMessage(text);
    selectionRefused_ = true;
}

void CliUi::NoteWait(const std::string& text)
{
    EndProgressLine();
    err_ << text << std::endl;
}

void CliUi::ShowMessageBox(const std::string& text, const std::string&, MessageIcon)
{
    EndProgressLine();
    out_ << text << "\n";
}

namespace {

std::filesystem::path AbsolutePath(const std::string& name)
{
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(name, error);
    return error ? std::filesystem::path(name) : path;
}

} // namespace

std::optional<std::filesystem::path> CliUi::SelectSourceFile()
{
    return AbsolutePath(source_);
}

std::optional<std::filesystem::path> CliUi::SelectGridFile()
{
    return AbsolutePath(grid_);
}

ErrorConsole& CliUi::OpenConsole()
{
    return *this;
}

void CliUi::CloseConsole()
{
    EndProgressLine();
    err_.flush();
}

void CliUi::Write(std::string_view text)
{
    EndProgressLine();
    console_.Write(text);
}

void CliUi::ReadLine()
{
    console_.ReadLine();
}

void CliUi::EndProgressLine()
{
    if (progressShown_) {
        err_ << "\n";
        progressShown_ = false;
    }
}

void CliUi::Progress(std::uint64_t done, std::uint64_t total)
{
    if (!showProgress_)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (done != total && now - lastProgress_ < std::chrono::milliseconds(200))
        return;
    lastProgress_ = now;
    err_ << "\r" << done << " / " << total << " puncte" << std::flush;
    progressShown_ = true;
}

} // namespace velmora
