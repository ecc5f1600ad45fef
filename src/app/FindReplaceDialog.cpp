#include "app/FindReplaceDialog.h"

#include "app/StandardDialogs.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace velmora {

FindReplaceDialog::FindReplaceDialog(QTextEdit* editor, StandardDialogs& dialogs, QWidget* parent)
    : QDialog(parent), editor_(editor), dialogs_(dialogs)
{
    setObjectName(QStringLiteral("FindReplaceDialog"));
    auto* layout = new QHBoxLayout(this);
    auto* fields = fields_ = new QFormLayout;
    FindText = new QLineEdit(this);
    ReplaceText = new QLineEdit(this);
    fields->addRow(QStringLiteral("Fi&nd what:"), FindText);
    fields->addRow(QStringLiteral("Re&place with:"), ReplaceText);
    MatchCase = new QCheckBox(QStringLiteral("Match &case"), this);
    WholeWord = new QCheckBox(QStringLiteral("Match &whole word only"), this);
    fields->addRow(WholeWord);
    fields->addRow(MatchCase);
    layout->addLayout(fields);

    auto* buttons = new QVBoxLayout;
    FindButton = new QPushButton(QStringLiteral("&Find Next"), this);
    FindButton->setDefault(true);
    ReplaceButton = new QPushButton(QStringLiteral("&Replace"), this);
    ReplaceAllButton = new QPushButton(QStringLiteral("Replace &All"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    for (QPushButton* button : {FindButton, ReplaceButton, ReplaceAllButton, cancel})
        buttons->addWidget(button);
    buttons->addStretch();
    layout->addLayout(buttons);
    connect(FindButton, &QPushButton::clicked, this, &FindReplaceDialog::FindNext);
    connect(ReplaceButton, &QPushButton::clicked, this, &FindReplaceDialog::ReplaceOne);
    connect(ReplaceAllButton, &QPushButton::clicked, this, &FindReplaceDialog::ReplaceAll);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void FindReplaceDialog::Open(bool replace)
{
    setWindowTitle(replace ? QStringLiteral("Replace") : QStringLiteral("Find"));
    fields_->setRowVisible(ReplaceText, replace);
    ReplaceButton->setVisible(replace);
    ReplaceAllButton->setVisible(replace);
    const QString selected = editor_->textCursor().selectedText();
    if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator))
        FindText->setText(selected);
    show();
    raise();
    activateWindow();
    FindText->setFocus();
    FindText->selectAll();
}

QTextDocument::FindFlags FindReplaceDialog::Flags() const
{
    QTextDocument::FindFlags flags;
    if (MatchCase->isChecked())
        flags |= QTextDocument::FindCaseSensitively;
    if (WholeWord->isChecked())
        flags |= QTextDocument::FindWholeWords;
    return flags;
}

bool FindReplaceDialog::SelectionMatches() const
{
    const Qt::CaseSensitivity sensitivity = MatchCase->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
    return !FindText->text().isEmpty() &&
           editor_->textCursor().selectedText().compare(FindText->text(), sensitivity) == 0;
}

bool FindReplaceDialog::FindNext()
{
    if (FindText->text().isEmpty())
        return false;
    if (editor_->find(FindText->text(), Flags()))
        return true;
    dialogs_.Information(this, windowTitle(), QStringLiteral("Cannot find \"%1\"").arg(FindText->text()));
    return false;
}

void FindReplaceDialog::ReplaceOne()
{
    if (SelectionMatches())
        editor_->textCursor().insertText(ReplaceText->text());
    FindNext();
}

int FindReplaceDialog::ReplaceAll()
{
    if (FindText->text().isEmpty())
        return 0;
    QTextDocument* document = editor_->document();
    QTextCursor edit(document);
    edit.beginEditBlock();
    int count = 0;
    QTextCursor found = document->find(FindText->text(), 0, Flags());
    while (!found.isNull()) {
        found.insertText(ReplaceText->text());
        ++count;
        found = document->find(FindText->text(), found, Flags());
    }
    edit.endEditBlock();
    if (count == 0)
        dialogs_.Information(this, windowTitle(), QStringLiteral("Cannot find \"%1\"").arg(FindText->text()));
    return count;
}

} // namespace velmora
