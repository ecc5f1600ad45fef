#include "app/HelpWindow.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace velmora {

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Velmora - Ajutor"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Browser = new QTextBrowser(this);
    Browser->setObjectName(QStringLiteral("Browser"));
    Browser->setOpenExternalLinks(true);
    layout->addWidget(Browser);
    resize(640, 480);
}

void HelpWindow::ShowContents(const QString& helpFile)
{
    const QFileInfo file(helpFile);
    if (file.isFile() && file.isReadable()) {
        QUrl url = QUrl::fromLocalFile(file.absoluteFilePath());
        url.setFragment(QString::fromLatin1(kHelpContentsAnchor));
        Browser->setSource(url);
    } else {
        Browser->setHtml(QStringLiteral("<h3>Fisierul de ajutor nu a fost gasit</h3><p>%1</p>")
                             .arg(helpFile.toHtmlEscaped()));
    }
    show();
    raise();
    activateWindow();
}

} // namespace velmora
