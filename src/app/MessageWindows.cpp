#include "app/MessageWindows.h"

#include "app/WidgetStyle.h"

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

ErrorWindow::ErrorWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Mesaj de eroare"));
    auto* layout = new QVBoxLayout(this);
    Text = new QPlainTextEdit(this);
    Text->setObjectName(QStringLiteral("Memo1"));
    Text->setReadOnly(true);
    Text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    SetTextColour(Text, Qt::red);
    SetBold(Text);
    layout->addWidget(Text);
    Note = new QLabel(QStringLiteral("Pentru a executa alta transformare, relansati  aplicatia!"), this);
    SetTextColour(Note, Qt::blue);
    layout->addWidget(Note);
    ExitButton = AddButtonRow(layout, QStringLiteral("Exit"), this);
    ExitButton->setObjectName(QStringLiteral("Button1"));
    connect(ExitButton, &QPushButton::clicked, this, &QDialog::accept);
    resize(420, 220);
}

void ErrorWindow::ShowModal(const QString& text)
{
    Text->setPlainText(text);
    exec();
}

InformationWindow::InformationWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Mesaj de informare"));
    auto* layout = new QVBoxLayout(this);
    Text = new LimitedMemo(1000, this);
    Text->setObjectName(QStringLiteral("Memo1"));
    Text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(Text);
    OkButton = AddButtonRow(layout, QStringLiteral("OK"), this);
    OkButton->setObjectName(QStringLiteral("Button1"));
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    resize(420, 200);
}

void InformationWindow::ShowModal(const QString& text)
{
    Text->setPlainText(text);
    exec();
}

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent)
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
    layout->addWidget(CentredLabel(QStringLiteral("Version " VELMORA_VERSION), this));
    layout->addSpacing(8);
    layout->addWidget(CentredLabel(QStringLiteral("Transformari de coordonate intre sistemele nationale si europene"), this));
    layout->addWidget(CentredLabel(QStringLiteral("Datele incluse sunt date demonstrative,"), this));
    layout->addWidget(CentredLabel(QStringLiteral("nu pentru lucrari de masuratori terestre."), this));
    layout->addSpacing(8);
    QPushButton* ok = AddButtonRow(layout, QStringLiteral("&OK"), this);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

ProgressWindow::ProgressWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Progresul procedurii de calcul grid"));
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    Bar = new QProgressBar(this);
    Bar->setObjectName(QStringLiteral("ProgressBar1"));
    Bar->setFormat(QStringLiteral("%v / %m puncte"));
    Bar->setMinimumWidth(360);
    layout->addWidget(Bar);
}

void ProgressWindow::ShowProgress(const QString& caption, std::uint64_t done, std::uint64_t total)
{
    if (done >= total) {
        Finish();
        return;
    }
    // The bar counts in int; a larger run is shown in proportion.
    const std::uint64_t scale = total / 1'000'000'000 + 1;
    setWindowTitle(caption);
    Bar->setRange(0, static_cast<int>(total / scale));
    Bar->setValue(static_cast<int>(done / scale));
    if (!isVisible())
        show();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void ProgressWindow::Finish()
{
    hide();
}

} // namespace velmora
