// The error console of the windows: while a transformation runs, the core's diagnostics are
// collected here, and each wait for Enter shows them in a modal console window until the user
// presses Enter (closing the window continues too).
#pragma once

#include "core/ErrorConsole.h"

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;

namespace velmora {

class ConsoleDialog : public QDialog, public ErrorConsole {
    Q_OBJECT
public:
    explicit ConsoleDialog(QWidget* parent);

    void Write(std::string_view text) override;
    void ReadLine() override;
    // Forgets what the last transformation wrote.
    void Clear();

    QPlainTextEdit* Output;
    QLineEdit* Input;
};

} // namespace velmora
