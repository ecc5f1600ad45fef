#include "app/StandardDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace velmora {

namespace {

QString RunFileDialog(QWidget* parent, const QString& caption, const QString& fileName, const QString& filter,
                      QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, caption);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(QtNameFilters(filter));
    dialog.setDirectory(QDir::current());
    // A pattern is what the dialog lists, not a file to preselect.
    if (!fileName.contains(QLatin1Char('*')))
        dialog.selectFile(fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString chosen = dialog.selectedFiles().constFirst();
    QDir::setCurrent(QFileInfo(chosen).absolutePath());
    return chosen;
}

} // namespace

QStringList QtNameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype k = 0; k + 1 < parts.size(); k += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[k + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            if (pattern == QLatin1String("*.*")) {
                patterns << QStringLiteral("*");
                continue;
            }
            patterns << pattern.toLower();
            if (pattern.toUpper() != pattern.toLower())
                patterns << pattern.toUpper();
        }
        filters << parts[k] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters;
}

void StandardDialogs::Error(QWidget* parent, const QString& text)
{
    QMessageBox::critical(parent, QString::fromLatin1(kErrorCaption), text);
}

void StandardDialogs::Information(QWidget* parent, const QString& caption, const QString& text)
{
    QMessageBox::information(parent, caption, text);
}

void StandardDialogs::Warning(QWidget* parent, const QString& caption, const QString& text)
{
    QMessageBox::warning(parent, caption, text);
}

QMessageBox::StandardButton StandardDialogs::Question(QWidget* parent, const QString& caption, const QString& text,
                                                      QMessageBox::StandardButtons buttons)
{
    return QMessageBox::question(parent, caption, text, buttons);
}

QString StandardDialogs::OpenFileName(QWidget* parent, const QString& caption, const QString& fileName,
                                      const QString& filter)
{
    return RunFileDialog(parent, caption, fileName, filter, QFileDialog::AcceptOpen);
}

QString StandardDialogs::SaveFileName(QWidget* parent, const QString& caption, const QString& fileName,
                                      const QString& filter)
{
    return RunFileDialog(parent, caption, fileName, filter, QFileDialog::AcceptSave);
}

bool StandardDialogs::Print(QWidget* parent, QPrinter& printer)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

bool StandardDialogs::PrinterSetup(QWidget* parent, QPrinter& printer)
{
    QPageSetupDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

std::optional<QFont> StandardDialogs::ChooseFont(QWidget* parent, const QFont& initial)
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, parent);
    return ok ? std::optional<QFont>(font) : std::nullopt;
}

} // namespace velmora
