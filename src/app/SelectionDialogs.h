// The file selection dialog (form TOKBottomDlg) of the "Din fisier" commands and the zone dialog
// (TOKRightDlg) of the Transverse Mercator commands. Both keep their choices between uses and
// report their outcome through the command context. Their widgets keep the forms' component
// names (BitBtn2, Edit3, OKBtn, ...) as object names.
#pragma once

#include "commands/CommandContext.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace velmora {

class StandardDialogs;

class FileSelectionDialog : public QDialog {
    Q_OBJECT
public:
    FileSelectionDialog(StandardDialogs& dialogs, QWidget* parent);

    // Shows the dialog modally under caption. The source and result names are the ones this
    // dialog last chose (none at first), never those another command left in the context.
    // Returns ctx.dialogConfirmed.
    bool Select(CommandContext& ctx, const QString& caption);

    QLabel* Instruction;
    QLabel* SourceLabel;
    QPushButton* SourceButton;
    QLineEdit* SourceName;
    QLabel* ResultLabel;
    QPushButton* ResultButton;
    QLineEdit* ResultName;
    QPushButton* OkButton;
    QPushButton* CancelButton;

public slots:
    void ChooseSource();
    void ChooseResult();
    void Confirm();
    void reject() override;

private:
    void Keep(const QString& chosen, QString& kept, QLineEdit* edit, std::string& path,
              std::string CommandContext::*field);

    StandardDialogs& dialogs_;
    CommandContext* ctx_ = nullptr;
    // The file names of the open and save dialogs, kept between uses.
    QString openName_ = QStringLiteral("*.TXT");
    QString saveName_ = QStringLiteral("REZINT.txt");
    // What the buttons last put into the context.
    std::string inputPath_;
    std::string resultPath_;
};

class ZoneDialog : public QDialog {
    Q_OBJECT
public:
    explicit ZoneDialog(QWidget* parent);

    // Shows the dialog modally; sets ctx.tmZone and returns true when it was confirmed.
    bool Select(CommandContext& ctx);

    QGroupBox* ZoneGroup;
    QRadioButton* Zone34;
    QRadioButton* Zone35;
    QPushButton* OkButton;
    QPushButton* CancelButton;
};

} // namespace velmora
