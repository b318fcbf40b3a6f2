// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Controls.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace morvanta::controls {

namespace {

// Enter and keypad Enter press the focused button, as Space does and as on the desktop the layouts
// come from; Qt leaves that to default buttons, which these never are.
class Button : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            event->accept();
            click();
            return;
        }
        QPushButton::keyPressEvent(event);
    }
};

}  // namespace

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
    auto* made = new Button(QString::fromUtf8(caption), parent);
    made->setObjectName(QString::fromLatin1(name));
    made->setAutoDefault(false);
    made->setDefault(false);
    made->setGeometry(where);
    return made;
}

}  // namespace morvanta::controls
