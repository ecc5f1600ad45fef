// The commands' Ui answered with the program's windows: the file selection and zone dialogs, the
// message boxes, the information window, the console dialog and the progress window.
#pragma once

#include "commands/Ui.h"

#include <QString>

class QLabel;
class QWidget;

namespace velmora {

class ConsoleDialog;
class StandardDialogs;
class InformationWindow;
class ProgressWindow;
class FileSelectionDialog;
class ZoneDialog;

class WindowUi : public Ui {
public:
    struct Windows {
        QWidget* frame;
        FileSelectionDialog* files;
        ZoneDialog* zone;
        InformationWindow* information;
        ProgressWindow* progress;
        ConsoleDialog* console;
        QLabel* waitLabel; // the main window's Label1
    };
    WindowUi(const Windows& windows, StandardDialogs& dialogs);

    bool SelectFiles(CommandContext& ctx, const std::string& caption) override;
    bool SelectZone(CommandContext& ctx) override;
    void ShowMessage(const std::string& text) override;
    void ShowInformation(const std::string& text) override;
    void ShowMessageBox(const std::string& text, const std::string& caption, MessageIcon icon) override;
    // The open dialog OpenDialog1; the progress window that follows is the grid computation's.
    std::optional<std::filesystem::path> SelectSourceFile() override;
    std::optional<std::filesystem::path> SelectGridFile() override;
    void ShowWaitLabel(bool visible) override;
    ErrorConsole& OpenConsole() override;
    void CloseConsole() override;
    void Progress(std::uint64_t done, std::uint64_t total) override;

    // Closes the progress window however the command ended.
    void EndProgress();

private:
    QWidget* MessageParent() const;
    // The open dialog with a filter; none when cancelled.
    std::optional<std::filesystem::path> OpenFile(const QString& filter) const;

    Windows windows_;
    StandardDialogs& dialogs_;
    QString caption_;
};

} // namespace velmora
