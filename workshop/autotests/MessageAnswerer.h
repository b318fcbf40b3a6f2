// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

namespace morvanta::workshop::testing {

// Answers what the window opens as a user would, for as long as it lives: OK to each message box,
// its text kept; the print preview closed once it has drawn its pages, their number kept.
class MessageAnswerer {
public:
    MessageAnswerer() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal); box != nullptr && box->isVisible()) {
                messages << box->text();
                box->button(QMessageBox::Ok)->click();
            } else if (auto* preview = qobject_cast<QPrintPreviewDialog*>(modal)) {
                previewed = preview->findChild<QPrintPreviewWidget*>()->pageCount();
                preview->reject();
            }
        });
        timer_.start(20);
    }

    QStringList messages;
    int previewed = -1;

private:
    QTimer timer_;
};

}  // namespace morvanta::workshop::testing
