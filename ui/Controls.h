// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>

class QLabel;
class QPushButton;
class QWidget;

namespace morvanta::controls {

// A label named `name` at `at`, sized to its caption in `font`:
//   label(client, "Label2", "From", twips::point(120, 690), client->font())
QLabel* label(QWidget* parent, const char* name, const char* caption, QPoint at, const QFont& font);

// A push button named `name` in `where` that is never a default button, so Enter in a box next to
// it starts nothing; Enter (or keypad Enter) on the button itself presses it, as Space does.
QPushButton* button(QWidget* parent, const char* name, const char* caption, QRect where);

}  // namespace morvanta::controls
