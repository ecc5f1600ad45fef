// The main window (the form TFrameForm): the frame of the editor windows, the menu of every
// command, the start-up directory and the command context. A menu command runs to its end before
// another can start; a fatal error shows the error window, after which the program ends.
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

class AboutWindow;
class ConsoleDialog;
class EditorWindow;
class ErrorWindow;
class FileSelectionDialog;
class HelpWindow;
class InformationWindow;
class PointDialogWindow;
class ProgressWindow;
class StandardDialogs;
class WindowUi;
class ZoneDialog;

inline constexpr const char* kMainCaption = "Velmora - Transformari de coordonate";
// The object names of a transformation's two menu items: the command's name and these.
inline constexpr const char* kBatchSuffix = "/din-fisier";
inline constexpr const char* kInteractiveSuffix = "/interactiv";

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // quit ends the program after the error window; the data files are looked up in startDir.
    // modelBuilding shows and enables the hidden commands of model building, coordinate
    // conversion and quasigeoid grids (the menus Conversie_Coordonate, Transformare_2D,
    // Transformare_3D and the quasigeoid item of Transformare_Puncte_Romania).
    MainWindow(std::filesystem::path startDir, StandardDialogs& dialogs, std::function<void()> quit,
               bool modelBuilding = false, QWidget* parent = nullptr);
    ~MainWindow() override;

    CommandContext& Context() { return ctx_; }
    QPrinter& Printer() { return *printer_; }
    // True while a menu command runs, and for good after a fatal error.
    bool Busy() const { return busy_; }

    // A new editor window, empty or with the file; nullptr when the file cannot be read.
    EditorWindow* NewEditor();
    EditorWindow* OpenEditor(const QString& path);
    // The editor of the active child window (the last active one while the program is inactive).
    EditorWindow* ActiveEditor() const;

    // The error window, then the end of the program.
    void ShowError(const QString& text);

    QMdiArea* MdiArea;
    QLabel* Picture;
    QLabel* WaitLabel;
    // The windows created at start-up, in the order of creation.
    ErrorWindow* ErrorMessage;
    InformationWindow* InformationMessage;
    FileSelectionDialog* FileSelection;
    AboutWindow* About;
    PointDialogWindow* GeodeticPoint;
    PointDialogWindow* Stereo30ModelPoint;
    PointDialogWindow* Stereo70ModelPoint;
    PointDialogWindow* PlaneToGeodeticPoint;
    ProgressWindow* Progress;
    ZoneDialog* ZoneSelection;
    PointDialogWindow* PlanePoint;
    ConsoleDialog* Console;

public slots:
    void OpenFile();
    void ShowHelpContents();
    void ShowAbout();
    void ArrangeIcons();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenu();
    void AddCommandMenus();
    bool Shown(const MenuCommand& command) const;
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
    bool modelBuilding_ = false;
    QMenu* fileMenu_ = nullptr;
    QAction* firstCommandMenu_ = nullptr;
    QPointer<EditorWindow> merged_;
    QPointer<HelpWindow> help_;
    std::vector<QAction*> windowList_;
};

} // namespace velmora
