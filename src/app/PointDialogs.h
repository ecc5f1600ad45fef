// The dialogs of the "Interactiv" commands, one window class for the five forms: TOKBottomDlg1
// (B, L, h in), TOKBottomDlg4 (plane in, B, L, h out), TOKBottomDlg2 and TOKBottomDlg3 (the
// Bucharest models) and TOKRightDlg12 (plane to plane), laid out from their descriptions. The
// commands set caption and labels and read and write the fields by what they hold; the edits keep
// the forms' names, Edit1 to Edit14, as object names.
#pragma once

#include "commands/InteractiveCommands.h"

#include <QDialog>

#include <array>
#include <map>

class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace velmora {

class StandardDialogs;

// The dialog's own texts; the commands replace some of them.
struct PointDialogTexts {
    const char* objectName;
    const char* caption;
    const char* headerIn;
    const char* headerOut;
    const char* inputX;
    const char* inputY;
    const char* inputHeight;
    const char* outputX;
    const char* outputY;
    const char* outputHeight;
    const char* note; // nullptr: none
    const char* okName;
    const char* cancelName;
};

class PointDialogWindow : public QDialog, public PointDialog {
    Q_OBJECT
public:
    PointDialogWindow(PointDialogKind kind, const PointDialogTexts& texts, StandardDialogs& dialogs, QWidget* parent);

    void Prepare(const InteractiveSpec& command) override;
    bool Show(CommandContext& ctx) override;
    std::string Text(PointField field) const override;
    void SetText(PointField field, const std::string& text) override;
    void ShowNote(const std::string& text, const std::string& caption) override;

    QLineEdit* Field(PointField field) const;
    QPushButton* OkButton() const { return okButton_; }
    QPushButton* CancelButton() const { return cancelButton_; }

public slots:
    void Confirm();
    void reject() override;

private:
    QLabel* AddHeader(QVBoxLayout* layout, const char* text);
    QLineEdit* AddEdit(PointField field, int maxLength, bool output);
    void AddGeodeticInputs(QVBoxLayout* layout);
    void AddRow(QVBoxLayout* layout, std::span<const PointField> fields, std::array<const char*, 3> labelTexts,
                std::array<QLabel*, 3>& labels);

    PointDialogKind kind_;
    StandardDialogs& dialogs_;
    CommandContext* ctx_ = nullptr;
    std::map<PointField, QLineEdit*> edits_;
    QLabel* headerIn_ = nullptr;
    QLabel* headerOut_ = nullptr;
    std::array<QLabel*, 3> inputLabels_{};
    std::array<QLabel*, 3> outputLabels_{};
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

// The dialog of that kind with its own texts.
PointDialogWindow* MakePointDialog(PointDialogKind kind, StandardDialogs& dialogs, QWidget* parent);

} // namespace velmora
