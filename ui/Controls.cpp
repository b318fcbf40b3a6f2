// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Controls.h"

#include <QLabel>
#include <QPushButton>

namespace morvanta::controls {

QLabel* label(QWidget* parent, const char* name, const char* caption, QPoint at,
              const QFont& font) {
    auto* made = new QLabel(QString::fromUtf8(caption), parent);
    made->setObjectName(QString::fromLatin1(name));
    made->setFont(font);
    made->move(at);
    made->adjustSize();
    return made;
}

QPushButton* button(QWidget* parent, const char* name, const char* caption, QRect where) {
    auto* made = new QPushButton(QString::fromUtf8(caption), parent);
    made->setObjectName(QString::fromLatin1(name));
    made->setAutoDefault(false);
    made->setDefault(false);
    made->setGeometry(where);
    return made;
}

}  // namespace morvanta::controls
