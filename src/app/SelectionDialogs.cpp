#include "app/SelectionDialogs.h"

#include "app/StandardDialogs.h"
#include "app/TextCodec.h"
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
    QPalette red = Instruction->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Instruction->setPalette(red);
    QFont bold = Instruction->font();
    bold.setBold(true);
    Instruction->setFont(bold);
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
    const QString name = dialogs_.OpenFileName(this, QStringLiteral("Open"), openName_,
                                               QStringLiteral("Fisier intrare|*.TXT"));
    if (!name.isEmpty()) {
        openName_ = name;
        SourceName->setText(name);
    }
    inputPath_ = openName_.toStdString();
    if (ctx_ != nullptr)
        ctx_->inputPath = inputPath_;
}

void FileSelectionDialog::ChooseResult()
{
    const QString name = dialogs_.SaveFileName(this, QStringLiteral("Save As"), saveName_,
                                               QStringLiteral("Fisier iesire |*.TXT"));
    if (!name.isEmpty()) {
        saveName_ = name;
        ResultName->setText(name);
    }
    resultPath_ = saveName_.toStdString();
    if (ctx_ != nullptr)
        ctx_->resultPath = resultPath_;
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
