// The editor's find and replace dialog: find the next occurrence from the caret, replace the
// found text, replace every occurrence.
#pragma once

#include <QDialog>
#include <QTextDocument>

class QCheckBox;
class QFormLayout;
class QLineEdit;
class QPushButton;
class QTextEdit;

namespace velmora {

class StandardDialogs;

class FindReplaceDialog : public QDialog {
    Q_OBJECT
public:
    FindReplaceDialog(QTextEdit* editor, StandardDialogs& dialogs, QWidget* parent);

    // Shows the dialog, with the replace fields when replace is true.
    void Open(bool replace);

    // Selects the next occurrence after the caret; false (after saying so) when there is none.
    bool FindNext();
    // Replaces the selection when it is an occurrence, then finds the next one.
    void ReplaceOne();
    // Replaces every occurrence in the text as one undo step; returns how many.
    int ReplaceAll();

    QLineEdit* FindText;
    QLineEdit* ReplaceText;
    QCheckBox* MatchCase;
    QCheckBox* WholeWord;
    QPushButton* FindButton;
    QPushButton* ReplaceButton;
    QPushButton* ReplaceAllButton;

private:
    QTextDocument::FindFlags Flags() const;
    bool SelectionMatches() const;

    QFormLayout* fields_;
    QTextEdit* editor_;
    StandardDialogs& dialogs_;
};

} // namespace velmora
