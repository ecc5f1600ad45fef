// The message windows of the program: the error window TForm1, after which the program ends, the
// information window TForm2 that names the result files, the About window TForm3 and the progress
// window TForm5 of long runs.
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

class TForm1 : public QDialog {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent);
    // Shows the text modally and returns when the window is closed, by "Exit" or otherwise.
    void ShowModal(const QString& text);

    QPlainTextEdit* Memo1;
    QLabel* Label1;
    QPushButton* Button1;
};

class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent);
    void ShowModal(const QString& text);

    LimitedMemo* Memo1;
    QPushButton* Button1;
};

class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent);
};

// Shown only while a run is long enough to need it; the main window repaints meanwhile, and no
// other command can start, since the window is modal and takes no input.
class TForm5 : public QDialog {
    Q_OBJECT
public:
    explicit TForm5(QWidget* parent);
    // done of total points under the given caption; the window closes when done reaches total.
    void ShowProgress(const QString& caption, std::uint64_t done, std::uint64_t total);
    void Finish();

    QProgressBar* ProgressBar1;
};

} // namespace velmora
