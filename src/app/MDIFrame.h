// The main window TFrameForm: the frame of the editor windows, the menu of every command, the
// start-up directory and the command context. A menu command runs to its end before another can
// start; a fatal error shows the error window TForm1, after which the program ends.
#pragma once

#include "commands/CommandContext.h"
#include "commands/CommandTable.h"
#include "commands/InteractiveCommands.h"

#include <QMainWindow>
#include <QPointer>

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QMdiArea;
class QMenu;
class QPrinter;

namespace velmora {

class ConsoleDialog;
class HelpWindow;
class StandardDialogs;
class TEditForm;
class TForm1;
class TForm2;
class TForm3;
class TForm5;
class TOKBottomDlg;
class TOKBottomDlg1;
class TOKBottomDlg2;
class TOKBottomDlg3;
class TOKBottomDlg4;
class TOKRightDlg;
class TOKRightDlg12;
class WindowUi;

inline constexpr const char* kMainCaption = "Velmora - Transformari de coordonate";
// The object names of a transformation's two menu items: the command's name and these.
inline constexpr const char* kBatchSuffix = "/din-fisier";
inline constexpr const char* kInteractiveSuffix = "/interactiv";

class TFrameForm : public QMainWindow {
    Q_OBJECT
public:
    // quit ends the program after the error window; the data files are looked up in startDir.
    TFrameForm(std::filesystem::path startDir, StandardDialogs& dialogs, std::function<void()> quit,
               QWidget* parent = nullptr);
    ~TFrameForm() override;

    CommandContext& Context() { return ctx_; }
    QPrinter& Printer() { return *printer_; }
    // True while a menu command runs, and for good after a fatal error.
    bool Busy() const { return busy_; }

    // A new editor window, empty or with the file; nullptr when the file cannot be read.
    TEditForm* NewEditor();
    TEditForm* OpenEditor(const QString& path);
    // The editor of the active child window (the last active one while the program is inactive).
    TEditForm* ActiveEditor() const;

    // The error window, then the end of the program.
    void ShowError(const QString& text);

    QMdiArea* MdiArea;
    QLabel* Image1;
    QLabel* Label1;
    // The windows created at start-up, in the order of creation.
    TForm1* Form1;
    TForm2* Form2;
    TOKBottomDlg* OKBottomDlg;
    TForm3* Form3;
    TOKBottomDlg1* OKBottomDlg1;
    TOKBottomDlg2* OKBottomDlg2;
    TOKBottomDlg3* OKBottomDlg3;
    TOKBottomDlg4* OKBottomDlg4;
    TForm5* Form5;
    TOKRightDlg* OKRightDlg;
    TOKRightDlg12* OKRightDlg12;
    ConsoleDialog* Console;

public slots:
    void FileNewClick();
    void FileOpenClick();
    void HelpContentsClick();
    void HelpAboutClick();
    void ArrangeIconsClick();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenu();
    void AddCommandMenus();
    void AddCommand(QMenu* menu, const MenuCommand& command);
    QMenu* AddWindowMenu();
    void RunCommand(const std::function<void()>& command);
    PointDialog& DialogFor(PointDialogKind kind);
    void MergeEditorMenus();
    void ListWindows(QMenu* menu);
    void PlaceDecoration();

    CommandContext ctx_;
    StandardDialogs& dialogs_;
    std::function<void()> quit_;
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<WindowUi> ui_;
    bool busy_ = false;
    QMenu* fileMenu_ = nullptr;
    QAction* firstCommandMenu_ = nullptr;
    QPointer<TEditForm> merged_;
    QPointer<HelpWindow> help_;
    std::vector<QAction*> windowList_;
};

} // namespace velmora
