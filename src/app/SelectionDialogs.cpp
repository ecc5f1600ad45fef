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

TOKBottomDlg::TOKBottomDlg(StandardDialogs& dialogs, QWidget* parent) : QDialog(parent), dialogs_(dialogs)
{
    setObjectName(QStringLiteral("OKBottomDlg"));
    setWindowTitle(QStringLiteral("Transformare de coordonate cu puncte din fisier"));
    auto* layout = new QVBoxLayout(this);
    Label5 = Named(new QLabel(QStringLiteral("Selectati cu \"click\" sau cu Tab+Enter butoanele <Fisier intrare> si "
                                             "<Fisier iesire>!"),
                              this),
                   "Label5");
    QPalette red = Label5->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Label5->setPalette(red);
    QFont bold = Label5->font();
    bold.setBold(true);
    Label5->setFont(bold);
    layout->addWidget(Label5);

    auto* grid = new QGridLayout;
    Label6 = Named(new QLabel(QStringLiteral("Fisier intrare cu coordonate de transformat:"), this), "Label6");
    BitBtn2 = Named(new QPushButton(QStringLiteral("Fisier intrare"), this), "BitBtn2");
    Edit3 = Named(ReadOnlyEdit(QStringLiteral("*.TXT"), this), "Edit3");
    Label7 = Named(new QLabel(QStringLiteral("Numele fisierului cu rezultatele transformarii:"), this), "Label7");
    Button1 = Named(new QPushButton(QStringLiteral("Fisier iesire"), this), "Button1");
    Edit1 = Named(ReadOnlyEdit(QStringLiteral("*.TXT"), this), "Edit1");
    grid->addWidget(Label6, 0, 0, 1, 2);
    grid->addWidget(BitBtn2, 1, 0);
    grid->addWidget(Edit3, 1, 1);
    grid->addWidget(Label7, 2, 0, 1, 2);
    grid->addWidget(Button1, 3, 0);
    grid->addWidget(Edit1, 3, 1);
    layout->addLayout(grid);

    auto* buttons = new QDialogButtonBox(this);
    OKBtn = Named(buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole), "OKBtn");
    CancelBtn = Named(buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole), "CancelBtn");
    OKBtn->setDefault(true);
    layout->addWidget(buttons);
    connect(BitBtn2, &QPushButton::clicked, this, &TOKBottomDlg::BitBtn2Click);
    connect(Button1, &QPushButton::clicked, this, &TOKBottomDlg::Button1Click);
    // The OK button closes the dialog only through the validation.
    connect(OKBtn, &QPushButton::clicked, this, &TOKBottomDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TOKBottomDlg::reject);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool TOKBottomDlg::Select(CommandContext& ctx, const QString& caption)
{
    ctx_ = &ctx;
    ctx.inputPath = inputPath_;
    ctx.resultPath = resultPath_;
    setWindowTitle(caption);
    exec();
    ctx_ = nullptr;
    return ctx.dialogConfirmed;
}

void TOKBottomDlg::BitBtn2Click()
{
    const QString name = dialogs_.OpenFileName(this, QStringLiteral("Open"), openName_,
                                               QStringLiteral("Fisier intrare|*.TXT"));
    if (!name.isEmpty()) {
        openName_ = name;
        Edit3->setText(name);
    }
    inputPath_ = openName_.toStdString();
    if (ctx_ != nullptr)
        ctx_->inputPath = inputPath_;
}

void TOKBottomDlg::Button1Click()
{
    const QString name = dialogs_.SaveFileName(this, QStringLiteral("Save As"), saveName_,
                                               QStringLiteral("Fisier iesire |*.TXT"));
    if (!name.isEmpty()) {
        saveName_ = name;
        Edit1->setText(name);
    }
    resultPath_ = saveName_.toStdString();
    if (ctx_ != nullptr)
        ctx_->resultPath = resultPath_;
}

void TOKBottomDlg::OKBtnClick()
{
    if (ctx_ == nullptr)
        return;
    if (const auto message = ValidateFileSelection(*ctx_)) {
        dialogs_.Error(this, TextFromBytes(*message));
        return;
    }
    accept();
}

void TOKBottomDlg::reject()
{
    if (ctx_ != nullptr)
        ctx_->dialogConfirmed = false;
    QDialog::reject();
}

TOKRightDlg::TOKRightDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("OKRightDlg"));
    setWindowTitle(QStringLiteral("      Optiuni pentru fusul ETRS-TMzn"));
    auto* layout = new QHBoxLayout(this);
    RadioGroup1 = Named(new QGroupBox(QStringLiteral("Alegeti fusul:"), this), "RadioGroup1");
    auto* radios = new QVBoxLayout(RadioGroup1);
    Zone34 = new QRadioButton(QStringLiteral("fus 34 (18°..21°..24°)"), RadioGroup1);
    Zone35 = new QRadioButton(QStringLiteral("fus 35 (24°..27°..30°)"), RadioGroup1);
    Zone34->setChecked(true);
    radios->addWidget(Zone34);
    radios->addWidget(Zone35);
    layout->addWidget(RadioGroup1);

    auto* buttons = new QVBoxLayout;
    OKBtn = Named(new QPushButton(QStringLiteral("OK"), this), "OKBtn");
    CancelBtn = Named(new QPushButton(QStringLiteral("Cancel"), this), "CancelBtn");
    OKBtn->setDefault(true);
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    buttons->addStretch();
    layout->addLayout(buttons);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool TOKRightDlg::Select(CommandContext& ctx)
{
    if (exec() != QDialog::Accepted)
        return false;
    ctx.tmZone = Zone35->isChecked() ? 35 : 34;
    return true;
}

} // namespace velmora
