// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/DesktopServices.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QSet>
#include <QUrl>
#include <QWidget>

#include <xcb/xcb.h>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <thread>
#include <utility>

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

void placeInMiddle(QWidget* window) {
    const QSize screen = screenSize();
    const QSize outer = window->frameGeometry().size();
    const double top = screen.height() / 2.0 - twips::fromPixels(outer.height()) / 2.0;
    const double left = screen.width() / 2.0 - twips::fromPixels(outer.width()) / 2.0;
    const QPoint topLeft(twips::toPixels(static_cast<int>(left)),
                         twips::toPixels(static_cast<int>(top)));
    window->move(window->x(), topLeft.y());
    window->move(topLeft);
}

// An X11 window manager frames a window only after it is first shown, and Qt learns the frame
// from the moves and resizes that follow. The first time the outer size differs from the one the
// window was placed by, it is placed again, and the watch ends: later moves are the user's.
class FrameWatch : public QObject {
public:
    static constexpr QLatin1StringView kName{"frameWatch"};

    explicit FrameWatch(QWidget* window) : QObject(window), placedFor_(window->size()) {
        setObjectName(kName);
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        auto* window = qobject_cast<QWidget*>(watched);
        if ((type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show) &&
            window != nullptr && window->isVisible() &&
            window->frameGeometry().size() != placedFor_) {
            window->removeEventFilter(this);
            placeInMiddle(window);
            deleteLater();
        }
        return false;
    }

private:
    QSize placedFor_;
};

// Qt's messages while its platform starts, held back until it is known whether one line is all
// the user should see.
QList<std::pair<QtMsgType, QString>>& heldMessages() {
    static QList<std::pair<QtMsgType, QString>> held;
    return held;
}

int savedStandardError = -1;

void holdMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type != QtFatalMsg) {
        heldMessages().append({type, message});
        return;
    }
    // Qt gives up: every platform it tried failed to start.
    if (savedStandardError >= 0) {
        ::dup2(savedStandardError, STDERR_FILENO);
    }
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const std::string why = platform != nullptr && *platform != '\0'
                                ? std::string("the platform ") + platform + " does not start"
                                : std::string("neither Wayland nor X11 answers");
    std::fprintf(stderr, "%s\n", noDesktopLine(why).c_str());
    std::fflush(stderr);
    std::_Exit(1);
}

}  // namespace

void showMessage(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kApplicationTitle), text,
                    QMessageBox::Ok, QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

std::unique_ptr<QMimeData> clipboardText(std::string_view utf8) {
    try {
        auto data = std::make_unique<QMimeData>();
        data->setData(QStringLiteral("text/plain"),
                      QByteArray(utf8.data(), static_cast<qsizetype>(utf8.size())));
        return data;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void clipboardClear() {
    QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
}

void clipboardSetText(std::unique_ptr<QMimeData> text) {
    QGuiApplication::clipboard()->setMimeData(text.release(), QClipboard::Clipboard);
}

QSize screenSize() {
    const QSize pixels = QGuiApplication::primaryScreen()->size();
    return QSize(twips::fromPixels(pixels.width()), twips::fromPixels(pixels.height()));
}

void centreOnScreen(QWidget* window) {
    placeInMiddle(window);
    if (window->findChild<QObject*>(FrameWatch::kName, Qt::FindDirectChildrenOnly) == nullptr) {
        new FrameWatch(window);
    }
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

std::string noDesktopLine(const std::string& why) {
    return "morvanta: no desktop to show the window on (" + why +
           "); to run it without one: xvfb-run -a morvanta";
}

std::unique_ptr<QApplication> startApplication(int& argc, char** argv) {
    // Wayland's own library writes straight to the standard error, past Qt's message handler.
    std::fflush(stderr);
    savedStandardError = ::dup(STDERR_FILENO);
    const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (savedStandardError >= 0 && nowhere >= 0) {
        ::dup2(nowhere, STDERR_FILENO);
    }
    if (nowhere >= 0) {
        ::close(nowhere);
    }
    const QtMessageHandler previous = qInstallMessageHandler(holdMessage);
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previous);
    if (savedStandardError >= 0) {
        ::dup2(savedStandardError, STDERR_FILENO);
        ::close(savedStandardError);
        savedStandardError = -1;
    }
    const QMessageLogContext context;
    for (const auto& [type, message] : std::exchange(heldMessages(), {})) {
        qt_message_output(type, context, message);
    }
    return app;
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
    // leaves, and would turn Qt away while it does. For the same reason a program started just
    // as another one closed can be turned away for some tens of milliseconds, so the display has
    // two seconds to answer; one with no server behind it costs a mistaken DISPLAY that wait.
    // A server that closes the connection before libxcb has written its greeting, as Xvfb does
    // while it resets, would end the program by SIGPIPE without a word: ignored while it asks.
    static const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> probe = [] {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        struct sigaction previous {};
        ::sigaction(SIGPIPE, &ignore, &previous);
        constexpr int kTries = 20;
        xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
        for (int tried = 1; tried < kTries && xcb_connection_has_error(connection) != 0; ++tried) {
            xcb_disconnect(connection);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            connection = xcb_connect(nullptr, nullptr);
        }
        ::sigaction(SIGPIPE, &previous, nullptr);
        return std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)>(connection,
                                                                            &xcb_disconnect);
    }();
    if (xcb_connection_has_error(probe.get()) == 0) {
        return std::nullopt;
    }
    return "the display " + std::string(std::getenv("DISPLAY")) + " does not answer";
}

}  // namespace morvanta::desktop
