// SPDX-License-Identifier: GPL-3.0-or-later
#include "workshop/Page.h"

namespace morvanta::workshop {

// This page waits for its engine: until then it says so instead of offering fields that could
// compute nothing.

PageSpec boltCirclePage() {
    PageSpec page;
    page.name = QStringLiteral("bolt");
    page.title = QStringLiteral("&Bolt circle");
    page.fileStem = QStringLiteral("bolt-circle");
    page.unavailable = QStringLiteral(
        "Bolt circle coordinates (X and Y of every hole, and G-code to drill them) are not "
        "available yet in this version of Morvanta Workshop.");
    return page;
}

}  // namespace morvanta::workshop
