// The platform's standard dialogs as the windows use them: message boxes, file choosers, the print
// and printer set-up dialogs and the font dialog. Every window asks through one object of this
// class, so tests can answer in place of a person.
#pragma once

#include <QFont>
#include <QMessageBox>
#include <QString>

#include <optional>

class QPrinter;
class QWidget;

namespace velmora {

inline constexpr const char* kErrorCaption = "Mesaj de eroare";

class StandardDialogs {
public:
    virtual ~StandardDialogs() = default;

    // A message box with the caption "Mesaj de eroare", the error icon and an OK button.
    virtual void Error(QWidget* parent, const QString& text);
    // A message box with the information icon and an OK button.
    virtual void Information(QWidget* parent, const QString& caption, const QString& text);
    // A message box with the warning icon and an OK button.
    virtual void Warning(QWidget* parent, const QString& caption, const QString& text);
    virtual QMessageBox::StandardButton Question(QWidget* parent, const QString& caption, const QString& text,
                                                 QMessageBox::StandardButtons buttons);

    // filter is written "description|patterns|description|patterns"; patterns match without regard
    // to letter case. fileName is the name the dialog starts with. Returns the chosen file, or an
    // empty string when cancelled. Like the platform's own dialogs, a choice makes its folder the
    // current directory.
    virtual QString OpenFileName(QWidget* parent, const QString& caption, const QString& fileName,
                                 const QString& filter);
    virtual QString SaveFileName(QWidget* parent, const QString& caption, const QString& fileName,
                                 const QString& filter);

    virtual bool Print(QWidget* parent, QPrinter& printer);
    virtual bool PrinterSetup(QWidget* parent, QPrinter& printer);
    virtual std::optional<QFont> ChooseFont(QWidget* parent, const QFont& initial);
};

// The filter in the form of Qt's file dialogs: "description (patterns)" entries, every pattern
// in its lower- and upper-case spelling, "*.*" as "*".
QStringList QtNameFilters(const QString& filter);

} // namespace velmora
