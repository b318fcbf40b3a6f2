#include <QApplication>

#include "DesktopServices.h"
#include "frmMain.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    morvanta::desktop::show(new morvanta::frmMain);
    return QApplication::exec();
}
