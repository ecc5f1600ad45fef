// What a command asks of the person running it. The desktop application answers with dialogs
// and windows, the command line with its arguments and the terminal, tests with scripted answers.
#pragma once

#include "commands/CommandContext.h"
#include "core/ErrorConsole.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace velmora {

// The icon of a message box that only informs.
enum class MessageIcon { Warning, Information };

// The caption of the message boxes that inform.
inline constexpr const char* kInformationCaption = "Mesaj de informare";

class Ui {
public:
    virtual ~Ui() = default;

    // The file selection dialog under the given caption. Sets ctx.inputPath and ctx.resultPath
    // and accepts them only when ValidateFileSelection confirms them; returns ctx.dialogConfirmed.
    virtual bool SelectFiles(CommandContext& ctx, const std::string& caption) = 0;
    // The zone dialog: sets ctx.tmZone and returns true when confirmed.
    virtual bool SelectZone(CommandContext& ctx) = 0;
    // A message box with the caption "Mesaj de eroare" and the error icon.
    virtual void ShowMessage(const std::string& text) = 0;
    // The information window.
    virtual void ShowInformation(const std::string& text) = 0;
    // A message box with its caption, its icon and a single OK button; the command goes on when
    // it is closed.
    virtual void ShowMessageBox(const std::string& text, const std::string& caption, MessageIcon icon) = 0;
    // The source file of a model-building command, from the open dialog with the filter
    // "File sourse|*.txt"; none when the dialog is cancelled.
    virtual std::optional<std::filesystem::path> SelectSourceFile() = 0;
    // The node grid of a quasigeoid command, from the open dialog with the filter
    // "Fisier grid|*.grd"; none when the dialog is cancelled.
    virtual std::optional<std::filesystem::path> SelectGridFile() = 0;
    // The main window's label that asks to wait for the names of the result files (Label1).
    virtual void ShowWaitLabel(bool visible) = 0;
    // Refuses a chosen source with the message, as the file dialog refuses a choice; the command
    // then ends with nothing done.
    virtual void RefuseSelection(const std::string& text) { ShowMessage(text); }
    // Says that the command waits for another one to finish (commands/WorkFolder.h); by default
    // in an information box.
    virtual void NoteWait(const std::string& text) { ShowMessageBox(text, kInformationCaption, MessageIcon::Information); }
    // The console for the diagnostics of a transformation loop, open between the two calls.
    virtual ErrorConsole& OpenConsole() = 0;
    virtual void CloseConsole() = 0;
    // Progress of a long loop: done of total points.
    virtual void Progress(std::uint64_t done, std::uint64_t total) = 0;
};

// Keeps the console open for one scope, on every path out of it.
class ConsoleScope {
public:
    explicit ConsoleScope(Ui& ui) : ui_(ui), console_(ui.OpenConsole()) {}
    ~ConsoleScope() { ui_.CloseConsole(); }
    ConsoleScope(const ConsoleScope&) = delete;
    ConsoleScope& operator=(const ConsoleScope&) = delete;
    ErrorConsole& Console() { return console_; }

private:
    Ui& ui_;
    ErrorConsole& console_;
};

} // namespace velmora
