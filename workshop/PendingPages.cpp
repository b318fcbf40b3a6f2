// SPDX-License-Identifier: GPL-3.0-or-later
#include "workshop/Page.h"

namespace morvanta::workshop {

// These two pages wait for their engines: until then they say so instead of offering fields
// that could compute nothing.

PageSpec indexPlatePage() {
    PageSpec page;
    page.name = QStringLiteral("index");
    page.title = QStringLiteral("&Index plate");
    page.fileStem = QStringLiteral("index-plate");
    page.unavailable = QStringLiteral(
        "Index plate plans (simple, compound and differential indexing for a dividing head) are "
        "not available yet in this version of Morvanta Workshop.");
    return page;
}

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
