// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

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
inline std::optional<QByteArray> clipboardSeenByAnotherProgram() {
    QProcess xclip;
    xclip.start(QStringLiteral(MORVANTA_XCLIP),
                {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-o")});
    QElapsedTimer waited;
    waited.start();
    while (xclip.state() != QProcess::NotRunning && waited.elapsed() < 30000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        xclip.waitForFinished(5);
    }
    if (xclip.exitStatus() != QProcess::NormalExit || xclip.exitCode() != 0) {
        return std::nullopt;
    }
    return xclip.readAllStandardOutput();
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
