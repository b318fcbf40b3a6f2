// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>

#include "ui/autotests/TestRegistry.h"

// 1 under AddressSanitizer: GCC defines __SANITIZE_ADDRESS__, clang 14 answers __has_feature.
#if defined(__SANITIZE_ADDRESS__)
#define MORVANTA_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MORVANTA_ADDRESS_SANITIZER 1
#endif
#endif
#ifndef MORVANTA_ADDRESS_SANITIZER
#define MORVANTA_ADDRESS_SANITIZER 0
#endif

// A statement rather than an #if, so that a file that lacks this header does not build.
#define MORVANTA_SKIP_UNDER_ADDRESS_SANITIZER(why) \
    if (MORVANTA_ADDRESS_SANITIZER)                \
    QSKIP(why)

namespace morvanta::testing {

// Answers every message box with OK, keeping "caption: text", marked " (icon)" or " (buttons)".
class MessageBoxAnswerer {
public:
    MessageBoxAnswerer() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box != nullptr && box->isVisible()) {
                seen << box->windowTitle() + ": " + box->text() +
                            (box->icon() != QMessageBox::NoIcon ? " (icon)" : "") +
                            (box->buttons().size() != 1 ? " (buttons)" : "");
                box->button(QMessageBox::Ok)->click();
            }
        });
        timer_.start(10);
    }

    QStringList seen;

private:
    QTimer timer_;
};

// What another program reads from the clipboard, or "(nothing)", served by this event loop; into
// a file, so that the read costs this process nothing until `afterwards` has run.
inline QByteArray clipboardSeenByAnotherProgram(const std::function<void()>& afterwards = {}) {
    QTemporaryFile file;
    QProcess xclip;
    if (!file.open()) {
        return "(no file)";
    }
    xclip.setStandardOutputFile(file.fileName());
    xclip.start(MORVANTA_XCLIP, {"-selection", "clipboard", "-o"});
    const bool read =
        QTest::qWaitFor([&] { return xclip.state() == QProcess::NotRunning; }, 60000) &&
        xclip.exitStatus() == QProcess::NormalExit && xclip.exitCode() == 0;
    if (afterwards) {
        afterwards();
    }
    return read ? file.readAll() : QByteArray("(nothing)");
}

// This program run again with `arguments`: its standard output, then "status N" or "crashed".
inline QByteArray runChild(const QStringList& arguments) {
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    child.waitForFinished(120000);
    const bool exited = child.exitStatus() == QProcess::NormalExit;
    return child.readAllStandardOutput() +
           (exited ? "status " + QByteArray::number(child.exitCode()) : QByteArray("crashed"));
}

// The address space capped at `kilobytes`, as `ulimit -v` does; 0 lifts the cap again.
inline void capAddressSpace(long long kilobytes) {
    rlimit limit{};
    getrlimit(RLIMIT_AS, &limit);
    limit.rlim_cur = kilobytes == 0 ? limit.rlim_max : static_cast<rlim_t>(kilobytes) * 1024;
    setrlimit(RLIMIT_AS, &limit);
}

// The address space capped `kilobytes` above what is in use.
inline void capAboveInUse(long long kilobytes) {
    long long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    capAddressSpace(pages * sysconf(_SC_PAGESIZE) / 1024 + kilobytes);
}

// The close box pressed as the desktop does, by WM_DELETE_WINDOW, which a modal window blocks.
inline void pressCloseBox(QWidget* window) {
    xcb_connection_t* x =
        qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    const auto atom = [x](const char* name) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            x, xcb_intern_atom(x, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
        const xcb_atom_t found = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(reply);
        return found;
    };
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = static_cast<xcb_window_t>(window->winId());
    message.type = atom("WM_PROTOCOLS");
    message.data.data32[0] = atom("WM_DELETE_WINDOW");
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(x, 0, message.window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(x);
}

// The visible top-level windows of that name.
inline QWidgetList shownWindows(const QString& name) {
    QWidgetList found = QApplication::topLevelWidgets();
    found.removeIf([&](QWidget* w) { return w->objectName() != name || !w->isVisible(); });
    return found;
}

inline QWidget* shownWindow(const QString& name) {
    return shownWindows(name).value(0);
}

// Clicks the button or chooses the menu item of that name.
inline void choose(QWidget* window, const QString& name) {
    if (auto* button = window->findChild<QPushButton*>(name)) {
        button->click();
    } else {
        window->findChild<QAction*>(name)->trigger();
    }
}

}  // namespace morvanta::testing
