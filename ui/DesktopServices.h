// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QIcon>
#include <QMimeData>
#include <QSize>
#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QApplication;
class QWidget;

namespace morvanta::desktop {

// The application title, the caption of every message box and of the main window.
inline constexpr const char* kApplicationTitle = "Morvanta";

// A modal message box over the active window: the text, caption "Morvanta", no icon, one OK
// button. Blocks input to every window of the program and returns once it is dismissed.
void showMessage(const QString& text);

// The system clipboard, not the X11 selection. clipboardText() makes the clipboard's data for a
// text first: a copy of its UTF-8 bytes, which the clipboard hands to other programs as they are,
// so that nothing is converted (and nothing can run short of memory) while another program reads.
// It is empty when the memory for the copy could not be had; the clipboard is then left as it
// was. Clear empties the clipboard of every format; SetText then offers exactly that text as plain
// text, an empty text included (other programs then read "", not nothing). The callers pass text
// whose line breaks are already CR LF.
//
//   auto text = clipboardText(bytes);
//   if (text) { clipboardClear(); clipboardSetText(std::move(text)); }
std::unique_ptr<QMimeData> clipboardText(std::string_view utf8);
void clipboardClear();
void clipboardSetText(std::unique_ptr<QMimeData> text);

// The primary screen's size in twips, read afresh at every call.
QSize screenSize();

// Places a window in the middle of the primary screen, top first, then left, from its outer size.
// Before the desktop has framed the window, its own size stands in for the outer size; a window
// manager that frames it once shown adds a title bar and borders, and the window is then centred
// again from the framed size, so that the frame, not the client area, sits in the middle.
void centreOnScreen(QWidget* window);

// A window is loaded from its first show() until unload() or its close box destroys it. show()
// makes it visible without an owner, brings it to the front and registers it; the program ends
// when the last loaded window goes, whatever its kind (a tool window counts as much as any other).
void show(QWidget* window);
void unload(QWidget* window);

// The dialog font the layouts were drawn for, MS Sans Serif, else the nearest sans-serif face.
// The windows set it as their default; the About title lines ask for it larger and bold.
QFont dialogFont(double points = 8.0, bool bold = false);

// The program icon, a rotary table with its holes, at 16 and 32 pixels.
QIcon programIcon();

// Why no window could be shown, before Qt is started (which would abort with a page about
// platform plugins): "DISPLAY is not set", "the display :77 does not answer". Nothing when an X
// display answers within two seconds, or when QT_QPA_PLATFORM or WAYLAND_DISPLAY leave the
// choice to Qt. Asked once; the answer holds for the rest of the program.
std::optional<std::string> missingDesktop();

// The line a program prints when it has no desktop to show its window on, `why` saying what is
// missing.
std::string noDesktopLine(const std::string& why);

// Starts Qt's application on the desktop's platform (X11, or Wayland where there is no X
// display). Where no platform starts at all, Qt would abort with a page of advice; this prints
// noDesktopLine() instead and ends the program with status 1. Qt's messages while the platform
// starts are held back, and passed on once it has started.
std::unique_ptr<QApplication> startApplication(int& argc, char** argv);

// Asks the desktop to open the address with the user's default handler; the outcome is ignored.
void openAddress(const QString& address);

}  // namespace morvanta::desktop
