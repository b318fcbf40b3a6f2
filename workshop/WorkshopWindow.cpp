// SPDX-License-Identifier: GPL-3.0-or-later
#include "workshop/WorkshopWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <memory>

#include "Version.h"
#include "workshop/CalculatorPage.h"
#include "workshop/HelpWindow.h"
#include "workshop/JobKeeper.h"
#include "workshop/Page.h"
#include "workshop/SafeFile.h"
#include "workshop/SketchView.h"

namespace morvanta::workshop {

namespace {

constexpr const char* kTitle = "Morvanta Workshop";
constexpr int kSaveAfterMilliseconds = 400;

QString title() {
    return QString::fromLatin1(kTitle);
}

// Return and Enter press a button that has the focus, as Space does, as in the main window and
// in dialogs.
class ActionButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            animateClick();
            event->accept();
            return;
        }
        QPushButton::keyPressEvent(event);
    }
};

// Qt's tab widget answers every layout request from within its page by laying out its bar and
// panel again and repainting itself and the whole page, every field and button of it. A new sheet
// makes such a request at nearly every keystroke (a status line of another height, a wider
// column), so that much of a keystroke's redraw went on a page that had not changed. Its own
// layout depends only on its size, its bar's and its corner button's: while they stand, the
// request is passed on to the window as the change of size hints it is, and nothing repainted.
class PageTabs : public QTabWidget {
public:
    using QTabWidget::QTabWidget;

protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::LayoutRequest) {
            QWidget* corner = cornerWidget(Qt::TopRightCorner);
            const std::array<QSize, 3> now{size(), tabBar()->sizeHint(),
                                           corner != nullptr ? corner->sizeHint() : QSize()};
            if (now == laidOut_) {
                updateGeometry();
                return true;
            }
            laidOut_ = now;
        }
        return QTabWidget::event(event);
    }

private:
    std::array<QSize, 3> laidOut_{};
};

QIcon workshopIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48}) {
        icon.addFile(QStringLiteral(":/workshop/icons/morvanta-workshop-%1.png").arg(size),
                     QSize(size, size));
    }
    return icon;
}

}  // namespace

void setApplicationIdentity() {
    QCoreApplication::setOrganizationName(QStringLiteral("Morvanta"));
    QCoreApplication::setApplicationName(QStringLiteral("morvanta-workshop"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kVersion));
    QGuiApplication::setDesktopFileName(QStringLiteral("com.example.morvanta.workshop"));
    QApplication::setWindowIcon(workshopIcon());
}

WorkshopWindow::WorkshopWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("workshopWindow"));
    setWindowTitle(title());
    setWindowIcon(workshopIcon());
    createPages();
    createActions();
    createMenus();
    createCentralWidget();
    readSettings();
    connectPages();
    restoreWindow();
}

void WorkshopWindow::createPages() {
    pages_ = new PageTabs(this);
    pages_->setObjectName(QStringLiteral("pages"));
    for (PageDefinition& definition : workshopPages()) {
        auto* page = new CalculatorPage(std::move(definition), pages_);
        pages_->addTab(page, page->definition().title);
        pageList_.push_back(page);
    }
}

void WorkshopWindow::createActions() {
    saveCsv_ =
        makeAction("saveCsv", tr("Save as &CSV..."), QKeySequence::Save, &WorkshopWindow::saveCsv);
    saveGcode_ = makeAction("saveGcode", tr("Save &G-code..."), QKeySequence(Qt::CTRL | Qt::Key_G),
                            &WorkshopWindow::saveGcode);
    print_ = makeAction("print", tr("&Print..."), QKeySequence::Print, &WorkshopWindow::print);
    exportPdf_ =
        makeAction("exportPdf", tr("&Export PDF..."),
                   QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P), &WorkshopWindow::exportPdf);
    exportPicture_ =
        makeAction("exportPicture", tr("Export Pic&ture..."),
                   QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E), &WorkshopWindow::exportPicture);
    quit_ = new QAction(tr("&Quit"), this);
    quit_->setObjectName(QStringLiteral("quit"));
    quit_->setShortcut(QKeySequence::Quit);
    connect(quit_, &QAction::triggered, this, &QWidget::close);
    copy_ = makeAction("copy", tr("&Copy Sheet"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C),
                       &WorkshopWindow::copySheet);
    resetPage_ = makeAction("resetPage", tr("&Reset Page to Defaults"), QKeySequence(),
                            &WorkshopWindow::resetPage);
    help_ = makeAction("help", tr("Morvanta Workshop &Help"), QKeySequence::HelpContents,
                       &WorkshopWindow::showHelp);
    about_ =
        makeAction("about", tr("&About Morvanta Workshop"), QKeySequence(), &WorkshopWindow::about);
}

void WorkshopWindow::createMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    createJobs(file);
    file->addActions({saveCsv_, saveGcode_});
    file->addSeparator();
    file->addActions({print_, exportPdf_, exportPicture_});
    file->addSeparator();
    file->addAction(quit_);

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    edit->addAction(copy_);
    edit->addSeparator();
    edit->addAction(resetPage_);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addActions({help_, about_});
}

void WorkshopWindow::createCentralWidget() {
    // The buttons repeat the menus for the mouse; their mnemonics stay with the fields, which
    // need every letter they can get.
    auto* row = new QHBoxLayout;
    for (QAction* action : {copy_, saveCsv_, saveGcode_, print_, exportPdf_}) {
        row->addWidget(makeButton(action));
    }
    row->addStretch(1);
    row->addWidget(makeButton(resetPage_));

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->addWidget(pages_, 1);
    column->addLayout(row);
    setCentralWidget(central);
    statusBar()->setObjectName(QStringLiteral("statusBar"));
}

void WorkshopWindow::readSettings() {
    settings_.beginGroup(QStringLiteral("pages"));
    for (CalculatorPage* page : pageList_) {
        page->loadFields(settings_);
    }
    settings_.endGroup();
    pages_->setCurrentIndex(std::clamp(settings_.value(QStringLiteral("window/page"), 0).toInt(), 0,
                                       pages_->count() - 1));
}

void WorkshopWindow::connectPages() {
    // The fields are kept a moment after the typing stops rather than at every key, which would
    // write the settings file in each keystroke's frame.
    saveSoon_ = new QTimer(this);
    saveSoon_->setSingleShot(true);
    saveSoon_->setInterval(kSaveAfterMilliseconds);
    connect(saveSoon_, &QTimer::timeout, this, &WorkshopWindow::saveChangedPages);
    for (CalculatorPage* page : pageList_) {
        connect(page, &CalculatorPage::stateChanged, this, &WorkshopWindow::updateActions);
        connect(page, &CalculatorPage::computed, this, [this, page] {
            unsaved_.insert(page);
            saveSoon_->start();
        });
    }
    connect(pages_, &QTabWidget::currentChanged, this, [this] {
        updateActions();
        if (CalculatorPage* page = currentPage();
            page != nullptr && !pages_->tabBar()->hasFocus()) {
            page->focusFirstField();
        }
    });
    updateActions();
}

void WorkshopWindow::restoreWindow() {
    if (!restoreGeometry(settings_.value(QStringLiteral("window/geometry")).toByteArray())) {
        // A first start: big enough for a sheet and its picture beside the fields, never more
        // than the screen.
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        resize(QSize(1120, 760).boundedTo(screen.size() * 9 / 10));
        move(screen.center() - rect().center());
    }
    if (CalculatorPage* page = currentPage()) {
        page->focusFirstField();
    }
    warnIfSettingsCannotBeKept();
}

WorkshopWindow::~WorkshopWindow() = default;

void WorkshopWindow::warnIfSettingsCannotBeKept() {
    const QString why = whyNotWritable(settings_.fileName());
    if (why.isEmpty()) {
        return;
    }
    // Once the window is up, over it rather than before it.
    const QString file = QDir::toNativeSeparators(settings_.fileName());
    QTimer::singleShot(0, this, [this, file, why] {
        complain(tr("The inputs will not be remembered for the next start: the settings file %1 "
                    "cannot be written (%2).")
                     .arg(file, why));
    });
}

QAction* WorkshopWindow::makeAction(const char* name, const QString& text, const QKeySequence& keys,
                                    void (WorkshopWindow::*slot)()) {
    auto* action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(keys);
    connect(action, &QAction::triggered, this, slot);
    addAction(action);
    return action;
}

QPushButton* WorkshopWindow::makeButton(QAction* action) {
    QString caption = action->text();
    caption.remove(QLatin1Char('&'));
    auto* button = new ActionButton(caption, this);
    button->setObjectName(action->objectName() + QStringLiteral("Button"));
    button->setProperty("plainToolTip",
                        action->shortcut().isEmpty()
                            ? caption
                            : caption + QStringLiteral(" (") +
                                  action->shortcut().toString(QKeySequence::NativeText) +
                                  QLatin1Char(')'));
    connect(button, &QPushButton::clicked, action, &QAction::trigger);
    buttons_.emplace_back(action, button);
    return button;
}

QString WorkshopWindow::programTitle() {
    return title();
}

CalculatorPage* WorkshopWindow::currentPage() const {
    return qobject_cast<CalculatorPage*>(pages_->currentWidget());
}

CalculatorPage* WorkshopWindow::page(const QString& name) const {
    for (CalculatorPage* candidate : pageList_) {
        if (candidate->definition().name == name) {
            return candidate;
        }
    }
    return nullptr;
}

std::optional<PrintedSheet> WorkshopWindow::currentSheet() const {
    const CalculatorPage* page = currentPage();
    if (page == nullptr || !page->isCurrent()) {
        return std::nullopt;
    }
    const PageOutput& output = *page->output();
    return PrintedSheet{
        *output.shownReport, page->outputInputs(),
        output.shownSketch ? std::optional<Sketch>(*output.shownSketch) : std::nullopt,
        jobs_->ticks(page)};
}

void WorkshopWindow::updateActions() {
    const CalculatorPage* page = currentPage();
    const bool current = page != nullptr && page->isCurrent();
    for (QAction* action : {copy_, saveCsv_, print_, exportPdf_}) {
        action->setEnabled(current);
    }
    // Only what the page can make at all is offered.
    saveCsv_->setVisible(page != nullptr && page->definition().makesCsv);
    saveGcode_->setVisible(page != nullptr && page->definition().makesGcode);
    saveCsv_->setEnabled(current && static_cast<bool>(page->output()->csv));
    // On where the page makes G-code, to say what is missing when this input makes none.
    saveGcode_->setEnabled(current && saveGcode_->isVisible());
    exportPicture_->setEnabled(current && static_cast<bool>(page->output()->shownSketch));
    const QString whyNoGcode =
        current && !page->output()->gcode ? page->output()->gcodeMessage : QString();
    saveGcode_->setStatusTip(whyNoGcode);
    resetPage_->setEnabled(page != nullptr);
    machine_->setEnabled(current && static_cast<bool>(page->output()->report));
    for (const auto& [action, button] : buttons_) {
        button->setVisible(action->isVisible());
        button->setEnabled(action->isEnabled());
        button->setToolTip(action->statusTip().isEmpty()
                               ? button->property("plainToolTip").toString()
                               : action->statusTip());
    }
}

void WorkshopWindow::saveChangedPages() {
    saveSoon_->stop();
    settings_.beginGroup(QStringLiteral("pages"));
    for (CalculatorPage* page : unsaved_) {
        page->saveFields(settings_);
    }
    settings_.endGroup();
    unsaved_.clear();
}

void WorkshopWindow::saveWindow() {
    settings_.setValue(QStringLiteral("window/geometry"), saveGeometry());
    settings_.setValue(QStringLiteral("window/page"), pages_->currentIndex());
    settings_.sync();
}

void WorkshopWindow::closeEvent(QCloseEvent* event) {
    // A page is kept once the engine has answered its input; an input typed a moment before the
    // window closes, its answer still being worked out, would otherwise be lost.
    for (CalculatorPage* page : pageList_) {
        page->finishComputing();
    }
    saveChangedPages();
    if (!jobs_->closeAll()) {
        event->ignore();
        return;
    }
    saveWindow();
    event->accept();
}

void WorkshopWindow::resetPage() {
    if (CalculatorPage* page = currentPage(); page != nullptr) {
        page->resetToDefaults();
        page->focusFirstField();
    }
}

void WorkshopWindow::showHelp() {
    if (helpWindow_ == nullptr) {
        std::vector<const PageDefinition*> definitions;
        for (const CalculatorPage* page : pageList_) {
            definitions.push_back(&page->definition());
        }
        helpWindow_ = new HelpWindow(definitions, this);
    }
    const CalculatorPage* page = currentPage();
    helpWindow_->showEntry(
        page != nullptr ? page->definition().name : QString(),
        page != nullptr ? page->fieldOf(QApplication::focusWidget()) : QString());
}

void WorkshopWindow::about() {
    QMessageBox::about(
        this, tr("About Morvanta Workshop"),
        tr("<p><b>Morvanta Workshop %1</b></p>"
           "<p>Setting sheets for rotary tables and dividing heads, to print and tick off at the "
           "machine. Every figure comes from the same engine as the morvanta-table command, which "
           "prints the same sheets.</p>"
           "<p>Licensed under the GNU General Public License, version 3 or later.</p>")
            .arg(QString::fromLatin1(kVersion)));
}

}  // namespace morvanta::workshop
