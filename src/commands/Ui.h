// What a command asks of the person running it. The desktop application answers with dialogs
// and windows, the command line with its arguments and the terminal, tests with scripted answers.
#pragma once

#include "commands/CommandContext.h"
#include "core/ErrorConsole.h"

#include <cstdint>
#include <string>

namespace velmora {

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
