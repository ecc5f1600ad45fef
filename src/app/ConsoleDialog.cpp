#include "app/ConsoleDialog.h"

#include "app/TextCodec.h"

#include <QFontDatabase>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

namespace velmora {

ConsoleDialog::ConsoleDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ConsoleDialog"));
    setWindowTitle(QStringLiteral("Velmora - consola"));
    auto* layout = new QVBoxLayout(this);
    Output = new QPlainTextEdit(this);
    Output->setObjectName(QStringLiteral("Output"));
    Output->setReadOnly(true);
    Output->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(Output);
    Input = new QLineEdit(this);
    Input->setObjectName(QStringLiteral("Input"));
    layout->addWidget(Input);
    connect(Input, &QLineEdit::returnPressed, this, &QDialog::accept);
    resize(560, 260);
}

void ConsoleDialog::Write(std::string_view text)
{
    Output->moveCursor(QTextCursor::End);
    Output->insertPlainText(TextFromBytes(text));
}

void ConsoleDialog::ReadLine()
{
    Output->verticalScrollBar()->setValue(Output->verticalScrollBar()->maximum());
    Input->clear();
    Input->setFocus();
    exec();
    // The line read goes on the console like an echo of the keyboard.
    Write(Input->text().toStdString() + "\n");
}

void ConsoleDialog::Clear()
{
    Output->clear();
    Input->clear();
}

} // namespace velmora
