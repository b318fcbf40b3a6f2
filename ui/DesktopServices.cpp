// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/DesktopServices.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QMessageBox>
#include <QScreen>
#include <QSet>
#include <QUrl>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

#include "ui/Twips.h"

namespace morvanta::desktop {

namespace {

// Qt's own rule leaves tool windows out of "last window closed", so the program keeps its own
// count of loaded windows instead.
QSet<QObject*>& loadedWindows() {
    static QSet<QObject*> windows;
    return windows;
}

constexpr int kStandInStretch = 92;

void forget(QObject* window) {
    if (loadedWindows().remove(window) && loadedWindows().isEmpty()) {
        QCoreApplication::quit();
    }
}

}  // namespace

void showMessage(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kApplicationTitle), text,
                    QMessageBox::Ok, QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

void clipboardClear() {
    QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
}

void clipboardSetText(const QString& text) {
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

QSize screenSize() {
    const QSize pixels = QGuiApplication::primaryScreen()->size();
    return QSize(twips::fromPixels(pixels.width()), twips::fromPixels(pixels.height()));
}

void centreOnScreen(QWidget* window) {
    const QSize screen = screenSize();
    const QSize outer = window->frameGeometry().size();
    const double top = screen.height() / 2.0 - twips::fromPixels(outer.height()) / 2.0;
    const double left = screen.width() / 2.0 - twips::fromPixels(outer.width()) / 2.0;
    const QPoint topLeft(twips::toPixels(static_cast<int>(left)),
                         twips::toPixels(static_cast<int>(top)));
    window->move(window->x(), topLeft.y());
    window->move(topLeft);
}

void show(QWidget* window) {
    if (!loadedWindows().contains(window)) {
        QGuiApplication::setQuitOnLastWindowClosed(false);
        window->setAttribute(Qt::WA_DeleteOnClose);
        loadedWindows().insert(window);
        QObject::connect(window, &QObject::destroyed, [](QObject* gone) { forget(gone); });
    }
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

void unload(QWidget* window) {
    // Deleted later, not here: the caller is often a handler of one of the window's own
    // controls or menus, still on the stack.
    const bool deletesItself = window->testAttribute(Qt::WA_DeleteOnClose);
    if (window->close() && !deletesItself) {
        window->deleteLater();
    }
}

QFont dialogFont(double points, bool bold) {
    QFont font;
    // Arial's metric twins come first among the stand-ins: a wider face would cut the captions.
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arial"), QStringLiteral("Arimo"),
                      QStringLiteral("Nimbus Sans")});
    font.setStyleHint(QFont::SansSerif);
    // The stand-in faces run wider than MS Sans Serif; narrowed a little they keep to the
    // layout's two-line labels and button captions.
    font.setStretch(kStandInStretch);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QIcon programIcon() {
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/morvanta-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icons/morvanta-32.png"), QSize(32, 32));
    return icon;
}

void openAddress(const QString& address) {
    QDesktopServices::openUrl(QUrl(address));
}

std::optional<std::string> missingDesktop() {
    const auto isSet = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    if (isSet("QT_QPA_PLATFORM") || isSet("WAYLAND_DISPLAY")) {
        return std::nullopt;
    }
    if (!isSet("DISPLAY")) {
        return "DISPLAY is not set";
    }
    // Held until the program ends: a bare X server such as Xvfb resets when its last client
    // leaves, and would turn Qt away while it does.
    static const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> probe(
        xcb_connect(nullptr, nullptr), &xcb_disconnect);
    if (xcb_connection_has_error(probe.get()) == 0) {
        return std::nullopt;
    }
    return "the display " + std::string(std::getenv("DISPLAY")) + " does not answer";
}

}  // namespace morvanta::desktop
