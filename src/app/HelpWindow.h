// Help "Contents": the program's HTML help file, shown at its table of contents. A help file
// that is missing is reported in the help window itself.
#pragma once

#include <QDialog>

class QTextBrowser;

namespace velmora {

inline constexpr const char* kHelpFileName = "pvelmora.html";
// The anchor of the table of contents in the help file.
inline constexpr const char* kHelpContentsAnchor = "cuprins";

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent);
    void ShowContents(const QString& helpFile);

    QTextBrowser* Browser;
};

} // namespace velmora
