#include "app/PointDialogs.h"

#include "app/StandardDialogs.h"
#include "app/TextCodec.h"
#include "app/WidgetStyle.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora {

namespace {

constexpr const char* kHeightNote = "OBSERVATIE: H_MN nu este obligatoriu (h transformat depinde de precizia "
                                    "cvasigeoidului)";

constexpr PointDialogTexts kBottomDlg1{"OKBottomDlg1", "Transformare interactiva (B,L,h) ETRS89",
                                      "Intrare: (B,L,h) ETRS89", "Iesire: (x,y,H_MN)", nullptr, nullptr, nullptr,
                                      "x", "y", "H_MN",
                                      "OBSERVATIE: h nu este obligatoriu (H_MN transformat depinde de precizia "
                                      "cvasigeoidului)",
                                      "OKBtn", "CancelBtn"};
constexpr PointDialogTexts kBottomDlg2{"OKBottomDlg2", "Transformare interactiva (x,y) Stereo30 --> (x,y) Stereo70",
                                      "Intrare: (x,y) Stereo30 Bucuresti", "Iesire: (x,y) Stereo70", "x (Est)",
                                      "y (Nord)", nullptr, "x (Nord)", "y (Est)", nullptr, nullptr, "Button1",
                                      "Button2"};
constexpr PointDialogTexts kBottomDlg3{"OKBottomDlg3", "Transformare interactiva (x,y) Stereo70 --> (x,y) Stereo30",
                                      "Intrare: (x,y) Stereo70", "Iesire: (x,y) Stereo30 Bucuresti", "x (Nord)",
                                      "y (Est)", nullptr, "x (Est)", "y (Nord)", nullptr, nullptr, "Button1",
                                      "Button2"};
constexpr PointDialogTexts kBottomDlg4{"OKBottomDlg4", "Transformare interactiva (x,y,H_MN) --> (B,L,h) ETRS89",
                                      "Intrare: (x,y,H_MN)", "Iesire: (B,L,h) ETRS89", "x", "y", "H_MN", "B", "L",
                                      "h", kHeightNote, "OKBtn", "CancelBtn"};
constexpr PointDialogTexts kRightDlg12{"OKRightDlg12", "Transformare interactiva", "Intrare:", "Iesire:", "x", "y",
                                       "H", "x", "y", "H", kHeightNote, "OKBtn", "CancelBtn"};

QString Latin(const char* text)
{
    return QString::fromLatin1(text);
}

// The window's own number of the edit that holds the field: EditN.
int EditNumber(PointDialogKind kind, PointField field)
{
    const bool geodetic = kind == PointDialogKind::Geodetic;
    switch (field) {
    case PointField::BDegrees: return 1;
    case PointField::BMinutes: return 2;
    case PointField::BSeconds: return 3;
    case PointField::BFraction: return 4;
    case PointField::LDegrees: return 5;
    case PointField::LMinutes: return 6;
    case PointField::LSeconds: return 7;
    case PointField::LFraction: return 8;
    case PointField::InputX: return IsModelDialog(kind) ? 1 : 10;
    case PointField::InputY: return IsModelDialog(kind) ? 3 : 11;
    case PointField::InputHeight: return geodetic ? 9 : 2;
    case PointField::OutputX: return geodetic || IsModelDialog(kind) ? 10 : 1;
    case PointField::OutputY: return geodetic || IsModelDialog(kind) ? 11 : 5;
    case PointField::OutputHeight: return geodetic ? 14 : 3;
    }
    return 0;
}

void SetLabel(QLabel* label, const char* text)
{
    if (label != nullptr && text != nullptr)
        label->setText(Latin(text));
}

} // namespace

PointDialogWindow::PointDialogWindow(PointDialogKind kind, const PointDialogTexts& texts, StandardDialogs& dialogs,
                                     QWidget* parent)
    : QDialog(parent), kind_(kind), dialogs_(dialogs)
{
    setObjectName(Latin(texts.objectName));
    setWindowTitle(Latin(texts.caption));
    auto* layout = new QVBoxLayout(this);
    headerIn_ = AddHeader(layout, texts.headerIn);
    if (kind == PointDialogKind::Geodetic) {
        AddGeodeticInputs(layout);
    } else {
        std::array<PointField, 3> fields{};
        const std::span<const PointFieldLimit> inputs = InputFields(kind);
        for (std::size_t k = 0; k < inputs.size(); ++k) {
            AddEdit(inputs[k].field, inputs[k].maxLength, false);
            fields[k] = inputs[k].field;
        }
        AddRow(layout, std::span<const PointField>(fields.data(), inputs.size()),
               {texts.inputX, texts.inputY, texts.inputHeight}, inputLabels_);
    }
    if (texts.note != nullptr) {
        auto* note = new QLabel(Latin(texts.note), this);
        note->setWordWrap(true);
        layout->addWidget(note);
    }
    headerOut_ = AddHeader(layout, texts.headerOut);
    for (const PointField field : OutputFields(kind))
        AddEdit(field, 0, true);
    AddRow(layout, OutputFields(kind), {texts.outputX, texts.outputY, texts.outputHeight}, outputLabels_);

    auto* buttons = new QHBoxLayout;
    okButton_ = new QPushButton(QStringLiteral("Transformare"), this);
    okButton_->setObjectName(Latin(texts.okName));
    okButton_->setDefault(true);
    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton_->setObjectName(Latin(texts.cancelName));
    buttons->addStretch();
    buttons->addWidget(okButton_);
    buttons->addWidget(cancelButton_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(okButton_, &QPushButton::clicked, this, &PointDialogWindow::Confirm);
    connect(cancelButton_, &QPushButton::clicked, this, &PointDialogWindow::reject);
}

QLabel* PointDialogWindow::AddHeader(QVBoxLayout* layout, const char* text)
{
    auto* header = new QLabel(Latin(text), this);
    SetBold(header);
    layout->addWidget(header);
    return header;
}

QLineEdit* PointDialogWindow::AddEdit(PointField field, int maxLength, bool output)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QStringLiteral("Edit%1").arg(EditNumber(kind_, field)));
    if (output) {
        edit->setReadOnly(true);
        edit->setFocusPolicy(Qt::ClickFocus);
    } else {
        edit->setMaxLength(maxLength);
    }
    // Room for what the edit holds: a part of an angle, a coordinate, or an angle as text.
    const int chars = output ? 18 : maxLength + 3;
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * chars);
    edits_[field] = edit;
    return edit;
}

// Degrees, minutes, seconds and fraction of B (Edit1..Edit4) and L (Edit5..Edit8), then h (Edit9).
void PointDialogWindow::AddGeodeticInputs(QVBoxLayout* layout)
{
    auto* grid = new QGridLayout;
    const std::array<const char*, 4> headings{"grade", "minute", "secunde", "fractiuni"};
    for (std::size_t k = 0; k < headings.size(); ++k)
        grid->addWidget(new QLabel(Latin(headings[k]), this), 0, static_cast<int>(k) + 1);
    const std::span<const PointFieldLimit> inputs = InputFields(kind_);
    const std::array<const char*, 3> rows{"B", "L", "h (m)"};
    for (std::size_t k = 0; k < inputs.size(); ++k) {
        const int row = static_cast<int>(k / 4) + 1;
        const int column = static_cast<int>(k % 4) + 1;
        if (column == 1)
            grid->addWidget(new QLabel(Latin(rows[k / 4]), this), row, 0);
        // The height has no parts: its edit takes the whole row.
        const int span = row == 3 ? 4 : 1;
        grid->addWidget(AddEdit(inputs[k].field, inputs[k].maxLength, false), row, column, 1, span, Qt::AlignLeft);
    }
    grid->setColumnStretch(static_cast<int>(headings.size()) + 1, 1);
    layout->addLayout(grid);
}

void PointDialogWindow::AddRow(QVBoxLayout* layout, std::span<const PointField> fields,
                               std::array<const char*, 3> labelTexts, std::array<QLabel*, 3>& labels)
{
    auto* row = new QHBoxLayout;
    for (std::size_t k = 0; k < fields.size(); ++k) {
        labels[k] = new QLabel(Latin(labelTexts[k] != nullptr ? labelTexts[k] : ""), this);
        row->addWidget(labels[k]);
        row->addWidget(edits_.at(fields[k]));
    }
    row->addStretch();
    layout->addLayout(row);
}

void PointDialogWindow::Prepare(const InteractiveSpec& command)
{
    setWindowTitle(Latin(command.caption));
    const PointDialogLabels& labels = command.labels;
    SetLabel(headerIn_, labels.headerIn);
    SetLabel(headerOut_, labels.headerOut);
    SetLabel(inputLabels_[0], labels.inputX);
    SetLabel(inputLabels_[1], labels.inputY);
    SetLabel(inputLabels_[2], labels.inputHeight);
    SetLabel(outputLabels_[0], labels.outputX);
    SetLabel(outputLabels_[1], labels.outputY);
    SetLabel(outputLabels_[2], labels.outputHeight);
}

bool PointDialogWindow::Show(CommandContext& ctx)
{
    ctx_ = &ctx;
    exec();
    ctx_ = nullptr;
    return ctx.dialogConfirmed;
}

std::string PointDialogWindow::Text(PointField field) const
{
    return EncodeWindows1252(Field(field)->text());
}

void PointDialogWindow::SetText(PointField field, const std::string& text)
{
    Field(field)->setText(DecodeWindows1252(text));
}

void PointDialogWindow::ShowNote(const std::string& text, const std::string& caption)
{
    dialogs_.Information(isVisible() ? this : parentWidget(), TextFromBytes(caption), TextFromBytes(text));
}

QLineEdit* PointDialogWindow::Field(PointField field) const
{
    return edits_.at(field);
}

void PointDialogWindow::Confirm()
{
    if (ctx_ == nullptr)
        return;
    if (const auto message = ConfirmPointDialog(*ctx_, kind_)) {
        dialogs_.Error(this, TextFromBytes(*message));
        return;
    }
    accept();
}

void PointDialogWindow::reject()
{
    if (ctx_ != nullptr) {
        ctx_->dialogConfirmed = false;
        ctx_->interactiveMode = false;
    }
    QDialog::reject();
}

PointDialogWindow* MakePointDialog(PointDialogKind kind, StandardDialogs& dialogs, QWidget* parent)
{
    const PointDialogTexts* texts = &kRightDlg12;
    switch (kind) {
    case PointDialogKind::Geodetic: texts = &kBottomDlg1; break;
    case PointDialogKind::Stereo30Model: texts = &kBottomDlg2; break;
    case PointDialogKind::Stereo70Model: texts = &kBottomDlg3; break;
    case PointDialogKind::PlaneToGeodetic: texts = &kBottomDlg4; break;
    case PointDialogKind::Plane: break;
    }
    return new PointDialogWindow(kind, *texts, dialogs, parent);
}

} // namespace velmora
