// SPDX-License-Identifier: GPL-3.0-or-later
#include "workshop/JobKeeper.h"

#include <QAction>
#include <QComboBox>
#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>

#include <algorithm>

#include "workshop/CalculatorPage.h"
#include "workshop/ReportTable.h"
#include "workshop/SafeFile.h"

namespace morvanta::workshop {

namespace {

constexpr int kRecentFiles = 8;
const QString kRecentKey = QStringLiteral("jobs/recent");

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// Name, units and notes of a job, edited together; false when the user cancels.
bool editDetails(QWidget* parent, QString& name, QString& units, QString& notes) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("jobDetailsDialog"));
    dialog.setWindowTitle(QObject::tr("Job Details"));
    auto* nameEdit = new QLineEdit(name, &dialog);
    nameEdit->setObjectName(QStringLiteral("jobName"));
    nameEdit->setMaxLength(static_cast<int>(kMaxJobName));
    auto* unitsList = new QComboBox(&dialog);
    unitsList->setObjectName(QStringLiteral("jobUnits"));
    unitsList->addItem(QObject::tr("Not given"), QString());
    unitsList->addItem(QObject::tr("Millimetres (mm)"), QStringLiteral("mm"));
    unitsList->addItem(QObject::tr("Inches (in)"), QStringLiteral("in"));
    unitsList->setCurrentIndex(std::max(0, unitsList->findData(units)));
    auto* notesEdit = new QPlainTextEdit(notes, &dialog);
    notesEdit->setObjectName(QStringLiteral("jobNotes"));
    auto* form = new QFormLayout(&dialog);
    form->addRow(QObject::tr("&Name:"), nameEdit);
    form->addRow(QObject::tr("&Units:"), unitsList);
    form->addRow(QObject::tr("N&otes:"), notesEdit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    name = nameEdit->text().simplified();
    units = unitsList->currentData().toString();
    notes = notesEdit->toPlainText().left(static_cast<qsizetype>(kMaxJobNotes));
    return true;
}

}  // namespace

JobKeeper::JobKeeper(QMainWindow* window, QSettings& settings, std::vector<CalculatorPage*> pages,
                     std::function<CalculatorPage*()> front,
                     std::function<void(CalculatorPage*)> bringToFront)
    : QObject(window),
      window_(window),
      settings_(settings),
      pages_(std::move(pages)),
      front_(std::move(front)),
      bringToFront_(std::move(bringToFront)) {
    const auto make = [this](const char* name, const QString& text, const QKeySequence& keys,
                             void (JobKeeper::*slot)()) {
        auto* action = new QAction(text, window_);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, slot);
        window_->addAction(action);
        actions_.push_back(action);
    };
    make("newJob", tr("&New Job"), QKeySequence::New, &JobKeeper::newJob);
    make("openJob", tr("&Open Job..."), QKeySequence::Open, &JobKeeper::open);
    make("saveJob", tr("Save &Job"), QKeySequence(Qt::CTRL | Qt::Key_J), &JobKeeper::save);
    make("saveJobAs", tr("Save Job &As..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_J),
         &JobKeeper::saveAs);
    make("jobDetails", tr("Job &Details..."), QKeySequence(), &JobKeeper::details);
    recent_ = new QMenu(tr("Open &Recent"), window_);
    recent_->setObjectName(QStringLiteral("recentJobs"));
    connect(recent_, &QMenu::aboutToShow, this, &JobKeeper::fillRecent);
    fillRecent();
    for (CalculatorPage* page : pages_) {
        connect(page, &CalculatorPage::computed, this, &JobKeeper::updateTitle);
    }
}

void JobKeeper::addActions(QMenu* file) {
    QAction* first = file->actions().isEmpty() ? nullptr : file->actions().constFirst();
    file->insertActions(first, {actions_[0], actions_[1]});
    file->insertMenu(first, recent_);
    file->insertActions(first, {actions_[2], actions_[3], actions_[4]});
    file->insertSeparator(first);
}

CalculatorPage* JobKeeper::pageOf(const std::string& calculation) const {
    const QString name = fromEngine(calculation);
    const auto found = std::find_if(pages_.begin(), pages_.end(), [&](CalculatorPage* page) {
        return page->definition().calculation == name;
    });
    return found == pages_.end() ? nullptr : *found;
}

QString JobKeeper::path(const CalculatorPage* page) const {
    const auto found = jobs_.find(page);
    return found == jobs_.end() ? QString() : found->second.path;
}

QString JobKeeper::name(const CalculatorPage* page) const {
    const auto found = jobs_.find(page);
    return found == jobs_.end() ? QString() : found->second.name;
}

QString JobKeeper::notes(const CalculatorPage* page) const {
    const auto found = jobs_.find(page);
    return found == jobs_.end() ? QString() : found->second.notes;
}

void JobKeeper::setDetails(CalculatorPage* page, const QString& name, const QString& notes) {
    jobs_[page].name = name;
    jobs_[page].notes = notes;
    updateTitle();
}

std::vector<std::int64_t> JobKeeper::ticks(const CalculatorPage* page) const {
    const auto found = jobs_.find(page);
    if (found == jobs_.end() || found->second.tickedFor.all() != page->currentInputs().all()) {
        return {};
    }
    return found->second.ticks;
}

Job JobKeeper::jobOf(const CalculatorPage* page) const {
    Job job;
    job.calculation = page->definition().calculation.toStdString();
    job.inputs = page->currentInputs();
    job.inputs.erase("units");
    job.units = unitsNamed(page->units().toStdString()).value_or(JobUnits::None);
    job.ticks = ticks(page);
    job.name = name(page).toStdString();
    job.notes = notes(page).toStdString();
    return job;
}

bool JobKeeper::isModified(const CalculatorPage* page) const {
    const auto found = jobs_.find(page);
    if (found == jobs_.end()) {
        return false;
    }
    if (found->second.path.isEmpty()) {
        return !found->second.name.isEmpty() || !found->second.notes.isEmpty() ||
               !ticks(page).empty();
    }
    return writeJob(jobOf(page)) != found->second.saved;
}

void JobKeeper::updateTitle() {
    const CalculatorPage* page = front_();
    const QString file = page != nullptr ? path(page) : QString();
    QString label = page != nullptr ? name(page) : QString();
    if (label.isEmpty() && !file.isEmpty()) {
        label = QFileInfo(file).completeBaseName();
    }
    window_->setWindowTitle(label.isEmpty() ? tr("Morvanta Workshop")
                                            : tr("%1[*] \u2013 Morvanta Workshop").arg(label));
    window_->setWindowModified(page != nullptr && isModified(page));
    emit changed();
}

void JobKeeper::complain(const QString& text) {
    QMessageBox::warning(window_, tr("Morvanta Workshop"), text);
}

QString JobKeeper::readFile(const QString& path, std::string& bytes) const {
    const QFileInfo info(path);
    if (info.isDir()) {
        return tr("it is a folder, not a job file");
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return file.errorString();
    }
    // One byte more than a job may have, so that a larger file is told without reading it all.
    const QByteArray read = file.read(static_cast<qint64>(kMaxJobBytes) + 1);
    if (file.error() != QFileDevice::NoError) {
        return file.errorString();
    }
    if (static_cast<std::size_t>(read.size()) > kMaxJobBytes) {
        return tr("a job file may have at most %1 bytes (1 MiB); this one has more")
            .arg(kMaxJobBytes);
    }
    bytes.assign(read.constData(), static_cast<std::size_t>(read.size()));
    return {};
}

// Puts the job's inputs and units in its page; where a field cannot hold an input as given, the
// page gets back what it had and the reason is returned.
QString JobKeeper::applyJob(CalculatorPage* page, const Job& job) {
    const Inputs before = page->currentInputs();
    const QString unitsBefore = page->units();
    Inputs wanted = job.inputs;
    wanted.erase("units");
    const QString refused = page->setInputs(wanted);
    // After the inputs, which give a page's own Units field its default when they lack "units".
    page->setUnits(fromEngine(unitsWord(job.units)));
    if (refused.isEmpty()) {
        return {};
    }
    page->setInputs(before);
    page->setUnits(unitsBefore);
    return tr("the window's field for inputs.%1 cannot hold it as the file gives it").arg(refused);
}

bool JobKeeper::openJob(const QString& path) {
    std::string bytes;
    QString why = readFile(path, bytes);
    Result<Job> job = Result<Job>::failure("");
    if (why.isEmpty()) {
        job = readJob(bytes);
        why = job.ok() ? QString() : fromEngine(job.message());
    }
    if (why.isEmpty()) {
        const Result<Made> made = makeJob(job.value());
        why = made.ok() ? QString() : fromEngine(made.message());
    }
    CalculatorPage* page = why.isEmpty() ? pageOf(job.value().calculation) : nullptr;
    if (why.isEmpty() && page == nullptr) {
        why = tr("this window has no page for it");
    }
    if (why.isEmpty() && isModified(page) && !askToSave(page, true)) {
        return false;
    }
    if (why.isEmpty()) {
        why = applyJob(page, job.value());
    }
    if (!why.isEmpty()) {
        complain(tr("Could not open %1: %2").arg(shown(path), why));
        return false;
    }
    PageJob& kept = jobs_[page];
    kept = PageJob{QFileInfo(path).absoluteFilePath(),
                   {},
                   page->currentInputs(),
                   job.value().ticks,
                   fromEngine(job.value().name),
                   fromEngine(job.value().notes)};
    kept.saved = writeJob(jobOf(page));
    bringToFront_(page);
    remember(kept.path);
    updateTitle();
    window_->statusBar()->showMessage(tr("Opened %1").arg(shown(path)), kStatusMilliseconds);
    return true;
}

bool JobKeeper::saveJob(CalculatorPage* page, const QString& path) {
    // A save straight after a keystroke, or from the question on closing, finds the engine's
    // call for the last input still running on a busy machine: the input is good, only not yet
    // answered, and it is the input the user means to keep.
    page->finishComputing();
    if (!page->isCurrent()) {
        complain(
            tr("Nothing was saved: the input is not valid. Put right the field the message "
               "names, then save."));
        return false;
    }
    const std::string bytes = writeJob(jobOf(page));
    if (const SaveOutcome outcome =
            saveFile(path, QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
        !outcome.saved) {
        complain(tr("Could not save %1: %2").arg(shown(path), outcome.reason));
        return false;
    }
    PageJob& kept = jobs_[page];
    kept.path = QFileInfo(path).absoluteFilePath();
    kept.saved = bytes;
    remember(kept.path);
    updateTitle();
    window_->statusBar()->showMessage(tr("Saved %1").arg(shown(path)), kStatusMilliseconds);
    return true;
}

QString JobKeeper::writeNow(CalculatorPage* page, QString* kept) {
    PageJob& job = jobs_[page];
    if (job.path.isEmpty()) {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                               QStringLiteral("/jobs");
        if (!QDir().mkpath(folder)) {
            return tr("the folder %1 could not be made").arg(shown(folder));
        }
        job.path = QDir(folder).filePath(
            page->definition().fileStem + QLatin1Char('-') +
            QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmmss")) +
            QStringLiteral(".morvanta"));
        if (kept != nullptr) {
            *kept = job.path;
        }
    }
    const std::string bytes = writeJob(jobOf(page));
    const SaveOutcome outcome =
        saveFile(job.path, QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (!outcome.saved) {
        return tr("could not save %1: %2").arg(shown(job.path), outcome.reason);
    }
    job.saved = bytes;
    remember(job.path);
    updateTitle();
    return {};
}

QString JobKeeper::keepForTheMachine(CalculatorPage* page, QString* kept) {
    return writeNow(page, kept);
}

QString JobKeeper::recordTicks(CalculatorPage* page, std::vector<std::int64_t> ticks,
                               QString* kept) {
    PageJob& job = jobs_[page];
    std::sort(ticks.begin(), ticks.end());
    job.ticks = std::move(ticks);
    job.tickedFor = page->currentInputs();
    return writeNow(page, kept);
}

bool JobKeeper::askToSave(CalculatorPage* page, bool canDiscard) {
    bringToFront_(page);
    QString label = name(page);
    if (label.isEmpty()) {
        label = path(page).isEmpty() ? QString(page->definition().title).remove(QLatin1Char('&'))
                                     : QFileInfo(path(page)).fileName();
    }
    QMessageBox question(QMessageBox::Question, tr("Morvanta Workshop"),
                         tr("The job \u201C%1\u201D has changes that are not saved.").arg(label),
                         QMessageBox::Save | QMessageBox::Cancel, window_);
    question.setObjectName(QStringLiteral("unsavedJob"));
    question.setInformativeText(tr("Save them, or discard them?"));
    if (canDiscard) {
        question.addButton(QMessageBox::Discard);
    }
    question.setDefaultButton(QMessageBox::Save);
    const int answer = question.exec();
    if (answer == QMessageBox::Discard) {
        return true;
    }
    if (answer != QMessageBox::Save) {
        return false;
    }
    const QString file = path(page).isEmpty() ? askPath(page) : path(page);
    return !file.isEmpty() && saveJob(page, file);
}

bool JobKeeper::closeAll() {
    for (CalculatorPage* page : pages_) {
        if (isModified(page) && !askToSave(page, true)) {
            return false;
        }
    }
    return true;
}

QString JobKeeper::askPath(CalculatorPage* page) {
    const QString directory =
        settings_
            .value(QStringLiteral("files/directory"),
                   QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
            .toString();
    QString suggested = name(page);
    suggested.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|]")), QStringLiteral("-"));
    if (suggested.isEmpty()) {
        suggested = page->definition().fileStem;
    }
    QFileDialog dialog(
        window_, tr("Save Job"),
        path(page).isEmpty() ? QDir(directory).filePath(suggested + ".morvanta") : path(page),
        tr("Morvanta jobs (*.morvanta)"));
    dialog.setObjectName(QStringLiteral("jobDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("morvanta"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    const QString chosen = dialog.selectedFiles().constFirst();
    settings_.setValue(QStringLiteral("files/directory"), QFileInfo(chosen).absolutePath());
    return chosen;
}

void JobKeeper::remember(const QString& path) {
    QStringList recent = settings_.value(kRecentKey).toStringList();
    recent.removeAll(path);
    recent.prepend(path);
    settings_.setValue(kRecentKey, recent.mid(0, kRecentFiles));
}

QStringList JobKeeper::recentFiles() const {
    return settings_.value(kRecentKey).toStringList();
}

void JobKeeper::fillRecent() {
    recent_->clear();
    const QStringList files = recentFiles();
    for (const QString& file : files) {
        QAction* entry = recent_->addAction(shown(file));
        connect(entry, &QAction::triggered, this, [this, file] { openJob(file); });
    }
    recent_->setEnabled(!files.isEmpty());
}

void JobKeeper::newJob() {
    CalculatorPage* page = front_();
    if (page == nullptr || (isModified(page) && !askToSave(page, true))) {
        return;
    }
    jobs_.erase(page);
    page->setUnits({});
    page->resetToDefaults();
    page->focusFirstField();
    updateTitle();
}

void JobKeeper::open() {
    const QString directory =
        settings_
            .value(QStringLiteral("files/directory"),
                   QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
            .toString();
    QFileDialog dialog(window_, tr("Open Job"), directory, tr("Morvanta jobs (*.morvanta)"));
    dialog.setObjectName(QStringLiteral("jobDialog"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        settings_.setValue(QStringLiteral("files/directory"), dialog.directory().absolutePath());
        openJob(dialog.selectedFiles().constFirst());
    }
}

void JobKeeper::save() {
    if (CalculatorPage* page = front_()) {
        const QString file = path(page).isEmpty() ? askPath(page) : path(page);
        if (!file.isEmpty()) {
            saveJob(page, file);
        }
    }
}

void JobKeeper::saveAs() {
    if (CalculatorPage* page = front_()) {
        if (const QString file = askPath(page); !file.isEmpty()) {
            saveJob(page, file);
        }
    }
}

void JobKeeper::details() {
    CalculatorPage* page = front_();
    if (page == nullptr) {
        return;
    }
    QString label = name(page);
    QString units = page->units();
    QString text = notes(page);
    if (editDetails(window_, label, units, text)) {
        page->setUnits(units);
        setDetails(page, label, text);
    }
}

}  // namespace morvanta::workshop
