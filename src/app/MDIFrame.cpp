#include "app/MDIFrame.h"

#include "app/ConsoleDialog.h"
#include "app/GeoidPicture.h"
#include "app/HelpWindow.h"
#include "app/MDIEdit.h"
#include "app/MessageWindows.h"
#include "app/PointDialogs.h"
#include "app/SelectionDialogs.h"
#include "app/StandardDialogs.h"
#include "app/TextCodec.h"
#include "app/WindowUi.h"
#include "commands/BatchCommands.h"
#include "commands/CommandTable.h"
#include "files/FatalError.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPrinter>
#include <QScreen>

#include <map>
#include <optional>
#include <set>

namespace velmora {

namespace fs = std::filesystem;

namespace {

const QSize kClientArea(744, 418);
const QSize kPictureArea(363, 273);

QString Latin(const char* text)
{
    return QString::fromLatin1(text);
}

const CommandMenuInfo& MenuInfo(CommandMenu menu)
{
    for (const CommandMenuInfo& info : CommandMenus())
        if (info.menu == menu)
            return info;
    return CommandMenus().front();
}

void HideMenu(QMenu* menu)
{
    menu->menuAction()->setVisible(false);
    menu->menuAction()->setEnabled(false);
}

} // namespace

TFrameForm::TFrameForm(fs::path startDir, StandardDialogs& dialogs, std::function<void()> quit, QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs), quit_(std::move(quit)), printer_(std::make_unique<QPrinter>())
{
    ctx_.startDir = std::move(startDir);
    ctx_.interactiveMode = false;
    setObjectName(QStringLiteral("FrameForm"));
    setWindowTitle(Latin(kMainCaption));

    MdiArea = new QMdiArea(this);
    MdiArea->setObjectName(QStringLiteral("MdiArea"));
    setCentralWidget(MdiArea);
    Image1 = new QLabel(MdiArea->viewport());
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setScaledContents(true);
    Image1->setPixmap(DrawGeoidPicture(kPictureArea * 2));
    Image1->setFixedSize(kPictureArea);
    Label1 = new QLabel(QStringLiteral("Asteptati mesajul care contine numele fisierelor cu rezultate!"),
                        MdiArea->viewport());
    Label1->setObjectName(QStringLiteral("Label1"));
    QPalette red = Label1->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Label1->setPalette(red);
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    Label1->adjustSize();
    Label1->hide();
    MdiArea->viewport()->installEventFilter(this);

    Form1 = new TForm1(this);
    Form2 = new TForm2(this);
    OKBottomDlg = new TOKBottomDlg(dialogs_, this);
    Form3 = new TForm3(this);
    OKBottomDlg1 = new TOKBottomDlg1(dialogs_, this);
    OKBottomDlg2 = new TOKBottomDlg2(dialogs_, this);
    OKBottomDlg3 = new TOKBottomDlg3(dialogs_, this);
    OKBottomDlg4 = new TOKBottomDlg4(dialogs_, this);
    Form5 = new TForm5(this);
    OKRightDlg = new TOKRightDlg(this);
    OKRightDlg12 = new TOKRightDlg12(dialogs_, this);
    Console = new ConsoleDialog(this);
    ui_ = std::make_unique<WindowUi>(WindowUi::Windows{this, OKBottomDlg, OKRightDlg, Form2, Form5, Console}, dialogs_);

    BuildMenu();
    connect(MdiArea, &QMdiArea::subWindowActivated, this, &TFrameForm::MergeEditorMenus);

    resize(kClientArea.width(), kClientArea.height() + menuBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TFrameForm::~TFrameForm() = default;

void TFrameForm::BuildMenu()
{
    fileMenu_ = menuBar()->addMenu(QStringLiteral("&File"));
    connect(fileMenu_->addAction(QStringLiteral("&New")), &QAction::triggered, this, &TFrameForm::FileNewClick);
    connect(fileMenu_->addAction(QStringLiteral("&Open...")), &QAction::triggered, this, &TFrameForm::FileOpenClick);
    connect(fileMenu_->addAction(QStringLiteral("E&xit")), &QAction::triggered, this, &QWidget::close);

    AddCommandMenus();

    QMenu* window = AddWindowMenu();
    connect(window, &QMenu::aboutToShow, this, [this, window] { ListWindows(window); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    connect(help->addAction(QStringLiteral("Contents")), &QAction::triggered, this, &TFrameForm::HelpContentsClick);
    connect(help->addAction(QStringLiteral("About...")), &QAction::triggered, this, &TFrameForm::HelpAboutClick);
}

// The menus of the command table. A menu is shown while one of its commands is; a command that
// is not part of the program yet is bound to nothing.
void TFrameForm::AddCommandMenus()
{
    std::map<CommandMenu, QMenu*> menus;
    std::set<CommandMenu> shown;
    for (const CommandMenuInfo& info : CommandMenus()) {
        if (!info.parent)
            menus[info.menu] = menuBar()->addMenu(Latin(info.caption));
    }
    firstCommandMenu_ = menus.at(CommandMenus().front().menu)->menuAction();
    for (const MenuCommand& command : MenuCommands()) {
        const CommandMenuInfo& info = MenuInfo(command.menu);
        if (menus.count(command.menu) == 0)
            menus[command.menu] = menus.at(*info.parent)->addMenu(Latin(info.caption));
        AddCommand(menus.at(command.menu), command);
        if (!command.hidden) {
            shown.insert(command.menu);
            if (info.parent)
                shown.insert(*info.parent);
        }
    }
    for (const auto& [menu, qmenu] : menus)
        if (shown.count(menu) == 0)
            HideMenu(qmenu);
}

void TFrameForm::AddCommand(QMenu* menu, const MenuCommand& command)
{
    if (command.separatorBefore)
        menu->addSeparator();
    const QString name = Latin(command.name);
    if (command.transformation == nullptr) {
        QAction* action = menu->addAction(Latin(command.caption));
        action->setObjectName(name);
        action->setVisible(!command.hidden);
        action->setEnabled(!command.hidden && command.run != nullptr);
        if (command.run != nullptr)
            connect(action, &QAction::triggered, this, [this, run = command.run] {
                RunCommand([this, run] { run(ctx_, *ui_, fs::current_path()); });
            });
        return;
    }
    const TransformationSpec& transformation = *command.transformation;
    QMenu* submenu = menu->addMenu(Latin(command.caption));
    QAction* batch = submenu->addAction(QStringLiteral("Din fisier"));
    batch->setObjectName(name + kBatchSuffix);
    connect(batch, &QAction::triggered, this, [this, &transformation] {
        RunCommand([this, &transformation] { RunBatchCommand(ctx_, *ui_, transformation, fs::current_path()); });
    });
    QAction* interactive = submenu->addAction(QStringLiteral("Interactiv"));
    interactive->setObjectName(name + kInteractiveSuffix);
    connect(interactive, &QAction::triggered, this, [this, &transformation] {
        RunCommand([this, &transformation] {
            RunInteractiveCommand(ctx_, *ui_, DialogFor(transformation.interactive.dialog), transformation,
                                  fs::current_path());
        });
    });
    if (command.hidden)
        HideMenu(submenu);
}

QMenu* TFrameForm::AddWindowMenu()
{
    QMenu* window = menuBar()->addMenu(QStringLiteral("&Window"));
    connect(window->addAction(QStringLiteral("&Tile")), &QAction::triggered, MdiArea, &QMdiArea::tileSubWindows);
    connect(window->addAction(QStringLiteral("&Cascade")), &QAction::triggered, MdiArea,
            &QMdiArea::cascadeSubWindows);
    connect(window->addAction(QStringLiteral("&Arrange icons")), &QAction::triggered, this,
            &TFrameForm::ArrangeIconsClick);
    return window;
}

// The open editor windows at the end of the "&Window" menu, the active one checked.
void TFrameForm::ListWindows(QMenu* menu)
{
    for (QAction* action : windowList_)
        menu->removeAction(action);
    qDeleteAll(windowList_);
    windowList_.clear();
    const QList<QMdiSubWindow*> windows = MdiArea->subWindowList();
    if (windows.isEmpty())
        return;
    windowList_.push_back(menu->addSeparator());
    for (qsizetype k = 0; k < windows.size(); ++k) {
        QMdiSubWindow* window = windows[k];
        QAction* action = menu->addAction(QStringLiteral("&%1 %2").arg(k + 1).arg(window->windowTitle()));
        action->setCheckable(true);
        action->setChecked(window == MdiArea->currentSubWindow());
        connect(action, &QAction::triggered, this, [this, window] { MdiArea->setActiveSubWindow(window); });
        windowList_.push_back(action);
    }
}

void TFrameForm::ArrangeIconsClick()
{
    int left = 0;
    const int bottom = MdiArea->viewport()->height();
    for (QMdiSubWindow* window : MdiArea->subWindowList()) {
        if (!window->isMinimized())
            continue;
        window->move(left, bottom - window->height());
        left += window->width();
    }
}

void TFrameForm::RunCommand(const std::function<void()>& command)
{
    if (busy_)
        return;
    busy_ = true;
    const std::optional<std::string> failure = FailureOf(command);
    ui_->EndProgress();
    if (failure) {
        // The program ends from here: no other command starts.
        ShowError(TextFromBytes(*failure));
        return;
    }
    busy_ = false;
}

PointDialog& TFrameForm::DialogFor(PointDialogKind kind)
{
    switch (kind) {
    case PointDialogKind::Geodetic: return *OKBottomDlg1;
    case PointDialogKind::PlaneToGeodetic: return *OKBottomDlg4;
    case PointDialogKind::Stereo30Model: return *OKBottomDlg2;
    case PointDialogKind::Stereo70Model: return *OKBottomDlg3;
    case PointDialogKind::Plane: break;
    }
    return *OKRightDlg12;
}

void TFrameForm::ShowError(const QString& text)
{
    busy_ = true;
    Form1->ShowModal(text);
    quit_();
}

TEditForm* TFrameForm::NewEditor()
{
    auto* editor = new TEditForm(dialogs_, *printer_);
    connect(editor, &TEditForm::NewRequested, this, &TFrameForm::FileNewClick);
    connect(editor, &TEditForm::OpenRequested, this, &TFrameForm::FileOpenClick);
    connect(editor, &TEditForm::ExitRequested, this, &QWidget::close);
    QMdiSubWindow* window = MdiArea->addSubWindow(editor);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    MdiArea->setActiveSubWindow(window);
    MergeEditorMenus();
    return editor;
}

TEditForm* TFrameForm::OpenEditor(const QString& path)
{
    TEditForm* editor = NewEditor();
    if (editor->Open(path))
        return editor;
    editor->parentWidget()->close();
    dialogs_.Error(this, QStringLiteral("Cannot open %1").arg(path));
    return nullptr;
}

TEditForm* TFrameForm::ActiveEditor() const
{
    const QMdiSubWindow* window = MdiArea->currentSubWindow();
    return window != nullptr ? qobject_cast<TEditForm*>(window->widget()) : nullptr;
}

// While an editor is the active child, its "&File" menu stands in place of the frame's and its
// "&Edit" and "&Character" menus follow.
void TFrameForm::MergeEditorMenus()
{
    TEditForm* editor = ActiveEditor();
    if (editor == merged_)
        return;
    if (merged_ != nullptr)
        for (QMenu* menu : {merged_->FileMenu, merged_->EditMenu, merged_->CharacterMenu})
            menuBar()->removeAction(menu->menuAction());
    merged_ = editor;
    fileMenu_->menuAction()->setVisible(editor == nullptr);
    if (editor != nullptr)
        for (QMenu* menu : {editor->FileMenu, editor->EditMenu, editor->CharacterMenu})
            menuBar()->insertMenu(firstCommandMenu_, menu);
}

void TFrameForm::FileNewClick()
{
    NewEditor();
}

void TFrameForm::FileOpenClick()
{
    const QString path = dialogs_.OpenFileName(this, QStringLiteral("Open"), QString(), Latin(kEditorFilter));
    if (!path.isEmpty())
        OpenEditor(path);
}

void TFrameForm::HelpContentsClick()
{
    if (help_ == nullptr)
        help_ = new HelpWindow(this);
    help_->ShowContents(QString::fromStdString((ctx_.startDir / kHelpFileName).string()));
}

void TFrameForm::HelpAboutClick()
{
    Form3->exec();
}

void TFrameForm::closeEvent(QCloseEvent* event)
{
    if (busy_) {
        event->ignore();
        return;
    }
    MdiArea->closeAllSubWindows();
    if (MdiArea->subWindowList().isEmpty())
        event->accept();
    else
        event->ignore();
}

bool TFrameForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == MdiArea->viewport() && event->type() == QEvent::Resize)
        PlaceDecoration();
    return QMainWindow::eventFilter(watched, event);
}

// The picture in the middle of the client area, the label under it.
void TFrameForm::PlaceDecoration()
{
    const QSize area = MdiArea->viewport()->size();
    const int top = std::max(0, (area.height() - Image1->height() - Label1->height() - 12) / 2);
    Image1->move((area.width() - Image1->width()) / 2, top);
    Label1->move((area.width() - Label1->width()) / 2, top + Image1->height() + 12);
    Image1->lower();
    Label1->lower();
}

} // namespace velmora
