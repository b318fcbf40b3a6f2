// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QIcon>
#include <QSize>
#include <QString>

#include <optional>
#include <string>

class QWidget;

namespace morvanta::desktop {

// The application title, the caption of every message box and of the main window.
inline constexpr const char* kApplicationTitle = "Morvanta";

// A modal message box over the active window: the text, caption "Morvanta", no icon, one OK
// button. Blocks input to every window of the program and returns once it is dismissed.
void showMessage(const QString& text);

// The system clipboard, not the X11 selection. Clear empties it of every format; SetText then
// offers exactly the given text as plain text, an empty text included (other programs then read
// "", not nothing). The callers pass text whose line breaks are already CR LF.
void clipboardClear();
void clipboardSetText(const QString& text);

// The primary screen's size in twips, read afresh at every call.
QSize screenSize();

// Places a window in the middle of the primary screen, top first, then left, from its outer size.
// Before the desktop has framed the window, its own size stands in for the outer size.
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
// display answers, or when QT_QPA_PLATFORM or WAYLAND_DISPLAY leave the choice to Qt.
std::optional<std::string> missingDesktop();

// Asks the desktop to open the address with the user's default handler; the outcome is ignored.
void openAddress(const QString& address);

}  // namespace morvanta::desktop
