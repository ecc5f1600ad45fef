// The main window: its windows, the menu with every item and its state, the help and About
// windows, and the error window that ends the program.
#include "AppTestSupport.h"
#include "app/ConsoleDialog.h"
#include "app/HelpWindow.h"
#include "app/MDIFrame.h"
#include "app/MessageWindows.h"
#include "app/PointDialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

namespace velmora {

namespace {

QStringList Captions(const QList<QAction*>& actions)
{
    QStringList captions;
    for (const QAction* action : actions)
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return captions;
}

QMenu* TopMenu(QMainWindow& window, const QString& caption)
{
    for (QAction* action : window.menuBar()->actions())
        if (action->text() == caption)
            return action->menu();
    return nullptr;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        quits = 0;
        frame = std::make_unique<MainWindow>(std::filesystem::path(VELMORA_DEMO_DATA_DIR), dialogs,
                                             [this] { ++quits; });
    }
    void cleanup() { frame.reset(); }

    void windowsOfTheStartUp()
    {
        QCOMPARE(frame->windowTitle(), QStringLiteral("Velmora - Transformari de coordonate"));
        QCOMPARE(frame->MdiArea->size().isEmpty(), false);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
        QCOMPARE(frame->centralWidget()->size(), QSize(744, 418));
        QVERIFY(!frame->WaitLabel->isVisible());
        QVERIFY(frame->Picture->isVisible());
        QCOMPARE(frame->ErrorMessage->windowTitle(), QStringLiteral("Mesaj de eroare"));
        QCOMPARE(frame->InformationMessage->windowTitle(), QStringLiteral("Mesaj de informare"));
        QCOMPARE(frame->About->windowTitle(), QStringLiteral("About"));
        QCOMPARE(frame->Progress->windowTitle(), QStringLiteral("Progresul procedurii de calcul grid"));
        QCOMPARE(frame->ErrorMessage->Note->text(), QStringLiteral("Pentru a executa alta transformare, relansati  aplicatia!"));
        QVERIFY(!frame->Context().interactiveMode);

        QStringList about;
        for (const QLabel* label : frame->About->findChildren<QLabel*>())
            about << label->text();
        QCOMPARE(about.mid(0, 2), (QStringList{"Velmora", "Version 4.08"}));
        QVERIFY(about.join(' ').contains(QStringLiteral("demonstrative")));
    }

    // The client area keeps its size whatever font the menu bar is drawn in.
    void clientAreaDoesNotDependOnTheFont()
    {
        const QFont original = QApplication::font();
        for (const int points : {6, 30}) {
            QFont font = original;
            font.setPointSize(points);
            QApplication::setFont(font);
            MainWindow window(std::filesystem::path(VELMORA_DEMO_DATA_DIR), dialogs, [] {});
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QCOMPARE(window.centralWidget()->size(), QSize(744, 418));
            QCOMPARE(window.height(), 418 + window.menuBar()->height());
        }
        QApplication::setFont(original);
    }

    void menuItemsAndTheirStates()
    {
        QStringList visibleTop;
        for (const QAction* action : frame->menuBar()->actions())
            if (action->isVisible())
                visibleTop << action->text();
        QCOMPARE(visibleTop, (QStringList{"&File", "Transformare_Puncte_Romania", "Transformare_Puncte_Bucuresti",
                                          "&Window", "Help"}));
        for (const char* hidden : {"Conversie_Coordonate", "Transformare_2D", "Transformare_3D"}) {
            QMenu* menu = TopMenu(*frame, QString::fromLatin1(hidden));
            QVERIFY2(menu != nullptr, hidden);
            QVERIFY(!menu->menuAction()->isVisible());
            QVERIFY(!menu->menuAction()->isEnabled());
            for (const QAction* item : menu->actions())
                QVERIFY(!item->isEnabled());
        }
        QCOMPARE(TopMenu(*frame, "Conversie_Coordonate")->actions().size(), 11);
        QCOMPARE(Captions(TopMenu(*frame, "Transformare_2D")->actions()),
                 (QStringList{"Transformare fara Regresie", "Transformare cu Regresie"}));
        QCOMPARE(Captions(TopMenu(*frame, "Transformare_3D")->actions()).size(), 5);

        QMenu* romania = TopMenu(*frame, "Transformare_Puncte_Romania");
        QStringList visible;
        QStringList all;
        for (const QAction* action : romania->actions()) {
            const QString caption = action->isSeparator() ? QStringLiteral("-") : action->text();
            all << caption;
            if (action->isVisible())
                visible << caption;
        }
        QCOMPARE(all.size(), 15);
        QCOMPARE(all.count("-"), 4);
        QCOMPARE(visible, (QStringList{
                              "(B,L,h)_ETRS89-->(x,y,H_MN)_Stereo70_Sistem Krasovski42",
                              "(x,y,H_MN)_Stereo70_Sistem Krasovski42-->(B,L,h)_ETRS89",
                              "-",
                              "-",
                              "-",
                              "[x,y,(H)]_Stereo70, (Marea Neagra 75)-->[x,y,(H)]_Transverse Mercator, (EVRF2007)",
                              "[x,y,(H)]_Transverse Mercator, (EVRF2007)-->[x,y,(H)]_Stereo70, (Marea Neagra 75)",
                              "-",
                              "[x,y,(H)]_Stereo70, (Marea Neagra 75)-->[x,y,(H)]_LAEA, (EVRF2007)",
                              "[x,y,(H)]_LAEA, (EVRF2007)-->[x,y,(H)]_Stereo70, (Marea Neagra 75)",
                          }));
        QCOMPARE(Captions(TopMenu(*frame, "Transformare_Puncte_Bucuresti")->actions()),
                 (QStringList{"(B,L,h)_ETRS89-->(x,y,H_MN)_Stereo30_Bucuresti",
                              "(x,y,H_MN)_Stereo30_Bucuresti-->(B,L,h)_ETRS89",
                              "(x,y)_Stereo30_Bucuresti-->(x,y)_Stereo70", "(x,y)_Stereo70-->(x,y)_Stereo30_Bucuresti"}));

        // Every transformation is a "Din fisier" / "Interactiv" pair named after the command; the
        // hidden duplicates sit in invisible, disabled submenus.
        const QStringList visibleItems{"etrs89-stereo70/din-fisier",   "etrs89-stereo70/interactiv",
                                       "stereo70-etrs89/din-fisier",   "stereo70-etrs89/interactiv",
                                       "stereo70-tm/din-fisier",       "stereo70-tm/interactiv",
                                       "stereo70-stereo30/din-fisier", "stereo70-stereo30/interactiv"};
        for (const QString& name : visibleItems) {
            auto* action = frame->findChild<QAction*>(name);
            QVERIFY2(action != nullptr, qPrintable(name));
            QVERIFY(action->isEnabled());
            QVERIFY(action->text() == "Din fisier" || action->text() == "Interactiv");
        }
        for (const char* name : {"romania-stereo30-stereo70/din-fisier", "romania-stereo30-stereo70/interactiv",
                                 "romania-stereo30-etrs89/din-fisier", "romania-stereo30-etrs89/interactiv"}) {
            auto* action = frame->findChild<QAction*>(name);
            QVERIFY2(action != nullptr, name);
            auto* submenu = qobject_cast<QMenu*>(action->parent());
            QVERIFY(submenu != nullptr);
            QVERIFY(!submenu->menuAction()->isVisible());
            QVERIFY(!submenu->menuAction()->isEnabled());
        }
        QCOMPARE(Captions(TopMenu(*frame, "&File")->actions()), (QStringList{"&New", "&Open...", "E&xit"}));
        QCOMPARE(Captions(TopMenu(*frame, "&Window")->actions()),
                 (QStringList{"&Tile", "&Cascade", "&Arrange icons"}));
        QCOMPARE(Captions(TopMenu(*frame, "Help")->actions()), (QStringList{"Contents", "About..."}));
    }

    void helpContentsAndAMissingHelpFile()
    {
        TopMenu(*frame, "Help")->actions().at(0)->trigger();
        auto* help = frame->findChild<HelpWindow*>();
        QVERIFY(help != nullptr);
        QVERIFY(help->isVisible());
        QCOMPARE(help->Browser->source().fragment(), QStringLiteral("cuprins"));
        QVERIFY(help->Browser->toPlainText().contains(QStringLiteral("Cuprins")));

        QTemporaryDir empty;
        MainWindow elsewhere(empty.path().toStdString(), dialogs, [] {});
        TopMenu(elsewhere, "Help")->actions().at(0)->trigger();
        auto* missing = elsewhere.findChild<HelpWindow*>();
        QVERIFY(missing->Browser->toPlainText().contains(QStringLiteral("nu a fost gasit")));
        QVERIFY(dialogs.errors.isEmpty());
    }

    // With --model-building the model-building menus show; their commands run in the work folder.
    void modelBuildingCommandsWithTheOption()
    {
        MainWindow building(std::filesystem::path(VELMORA_DEMO_DATA_DIR), dialogs, [this] { ++quits; }, true);
        for (const char* menuName : {"Transformare_2D", "Transformare_3D"}) {
            QMenu* menu = TopMenu(building, QString::fromLatin1(menuName));
            QVERIFY(menu->menuAction()->isVisible());
            QVERIFY(menu->menuAction()->isEnabled());
        }
        for (const char* name : {"plane", "plane-regression", "3d", "3d-regression", "zeta", "etrs89-stereo70-h"}) {
            const QAction* action = building.findChild<QAction*>(QString::fromLatin1(name));
            QVERIFY2(action->isVisible() && action->isEnabled(), name);
        }
        QVERIFY(TopMenu(building, "Conversie_Coordonate")->menuAction()->isVisible());
        for (const char* name : {"blh-xyz", "blh-xyzn", "quasigeoid-export", "quasigeoid-load-zita", "quasigeoid-build",
                                 "quasigeoid-apply"}) {
            const QAction* action = building.findChild<QAction*>(QString::fromLatin1(name));
            QVERIFY2(action->isVisible() && action->isEnabled(), name);
        }
        // The hidden twins of the Bucharest transformations stay hidden.
        auto* twin = qobject_cast<QMenu*>(building.findChild<QAction*>("romania-stereo30-stereo70/din-fisier")->parent());
        QVERIFY(!twin->menuAction()->isVisible());

        building.findChild<QAction*>("zeta-regression")->trigger();
        QCOMPARE(dialogs.notes, (QStringList{"Mesaj de informare: OPTIUNE NEIMPLEMENTATA"}));

        QTemporaryDir work;
        QVERIFY(QDir::setCurrent(work.path()));
        // Cancelled: nothing done, and the label asking to wait stays.
        dialogs.openNames = {QString()};
        building.findChild<QAction*>("plane")->trigger();
        QVERIFY(!building.WaitLabel->isHidden());
        QVERIFY(QDir(work.path()).entryList(QDir::Files).isEmpty());

        const QString source = work.filePath("model.txt");
        QVERIFY(QFile::copy(QStringLiteral(VELMORA_BUILDING_FIXTURES_DIR "/plane_model.txt"), source));
        dialogs.openNames = {source};
        test::ModalScript script;
        QString information;
        script.Expect(building.InformationMessage, [&] {
            information = building.InformationMessage->Text->toPlainText();
            building.InformationMessage->OkButton->click();
        });
        building.findChild<QAction*>("plane")->trigger();
        QVERIFY(script.Done());
        QVERIFY(building.WaitLabel->isHidden());
        QCOMPARE(dialogs.notes.mid(1), (QStringList{"Mesaj de atentionare: S-a executat TRANSFORMAREA GLOBALA!"}));
        QVERIFY(information.startsWith(QStringLiteral("Fisierele rezultate sunt: REZULT.TXT, REZ_NOI.TXT, ")));
        QVERIFY(QFile::exists(work.filePath("REZ_NOI.TXT")));
        QVERIFY(QFile::exists(work.filePath("modelJ.GRD")));
        QCOMPARE(building.Context().transformationCode, 31);
        QCOMPARE(quits, 0);
        QVERIFY(QDir::setCurrent(QCoreApplication::applicationDirPath()));
    }

    // The conversions and the quasigeoid grid exchange run from the menu: the open dialog with its
    // filter, then a message box, or the error message box, and the program goes on.
    void conversionsAndGridExchangeWithTheOption()
    {
        MainWindow building(std::filesystem::path(VELMORA_DEMO_DATA_DIR), dialogs, [this] { ++quits; }, true);
        QTemporaryDir work;
        QVERIFY(QDir::setCurrent(work.path()));
        const QString source = work.filePath("sursa.txt");
        QFile file(source);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("a\r\nb\r\nc\r\nd\r\nP\r\n6378137, 298.257222101, 6378245, 298.3\r\nPN\r\nO, 52 0 0, 10 0 0\r\nEND\r\n");
        file.close();
        dialogs.notes.clear();
        dialogs.filters.clear();
        dialogs.openNames = {source};
        building.findChild<QAction*>("bl-laea")->trigger();
        QCOMPARE(dialogs.filters, (QStringList{"File sourse|*.txt"}));
        QCOMPARE(dialogs.notes, (QStringList{"Mesaj de informare: Rezultatul conversiei se gasesc in fis. REZXY_LAEA.TXT"}));
        QVERIFY(QFile::exists(work.filePath("REZXY_LAEA.TXT")));

        dialogs.errors.clear();
        dialogs.openNames = {work.filePath("lipsa.grd")};
        building.findChild<QAction*>("quasigeoid-export")->trigger();
        QCOMPARE(dialogs.filters.back(), QStringLiteral("Fisier grid|*.grd"));
        QCOMPARE(dialogs.errors, (QStringList{"Eroare la deschiderea fisierului grid!"}));
        QCOMPARE(quits, 0);
        QVERIFY(!building.Busy());
        QVERIFY(QDir::setCurrent(QCoreApplication::applicationDirPath()));
    }

    // A point the dispatcher rejects: its diagnostic waits on the console, then the error window
    // names the failure, and closing it by its title bar ends the program.
    void errorWindowEndsTheProgram()
    {
        QTemporaryDir work;
        QVERIFY(QDir::setCurrent(work.path()));
        test::ModalScript script;
        QString console;
        QString error;
        script.Expect(frame->PlaneToGeodeticPoint, [&] {
            frame->PlaneToGeodeticPoint->Field(PointField::InputX)->setText("10");
            frame->PlaneToGeodeticPoint->Field(PointField::InputY)->setText("10");
            frame->PlaneToGeodeticPoint->OkButton()->click();
        });
        script.Expect(frame->Console, [&] {
            console = frame->Console->Output->toPlainText();
            QTest::keyClick(frame->Console->Input, Qt::Key_Return);
        });
        script.Expect(frame->ErrorMessage, [&] {
            error = frame->ErrorMessage->Text->toPlainText();
            QCOMPARE(quits, 0);
            frame->ErrorMessage->close();
        });
        frame->findChild<QAction*>("stereo70-etrs89/interactiv")->trigger();
        QVERIFY(script.Done());
        QVERIFY(script.unexpected.isEmpty());
        QVERIFY(console.endsWith(QStringLiteral("Tastati <Enter>...")));
        QCOMPARE(error, QStringLiteral("Eroare: nu se poate transforma punctul introdus"));
        QCOMPARE(quits, 1);
        // Nothing runs after the error window.
        QVERIFY(frame->Busy());
        frame->findChild<QAction*>("stereo70-etrs89/interactiv")->trigger();
        QVERIFY(script.unexpected.isEmpty());
        QVERIFY(QDir::setCurrent(QCoreApplication::applicationDirPath()));
    }

private:
    test::ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> frame;
    int quits = 0;
};

} // namespace velmora

QTEST_MAIN(velmora::MainWindowTest)
#include "main_window_test.moc"
