#include <QApplication>

#include <cstdio>
#include <cstdlib>

#include "DesktopServices.h"
#include "frmMain.h"

namespace {

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

}  // namespace

int main(int argc, char* argv[]) {
    // Without a desktop Qt would abort with a page about platform plugins; one line says more.
    if (!isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY") && !isSet("QT_QPA_PLATFORM")) {
        std::fputs(
            "morvanta: no desktop to show the window on (DISPLAY is not set); "
            "to run it without one: xvfb-run -a morvanta\n",
            stderr);
        return 1;
    }
    QApplication app(argc, argv);
    morvanta::desktop::show(new morvanta::frmMain);
    return QApplication::exec();
}
