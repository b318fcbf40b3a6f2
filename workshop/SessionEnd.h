// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace morvanta::workshop {

// Ends the program as the user's Quit does when the session ends for it: on SIGTERM (the desktop
// logging out, the system shutting down), SIGHUP (its terminal gone) or SIGINT (Ctrl+C where it
// was started), `window` is closed, and so keeps what it keeps on closing (its size and place,
// the page in front, the fields), any dialog open is closed, and the program leaves its event
// loop with status 0. The signal's handler only writes a byte to a pipe, which the event loop
// reads; main() calls this once, after the window is made.
void closeOnSessionEnd(QWidget* window);

}  // namespace morvanta::workshop
