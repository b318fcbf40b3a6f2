// SPDX-License-Identifier: GPL-3.0-or-later
// The window's outputs: the sheet copied, saved as CSV and G-code, printed and exported as PDF, and
// the picture exported as SVG. Each makes sure of the memory it needs first and says so when there
// is not enough, and each save says the system's reason when it fails.
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QMimeData>
#include <QPaintEngine>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStandardPaths>
#include <QStatusBar>

#include <functional>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "ui/DesktopServices.h"
#include "workshop/CalculatorPage.h"
#include "workshop/Memory.h"
#include "workshop/ReportPrinter.h"
#include "workshop/SafeFile.h"
#include "workshop/SketchView.h"
#include "workshop/WorkshopWindow.h"

namespace morvanta::workshop {

namespace {

constexpr double kMarginMillimetres = 15;

// Where a save dialog opens the first time: the user's documents, or their home folder where
// there is no documents folder.
QString firstSaveFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

// Room made sure of before Qt sets up a preview or a PDF writer, where running out of memory would
// end the program: the preview takes some 10 MB before it draws a page. The pages themselves are
// printSheet's to make room for.
constexpr std::size_t kPreviewRoom = std::size_t{24} << 20;
constexpr std::size_t kPdfWriterRoom = std::size_t{8} << 20;
constexpr std::size_t kPictureRoom = std::size_t{16} << 20;

// The sheet as a PDF document in memory; returns the number of pages.
int writePdf(const PrintedSheet& sheet, QByteArray& pdf, const QPageLayout& paper) {
    requireMemory(kPdfWriterRoom);
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageLayout(paper);
    writer.setTitle(QString::fromStdString(sheet.report.title));
    writer.setCreator(WorkshopWindow::programTitle());
    return printSheet(writer, sheet);
}

// The picture as an SVG document. Room is made sure of first: the SVG writer's painter, cut
// short by a shortage, would end the program as it closed.
QByteArray pictureSvg(const Sketch& sketch, const QString& caption) {
    requireMemory(kPictureRoom);
    return sketchSvg(sketch, caption);
}

}  // namespace

void WorkshopWindow::complain(const QString& text) {
    QMessageBox::warning(this, programTitle(), text);
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
    return saveBytes(path, bytes);
}

bool WorkshopWindow::saveBytes(const QString& path, QByteArrayView bytes) {
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
    // Given to the last shortage's message, the room may be had again now that memory has come
    // back.
    messageRoom_.retake();
    try {
        work();
        return true;
    } catch (const std::bad_alloc&) {
        sayShortOfMemory(what);
        return false;
    }
}

// The message box is made in the room held back. Once other work has taken that room after an
// earlier message, a box would run short as it is made or drawn, inside Qt's event handling,
// which cannot be unwound: so then the shortage is written to standard error, which needs no
// memory, with the bell for the user at the machine.
void WorkshopWindow::sayShortOfMemory(const QString& what) {
    if (!messageRoom_.held()) {
        constexpr std::string_view kSaid =
            "morvanta-workshop: not enough memory, not even to say so in a window\n";
        [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, kSaid.data(), kSaid.size());
        QApplication::beep();
        return;
    }
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
                          pages = sheet ? writePdf(*sheet, pdf, defaultPageLayout()) : 0;
                      }) ||
        !sheet) {
        return 0;
    }
    return savePdf(path, pdf, pages);
}

int WorkshopWindow::savePdf(const QString& path, const QByteArray& pdf, int pages) {
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
    return saveBytes(path, svg);
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
    printer.setCreator(programTitle());
    QPrintPreviewDialog preview(&printer, this);
    preview.setObjectName(QStringLiteral("printPreview"));
    preview.setWindowTitle(tr("Print Preview: %1").arg(QString::fromStdString(sheet.report.title)));
    bool shortOfMemory = false;
    // The pages are drawn inside Qt's own calls, which must not see the shortage: the preview is
    // closed once its loop runs, and the shortage said after.
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [&](QPrinter* target) {
        try {
            printSheetOn(*target, sheet);
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

int WorkshopWindow::printTo(QPrinter& printer) {
    int pages = 0;
    enoughMemory(tr("print the sheet"), [&] {
        if (const std::optional<PrintedSheet> sheet = currentSheet()) {
            pages = printSheetOn(printer, *sheet);
        }
    });
    return pages;
}

// Qt's PDF printer writes its file as the pages are drawn, over the old one: a full disk or a
// crash would leave neither. Made in memory, the PDF is saved as every file is. The preview draws
// on the same printer through an engine of its own, and must still be drawn.
int WorkshopWindow::printSheetOn(QPrinter& printer, const PrintedSheet& sheet) {
    const QString path = printer.outputFileName();
    const QPaintEngine* engine = printer.paintEngine();
    if (printer.outputFormat() != QPrinter::PdfFormat || path.isEmpty() || engine == nullptr ||
        engine->type() != QPaintEngine::Pdf) {
        return printSheet(printer, sheet);
    }
    QByteArray pdf;
    const int pages = writePdf(sheet, pdf, printer.pageLayout());
    return savePdf(path, pdf, pages);
}

}  // namespace morvanta::workshop
