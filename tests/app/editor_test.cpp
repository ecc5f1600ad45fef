// The editor windows: files read and saved byte for byte as Windows-1252 with CR LF, saving and
// the confirmation before closing, the enabling of the edit commands, the menus merged into the
// frame, printing to a PDF file, and the window list.
#include "AppTestSupport.h"
#include "app/FindReplaceDialog.h"
#include "app/MDIEdit.h"
#include "app/MDIFrame.h"
#include "app/TextCodec.h"

#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

#include <fstream>
#include <iterator>

namespace velmora {

namespace {

std::string ReadBytes(const QString& path)
{
    std::ifstream in(path.toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const QString& path, const std::string& bytes)
{
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
}

QStringList VisibleMenus(QMainWindow& window)
{
    QStringList menus;
    for (const QAction* action : window.menuBar()->actions())
        if (action->isVisible())
            menus << action->text();
    return menus;
}

} // namespace

class EditorTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        dialogs = test::ScriptedDialogs{};
        frame = std::make_unique<MainWindow>(std::filesystem::path(dir.path().toStdString()), dialogs, [] {});
    }
    void cleanup() { frame.reset(); }

    void codePageBothWays()
    {
        const std::string bytes = "\x80\xB0\xA0\x8D\x9F";
        const QString text = DecodeWindows1252(bytes);
        QCOMPARE(text, QString::fromUtf8("€°\u00A0\u008DŸ"));
        int lost = -1;
        QCOMPARE(EncodeWindows1252(text, &lost), bytes);
        QCOMPARE(lost, 0);
        QCOMPARE(EncodeWindows1252(QString::fromUtf8("ș\u0080😀"), &lost), std::string("???"));
        QCOMPARE(lost, 3);
        QCOMPARE(TextFromBytes("Punctul A\xB0"), QString::fromUtf8("Punctul A°"));
        QCOMPARE(TextFromBytes("/tmp/\xC8\x99.txt"), QString::fromUtf8("/tmp/ș.txt"));
    }

    // A source file opened and saved unchanged keeps every byte, no-break spaces and a missing
    // last line end included.
    void fileKeepsItsBytes()
    {
        const QString path = dir.filePath("sursa.txt");
        const std::string bytes = "Titlu \xB0\r\nA1,\xA0" "45 30 15.5, 25 10 5\r\n\r\nENDF";
        WriteBytes(path, bytes);
        EditorWindow* editor = frame->OpenEditor(path);
        QVERIFY(editor != nullptr);
        QCOMPARE(editor->windowTitle(), QStringLiteral("sursa.txt"));
        QVERIFY(editor->Editor->toPlainText().startsWith(QString::fromUtf8("Titlu °\nA1,")));
        QVERIFY(!editor->Editor->document()->isModified());
        editor->Editor->document()->setModified(true);
        QVERIFY(editor->Save());
        QCOMPARE(ReadBytes(path), bytes);

        // A character the code page cannot hold is saved only when the user agrees.
        editor->Editor->moveCursor(QTextCursor::End);
        editor->Editor->insertPlainText(QString::fromUtf8("ș"));
        dialogs.answers = {QMessageBox::No};
        QVERIFY(!editor->Save());
        QCOMPARE(ReadBytes(path), bytes);
        QVERIFY(editor->Editor->document()->isModified());
        QCOMPARE(dialogs.questions.size(), 1);

        QVERIFY(frame->OpenEditor(dir.filePath("absent.txt")) == nullptr);
        QCOMPARE(dialogs.errors.size(), 1);
        QCOMPARE(frame->MdiArea->subWindowList().size(), 1);
    }

    void savingANewWindowAsksForAName()
    {
        EditorWindow* editor = frame->NewEditor();
        QCOMPARE(editor->windowTitle(), QStringLiteral("Untitled"));
        editor->Editor->setPlainText("P1, 1, 2\nENDF");
        dialogs.saveNames = {QString()};
        editor->FileSave->trigger();
        QCOMPARE(editor->PathName, QStringLiteral("Untitled"));
        dialogs.saveNames = {dir.filePath("nou.txt")};
        editor->FileSave->trigger();
        QCOMPARE(dialogs.presetNames, (QStringList{"Untitled", "Untitled"}));
        QCOMPARE(dialogs.filters.at(0),
                 QStringLiteral("Plain text files (*.txt)|*.txt|Rich text files (*.rtf)|*.rtf|All files|*.*"));
        QCOMPARE(ReadBytes(dir.filePath("nou.txt")), std::string("P1, 1, 2\r\nENDF"));
        QCOMPARE(editor->windowTitle(), QStringLiteral("nou.txt"));
        QCOMPARE(frame->MdiArea->currentSubWindow()->windowTitle(), QStringLiteral("nou.txt"));
    }

    void closingAModifiedWindowAsksFirst()
    {
        EditorWindow* editor = frame->NewEditor();
        editor->Editor->insertPlainText("text");
        QMdiSubWindow* window = frame->MdiArea->currentSubWindow();
        dialogs.answers = {QMessageBox::Cancel};
        editor->FileClose->trigger();
        QCOMPARE(frame->MdiArea->subWindowList().size(), 1);
        QCOMPARE(editor->Editor->toPlainText(), QStringLiteral("text"));
        QCOMPARE(dialogs.questions, QStringList{"Save changes to Untitled?"});

        // Yes on an untitled window saves through Save as; a cancelled Save as keeps the window.
        dialogs.answers = {QMessageBox::Yes};
        window->close();
        QCOMPARE(frame->MdiArea->subWindowList().size(), 1);
        dialogs.answers = {QMessageBox::Yes};
        dialogs.saveNames = {dir.filePath("inchis.txt")};
        window->close();
        QTRY_COMPARE(frame->MdiArea->subWindowList().size(), 0);
        QCOMPARE(ReadBytes(dir.filePath("inchis.txt")), std::string("text"));

        EditorWindow* other = frame->NewEditor();
        other->Editor->insertPlainText("discarded");
        dialogs.answers = {QMessageBox::No};
        QVERIFY(frame->close());
    }

    void editCommandsFollowTheSelectionAndClipboard()
    {
        EditorWindow* editor = frame->NewEditor();
        editor->Editor->setPlainText("abc def");
        editor->UpdateEditActions();
        QVERIFY(!editor->EditCut->isEnabled());
        QVERIFY(!editor->EditCopy->isEnabled());
        QVERIFY(!editor->EditDelete->isEnabled());
        QCOMPARE(editor->EditDelete->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));

        QApplication::clipboard()->clear();
        editor->EditSelectAll->trigger();
        QVERIFY(editor->EditCut->isEnabled());
        QVERIFY(editor->EditDelete->isEnabled());
        QVERIFY(!editor->EditPaste->isEnabled());
        editor->EditCopy->trigger();
        QVERIFY(editor->EditPaste->isEnabled());
        editor->EditDelete->trigger();
        QCOMPARE(editor->Editor->toPlainText(), QString());
        QVERIFY(!editor->EditCopy->isEnabled());
        editor->EditPaste->trigger();
        QCOMPARE(editor->Editor->toPlainText(), QStringLiteral("abc def"));

        // Replace all changes every occurrence in one step.
        editor->Editor->setPlainText("A1, a2, A3");
        editor->ReplaceAction->trigger();
        auto* find = editor->findChild<FindReplaceDialog*>();
        QVERIFY(find != nullptr);
        find->FindText->setText("a");
        find->ReplaceText->setText("P");
        find->MatchCase->setChecked(true);
        QCOMPARE(find->ReplaceAll(), 1);
        QCOMPARE(editor->Editor->toPlainText(), QStringLiteral("A1, P2, A3"));
    }

    void editorMenusStandInTheFramesMenuBar()
    {
        const QStringList idle = VisibleMenus(*frame);
        QCOMPARE(idle.first(), QStringLiteral("&File"));
        EditorWindow* first = frame->NewEditor();
        QCOMPARE(VisibleMenus(*frame).mid(0, 3), (QStringList{"&File", "&Edit", "&Character"}));
        QVERIFY(frame->menuBar()->actions().contains(first->FileMenu->menuAction()));
        QVERIFY(first->CharacterLeft->isChecked());
        QVERIFY(first->CharacterWordWrap->isChecked());
        first->CharacterWordWrap->trigger();
        QCOMPARE(first->Editor->lineWrapMode(), QTextEdit::NoWrap);

        EditorWindow* second = frame->NewEditor();
        QVERIFY(frame->menuBar()->actions().contains(second->FileMenu->menuAction()));
        QVERIFY(!frame->menuBar()->actions().contains(first->FileMenu->menuAction()));

        QMenu* window = nullptr;
        for (QAction* action : frame->menuBar()->actions())
            if (action->text() == "&Window")
                window = action->menu();
        emit window->aboutToShow();
        QStringList entries;
        for (const QAction* action : window->actions())
            if (!action->isSeparator())
                entries << action->text() + (action->isChecked() ? "*" : "");
        QCOMPARE(entries, (QStringList{"&Tile", "&Cascade", "&Arrange icons", "&1 Untitled", "&2 Untitled*"}));

        frame->MdiArea->closeAllSubWindows();
        QTRY_COMPARE(VisibleMenus(*frame), idle);
    }

    void printsToAPdfFile()
    {
        const QString path = dir.filePath("sursa.txt");
        WriteBytes(path, "Lucrare\r\nP1, 1, 2\r\nENDF");
        EditorWindow* editor = frame->OpenEditor(path);
        QPrinter& printer = frame->Printer();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("tiparit.pdf"));
        dialogs.printAccepted = false;
        editor->FilePrint->trigger();
        QVERIFY(!QFile::exists(dir.filePath("tiparit.pdf")));
        dialogs.printAccepted = true;
        editor->FilePrint->trigger();
        QCOMPARE(printer.docName(), path);
        QCOMPARE(ReadBytes(dir.filePath("tiparit.pdf")).substr(0, 5), std::string("%PDF-"));
    }

private:
    QTemporaryDir dir;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> frame;
};

} // namespace velmora

QTEST_MAIN(velmora::EditorTest)
#include "editor_test.moc"
