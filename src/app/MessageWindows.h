// The message windows of the program: the error window (form TForm1), after which the program
// ends, the information window (TForm2) that names the result files, the About window (TForm3)
// and the progress window (TForm5) of long runs. Their widgets keep the forms' component names
// (Memo1, Button1, ...) as object names.
#pragma once

#include <QDialog>
#include <QPlainTextEdit>

#include <cstdint>

class QLabel;
class QProgressBar;
class QPushButton;

namespace velmora {

// A memo that takes at most maxTyped characters from the keyboard and the clipboard; text set
// by the program is never cut.
class LimitedMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    LimitedMemo(int maxTyped, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    int Room() const;

    int maxTyped_;
};

class ErrorWindow : public QDialog {
    Q_OBJECT
public:
    explicit ErrorWindow(QWidget* parent);
    // Shows the text modally and returns when the window is closed, by "Exit" or otherwise.
    void ShowModal(const QString& text);

    QPlainTextEdit* Text;
    QLabel* Note;
    QPushButton* ExitButton;
};

class InformationWindow : public QDialog {
    Q_OBJECT
public:
    explicit InformationWindow(QWidget* parent);
    void ShowModal(const QString& text);

    LimitedMemo* Text;
    QPushButton* OkButton;
};

class AboutWindow : public QDialog {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent);
};

// Shown only while a run is long enough to need it; the main window repaints meanwhile, and no
// other command can start, since the window is modal and takes no input.
class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    explicit ProgressWindow(QWidget* parent);
    // done of total points under the given caption; the window closes when done reaches total.
    void ShowProgress(const QString& caption, std::uint64_t done, std::uint64_t total);
    void Finish();

    QProgressBar* Bar;
};

} // namespace velmora
