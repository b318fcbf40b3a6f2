// SPDX-License-Identifier: GPL-3.0-or-later
#include "workshop/WorkshopWindow.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>
#include <new>

#include "Version.h"
#include "ui/DesktopServices.h"
#include "workshop/CalculatorPage.h"
#include "workshop/HelpWindow.h"
#include "workshop/JobKeeper.h"
#include "workshop/Page.h"
#include "workshop/SafeFile.h"
#include "workshop/SketchView.h"

namespace morvanta::workshop {

namespace {

constexpr const char* kTitle = "Morvanta Workshop";
constexpr double kMarginMillimetres = 15;
constexpr int kStatusMilliseconds = 8000;
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

// Where a save dialog opens the first time: the user's documents, or their home folder where
// there is no documents folder.
QString firstSaveFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

QIcon workshopIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48}) {
        icon.addFile(QStringLiteral(":/workshop/icons/morvanta-workshop-%1.png").arg(size),
                     QSize(size, size));
    }
    return icon;
}

// Room made sure of before Qt sets up a preview or a PDF writer, where running out of memory would
// end the program: the preview takes some 10 MB before it draws a page. The pages themselves are
// printSheet's to make room for.
constexpr std::size_t kPreviewRoom = std::size_t{24} << 20;
constexpr std::size_t kPdfWriterRoom = std::size_t{8} << 20;
constexpr std::size_t kPictureRoom = std::size_t{16} << 20;

// The sheet as a PDF document in memory; returns the number of pages.
int writePdf(const PrintedSheet& sheet, QByteArray& pdf) {
    requireMemory(kPdfWriterRoom);
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageLayout(WorkshopWindow::defaultPageLayout());
    writer.setTitle(QString::fromStdString(sheet.report.title));
    writer.setCreator(title());
    return printSheet(writer, sheet);
}

// The picture as an SVG document. Room is made sure of first: the SVG writer's painter, cut
// short by a shortage, would end the program as it closed.
QByteArray pictureSvg(const Sketch& sketch, const QString& caption) {
    requireMemory(kPictureRoom);
    return sketchSvg(sketch, caption);
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
    pages_ = new QTabWidget(this);
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
    saveChangedPages();
    if (!jobs_->closeAll()) {
        event->ignore();
        return;
    }
    saveWindow();
    event->accept();
}

void WorkshopWindow::complain(const QString& text) {
    QMessageBox::warning(this, title(), text);
}

QString WorkshopWindow::askSavePath(const QAction* action, const QString& caption,
                                    const QString& suffix, const QString& filter) {
    // Off while the sheet in front has nothing of the kind to save.
    if (!action->isEnabled()) {
        return {};
    }
    const CalculatorPage* page = currentPage();
    const QString directory =
        settings_.value(QStringLiteral("files/directory"), firstSaveFolder()).toString();
    QString name = page->definition().fileStem;
    if (const std::vector<QWidget*> fields = page->fieldControls(); !fields.empty()) {
        // The suggested name carries the first input, the count, as the sheet's title does.
        if (const auto* edit = qobject_cast<const QLineEdit*>(fields.front())) {
            name += QLatin1Char('-') + edit->text();
        }
    }
    QFileDialog dialog(this, caption, QDir(directory).filePath(name + QLatin1Char('.') + suffix),
                       filter);
    dialog.setObjectName(QStringLiteral("saveDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    const QString path = dialog.selectedFiles().constFirst();
    settings_.setValue(QStringLiteral("files/directory"), QFileInfo(path).absolutePath());
    return path;
}

bool WorkshopWindow::saveOutput(const QString& path,
                                std::function<std::string()> PageOutput::*writer,
                                const QString& what) {
    const CalculatorPage* page = currentPage();
    if (page == nullptr || !page->isCurrent() || !(page->output()->*writer)) {
        return false;
    }
    std::string bytes;
    if (!enoughMemory(what, [&] { bytes = (page->output()->*writer)(); })) {
        return false;
    }
    if (const SaveOutcome outcome = saveFile(path, bytes); !outcome.saved) {
        complain(tr("Could not save %1: %2").arg(QDir::toNativeSeparators(path), outcome.reason));
        return false;
    }
    statusBar()->showMessage(tr("Saved %1").arg(QDir::toNativeSeparators(path)),
                             kStatusMilliseconds);
    return true;
}

bool WorkshopWindow::saveCsvTo(const QString& path) {
    return saveOutput(path, &PageOutput::csv, tr("save the CSV"));
}

bool WorkshopWindow::saveGcodeTo(const QString& path) {
    return saveOutput(path, &PageOutput::gcode, tr("save the G-code"));
}

bool WorkshopWindow::enoughMemory(const QString& what, const std::function<void()>& work) {
    try {
        work();
        return true;
    } catch (const std::bad_alloc&) {
        sayShortOfMemory(what);
        return false;
    }
}

void WorkshopWindow::sayShortOfMemory(const QString& what) {
    messageRoom_.release();
    complain(tr("Not enough memory to %1.").arg(what));
    messageRoom_.retake();
}

QPageLayout WorkshopWindow::defaultPageLayout() {
    const QPageSize size(QLocale().measurementSystem() == QLocale::ImperialUSSystem
                             ? QPageSize::Letter
                             : QPageSize::A4);
    return QPageLayout(
        size, QPageLayout::Portrait,
        QMarginsF(kMarginMillimetres, kMarginMillimetres, kMarginMillimetres, kMarginMillimetres),
        QPageLayout::Millimeter);
}

// The PDF is made in memory and saved as every file is, so that it too replaces nothing but a
// regular file and names the system's reason when it cannot be written.
int WorkshopWindow::exportPdfTo(const QString& path) {
    std::optional<PrintedSheet> sheet;
    QByteArray pdf;
    int pages = 0;
    if (!enoughMemory(tr("export the PDF"),
                      [&] {
                          sheet = currentSheet();
                          pages = sheet ? writePdf(*sheet, pdf) : 0;
                      }) ||
        !sheet) {
        return 0;
    }
    const SaveOutcome outcome =
        pages > 0 ? saveFile(path, pdf) : SaveOutcome{false, tr("the pages could not be drawn")};
    if (!outcome.saved) {
        complain(tr("Could not save %1: %2").arg(QDir::toNativeSeparators(path), outcome.reason));
        return 0;
    }
    statusBar()->showMessage(
        tr("Saved %1 (%n page(s))", nullptr, pages).arg(QDir::toNativeSeparators(path)),
        kStatusMilliseconds);
    return pages;
}

bool WorkshopWindow::exportPictureTo(const QString& path) {
    const CalculatorPage* page = currentPage();
    if (page == nullptr || !page->isCurrent() || !page->output()->sketch) {
        return false;
    }
    QString caption = page->definition().title;
    caption.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    caption.remove(QLatin1Char('&'));
    caption.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    QByteArray svg;
    if (!enoughMemory(tr("export the picture"),
                      [&] { svg = pictureSvg(page->output()->sketch(), caption); })) {
        return false;
    }
    if (const SaveOutcome outcome = saveFile(path, svg); !outcome.saved) {
        complain(tr("Could not save %1: %2").arg(QDir::toNativeSeparators(path), outcome.reason));
        return false;
    }
    statusBar()->showMessage(tr("Saved %1").arg(QDir::toNativeSeparators(path)),
                             kStatusMilliseconds);
    return true;
}

// The clipboard is given the sheet's own UTF-8 bytes, so that when another program reads them
// nothing is converted, and nothing can run short of memory, in the middle of the window's events.
void WorkshopWindow::copySheet() {
    const CalculatorPage* page = currentPage();
    if (page == nullptr || !page->isCurrent()) {
        return;
    }
    // The sheet's text is written out only now, and a 10000-line sheet may find no room for it.
    std::unique_ptr<QMimeData> text;
    if (!enoughMemory(tr("copy the sheet"),
                      [&] { text = desktop::clipboardText(page->output()->text()); })) {
        return;
    }
    if (text == nullptr) {
        sayShortOfMemory(tr("copy the sheet"));
        return;
    }
    desktop::clipboardSetText(std::move(text));
    statusBar()->showMessage(tr("Copied the sheet to the clipboard"), kStatusMilliseconds);
}

void WorkshopWindow::saveCsv() {
    if (const QString path = askSavePath(saveCsv_, tr("Save as CSV"), QStringLiteral("csv"),
                                         tr("CSV files (*.csv)"));
        !path.isEmpty()) {
        saveCsvTo(path);
    }
}

void WorkshopWindow::saveGcode() {
    if (CalculatorPage* page = currentPage(); page != nullptr && page->showWhyNoGcode()) {
        statusBar()->showMessage(
            tr("No G-code from this input: %1").arg(page->output()->gcodeMessage),
            kStatusMilliseconds);
        return;
    }
    if (const QString path = askSavePath(saveGcode_, tr("Save G-code"), QStringLiteral("nc"),
                                         tr("G-code programs (*.nc *.ngc *.tap)"));
        !path.isEmpty()) {
        saveGcodeTo(path);
    }
}

void WorkshopWindow::exportPdf() {
    if (const QString path = askSavePath(exportPdf_, tr("Export PDF"), QStringLiteral("pdf"),
                                         tr("PDF documents (*.pdf)"));
        !path.isEmpty()) {
        exportPdfTo(path);
    }
}

void WorkshopWindow::exportPicture() {
    if (const QString path = askSavePath(exportPicture_, tr("Export Picture"),
                                         QStringLiteral("svg"), tr("SVG pictures (*.svg)"));
        !path.isEmpty()) {
        exportPictureTo(path);
    }
}

void WorkshopWindow::print() {
    enoughMemory(tr("print the sheet"), [this] {
        if (const std::optional<PrintedSheet> sheet = currentSheet()) {
            previewAndPrint(*sheet);
        }
    });
}

void WorkshopWindow::previewAndPrint(const PrintedSheet& sheet) {
    requireMemory(kPreviewRoom);
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(defaultPageLayout());
    printer.setDocName(QString::fromStdString(sheet.report.title));
    printer.setCreator(title());
    QPrintPreviewDialog preview(&printer, this);
    preview.setObjectName(QStringLiteral("printPreview"));
    preview.setWindowTitle(tr("Print Preview: %1").arg(QString::fromStdString(sheet.report.title)));
    bool shortOfMemory = false;
    // The pages are drawn inside Qt's own calls, which must not see the shortage: the preview is
    // closed once its loop runs, and the shortage said after.
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [&](QPrinter* target) {
        try {
            printSheet(*target, sheet);
        } catch (const std::bad_alloc&) {
            shortOfMemory = true;
            QMetaObject::invokeMethod(&preview, &QDialog::reject, Qt::QueuedConnection);
        }
    });
    preview.exec();
    if (shortOfMemory) {
        throw std::bad_alloc();
    }
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
