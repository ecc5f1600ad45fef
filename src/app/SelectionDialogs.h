// The file selection dialog TOKBottomDlg of the "Din fisier" commands and the zone dialog
// TOKRightDlg of the Transverse Mercator commands. Both keep their choices between uses and
// report their outcome through the command context.
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

class TOKBottomDlg : public QDialog {
    Q_OBJECT
public:
    TOKBottomDlg(StandardDialogs& dialogs, QWidget* parent);

    // Shows the dialog modally under caption. The source and result names are the ones this
    // dialog last chose (none at first), never those another command left in the context.
    // Returns ctx.dialogConfirmed.
    bool Select(CommandContext& ctx, const QString& caption);

    QLabel* Label5;
    QLabel* Label6;
    QPushButton* BitBtn2;
    QLineEdit* Edit3;
    QLabel* Label7;
    QPushButton* Button1;
    QLineEdit* Edit1;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

public slots:
    void BitBtn2Click();
    void Button1Click();
    void OKBtnClick();
    void reject() override;

private:
    StandardDialogs& dialogs_;
    CommandContext* ctx_ = nullptr;
    // The file names of the open and save dialogs, kept between uses.
    QString openName_ = QStringLiteral("*.TXT");
    QString saveName_ = QStringLiteral("REZINT.txt");
    // What the buttons last put into the context.
    std::string inputPath_;
    std::string resultPath_;
};

class TOKRightDlg : public QDialog {
    Q_OBJECT
public:
    explicit TOKRightDlg(QWidget* parent);

    // Shows the dialog modally; sets ctx.tmZone and returns true when it was confirmed.
    bool Select(CommandContext& ctx);

    QGroupBox* RadioGroup1;
    QRadioButton* Zone34;
    QRadioButton* Zone35;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
};

} // namespace velmora
