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
#include "app/WidgetStyle.h"
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

MainWindow::MainWindow(fs::path startDir, StandardDialogs& dialogs, std::function<void()> quit, bool modelBuilding,
                       QWidget* parent)
    : QMainWindow(parent), dialogs_(dialogs), quit_(std::move(quit)), printer_(std::make_unique<QPrinter>()),
      modelBuilding_(modelBuilding)
{
    ctx_.startDir = std::move(startDir);
    ctx_.interactiveMode = false;
    setObjectName(QStringLiteral("FrameForm"));
    setWindowTitle(Latin(kMainCaption));

    MdiArea = new QMdiArea(this);
    MdiArea->setObjectName(QStringLiteral("MdiArea"));
    setCentralWidget(MdiArea);
    Picture = new QLabel(MdiArea->viewport());
    Picture->setObjectName(QStringLiteral("Image1"));
    Picture->setScaledContents(true);
    Picture->setPixmap(DrawGeoidPicture(kPictureArea * 2));
    Picture->setFixedSize(kPictureArea);
    WaitLabel = new QLabel(QStringLiteral("Asteptati mesajul care contine numele fisierelor cu rezultate!"),
                           MdiArea->viewport());
    WaitLabel->setObjectName(QStringLiteral("Label1"));
    SetTextColour(WaitLabel, Qt::red);
    SetBold(WaitLabel);
    WaitLabel->adjustSize();
    WaitLabel->hide();
    MdiArea->viewport()->installEventFilter(this);

    ErrorMessage = new ErrorWindow(this);
    InformationMessage = new InformationWindow(this);
    FileSelection = new FileSelectionDialog(dialogs_, this);
    About = new AboutWindow(this);
    GeodeticPoint = MakePointDialog(PointDialogKind::Geodetic, dialogs_, this);
    Stereo30ModelPoint = MakePointDialog(PointDialogKind::Stereo30Model, dialogs_, this);
    Stereo70ModelPoint = MakePointDialog(PointDialogKind::Stereo70Model, dialogs_, this);
    PlaneToGeodeticPoint = MakePointDialog(PointDialogKind::PlaneToGeodetic, dialogs_, this);
    Progress = new ProgressWindow(this);
    ZoneSelection = new ZoneDialog(this);
    PlanePoint = MakePointDialog(PointDialogKind::Plane, dialogs_, this);
    Console = new ConsoleDialog(this);
    ui_ = std::make_unique<WindowUi>(
        WindowUi::Windows{this, FileSelection, ZoneSelection, InformationMessage, Progress, Console,
                          WaitLabel}, dialogs_);

    BuildMenu();
    connect(MdiArea, &QMdiArea::subWindowActivated, this, &MainWindow::MergeEditorMenus);

    // The client area is fixed; the menu bar takes what its font needs at that width.
    resize(kClientArea.width(), kClientArea.height() + menuBar()->heightForWidth(kClientArea.width()));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildMenu()
{
    fileMenu_ = menuBar()->addMenu(QStringLiteral("&File"));
    connect(fileMenu_->addAction(QStringLiteral("&New")), &QAction::triggered, this, &MainWindow::NewEditor);
    connect(fileMenu_->addAction(QStringLiteral("&Open...")), &QAction::triggered, this, &MainWindow::OpenFile);
    connect(fileMenu_->addAction(QStringLiteral("E&xit")), &QAction::triggered, this, &QWidget::close);

    AddCommandMenus();

    QMenu* window = AddWindowMenu();
    connect(window, &QMenu::aboutToShow, this, [this, window] { ListWindows(window); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    connect(help->addAction(QStringLiteral("Contents")), &QAction::triggered, this, &MainWindow::ShowHelpContents);
    connect(help->addAction(QStringLiteral("About...")), &QAction::triggered, this, &MainWindow::ShowAbout);
}

// The menus of the command table. A menu is shown while one of its commands is; a command that
// is not part of the program yet is bound to nothing.
void MainWindow::AddCommandMenus()
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
        if (Shown(command)) {
            shown.insert(command.menu);
            if (info.parent)
                shown.insert(*info.parent);
        }
    }
    for (const auto& [menu, qmenu] : menus)
        if (shown.count(menu) == 0)
            HideMenu(qmenu);
}

// The hidden commands run by their own functions (model building, conversions, quasigeoid grids)
// show with the option that asks for them; the hidden twins of the transformations never do.
bool MainWindow::Shown(const MenuCommand& command) const
{
    return !command.hidden || (modelBuilding_ && command.transformation == nullptr && command.run != nullptr);
}

void MainWindow::AddCommand(QMenu* menu, const MenuCommand& command)
{
    if (command.separatorBefore)
        menu->addSeparator();
    const QString name = Latin(command.name);
    if (command.transformation == nullptr) {
        QAction* action = menu->addAction(Latin(command.caption));
        action->setObjectName(name);
        action->setVisible(Shown(command));
        action->setEnabled(Shown(command) && command.run != nullptr);
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

QMenu* MainWindow::AddWindowMenu()
{
    QMenu* window = menuBar()->addMenu(QStringLiteral("&Window"));
    connect(window->addAction(QStringLiteral("&Tile")), &QAction::triggered, MdiArea, &QMdiArea::tileSubWindows);
    connect(window->addAction(QStringLiteral("&Cascade")), &QAction::triggered, MdiArea,
            &QMdiArea::cascadeSubWindows);
    connect(window->addAction(QStringLiteral("&Arrange icons")), &QAction::triggered, this,
            &MainWindow::ArrangeIcons);
    return window;
}

// The open editor windows at the end of the "&Window" menu, the active one checked.
void MainWindow::ListWindows(QMenu* menu)
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

void MainWindow::ArrangeIcons()
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

void MainWindow::RunCommand(const std::function<void()>& command)
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

PointDialog& MainWindow::DialogFor(PointDialogKind kind)
{
    switch (kind) {
    case PointDialogKind::Geodetic: return *GeodeticPoint;
    case PointDialogKind::PlaneToGeodetic: return *PlaneToGeodeticPoint;
    case PointDialogKind::Stereo30Model: return *Stereo30ModelPoint;
    case PointDialogKind::Stereo70Model: return *Stereo70ModelPoint;
    case PointDialogKind::Plane: break;
    }
    return *PlanePoint;
}

void MainWindow::ShowError(const QString& text)
{
    busy_ = true;
    ErrorMessage->ShowModal(text);
    quit_();
}

EditorWindow* MainWindow::NewEditor()
{
    auto* editor = new EditorWindow(dialogs_, *printer_);
    connect(editor, &EditorWindow::NewRequested, this, &MainWindow::NewEditor);
    connect(editor, &EditorWindow::OpenRequested, this, &MainWindow::OpenFile);
    connect(editor, &EditorWindow::ExitRequested, this, &QWidget::close);
    QMdiSubWindow* window = MdiArea->addSubWindow(editor);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    MdiArea->setActiveSubWindow(window);
    MergeEditorMenus();
    return editor;
}

EditorWindow* MainWindow::OpenEditor(const QString& path)
{
    EditorWindow* editor = NewEditor();
    if (editor->Open(path))
        return editor;
    editor->parentWidget()->close();
    dialogs_.Error(this, QStringLiteral("Cannot open %1").arg(path));
    return nullptr;
}

EditorWindow* MainWindow::ActiveEditor() const
{
    const QMdiSubWindow* window = MdiArea->currentSubWindow();
    return window != nullptr ? qobject_cast<EditorWindow*>(window->widget()) : nullptr;
}

// While an editor is the active child, its "&File" menu stands in place of the frame's and its
// "&Edit" and "&Character" menus follow.
void MainWindow::MergeEditorMenus()
{
    EditorWindow* editor = ActiveEditor();
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

void MainWindow::OpenFile()
{
    const QString path = dialogs_.OpenFileName(this, QStringLiteral("Open"), QString(), Latin(kEditorFilter));
    if (!path.isEmpty())
        OpenEditor(path);
}

void MainWindow::ShowHelpContents()
{
    if (help_ == nullptr)
        help_ = new HelpWindow(this);
    help_->ShowContents(QString::fromStdString((ctx_.startDir / kHelpFileName).string()));
}

void MainWindow::ShowAbout()
{
    About->exec();
}

void MainWindow::closeEvent(QCloseEvent* event)
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

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == MdiArea->viewport() && event->type() == QEvent::Resize)
        PlaceDecoration();
    return QMainWindow::eventFilter(watched, event);
}

// The picture in the middle of the client area, the label under it.
void MainWindow::PlaceDecoration()
{
    const QSize area = MdiArea->viewport()->size();
    const int top = std::max(0, (area.height() - Picture->height() - WaitLabel->height() - 12) / 2);
    Picture->move((area.width() - Picture->width()) / 2, top);
    WaitLabel->move((area.width() - WaitLabel->width()) / 2, top + Picture->height() + 12);
    Picture->lower();
    WaitLabel->lower();
}

} // namespace velmora
