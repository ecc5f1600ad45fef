// The file selection and zone dialogs, and the commands' dialogs driven from the menu on the
// demonstration data: an interactive ETRS89 -> Stereo70 point with its validation, a Stereo70 ->
// TMzn point with the zone dialog cancelled, and a long batch run with its progress window.
#include "AppTestSupport.h"
#include "app/MDIFrame.h"
#include "app/MessageWindows.h"
#include "app/PointDialogs.h"
#include "app/SelectionDialogs.h"
#include "core/CorrectionGrid.h"
#include "core/TransformPoint.h"
#include "files/NumberText.h"
#include "support/TestSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>

namespace velmora {

namespace {

using F = PointField;

void WriteFile(const QString& path, const std::string& bytes)
{
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
}

QStringList LabelTexts(const QWidget* dialog)
{
    QStringList texts;
    for (const QLabel* label : dialog->findChildren<QLabel*>())
        texts << label->text();
    return texts;
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(work.isValid());
        QVERIFY(QDir::setCurrent(work.path()));
        dialogs = test::ScriptedDialogs{};
        frame = std::make_unique<MainWindow>(std::filesystem::path(VELMORA_DEMO_DATA_DIR), dialogs, [] {});
    }
    void cleanup()
    {
        frame.reset();
        QVERIFY(QDir::setCurrent(QCoreApplication::applicationDirPath()));
    }

    void fileDialogRefusesUntilTheChoiceIsUsable()
    {
        const QString source = work.filePath("pct.txt");
        WriteFile(source, "T\r\nA, 45 0 0, 25 0 0\r\nENDF");
        FileSelectionDialog& dialog = *frame->FileSelection;
        CommandContext& ctx = frame->Context();
        ctx.transformationCode = '3';
        test::ModalScript script;
        script.Expect(&dialog, [&] {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Caption"));
            QCOMPARE(dialog.SourceName->text(), QStringLiteral("*.TXT"));
            dialog.OkButton->click(); // nothing chosen yet
            dialogs.openNames = {source};
            dialogs.saveNames = {work.filePath("pct.dat")};
            dialog.SourceButton->click();
            dialog.ResultButton->click();
            dialog.OkButton->click(); // the result becomes pct.txt: the source itself
            dialogs.openNames = {work.filePath("absent.txt")};
            dialog.SourceButton->click();
            dialogs.saveNames = {work.filePath("rez")};
            dialog.ResultButton->click();
            dialog.OkButton->click();
            dialogs.openNames = {QString()}; // cancelled: the previous choice stays
            dialog.SourceButton->click();
            dialogs.openNames = {source};
            dialog.SourceButton->click();
            dialog.OkButton->click();
        });
        QVERIFY(dialog.Select(ctx, QStringLiteral("Caption")));
        QVERIFY(script.Done());
        QCOMPARE(dialogs.errors, (QStringList{"Fisier de intrare invalid!",
                                              "Nume fisier intrare identic cu nume fisier iesire!",
                                              "Fisier de intrare invalid!"}));
        QCOMPARE(dialogs.presetNames.mid(0, 2), (QStringList{"*.TXT", "REZINT.txt"}));
        QCOMPARE(dialogs.presetNames.at(4), work.filePath("absent.txt"));
        QCOMPARE(dialogs.filters.mid(0, 2), (QStringList{"Fisier intrare|*.TXT", "Fisier iesire |*.TXT"}));
        QCOMPARE(QString::fromStdString(ctx.resultPath), work.filePath("rez.txt"));
        QCOMPARE(QString::fromStdString(ctx.inputPath), source);
        QCOMPARE(dialog.SourceName->text(), source);

        // Another command's temporary names never reach the dialog; Cancel confirms nothing.
        ctx.inputPath = "INPUT.TMP";
        script.Expect(&dialog, [&] {
            QCOMPARE(QString::fromStdString(ctx.inputPath), source);
            dialog.CancelButton->click();
        });
        QVERIFY(!dialog.Select(ctx, QStringLiteral("Caption")));
        QVERIFY(!ctx.dialogConfirmed);
    }

    void zoneDialogKeepsTheChoice()
    {
        ZoneDialog& dialog = *frame->ZoneSelection;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("      Optiuni pentru fusul ETRS-TMzn"));
        QCOMPARE(dialog.Zone35->text(), QStringLiteral("fus 35 (24°..27°..30°)"));
        CommandContext ctx;
        test::ModalScript script;
        script.Expect(&dialog, [&] { dialog.OkButton->click(); });
        script.Expect(&dialog, [&] {
            dialog.Zone35->setChecked(true);
            dialog.OkButton->click();
        });
        script.Expect(&dialog, [&] {
            QVERIFY(dialog.Zone35->isChecked());
            dialog.CancelButton->click();
        });
        QVERIFY(dialog.Select(ctx));
        QCOMPARE(ctx.tmZone, 34);
        QVERIFY(dialog.Select(ctx));
        QCOMPARE(ctx.tmZone, 35);
        QVERIFY(!dialog.Select(ctx));
        QCOMPARE(ctx.tmZone, 35);
        QVERIFY(script.Done());
    }

    void interactiveEtrs89PointWithItsValidation()
    {
        PointDialogWindow& dialog = *frame->GeodeticPoint;
        QCOMPARE(dialog.Field(F::BDegrees)->maxLength(), 3);
        QCOMPARE(dialog.Field(F::BFraction)->maxLength(), 5);
        QCOMPARE(dialog.Field(F::InputHeight)->maxLength(), 10);
        QCOMPARE(dialog.Field(F::InputHeight)->objectName(), QStringLiteral("Edit9"));
        QVERIFY(dialog.Field(F::OutputX)->isReadOnly());
        test::ModalScript script;
        script.Expect(&dialog, [&] {
            const std::array<const char*, 8> texts{"45", "60", "15", "5", "25", "10", "5", "25"};
            const std::span<const PointFieldLimit> inputs = InputFields(PointDialogKind::Geodetic);
            for (std::size_t k = 0; k < texts.size(); ++k)
                dialog.Field(inputs[k].field)->setText(texts[k]);
            dialog.OkButton()->click();
        });
        script.Expect(&dialog, [&] {
            QCOMPARE(dialog.Field(F::BMinutes)->text(), QStringLiteral("60"));
            dialog.Field(F::BMinutes)->setText("30");
            dialog.OkButton()->click();
        });
        QString x;
        QString y;
        QString height;
        script.Expect(&dialog, [&] {
            x = dialog.Field(F::OutputX)->text();
            y = dialog.Field(F::OutputY)->text();
            height = dialog.Field(F::OutputHeight)->text();
            dialog.CancelButton()->click();
        });
        frame->findChild<QAction*>("etrs89-stereo70/interactiv")->trigger();
        QVERIFY(script.Done());
        QVERIFY(script.unexpected.isEmpty());
        QCOMPARE(dialogs.errors, QStringList{"Coordonata B are minute >= 60"});
        QCOMPARE(dialog.windowTitle(), QStringLiteral(" (B,L,h) ETRS89-->(x,y,H_MN) Stereo70_Sistem Krasovski42"));
        QVERIFY(LabelTexts(&dialog).contains("x (Nord)"));

        GridCache grids;
        CoreEnv env{VELMORA_DEMO_DATA_DIR, 34, grids};
        const auto out = TransformPoint(env, TransformationType::EtrsToStereo70, 0, 25 + 10 / 60.0 + 5.25 / 3600,
                                        45 + 30 / 60.0 + 15.5 / 3600, 0.0);
        QVERIFY(out);
        QCOMPARE(x.toStdString(), FormatFixed(out->first, 11, 3));
        QCOMPARE(y.toStdString(), FormatFixed(out->second, 11, 3));
        QCOMPARE(height, QString());
        QVERIFY(!frame->Context().interactiveMode);
        QVERIFY(!frame->Busy());
    }

    void stereo70ToTmznWithTheZoneDialogCancelled()
    {
        PointDialogWindow& dialog = *frame->PlanePoint;
        test::ModalScript script;
        script.Expect(&dialog, [&] {
            dialog.Field(F::InputX)->setText("500000");
            dialog.Field(F::InputY)->setText("500000");
            dialog.OkButton()->click();
        });
        script.Expect(frame->ZoneSelection, [&] { frame->ZoneSelection->CancelButton->click(); });
        script.Expect(&dialog, [&] {
            QCOMPARE(dialog.Field(F::OutputX)->text(), QString());
            QCOMPARE(dialog.Field(F::InputX)->text(), QStringLiteral("500000"));
            dialog.OkButton()->click();
        });
        script.Expect(frame->ZoneSelection, [&] {
            frame->ZoneSelection->Zone35->setChecked(true);
            frame->ZoneSelection->OkButton->click();
        });
        QString north;
        QString east;
        script.Expect(&dialog, [&] {
            north = dialog.Field(F::OutputX)->text();
            east = dialog.Field(F::OutputY)->text();
            dialog.CancelButton()->click();
        });
        frame->findChild<QAction*>("stereo70-tm/interactiv")->trigger();
        QVERIFY(script.Done());
        QVERIFY(script.unexpected.isEmpty());
        QVERIFY(dialogs.errors.isEmpty());
        QVERIFY(LabelTexts(&dialog).contains("Iesire:[x,y,(H)]_TMzn (EVRF)"));
        QCOMPARE(north.size(), 11);
        QCOMPARE(east.size(), 12);
        QCOMPARE(dialog.Field(F::OutputHeight)->text(), QString());
        QCOMPARE(frame->Context().tmZone, 35);
    }

    // The Bucharest model through INPUT.TMP on the demonstration model: the same values as the
    // sample's result file.
    void interactiveStereo30PointThroughTheModel()
    {
        PointDialogWindow& dialog = *frame->Stereo30ModelPoint;
        test::ModalScript script;
        script.Expect(&dialog, [&] {
            dialog.Field(F::InputX)->setText("556673.510");
            dialog.Field(F::InputY)->setText("336888.420");
            dialog.OkButton()->click();
        });
        QString north;
        QString east;
        script.Expect(&dialog, [&] {
            north = dialog.Field(F::OutputX)->text();
            east = dialog.Field(F::OutputY)->text();
            dialog.CancelButton()->click();
        });
        frame->findChild<QAction*>("stereo30-stereo70/interactiv")->trigger();
        QVERIFY(script.Done());
        QVERIFY(script.unexpected.isEmpty());
        QVERIFY(dialogs.errors.isEmpty());
        QCOMPARE(north, QStringLiteral("325824.389"));
        QCOMPARE(east, QStringLiteral("587904.312"));
        QVERIFY(QFile::exists(work.filePath("INPUT.TMP")));
    }

    // A run long enough for the progress window, which counts the points, then the result named
    // in the information window.
    void batchRunShowsItsProgressAndNamesTheResult()
    {
        std::string source = "Lucrare\r\n";
        for (int k = 0; k < 5000; ++k)
            source.append("P").append(std::to_string(k)).append(", 45 ").append(std::to_string(k % 60)).append(
                " 0, 25 10 0, 100\r\n");
        WriteFile(work.filePath("lung.txt"), source + "ENDF");
        dialogs.openNames = {work.filePath("lung.txt")};
        dialogs.saveNames = {work.filePath("rez.txt")};
        test::ModalScript script;
        script.Expect(frame->FileSelection, [&] {
            frame->FileSelection->SourceButton->click();
            frame->FileSelection->ResultButton->click();
            frame->FileSelection->OkButton->click();
        });
        int maximum = 0;
        script.Expect(frame->Progress, [&] { maximum = frame->Progress->Bar->maximum(); });
        QString information;
        script.Expect(frame->InformationMessage, [&] {
            information = frame->InformationMessage->Text->toPlainText();
            QVERIFY(!frame->Progress->isVisible());
            frame->InformationMessage->OkButton->click();
        });
        frame->findChild<QAction*>("etrs89-stereo70/din-fisier")->trigger();
        QVERIFY(script.Done());
        QVERIFY(script.unexpected.isEmpty());
        QCOMPARE(maximum, 5000);
        QCOMPARE(information, "Fisierul rezultat este: " + work.filePath("rez.txt") + ".");
        QVERIFY(QFileInfo(work.filePath("rez.txt")).size() > 5000 * 30);
        QVERIFY(!frame->Busy());
    }

private:
    QTemporaryDir work;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> frame;
};

} // namespace velmora

QTEST_MAIN(velmora::DialogsTest)
#include "dialogs_test.moc"
