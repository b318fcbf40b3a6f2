// SPDX-License-Identifier: GPL-3.0-or-later
#include "workshop/SessionEnd.h"

#include <QApplication>
#include <QPointer>
#include <QSocketNotifier>
#include <QWidget>

#include <sys/socket.h>
#include <unistd.h>
#include <csignal>

namespace morvanta::workshop {

namespace {

// The pipe's ends: the handler writes to the first, the event loop reads the second.
int ends[2] = {-1, -1};

extern "C" void noteSignal(int) {
    const char byte = 1;
    // Nothing else is safe in a handler; a full pipe already says the same.
    [[maybe_unused]] const ssize_t written = ::write(ends[0], &byte, 1);
}

}  // namespace

void closeOnSessionEnd(QWidget* window) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(ends[1], QSocketNotifier::Read, qApp);
    QPointer<QWidget> target(window);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [notifier, target] {
        notifier->setEnabled(false);
        char byte = 0;
        [[maybe_unused]] const ssize_t read = ::read(ends[1], &byte, 1);
        if (target) {
            target->close();
        }
        // A dialog open has an event loop of its own, which quit() leaves too.
        QApplication::closeAllWindows();
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        ::sigaction(signal, &action, nullptr);
    }
}

}  // namespace morvanta::workshop
