// SPDX-License-Identifier: GPL-3.0-or-later
#include "workshop/Page.h"

namespace morvanta::workshop {

std::vector<PageDefinition> workshopPages() {
    return {settingSheetPage(), indexPlatePage(), boltCirclePage()};
}

FieldDefinition countField(QString defaultValue, QString hint, QString placeholder) {
    return {.name = QStringLiteral("count"),
            .label = QStringLiteral("&Count"),
            .defaultValue = std::move(defaultValue),
            .hint = std::move(hint),
            .placeholder = std::move(placeholder)};
}

FieldDefinition startField(QString hint) {
    return {.name = QStringLiteral("start"),
            .label = QStringLiteral("S&tart angle"),
            .hint = std::move(hint),
            .placeholder = QStringLiteral("0")};
}

FieldDefinition spanField() {
    return {.name = QStringLiteral("span"),
            .label = QStringLiteral("Sp&an"),
            .hint = QStringLiteral("Spread the holes over an arc of this many degrees from hole 1 "
                                   "instead of the full circle"),
            .placeholder = QStringLiteral("full circle")};
}

FieldDefinition endsField() {
    return {.name = QStringLiteral("ends"),
            .label = QStringLiteral("Ho&le at each end"),
            .kind = FieldKind::Flag,
            .defaultValue = QStringLiteral("false"),
            .hint = QStringLiteral("With a span: a hole at each end of the arc")};
}

FieldDefinition clockwiseField(QString hint) {
    return {.name = QStringLiteral("cw"),
            .label = QStringLiteral("Clock&wise"),
            .kind = FieldKind::Flag,
            .defaultValue = QStringLiteral("false"),
            .hint = std::move(hint)};
}

}  // namespace morvanta::workshop
