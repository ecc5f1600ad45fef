// velmora: the desktop application. The data files are looked up in the directory current at
// start-up; the program ends when its main window closes, or after the error window.
#include "app/MDIFrame.h"
#include "app/StandardDialogs.h"

#include <QApplication>

#include <filesystem>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora.exe"));
    velmora::StandardDialogs dialogs;
    velmora::MainWindow frame(std::filesystem::current_path(), dialogs, [] { QApplication::exit(1); });
    frame.show();
    return QApplication::exec();
}
