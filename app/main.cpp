// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>

#include <cstdio>

#include "ui/DesktopServices.h"
#include "ui/frmMain.h"

int main(int argc, char* argv[]) {
    if (const auto why = morvanta::desktop::missingDesktop()) {
        std::fprintf(stderr, "%s\n", morvanta::desktop::noDesktopLine(*why).c_str());
        return 1;
    }
    const auto app = morvanta::desktop::startApplication(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("com.example.morvanta"));
    morvanta::desktop::show(new morvanta::frmMain);
    return QApplication::exec();
}
