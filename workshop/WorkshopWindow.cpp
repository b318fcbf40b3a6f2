// SPDX-License-Identifier: GPL-3.0-or-later
#include "workshop/WorkshopWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "Version.h"
#include "workshop/CalculatorPage.h"
#include "workshop/Page.h"
#include "workshop/SafeFile.h"
#include "workshop/SketchView.h"

namespace morvanta::workshop {

namespace {

constexpr const char* kTitle = "Morvanta Workshop";
constexpr double kMarginMillimetres = 15;
constexpr int kStatusMilliseconds = 8000;

QString title() {
    return QString::fromLatin1(kTitle);
}

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

    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("pages"));
    for (PageDefinition& definition : workshopPages()) {
        auto* page = new CalculatorPage(std::move(definition), pages_);
        pages_->addTab(page, page->definition().title);
        pageList_.push_back(page);
    }

    QMenu* file = menuBar()->addMenu(tr("&File"));
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
    QAction* quit = new QAction(tr("&Quit"), this);
    quit->setObjectName(QStringLiteral("quit"));
    quit->setShortcut(QKeySequence::Quit);
    connect(quit, &QAction::triggered, this, &QWidget::close);
    file->addActions({saveCsv_, saveGcode_});
    file->addSeparator();
    file->addActions({print_, exportPdf_, exportPicture_});
    file->addSeparator();
    file->addAction(quit);

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    copy_ = makeAction("copy", tr("&Copy Sheet"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C),
                       &WorkshopWindow::copySheet);
    resetPage_ = makeAction("resetPage", tr("&Reset Page to Defaults"), QKeySequence(),
                            &WorkshopWindow::resetPage);
    edit->addAction(copy_);
    edit->addSeparator();
    edit->addAction(resetPage_);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    QAction* aboutAction =
        makeAction("about", tr("&About Morvanta Workshop"), QKeySequence(), &WorkshopWindow::about);
    help->addAction(aboutAction);

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

    settings_.beginGroup(QStringLiteral("pages"));
    for (CalculatorPage* page : pageList_) {
        page->loadFields(settings_);
    }
    settings_.endGroup();
    pages_->setCurrentIndex(std::clamp(settings_.value(QStringLiteral("window/page"), 0).toInt(), 0,
                                       pages_->count() - 1));

    for (CalculatorPage* page : pageList_) {
        connect(page, &CalculatorPage::stateChanged, this, &WorkshopWindow::updateActions);
        connect(page, &CalculatorPage::computed, this, [this, page] { savePage(page); });
    }
    connect(pages_, &QTabWidget::currentChanged, this, [this] {
        updateActions();
        if (CalculatorPage* page = currentPage();
            page != nullptr && !pages_->tabBar()->hasFocus()) {
            page->focusFirstField();
        }
    });
    updateActions();

    if (!restoreGeometry(settings_.value(QStringLiteral("window/geometry")).toByteArray())) {
        // A first start: big enough for a sheet beside its fields, never more than the screen.
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        resize(QSize(940, 640).boundedTo(screen.size() * 9 / 10));
        move(screen.center() - rect().center());
    }
    if (CalculatorPage* page = currentPage()) {
        page->focusFirstField();
    }
}

WorkshopWindow::~WorkshopWindow() = default;

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
    auto* button = new QPushButton(caption, this);
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
    return PrintedSheet{output.report(), page->outputInputs(),
                        output.sketch ? std::optional<Sketch>(output.sketch()) : std::nullopt};
}

void WorkshopWindow::updateActions() {
    const CalculatorPage* page = currentPage();
    const bool current = page != nullptr && page->isCurrent();
    for (QAction* action : {copy_, saveCsv_, print_, exportPdf_}) {
        action->setEnabled(current);
    }
    saveCsv_->setEnabled(current && static_cast<bool>(page->output()->csv));
    saveGcode_->setEnabled(current && static_cast<bool>(page->output()->gcode));
    exportPicture_->setEnabled(current && static_cast<bool>(page->output()->sketch));
    // Where the page could make G-code but not from this input, the engine says why.
    const QString whyNoGcode = current ? page->output()->gcodeMessage : QString();
    saveGcode_->setStatusTip(whyNoGcode);
    resetPage_->setEnabled(page != nullptr);
    for (const auto& [action, button] : buttons_) {
        button->setEnabled(action->isEnabled());
        button->setToolTip(action->statusTip().isEmpty()
                               ? button->property("plainToolTip").toString()
                               : action->statusTip());
    }
}

void WorkshopWindow::savePage(CalculatorPage* page) {
    settings_.beginGroup(QStringLiteral("pages"));
    page->saveFields(settings_);
    settings_.endGroup();
}

void WorkshopWindow::saveWindow() {
    settings_.setValue(QStringLiteral("window/geometry"), saveGeometry());
    settings_.setValue(QStringLiteral("window/page"), pages_->currentIndex());
    settings_.sync();
}

void WorkshopWindow::closeEvent(QCloseEvent* event) {
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
        settings_
            .value(QStringLiteral("files/directory"),
                   QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
            .toString();
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
                                std::function<std::string()> PageOutput::*writer) {
    const CalculatorPage* page = currentPage();
    if (page == nullptr || !page->isCurrent() || !(page->output()->*writer)) {
        return false;
    }
    const std::string bytes = (page->output()->*writer)();
    if (const SaveOutcome outcome = saveFile(path, bytes); !outcome.saved) {
        complain(tr("Could not save %1: %2").arg(QDir::toNativeSeparators(path), outcome.reason));
        return false;
    }
    statusBar()->showMessage(tr("Saved %1").arg(QDir::toNativeSeparators(path)),
                             kStatusMilliseconds);
    return true;
}

bool WorkshopWindow::saveCsvTo(const QString& path) {
    return saveOutput(path, &PageOutput::csv);
}

bool WorkshopWindow::saveGcodeTo(const QString& path) {
    return saveOutput(path, &PageOutput::gcode);
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

int WorkshopWindow::exportPdfTo(const QString& path) {
    const std::optional<PrintedSheet> sheet = currentSheet();
    if (!sheet) {
        return 0;
    }
    QSaveFile file(path);
    int pages = 0;
    if (file.open(QIODevice::WriteOnly)) {
        QPdfWriter writer(&file);
        writer.setPageLayout(defaultPageLayout());
        writer.setTitle(QString::fromStdString(sheet->report.title));
        writer.setCreator(title());
        pages = printSheet(writer, *sheet);
    }
    if (pages == 0 || !file.commit()) {
        complain(
            tr("Could not save %1: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
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
    const QByteArray svg = sketchSvg(page->output()->sketch(), caption);
    if (const SaveOutcome outcome = saveFile(path, svg); !outcome.saved) {
        complain(tr("Could not save %1: %2").arg(QDir::toNativeSeparators(path), outcome.reason));
        return false;
    }
    statusBar()->showMessage(tr("Saved %1").arg(QDir::toNativeSeparators(path)),
                             kStatusMilliseconds);
    return true;
}

void WorkshopWindow::copySheet() {
    const CalculatorPage* page = currentPage();
    if (page == nullptr || !page->isCurrent()) {
        return;
    }
    QGuiApplication::clipboard()->setText(QString::fromStdString(page->output()->text),
                                          QClipboard::Clipboard);
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
    const std::optional<PrintedSheet> sheet = currentSheet();
    if (!sheet) {
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(defaultPageLayout());
    printer.setDocName(QString::fromStdString(sheet->report.title));
    printer.setCreator(title());
    QPrintPreviewDialog preview(&printer, this);
    preview.setObjectName(QStringLiteral("printPreview"));
    preview.setWindowTitle(
        tr("Print Preview: %1").arg(QString::fromStdString(sheet->report.title)));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [&sheet](QPrinter* target) { printSheet(*target, *sheet); });
    preview.exec();
}

void WorkshopWindow::resetPage() {
    if (CalculatorPage* page = currentPage(); page != nullptr) {
        page->resetToDefaults();
        page->focusFirstField();
    }
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
