// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryFile>
#include <QTimer>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>

namespace morvanta::testing {

struct MessageSeen {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    qsizetype buttons = 0;
};

// Answers every message box the code under test raises, as a user pressing OK would, and keeps
// what each one showed; a test never waits for a person.
class MessageBoxAnswerer {
public:
    MessageBoxAnswerer() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || !box->isVisible()) {
                return;
            }
            seen.append({box->windowTitle(), box->text(), box->icon(), box->buttons().size()});
            box->button(QMessageBox::Ok)->click();
        });
        timer_.start();
    }

    QList<MessageSeen> seen;

private:
    QTimer timer_;
};

// What another program reads from the clipboard, byte for byte; empty optional when it finds no
// text there at all. The event loop keeps running meanwhile, since this process serves the read.
// The text goes through a file, so that reading it costs this process nothing until `afterwards`
// has run.
inline std::optional<QByteArray> clipboardSeenByAnotherProgram(
    const std::function<void()>& afterwards = {}) {
    QTemporaryFile file;
    if (!file.open()) {
        return std::nullopt;
    }
    QProcess xclip;
    xclip.setStandardOutputFile(file.fileName());
    xclip.start(QStringLiteral(MORVANTA_XCLIP),
                {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-o")});
    QElapsedTimer waited;
    waited.start();
    while (xclip.state() != QProcess::NotRunning && waited.elapsed() < 30000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        xclip.waitForFinished(5);
    }
    if (afterwards) {
        afterwards();
    }
    if (xclip.state() != QProcess::NotRunning || xclip.exitStatus() != QProcess::NormalExit ||
        xclip.exitCode() != 0) {
        return std::nullopt;
    }
    return file.readAll();
}

// Presses a window's close box as the desktop does: the X11 WM_DELETE_WINDOW message, which Qt
// turns into a close event unless a modal window blocks it.
inline void pressCloseBox(QWidget* window) {
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    const auto atom = [x](const char* name) {
        const auto cookie = xcb_intern_atom(x, 0, static_cast<uint16_t>(std::strlen(name)), name);
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(x, cookie, nullptr);
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
    // Checked, so that the server has the message before this connection closes.
    std::free(
        xcb_request_check(x, xcb_send_event_checked(x, 0, message.window, XCB_EVENT_MASK_NO_EVENT,
                                                    reinterpret_cast<const char*>(&message))));
    xcb_disconnect(x);
}

template <typename T>
T* topLevel(const QString& name) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == name && w->isVisible()) {
            return qobject_cast<T*>(w);
        }
    }
    return nullptr;
}

inline int visibleTopLevels(const QString& name) {
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        count += (w->objectName() == name && w->isVisible()) ? 1 : 0;
    }
    return count;
}

}  // namespace morvanta::testing
