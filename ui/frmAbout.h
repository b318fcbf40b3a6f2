// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QFrame;
class QLabel;
class QPushButton;

namespace morvanta {

// Title, version and the maker's contact details in a small tool window without a task-bar
// entry; Go To Website opens the maker's site and nothing else. Ok or the close box unloads it.
class frmAbout : public QWidget {
    Q_OBJECT

public:
    static constexpr const char* kMakerName = "Morvanta Workshop";
    static constexpr const char* kMakerStreet = "123 Example Street";
    static constexpr const char* kMakerTown = "Anytown, ST 00000";
    static constexpr const char* kMakerTelephone = "555-0100";
    static constexpr const char* kRightsNotice = "Copyright (C) Morvanta Workshop";
    static constexpr const char* kWebAddress = "https://www.example.com/morvanta";

    explicit frmAbout(QWidget* parent = nullptr);

    void cOK_Click();
    void cGoTo_Click();

private:
    void createControls();
    void Form_Load();

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QFrame* Line1 = nullptr;
    QLabel* Label7 = nullptr;
    QPushButton* cOK = nullptr;
    QPushButton* cGoTo = nullptr;
};

}  // namespace morvanta
