#include "app/MessageWindows.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace velmora {

namespace {

QPushButton* AddButtonRow(QVBoxLayout* layout, const QString& text, QDialog* dialog)
{
    auto* button = new QPushButton(text, dialog);
    button->setDefault(true);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(button);
    row->addStretch();
    layout->addLayout(row);
    return button;
}

void SetTextColour(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Text, colour);
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

void SetBold(QWidget* widget)
{
    QFont font = widget->font();
    font.setBold(true);
    widget->setFont(font);
}

QLabel* CentredLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

LimitedMemo::LimitedMemo(int maxTyped, QWidget* parent) : QPlainTextEdit(parent), maxTyped_(maxTyped) {}

int LimitedMemo::Room() const
{
    const int length = static_cast<int>(document()->characterCount()) - 1;
    return maxTyped_ - length + static_cast<int>(textCursor().selectedText().size());
}

void LimitedMemo::keyPressEvent(QKeyEvent* event)
{
    const QString typed = event->text();
    const bool inserts = !typed.isEmpty() && (typed.at(0).isPrint() || typed.at(0) == QLatin1Char('\r'));
    if (inserts && Room() < typed.size())
        return;
    QPlainTextEdit::keyPressEvent(event);
}

void LimitedMemo::insertFromMimeData(const QMimeData* source)
{
    if (!source->hasText())
        return;
    insertPlainText(source->text().left(std::max(0, Room())));
}

TForm1::TForm1(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Mesaj de eroare"));
    auto* layout = new QVBoxLayout(this);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    SetTextColour(Memo1, Qt::red);
    SetBold(Memo1);
    layout->addWidget(Memo1);
    Label1 = new QLabel(QStringLiteral("Pentru a executa alta transformare, relansati  aplicatia!"), this);
    SetTextColour(Label1, Qt::blue);
    layout->addWidget(Label1);
    Button1 = AddButtonRow(layout, QStringLiteral("Exit"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    resize(420, 220);
}

void TForm1::ShowModal(const QString& text)
{
    Memo1->setPlainText(text);
    exec();
}

TForm2::TForm2(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Mesaj de informare"));
    auto* layout = new QVBoxLayout(this);
    Memo1 = new LimitedMemo(1000, this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(Memo1);
    Button1 = AddButtonRow(layout, QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    resize(420, 200);
}

void TForm2::ShowModal(const QString& text)
{
    Memo1->setPlainText(text);
    exec();
}

TForm3::TForm3(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("About"));
    auto* layout = new QVBoxLayout(this);
    QLabel* product = CentredLabel(QStringLiteral("Velmora"), this);
    QFont font = product->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.6);
    product->setFont(font);
    layout->addWidget(product);
    layout->addWidget(CentredLabel(QStringLiteral("Version 4.08"), this));
    layout->addSpacing(8);
    layout->addWidget(CentredLabel(QStringLiteral("Transformari de coordonate intre sistemele nationale si europene"), this));
    layout->addWidget(CentredLabel(QStringLiteral("Datele incluse sunt date demonstrative,"), this));
    layout->addWidget(CentredLabel(QStringLiteral("nu pentru lucrari de masuratori terestre."), this));
    layout->addSpacing(8);
    QPushButton* ok = AddButtonRow(layout, QStringLiteral("&OK"), this);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

TForm5::TForm5(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Progresul procedurii de calcul grid"));
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setFormat(QStringLiteral("%v / %m puncte"));
    ProgressBar1->setMinimumWidth(360);
    layout->addWidget(ProgressBar1);
}

void TForm5::ShowProgress(const QString& caption, std::uint64_t done, std::uint64_t total)
{
    if (done >= total) {
        Finish();
        return;
    }
    // The bar counts in int; a larger run is shown in proportion.
    const std::uint64_t scale = total / 1'000'000'000 + 1;
    setWindowTitle(caption);
    ProgressBar1->setRange(0, static_cast<int>(total / scale));
    ProgressBar1->setValue(static_cast<int>(done / scale));
    if (!isVisible())
        show();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TForm5::Finish()
{
    hide();
}

} // namespace velmora
