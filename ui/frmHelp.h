// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace morvanta {

// The fixed help text with its worked example, beside the main window (modeless, own task-bar
// entry). OK or the close box unloads it.
class frmHelp : public QWidget {
    Q_OBJECT

public:
    // The help text, 20 lines each ending in CR LF, 378 characters.
    static const QString& helpText();

    explicit frmHelp(QWidget* parent = nullptr);

    void cOK_Click();

private:
    void createControls();
    void Form_Load();

    QPushButton* cOK = nullptr;
    QPlainTextEdit* Text1 = nullptr;
};

}  // namespace morvanta
