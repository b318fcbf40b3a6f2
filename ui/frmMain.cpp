// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include <limits>
#include <memory>
#include <new>

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

QString outOfMemoryMessage() {
    return QString::fromUtf8(kOutOfMemoryMessage.data(),
                             static_cast<qsizetype>(kOutOfMemoryMessage.size()));
}

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
    // What a screen reader says for each box: the caption beside it, and for the output box what
    // a sighted user takes it for.
    Label2->setBuddy(tFrom);
    Label3->setBuddy(tTo);
    Label5->setBuddy(tThis);
    tOutput->setAccessibleName(QStringLiteral("Output"));

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

// The texts go to the build as Qt's shared copies; the worker converts them, so that a box too
// long for memory fails as the build, not here.
void frmMain::cThis_Click() {
    runBuild([thisText = tThis->text()](const BuildProgress& progress) {
        return BuildThisTable(thisText.toStdString(), progress);
    });
}

void frmMain::cBuild_Click() {
    runBuild([fromText = tFrom->text(), toText = tTo->text()](const BuildProgress& progress) {
        return BuildAllTable(fromText.toStdString(), toText.toStdString(), progress);
    });
}

void frmMain::runBuild(BackgroundBuild::Build build) {
    if (running_ != nullptr) {
        return;
    }
    try {
        tOutput->clear();
        BackgroundBuild job(std::move(build), tOutput->createLoader());
        running_ = &job;
        const bool cancelled = !job.waitFor(kQuietBuildTime) && waitWithProgress(job);
        running_ = nullptr;
        if (!cancelled) {
            showOutcome(job);
        }
    } catch (const std::bad_alloc&) {
        running_ = nullptr;
        tOutput->clear();
        desktop::showMessage(outOfMemoryMessage());
    }
    if (closeAfterBuild_) {
        desktop::unload(this);
    }
}

void frmMain::showOutcome(BackgroundBuild& job) {
    switch (job.kind()) {
        case BuildResult::Kind::Value:
            tOutput->adopt(job.document());
            if (!copyToClipboard()) {
                tOutput->clear();
                desktop::showMessage(outOfMemoryMessage());
            }
            break;
        case BuildResult::Kind::Message:
            desktop::showMessage(QString::fromStdString(job.message()));
            break;
        case BuildResult::Kind::Cancelled:
            break;
    }
}

bool frmMain::copyToClipboard() {
    std::unique_ptr<QMimeData> text;
    try {
        text = desktop::clipboardText(tOutput->bytes());
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (text == nullptr) {
        return false;
    }
    desktop::clipboardClear();
    desktop::clipboardSetText(std::move(text));
    return true;
}

// Not modal: a modal window would swallow the main window's close box, and the close must reach
// closeEvent() to abandon the build. The controls and menus are shut instead, and the focus goes
// back where it was.
bool frmMain::waitWithProgress(BackgroundBuild& job) {
    const QPointer<QWidget> focus = QApplication::focusWidget();
    centralWidget()->setEnabled(false);
    menuBar()->setEnabled(false);

    QProgressDialog progress(this);
    progress.setObjectName(QStringLiteral("progress"));
    progress.setFont(font());
    progress.setWindowTitle(QString::fromLatin1(desktop::kApplicationTitle));
    progress.setLabelText(QStringLiteral("Building the table..."));
    progress.setCancelButtonText(QStringLiteral("Cancel"));
    progress.setWindowModality(Qt::NonModal);
    progress.setRange(0, kProgressSteps);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    bool cancelled = false;
    const auto cancel = [&] {
        cancelled = true;
        job.cancel();
    };
    // Esc may reach the dialog as a rejection rather than as its Cancel.
    connect(&progress, &QProgressDialog::canceled, &progress, cancel);
    connect(&progress, &QDialog::rejected, &progress, cancel);

    QEventLoop loop;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &loop, [&] {
        if (job.isFinished()) {
            loop.quit();
        } else if (!cancelled) {
            progress.setValue(static_cast<int>(job.fractionDone() * kProgressSteps));
        }
    });
    poll.start(kProgressPollMs);
    progress.show();
    loop.exec();
    // The loop also ends when the application is told to quit.
    if (!job.isFinished()) {
        cancel();
        while (!job.waitFor(kQuietBuildTime)) {
        }
    }

    centralWidget()->setEnabled(true);
    menuBar()->setEnabled(true);
    if (focus != nullptr) {
        focus->setFocus();
    }
    return cancelled || closeAfterBuild_;
}

// A build's wait runs events with this window's handlers on the stack below it; the window may
// only go once the build has returned.
void frmMain::closeEvent(QCloseEvent* event) {
    if (running_ != nullptr) {
        running_->cancel();
        closeAfterBuild_ = true;
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void frmMain::mnuBuildAll_Click() {
    cBuild_Click();
}

void frmMain::mnuBuildThis_Click() {
    cThis_Click();
}

void frmMain::mnuCopy_Click() {
    desktop::showMessage(copyToClipboard() ? QStringLiteral("Copied to clipboard")
                                           : QStringLiteral("Not enough memory to copy the text"));
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
