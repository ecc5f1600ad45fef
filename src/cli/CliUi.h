// The Ui of the command line: the file dialogs and the zone dialog are answered by the arguments,
// error messages go to standard error, other message boxes and the information window to
// standard output, the console to standard error and standard input, and progress to standard
// error when it is a terminal.
#pragma once

#include "cli/StreamConsole.h"
#include "commands/Ui.h"

#include <chrono>
#include <string>
#include <istream>
#include <optional>
#include <ostream>

namespace velmora {

class CliUi : public Ui, private ErrorConsole {
public:
    CliUi(std::string source, std::string result, int zone, std::istream& in, std::ostream& out, std::ostream& err,
          bool showProgress);

    bool SelectFiles(CommandContext& ctx, const std::string& caption) override;
    bool SelectZone(CommandContext& ctx) override;
    void ShowMessage(const std::string& text) override;
    void ShowInformation(const std::string& text) override;
    // The model-building commands' message boxes inform: their texts go to standard output.
    void ShowMessageBox(const std::string& text, const std::string& caption, MessageIcon icon) override;
    void RefuseSelection(const std::string& text) override;
    // The note that the command waits for another goes to standard error.
    void NoteWait(const std::string& text) override;
    // The source argument, as an absolute path like the open dialog's.
    std::optional<std::filesystem::path> SelectSourceFile() override;
    // The grid argument (SetGridFile), likewise.
    std::optional<std::filesystem::path> SelectGridFile() override;
    void SetGridFile(std::string grid) { grid_ = std::move(grid); }
    void ShowWaitLabel(bool) override {}
    ErrorConsole& OpenConsole() override;
    void CloseConsole() override;
    void Progress(std::uint64_t done, std::uint64_t total) override;

    // The console: a diagnostic starts on a line of its own after the progress line.
    void Write(std::string_view text) override;
    void ReadLine() override;

    // True when the file choice was refused: the command line exits with the usage status.
    bool SelectionRefused() const { return selectionRefused_; }
    // True when an error message was shown: the desktop program would go on after it.
    bool ErrorShown() const { return errorShown_; }

private:
    void EndProgressLine();

    std::string source_;
    std::string result_;
    std::string grid_;
    int zone_;
    std::ostream& out_;
    std::ostream& err_;
    StreamConsole console_;
    bool showProgress_;
    bool selectionRefused_ = false;
    bool errorShown_ = false;
    bool progressShown_ = false;
    std::chrono::steady_clock::time_point lastProgress_{};
};

} // namespace velmora
