// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>

#include <cstdio>

#include "ui/DesktopServices.h"
#include "workshop/Memory.h"
#include "workshop/SessionEnd.h"
#include "workshop/WorkshopWindow.h"

int main(int argc, char* argv[]) {
    morvanta::workshop::shareOneMemoryArena();
    if (const auto why = morvanta::desktop::missingDesktop()) {
        std::fprintf(stderr,
                     "morvanta-workshop: no desktop to show the window on (%s); to run it without "
                     "one: xvfb-run -a morvanta-workshop\n",
                     why->c_str());
        return 1;
    }
    QApplication app(argc, argv);
    morvanta::workshop::setApplicationIdentity();
    morvanta::workshop::WorkshopWindow window;
    morvanta::workshop::closeOnSessionEnd(&window);
    window.show();
    return QApplication::exec();
}
