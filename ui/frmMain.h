// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>
#include <QPointer>

#include "ui/BackgroundBuild.h"

class QAction;
class QCloseEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace morvanta {

class OutputBox;
class frmAbout;
class frmHelp;

// The start-up window: three input boxes, the two builds, the output box and the menus. A build
// empties the output box, asks the engine for the table, shows it and hands the same text to the
// clipboard; a refused build shows the engine's message and leaves the clipboard as it was, and
// so does a table that memory cannot hold twice (box and clipboard).
//
// A build holds the window: one still running after half a second shows a progress window whose
// Cancel (or Esc, or its close box) abandons it, leaving the box empty and the clipboard
// untouched. Meanwhile the window's controls and menus take no input, so no second build starts;
// closing the window abandons the build and closes it once the build has returned.
class frmMain : public QMainWindow {
    Q_OBJECT

public:
    explicit frmMain(QWidget* parent = nullptr);

    void cBuild_Click();
    void cThis_Click();
    void mnuBuildAll_Click();
    void mnuBuildThis_Click();
    void mnuCopy_Click();
    void mnuExit_Click();
    void mnuHelp_Click();
    void mnuAbout_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void createActions();
    void createMenus();
    void Form_Load();
    void runBuild(BackgroundBuild::Build build);
    void showOutcome(BackgroundBuild& job);
    // True when the user cancelled or closed the window; a build that finished meanwhile counts
    // as cancelled too.
    bool waitWithProgress(BackgroundBuild& job);
    // False, with the clipboard as it was, when memory is short.
    bool copyToClipboard();

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* tFrom = nullptr;
    QLineEdit* tTo = nullptr;
    QLineEdit* tThis = nullptr;
    QPushButton* cBuild = nullptr;
    QPushButton* cThis = nullptr;
    OutputBox* tOutput = nullptr;

    QMenu* mnuFile = nullptr;
    QMenu* mnuE = nullptr;
    QMenu* mnuH = nullptr;
    QAction* mnuBuildAll = nullptr;
    QAction* mnuBuildThis = nullptr;
    QAction* mnu1 = nullptr;
    QAction* mnuPrint = nullptr;
    QAction* mnu0 = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuCopy = nullptr;
    QAction* mnuHelp = nullptr;
    QAction* mnuAbout = nullptr;

    QPointer<frmHelp> help_;
    QPointer<frmAbout> about_;

    BackgroundBuild* running_ = nullptr;
    bool closeAfterBuild_ = false;
};

}  // namespace morvanta
