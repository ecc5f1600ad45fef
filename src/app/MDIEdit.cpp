#include "app/MDIEdit.h"

#include "app/FindReplaceDialog.h"
#include "app/StandardDialogs.h"
#include "app/TextCodec.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QPrinter>
#include <QTextEdit>
#include <QToolBar>

namespace velmora {

namespace {

QAction* AddAction(QMenu* menu, const char* text, const QKeySequence& shortcut = {})
{
    QAction* action = menu->addAction(QString::fromLatin1(text));
    action->setShortcut(shortcut);
    return action;
}

QAction* AddCheckable(QMenu* menu, const char* text, QActionGroup* group = nullptr)
{
    QAction* action = AddAction(menu, text);
    action->setCheckable(true);
    if (group != nullptr)
        group->addAction(action);
    return action;
}

// The document's text as it stands, line ends as "\n". Unlike QTextEdit::toPlainText this keeps
// no-break spaces, which are bytes of the file like any other.
QString DocumentText(const QTextEdit* editor)
{
    QString text = editor->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

} // namespace

EditorWindow::EditorWindow(StandardDialogs& dialogs, QPrinter& printer, QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs), printer_(printer)
{
    setObjectName(QStringLiteral("EditForm"));
    Editor = new QTextEdit(this);
    Editor->setObjectName(QStringLiteral("Editor"));
    Editor->setAcceptRichText(false);
    Editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Editor->setContextMenuPolicy(Qt::CustomContextMenu);
    setCentralWidget(Editor);

    AddMenus();
    ConnectActions();
    SetWordWrap(true);
    SetPathName(QString::fromLatin1(kUntitled));
    UpdateEditActions();
}

// The "&File", "&Edit" and "&Character" menus the frame merges into its menu bar, and the tool bar.
void EditorWindow::AddMenus()
{
    FileMenu = new QMenu(QStringLiteral("&File"), this);
    FileNew = AddAction(FileMenu, "&New");
    FileOpen = AddAction(FileMenu, "&Open...");
    FileClose = AddAction(FileMenu, "&Close");
    FileSave = AddAction(FileMenu, "&Save");
    FileSaveAs = AddAction(FileMenu, "Save &as...");
    FileMenu->addSeparator();
    FilePrint = AddAction(FileMenu, "&Print");
    FilePrintSetup = AddAction(FileMenu, "Printer setup...");
    FileMenu->addSeparator();
    FileExit = AddAction(FileMenu, "E&xit");

    EditMenu = new QMenu(QStringLiteral("&Edit"), this);
    EditCut = AddAction(EditMenu, "Cu&t", QKeySequence(Qt::CTRL | Qt::Key_X));
    EditCopy = AddAction(EditMenu, "&Copy", QKeySequence(Qt::CTRL | Qt::Key_C));
    EditPaste = AddAction(EditMenu, "&Paste", QKeySequence(Qt::CTRL | Qt::Key_V));
    EditDelete = AddAction(EditMenu, "De&lete", QKeySequence(Qt::CTRL | Qt::Key_D));
    EditMenu->addSeparator();
    EditSelectAll = AddAction(EditMenu, "Select &all", QKeySequence(Qt::CTRL | Qt::Key_A));

    CharacterMenu = new QMenu(QStringLiteral("&Character"), this);
    auto* alignment = new QActionGroup(this);
    CharacterLeft = AddCheckable(CharacterMenu, "&Left", alignment);
    CharacterRight = AddCheckable(CharacterMenu, "&Right", alignment);
    CharacterCenter = AddCheckable(CharacterMenu, "&Center", alignment);
    CharacterLeft->setChecked(true);
    CharacterMenu->addSeparator();
    CharacterWordWrap = AddCheckable(CharacterMenu, "&Word wrap");
    CharacterWordWrap->setChecked(true);
    CharacterMenu->addSeparator();
    CharacterFont = AddAction(CharacterMenu, "&Font...");

    ToolBar = addToolBar(QStringLiteral("ActionToolBar1"));
    ToolBar->setObjectName(QStringLiteral("ActionToolBar1"));
    ToolBar->setMovable(false);
    ToolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    FindAction = ToolBar->addAction(QStringLiteral("&Find... <Ctrl+F>"));
    FindAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    ReplaceAction = ToolBar->addAction(QStringLiteral("&Replace  <Ctrl+R>"));
    ReplaceAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    for (QAction* action : {FindAction, ReplaceAction})
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
}

void EditorWindow::ConnectActions()
{
    connect(FileNew, &QAction::triggered, this, &EditorWindow::NewRequested);
    connect(FileOpen, &QAction::triggered, this, &EditorWindow::OpenRequested);
    connect(FileClose, &QAction::triggered, this, [this] {
        // The child window holds this form; closing it asks first.
        parentWidget() != nullptr ? parentWidget()->close() : close();
    });
    connect(FileSave, &QAction::triggered, this, &EditorWindow::Save);
    connect(FileSaveAs, &QAction::triggered, this, &EditorWindow::SaveAs);
    connect(FilePrint, &QAction::triggered, this, &EditorWindow::Print);
    connect(FilePrintSetup, &QAction::triggered, this, &EditorWindow::PrinterSetup);
    connect(FileExit, &QAction::triggered, this, &EditorWindow::ExitRequested);
    connect(EditCut, &QAction::triggered, Editor, &QTextEdit::cut);
    connect(EditCopy, &QAction::triggered, Editor, &QTextEdit::copy);
    connect(EditPaste, &QAction::triggered, Editor, &QTextEdit::paste);
    connect(EditDelete, &QAction::triggered, this, [this] { Editor->textCursor().removeSelectedText(); });
    connect(EditSelectAll, &QAction::triggered, Editor, &QTextEdit::selectAll);
    connect(CharacterLeft, &QAction::triggered, this, [this] { Editor->setAlignment(Qt::AlignLeft); });
    connect(CharacterRight, &QAction::triggered, this, [this] { Editor->setAlignment(Qt::AlignRight); });
    connect(CharacterCenter, &QAction::triggered, this, [this] { Editor->setAlignment(Qt::AlignHCenter); });
    connect(CharacterWordWrap, &QAction::toggled, this, &EditorWindow::SetWordWrap);
    connect(CharacterFont, &QAction::triggered, this, &EditorWindow::ChooseFont);
    connect(FindAction, &QAction::triggered, this, [this] { OpenFind(false); });
    connect(ReplaceAction, &QAction::triggered, this, [this] { OpenFind(true); });

    connect(EditMenu, &QMenu::aboutToShow, this, &EditorWindow::UpdateEditActions);
    connect(Editor, &QTextEdit::selectionChanged, this, &EditorWindow::UpdateEditActions);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &EditorWindow::UpdateEditActions);
    connect(Editor, &QWidget::customContextMenuRequested, this, [this](const QPoint& position) {
        UpdateEditActions();
        QMenu menu(this);
        menu.addActions({EditCut, EditCopy, EditPaste});
        menu.exec(Editor->viewport()->mapToGlobal(position));
    });
}

void EditorWindow::SetPathName(const QString& path)
{
    PathName = path;
    setWindowTitle(QFileInfo(path).fileName());
}

bool EditorWindow::Open(const QString& path)
{
    QString text;
    if (!ReadTextFile(path, text))
        return false;
    SetPathName(path);
    Editor->setPlainText(text);
    Editor->moveCursor(QTextCursor::Start);
    Editor->document()->setModified(false);
    return true;
}

bool EditorWindow::WriteTo(const QString& path)
{
    const QString text = DocumentText(Editor);
    int lost = 0;
    EncodeWindows1252(text, &lost);
    if (lost > 0) {
        const QString question =
            QStringLiteral("%1 character(s) of the text cannot be stored in the file's code page (Windows-1252) and "
                           "would be saved as \"?\". Save anyway?")
                .arg(lost);
        if (dialogs_.Question(this, QStringLiteral("Confirm"), question, QMessageBox::Yes | QMessageBox::No) !=
            QMessageBox::Yes)
            return false;
    }
    if (!WriteTextFile(path, text)) {
        dialogs_.Error(this, QStringLiteral("Cannot save %1").arg(path));
        return false;
    }
    Editor->document()->setModified(false);
    return true;
}

bool EditorWindow::Save()
{
    if (PathName == QLatin1String(kUntitled))
        return SaveAs();
    return WriteTo(PathName);
}

bool EditorWindow::SaveAs()
{
    const QString path = dialogs_.SaveFileName(this, QStringLiteral("Save As"), PathName,
                                               QString::fromLatin1(kEditorFilter));
    if (path.isEmpty())
        return false;
    const QFileInfo file(path);
    if (file.exists() && !file.isWritable()) {
        dialogs_.Error(this, QStringLiteral("%1 is read-only.").arg(path));
        return false;
    }
    if (!WriteTo(path))
        return false;
    SetPathName(path);
    return true;
}

void EditorWindow::Print()
{
    if (!dialogs_.Print(this, printer_))
        return;
    printer_.setDocName(PathName);
    Editor->document()->print(&printer_);
}

void EditorWindow::PrinterSetup()
{
    dialogs_.PrinterSetup(this, printer_);
}

bool EditorWindow::CanClose()
{
    if (!Editor->document()->isModified())
        return true;
    const QMessageBox::StandardButton answer =
        dialogs_.Question(this, QStringLiteral("Confirm"), QStringLiteral("Save changes to %1?").arg(PathName),
                          QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Yes)
        return Save();
    return answer == QMessageBox::No;
}

void EditorWindow::closeEvent(QCloseEvent* event)
{
    if (CanClose())
        event->accept();
    else
        event->ignore();
}

void EditorWindow::UpdateEditActions()
{
    const bool selection = Editor->textCursor().hasSelection();
    EditCut->setEnabled(selection);
    EditCopy->setEnabled(selection);
    EditDelete->setEnabled(selection);
    const QMimeData* clipboard = QApplication::clipboard()->mimeData();
    EditPaste->setEnabled(clipboard != nullptr && clipboard->hasText());
}

void EditorWindow::SetWordWrap(bool wrap)
{
    Editor->setLineWrapMode(wrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    Editor->setHorizontalScrollBarPolicy(wrap ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn);
    CharacterWordWrap->setChecked(wrap);
}

void EditorWindow::ChooseFont()
{
    if (const auto font = dialogs_.ChooseFont(this, Editor->currentFont()))
        Editor->setCurrentFont(*font);
}

void EditorWindow::OpenFind(bool replace)
{
    if (findDialog_ == nullptr)
        findDialog_ = new FindReplaceDialog(Editor, dialogs_, this);
    findDialog_->Open(replace);
}

} // namespace velmora
