// SPDX-License-Identifier: GPL-3.0-or-later
// The window's jobs and its walk at the machine.
#include <QDir>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>

#include "workshop/CalculatorPage.h"
#include "workshop/JobKeeper.h"
#include "workshop/MachineView.h"
#include "workshop/SketchView.h"
#include "workshop/WorkshopWindow.h"

namespace morvanta::workshop {

void WorkshopWindow::createJobs(QMenu* file) {
    jobs_ = new JobKeeper(
        this, settings_, pageList_, [this] { return currentPage(); },
        [this](CalculatorPage* page) { pages_->setCurrentWidget(page); });
    jobs_->addActions(file);
    machine_ = makeAction("machineMode", tr("At the &Machine"), QKeySequence(Qt::Key_F11),
                          &WorkshopWindow::enterMachineMode);
    file->addAction(machine_);
    file->addSeparator();
    // In the corner of the tabs, where there is room to spare: another button under the pages
    // would widen the window past a small or scaled screen.
    pages_->setCornerWidget(makeButton(machine_), Qt::TopRightCorner);
    connect(pages_, &QTabWidget::currentChanged, jobs_, &JobKeeper::updateTitle);
    connect(jobs_, &JobKeeper::changed, this, &WorkshopWindow::updateActions);
}

bool WorkshopWindow::openJobFile(const QString& path) {
    return jobs_->openJob(path);
}

MachineView* WorkshopWindow::machineView() const {
    return machineView_.data();
}

// Before the first hole the job must be a file, so that every tick has somewhere to go.
QString WorkshopWindow::keepForTheMachine(CalculatorPage* page, QString& kept) {
    if (!jobs_->path(page).isEmpty() && jobs_->isModified(page)) {
        const auto answer = QMessageBox::question(
            this, programTitle(),
            tr("The job has changes that are not saved. At the machine every tick is saved to "
               "%1 as it is made, and these changes with it. Save them now?")
                .arg(QDir::toNativeSeparators(jobs_->path(page))),
            QMessageBox::Save | QMessageBox::Cancel, QMessageBox::Save);
        if (answer != QMessageBox::Save) {
            return tr("cancelled");
        }
    }
    return jobs_->keepForTheMachine(page, &kept);
}

void WorkshopWindow::enterMachineMode() {
    CalculatorPage* page = currentPage();
    if (page == nullptr || !page->isCurrent() || !page->output()->report || machineView_) {
        return;
    }
    Report report = page->output()->report();
    if (report.rows.empty()) {
        complain(tr("This sheet has no table of holes or divisions to walk through."));
        return;
    }
    QString kept;
    if (const QString why = keepForTheMachine(page, kept); !why.isEmpty()) {
        if (why != tr("cancelled")) {
            complain(tr("The job could not be kept for the machine: %1").arg(why));
        }
        return;
    }
    std::optional<Sketch> sketch;
    if (page->output()->sketch) {
        sketch = page->output()->sketch();
    }
    QString heading = jobs_->name(page);
    heading = heading.isEmpty()
                  ? QString::fromStdString(report.title)
                  : heading + QStringLiteral(" \u2013 ") + QString::fromStdString(report.title);
    auto* view = new MachineView(
        heading, std::move(report), std::move(sketch), jobs_->ticks(page),
        [this, page](const std::vector<std::int64_t>& ticks) {
            return jobs_->recordTicks(page, ticks);
        },
        this);
    if (!kept.isEmpty()) {
        view->setNote(tr("Not yet saved as a job, so it is kept as %1; File > Save Job As... "
                         "keeps it where you choose.")
                          .arg(QDir::toNativeSeparators(kept)));
    }
    // The page's own picture follows the hole at hand too, where the page has one.
    if (auto* picture = page->findChild<SketchView*>(QStringLiteral("picture"))) {
        picture->setHighlighted(view->currentNumber());
        connect(view, &MachineView::atRow, picture, &SketchView::setHighlighted);
        connect(view, &MachineView::left, picture, [picture] { picture->setHighlighted(0); });
    }
    view->setWindowModality(Qt::ApplicationModal);
    machineView_ = view;
    // Without a window manager to make it so, full screen is the screen's own rectangle.
    view->setGeometry(screen()->geometry());
    view->showFullScreen();
    view->activateWindow();
    view->setFocus(Qt::OtherFocusReason);
}

}  // namespace morvanta::workshop
