// The text editor window (form TEditForm): one document in a child window of the frame, read and saved
// as Windows-1252 text with CR LF line ends. Its menus ("&File", "&Edit", "&Character") are merged
// into the frame's menu bar while it is the active child; its tool bar holds Find and Replace.
#pragma once

#include <QMainWindow>

class QAction;
class QActionGroup;
class QMenu;
class QPrinter;
class QTextEdit;
class QToolBar;

namespace velmora {

class FindReplaceDialog;
class StandardDialogs;

inline constexpr const char* kUntitled = "Untitled";
inline constexpr const char* kEditorFilter =
    "Plain text files (*.txt)|*.txt|Rich text files (*.rtf)|*.rtf|All files|*.*";

class EditorWindow : public QMainWindow {
    Q_OBJECT
public:
    EditorWindow(StandardDialogs& dialogs, QPrinter& printer, QWidget* parent = nullptr);

    // Loads the file; false (the window is left empty) when it cannot be read.
    bool Open(const QString& path);
    // Save goes through SaveAs for a document still "Untitled". False when nothing was saved.
    bool Save();
    bool SaveAs();
    void Print();
    void PrinterSetup();
    // Asks "Save changes to ...?" for a modified document; false when the window must stay open.
    bool CanClose();
    // Enables cut, copy and delete for a selection and paste for text on the clipboard.
    void UpdateEditActions();

    QString PathName;
    QTextEdit* Editor;
    QToolBar* ToolBar;
    QMenu* FileMenu;
    QMenu* EditMenu;
    QMenu* CharacterMenu;

    QAction* FileNew;
    QAction* FileOpen;
    QAction* FileClose;
    QAction* FileSave;
    QAction* FileSaveAs;
    QAction* FilePrint;
    QAction* FilePrintSetup;
    QAction* FileExit;
    QAction* EditCut;
    QAction* EditCopy;
    QAction* EditPaste;
    QAction* EditDelete;
    QAction* EditSelectAll;
    QAction* CharacterLeft;
    QAction* CharacterRight;
    QAction* CharacterCenter;
    QAction* CharacterWordWrap;
    QAction* CharacterFont;
    QAction* FindAction;
    QAction* ReplaceAction;

signals:
    // The frame's own commands, offered in this window's "&File" menu too.
    void NewRequested();
    void OpenRequested();
    void ExitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void AddMenus();
    void ConnectActions();
    void SetPathName(const QString& path);
    void SetWordWrap(bool wrap);
    void ChooseFont();
    void OpenFind(bool replace);
    bool WriteTo(const QString& path);

    StandardDialogs& dialogs_;
    QPrinter& printer_;
    FindReplaceDialog* findDialog_ = nullptr;
};

} // namespace velmora
