#include "app/SelectionDialogs.h"

#include "app/StandardDialogs.h"
#include "app/TextCodec.h"
#include "app/WidgetStyle.h"
#include "commands/FileSelection.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace velmora {

namespace {

template <class Widget>
Widget* Named(Widget* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLineEdit* ReadOnlyEdit(const QString& text, QWidget* parent)
{
    auto* edit = new QLineEdit(text, parent);
    edit->setReadOnly(true);
    edit->setMinimumWidth(300);
    return edit;
}

} // namespace

FileSelectionDialog::FileSelectionDialog(StandardDialogs& dialogs, QWidget* parent) : QDialog(parent), dialogs_(dialogs)
{
    setObjectName(QStringLiteral("OKBottomDlg"));
    setWindowTitle(QStringLiteral("Transformare de coordonate cu puncte din fisier"));
    auto* layout = new QVBoxLayout(this);
    Instruction = Named(new QLabel(QStringLiteral("Selectati cu \"click\" sau cu Tab+Enter butoanele <Fisier intrare> si "
                                             "<Fisier iesire>!"),
                              this),
                   "Label5");
    SetTextColour(Instruction, Qt::red);
    SetBold(Instruction);
    layout->addWidget(Instruction);

    auto* grid = new QGridLayout;
    SourceLabel = Named(new QLabel(QStringLiteral("Fisier intrare cu coordonate de transformat:"), this), "Label6");
    SourceButton = Named(new QPushButton(QStringLiteral("Fisier intrare"), this), "BitBtn2");
    SourceName = Named(ReadOnlyEdit(QStringLiteral("*.TXT"), this), "Edit3");
    ResultLabel = Named(new QLabel(QStringLiteral("Numele fisierului cu rezultatele transformarii:"), this), "Label7");
    ResultButton = Named(new QPushButton(QStringLiteral("Fisier iesire"), this), "Button1");
    ResultName = Named(ReadOnlyEdit(QStringLiteral("*.TXT"), this), "Edit1");
    grid->addWidget(SourceLabel, 0, 0, 1, 2);
    grid->addWidget(SourceButton, 1, 0);
    grid->addWidget(SourceName, 1, 1);
    grid->addWidget(ResultLabel, 2, 0, 1, 2);
    grid->addWidget(ResultButton, 3, 0);
    grid->addWidget(ResultName, 3, 1);
    layout->addLayout(grid);

    auto* buttons = new QDialogButtonBox(this);
    OkButton = Named(buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole), "OKBtn");
    CancelButton = Named(buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole), "CancelBtn");
    OkButton->setDefault(true);
    layout->addWidget(buttons);
    connect(SourceButton, &QPushButton::clicked, this, &FileSelectionDialog::ChooseSource);
    connect(ResultButton, &QPushButton::clicked, this, &FileSelectionDialog::ChooseResult);
    // The OK button closes the dialog only through the validation.
    connect(OkButton, &QPushButton::clicked, this, &FileSelectionDialog::Confirm);
    connect(CancelButton, &QPushButton::clicked, this, &FileSelectionDialog::reject);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool FileSelectionDialog::Select(CommandContext& ctx, const QString& caption)
{
    ctx_ = &ctx;
    ctx.inputPath = inputPath_;
    ctx.resultPath = resultPath_;
    setWindowTitle(caption);
    exec();
    ctx_ = nullptr;
    return ctx.dialogConfirmed;
}

void FileSelectionDialog::ChooseSource()
{
    Keep(dialogs_.OpenFileName(this, QStringLiteral("Open"), openName_, QStringLiteral("Fisier intrare|*.TXT")),
         openName_, SourceName, inputPath_, &CommandContext::inputPath);
}

void FileSelectionDialog::ChooseResult()
{
    Keep(dialogs_.SaveFileName(this, QStringLiteral("Save As"), saveName_, QStringLiteral("Fisier iesire |*.TXT")),
         saveName_, ResultName, resultPath_, &CommandContext::resultPath);
}

// A chosen name (none when the file dialog was cancelled) replaces the kept one and shows in its
// edit; either way the kept name is the one the context gets.
void FileSelectionDialog::Keep(const QString& chosen, QString& kept, QLineEdit* edit, std::string& path,
                               std::string CommandContext::*field)
{
    if (!chosen.isEmpty()) {
        kept = chosen;
        edit->setText(chosen);
    }
    path = kept.toStdString();
    if (ctx_ != nullptr)
        ctx_->*field = path;
}

void FileSelectionDialog::Confirm()
{
    if (ctx_ == nullptr)
        return;
    if (const auto message = ValidateFileSelection(*ctx_)) {
        dialogs_.Error(this, TextFromBytes(*message));
        return;
    }
    accept();
}

void FileSelectionDialog::reject()
{
    if (ctx_ != nullptr)
        ctx_->dialogConfirmed = false;
    QDialog::reject();
}

ZoneDialog::ZoneDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("OKRightDlg"));
    setWindowTitle(QStringLiteral("      Optiuni pentru fusul ETRS-TMzn"));
    auto* layout = new QHBoxLayout(this);
    ZoneGroup = Named(new QGroupBox(QStringLiteral("Alegeti fusul:"), this), "RadioGroup1");
    auto* radios = new QVBoxLayout(ZoneGroup);
    Zone34 = new QRadioButton(QStringLiteral("fus 34 (18°..21°..24°)"), ZoneGroup);
    Zone35 = new QRadioButton(QStringLiteral("fus 35 (24°..27°..30°)"), ZoneGroup);
    Zone34->setChecked(true);
    radios->addWidget(Zone34);
    radios->addWidget(Zone35);
    layout->addWidget(ZoneGroup);

    auto* buttons = new QVBoxLayout;
    OkButton = Named(new QPushButton(QStringLiteral("OK"), this), "OKBtn");
    CancelButton = Named(new QPushButton(QStringLiteral("Cancel"), this), "CancelBtn");
    OkButton->setDefault(true);
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);
    buttons->addStretch();
    layout->addLayout(buttons);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool ZoneDialog::Select(CommandContext& ctx)
{
    if (exec() != QDialog::Accepted)
        return false;
    ctx.tmZone = Zone35->isChecked() ? 35 : 34;
    return true;
}

} // namespace velmora
