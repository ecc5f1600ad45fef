// velmora: the desktop application. The data files are looked up in the directory current at
// start-up; the program ends when its main window closes, or after the error window.
//
//   velmora [--model-building]
// --model-building shows the model-building, conversion and quasigeoid commands (the menus
// Conversie_Coordonate, Transformare_2D and Transformare_3D, and the quasigeoid item of
// Transformare_Puncte_Romania), hidden and disabled otherwise.
#include "app/MDIFrame.h"
#include "app/StandardDialogs.h"

#include <QApplication>

#include <filesystem>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora.exe"));
    velmora::StandardDialogs dialogs;
    const bool modelBuilding = QApplication::arguments().contains(QStringLiteral("--model-building"));
    velmora::MainWindow frame(std::filesystem::current_path(), dialogs, [] { QApplication::exit(1); }, modelBuilding);
    frame.show();
    return QApplication::exec();
}
