// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/frmMain.h"

#include <QAction>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include <limits>

#include "ui/Controls.h"
#include "ui/DesktopServices.h"
#include "ui/OutputBox.h"
#include "ui/Twips.h"
#include "ui/frmAbout.h"
#include "ui/frmHelp.h"

namespace morvanta {

namespace {

constexpr auto kQuietBuildTime = std::chrono::milliseconds(500);
constexpr int kProgressPollMs = 20;
constexpr int kProgressSteps = 1000;

QLineEdit* makeInput(QWidget* parent, const char* name, const char* text, QRect where) {
    auto* box = new QLineEdit(QString::fromLatin1(text), parent);
    box->setObjectName(QString::fromLatin1(name));
    // Qt would otherwise cut typed text at 32767 characters.
    box->setMaxLength(std::numeric_limits<int>::max());
    box->setGeometry(where);
    return box;
}

}  // namespace

frmMain::frmMain(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromLatin1(desktop::kApplicationTitle));
    setWindowIcon(desktop::programIcon());
    setFont(desktop::dialogFont());
    createControls();
    createActions();
    createMenus();
    Form_Load();
}

void frmMain::createControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    Label1 = new QLabel(
        QStringLiteral("Build table of all no decimal divisions between start and end"), client);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setGeometry(twips::rect(120, 120, 2295, 495));
    Label2 = controls::label(client, "Label2", "From", twips::point(120, 690), client->font());
    tFrom = makeInput(client, "tFrom", "2", twips::rect(480, 690, 735, 285));
    Label3 = controls::label(client, "Label3", "To", twips::point(1440, 690), client->font());
    tTo = makeInput(client, "tTo", "100", twips::rect(1680, 690, 735, 285));
    cBuild = controls::button(client, "cBuild", "Build All", twips::rect(2520, 720, 975, 255));
    Label4 = new QLabel(QStringLiteral("Build table for this many holes"), client);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setGeometry(twips::rect(4080, 240, 2175, 255));
    Label5 = controls::label(client, "Label5", "This", twips::point(5160, 720), client->font());
    tThis = makeInput(client, "tThis", "7", twips::rect(5520, 690, 615, 285));
    cThis = controls::button(client, "cThis", "Build This", twips::rect(6240, 720, 975, 255));
    tOutput = new OutputBox(client);
    tOutput->setObjectName(QStringLiteral("tOutput"));
    tOutput->setGeometry(twips::rect(120, 1080, 7095, 6135));

    QWidget::setTabOrder(tFrom, tOutput);
    QWidget::setTabOrder(tOutput, cBuild);
    QWidget::setTabOrder(cBuild, cThis);
    QWidget::setTabOrder(cThis, tThis);
    QWidget::setTabOrder(tThis, tTo);
    tFrom->setFocus();

    connect(cBuild, &QPushButton::clicked, this, &frmMain::cBuild_Click);
    connect(cThis, &QPushButton::clicked, this, &frmMain::cThis_Click);
}

void frmMain::createActions() {
    const auto action = [this](const char* name, const char* caption) {
        auto* item = new QAction(QString::fromLatin1(caption), this);
        item->setObjectName(QString::fromLatin1(name));
        return item;
    };
    const auto separator = [this](const char* name) {
        auto* line = new QAction(this);
        line->setObjectName(QString::fromLatin1(name));
        line->setSeparator(true);
        return line;
    };
    mnuBuildAll = action("mnuBuildAll", "Build All");
    mnuBuildThis = action("mnuBuildThis", "Build This");
    mnu1 = separator("mnu1");
    mnuPrint = action("mnuPrint", "Print");
    mnuPrint->setEnabled(false);
    mnu0 = separator("mnu0");
    mnuExit = action("mnuExit", "Exit");
    mnuCopy = action("mnuCopy", "Copy");
    mnuHelp = action("mnuHelp", "Help");
    mnuAbout = action("mnuAbout", "About");

    connect(mnuBuildAll, &QAction::triggered, this, &frmMain::mnuBuildAll_Click);
    connect(mnuBuildThis, &QAction::triggered, this, &frmMain::mnuBuildThis_Click);
    connect(mnuExit, &QAction::triggered, this, &frmMain::mnuExit_Click);
    connect(mnuCopy, &QAction::triggered, this, &frmMain::mnuCopy_Click);
    connect(mnuHelp, &QAction::triggered, this, &frmMain::mnuHelp_Click);
    connect(mnuAbout, &QAction::triggered, this, &frmMain::mnuAbout_Click);
}

void frmMain::createMenus() {
    menuBar()->setNativeMenuBar(false);
    const auto menu = [this](const char* name, const char* title) {
        QMenu* m = menuBar()->addMenu(QString::fromLatin1(title));
        m->setObjectName(QString::fromLatin1(name));
        return m;
    };
    mnuFile = menu("mnuFile", "File");
    mnuFile->addActions({mnuBuildAll, mnuBuildThis, mnu1, mnuPrint, mnu0, mnuExit});
    mnuE = menu("mnuE", "Edit");
    mnuE->addAction(mnuCopy);
    mnuH = menu("mnuH", "Help");
    mnuH->addActions({mnuHelp, mnuAbout});

    const QSize client = twips::size(7335, 7425);
    setFixedSize(client.width(), client.height() + menuBar()->sizeHint().height());
}

void frmMain::Form_Load() {
    desktop::centreOnScreen(this);
}

void frmMain::cThis_Click() {
    runBuild([thisText = tThis->text().toStdString()](const BuildProgress& progress) {
        return BuildThisTable(thisText, progress);
    });
}

void frmMain::cBuild_Click() {
    runBuild([fromText = tFrom->text().toStdString(),
              toText = tTo->text().toStdString()](const BuildProgress& progress) {
        return BuildAllTable(fromText, toText, progress);
    });
}

void frmMain::runBuild(BackgroundBuild::Build build) {
    tOutput->clear();
    BackgroundBuild job(std::move(build), tOutput->createLoader());
    const bool cancelled = !job.waitFor(kQuietBuildTime) && waitWithProgress(job);
    switch (cancelled ? BuildResult::Kind::Cancelled : job.kind()) {
        case BuildResult::Kind::Value:
            tOutput->adopt(job.document());
            desktop::clipboardClear();
            desktop::clipboardSetText(tOutput->text());
            break;
        case BuildResult::Kind::Message:
            desktop::showMessage(QString::fromStdString(job.message()));
            break;
        case BuildResult::Kind::Cancelled:
            break;
    }
}

bool frmMain::waitWithProgress(BackgroundBuild& job) {
    QProgressDialog progress(this);
    progress.setObjectName(QStringLiteral("progress"));
    progress.setFont(font());
    progress.setWindowTitle(QString::fromLatin1(desktop::kApplicationTitle));
    progress.setLabelText(QStringLiteral("Building the table..."));
    progress.setCancelButtonText(QStringLiteral("Cancel"));
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setRange(0, kProgressSteps);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    connect(&progress, &QProgressDialog::canceled, &progress, [&job] { job.cancel(); });

    QEventLoop loop;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &loop, [&] {
        if (job.isFinished()) {
            loop.quit();
        } else if (!progress.wasCanceled()) {
            progress.setValue(static_cast<int>(job.fractionDone() * kProgressSteps));
        }
    });
    poll.start(kProgressPollMs);
    progress.show();
    loop.exec();
    return progress.wasCanceled();
}

void frmMain::mnuBuildAll_Click() {
    cBuild_Click();
}

void frmMain::mnuBuildThis_Click() {
    cThis_Click();
}

void frmMain::mnuCopy_Click() {
    desktop::clipboardClear();
    desktop::clipboardSetText(tOutput->text());
    desktop::showMessage(QStringLiteral("Copied to clipboard"));
}

void frmMain::mnuExit_Click() {
    desktop::unload(this);
}

// A window closed a moment ago is hidden but not yet destroyed; it counts as unloaded.
void frmMain::mnuHelp_Click() {
    if (help_.isNull() || !help_->isVisible()) {
        help_ = new frmHelp;
    }
    desktop::show(help_);
}

void frmMain::mnuAbout_Click() {
    if (about_.isNull() || !about_->isVisible()) {
        about_ = new frmAbout;
    }
    desktop::show(about_);
}

}  // namespace morvanta
