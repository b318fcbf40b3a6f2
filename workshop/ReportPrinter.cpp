// SPDX-License-Identifier: GPL-3.0-or-later
#include "workshop/ReportPrinter.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPagedPaintDevice>
#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <functional>
#include <memory>
#include <new>
#include <vector>

#include "workshop/Memory.h"
#include "workshop/ReportTable.h"
#include "workshop/SketchView.h"

namespace morvanta::workshop {

namespace {

constexpr double kTitlePitch = 20;
constexpr double kTitleSize = 14;
constexpr double kInputsPitch = 14;
constexpr double kTextSize = 10;
constexpr double kNotePitch = 12;
constexpr double kNoteSize = 9;
constexpr double kGapAfterNotes = 8;
constexpr double kContinuedPitch = 18;
constexpr double kContinuedSize = 11;
constexpr double kRowPitch = 16;
constexpr double kRowSize = 10;
constexpr double kSmallestRowSize = 5;
constexpr double kFooterPitch = 14;
constexpr double kFootBand = 20;
constexpr double kFootSize = 8;
constexpr double kTickBox = 9;
constexpr double kTickColumn = 16;
constexpr double kColumnGap = 12;
constexpr double kPointsPerInch = 72;
constexpr QRgb kShade = 0xEBEBEB;
constexpr double kPictureTextSize = 8;
constexpr double kPictureHeight = 200;
constexpr double kPictureGap = 8;

QFont sized(QFont font, double points, bool bold = false) {
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// A piece of a line to wrap: a word, or a part of a word too wide for the page, parted after its
// commas and slashes (a list of 64 plates is one word), which joins the part before it without a
// blank.
struct Piece {
    QString text;
    bool afterBlank = true;
};

std::vector<Piece> piecesOf(const QString& line, const QFontMetricsF& metrics, double width) {
    std::vector<Piece> pieces;
    for (const QString& word : line.split(QLatin1Char(' '))) {
        if (metrics.horizontalAdvance(word) <= width) {
            pieces.push_back({word});
            continue;
        }
        QString part;
        bool afterBlank = true;
        for (const QChar c : word) {
            part += c;
            if (c == u',' || c == u'/') {
                pieces.push_back({part, afterBlank});
                part.clear();
                afterBlank = false;
            }
        }
        pieces.push_back({part, afterBlank});
    }
    return pieces;
}

// Breaks a text into lines no wider than `width`, at blanks where it can, else after a comma.
QStringList wrapped(const QString& line, const QFontMetricsF& metrics, double width) {
    QStringList lines;
    QString current;
    for (const Piece& piece : piecesOf(line, metrics, width)) {
        const QString candidate =
            current.isEmpty()
                ? piece.text
                : current + (piece.afterBlank ? QStringLiteral(" ") : QString()) + piece.text;
        if (!current.isEmpty() && metrics.horizontalAdvance(candidate) > width) {
            lines.append(current);
            current = piece.text;
        } else {
            current = candidate;
        }
    }
    lines.append(current);
    return lines;
}

// What goes on one page: a run of table rows and some footer lines.
struct PagePlan {
    int firstRow = 0;
    int endRow = 0;
    int firstFooter = 0;
    int endFooter = 0;
};

class SheetLayout {
public:
    SheetLayout(QPagedPaintDevice& device, const PrintedSheet& sheet)
        : sheet_(sheet),
          scale_(device.logicalDpiY() / kPointsPerInch),
          width_(device.width()),
          height_(device.height()) {
        const QFont plain = QGuiApplication::font();
        const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        titleFont_ = sized(plain, kTitleSize, true);
        textFont_ = sized(plain, kTextSize);
        noteFont_ = sized(plain, kNoteSize);
        continuedFont_ = sized(plain, kContinuedSize, true);
        footFont_ = sized(plain, kFootSize);
        rowFont_ = sized(fixed, kRowSize);
        headerFont_ = sized(fixed, kRowSize, true);
        pictureFont_ = sized(plain, kPictureTextSize);

        if (!sheet.inputs.isEmpty()) {
            inputLines_ = wrapped(QStringLiteral("Inputs: ") + sheet.inputs,
                                  QFontMetricsF(textFont_, &device), width_);
            continuedInputLines_ = wrapped(QStringLiteral("Inputs: ") + sheet.inputs,
                                           QFontMetricsF(noteFont_, &device), width_);
        }
        for (const std::string& note : sheet.report.notes) {
            noteLines_ += wrapped(fromEngine(note), QFontMetricsF(noteFont_, &device), width_);
        }
        for (const std::string& line : sheet.report.footer) {
            footerLines_ += wrapped(fromEngine(line), QFontMetricsF(textFont_, &device), width_);
        }
        fitColumns(device);
        placePicture();
        paginate();
    }

    int pageCount() const { return static_cast<int>(pages_.size()); }

    void paint(QPainter& painter, const std::function<void()>& newPage) const {
        for (std::size_t i = 0; i < pages_.size(); ++i) {
            if (i > 0) {
                newPage();
            }
            paintPage(painter, pages_[i], static_cast<int>(i));
        }
    }

private:
    double pt(double points) const { return points * scale_; }
    bool hasTable() const { return !sheet_.report.columns.empty(); }
    int rowCount() const { return static_cast<int>(sheet_.report.rows.size()); }
    double bottom() const { return height_ - pt(kFootBand); }

    double notesBottom() const {
        return pt(kTitlePitch) + pt(kInputsPitch) * static_cast<double>(inputLines_.size()) +
               pt(kNotePitch) * static_cast<double>(noteLines_.size()) + pt(kGapAfterNotes);
    }

    // A page the table goes on to carries the title and the inputs too, so that a page parted
    // from the first still says what it is of; the inputs in the notes' smaller type, so that it
    // holds as many rows as without them.
    double continuedPageTop() const {
        return pt(kContinuedPitch) +
               pt(kNotePitch) * static_cast<double>(continuedInputLines_.size());
    }

    // Where the table starts on the first page: under the picture, if there is one.
    double firstPageTop() const {
        return picture_.isNull() ? notesBottom() : picture_.bottom() + pt(kPictureGap);
    }

    // Across the page under the notes, as high as it may be while the column names and a row
    // still fit under it.
    void placePicture() {
        if (!sheet_.sketch) {
            return;
        }
        const double top = notesBottom();
        const double room = bottom() - top - pt(kPictureGap) - pt(kRowPitch) * 2;
        picture_ = QRectF(0, top, width_, std::clamp(room, 0.0, pt(kPictureHeight)));
    }

    // Each column as wide as its widest cell, as in the text; the type shrinks until they fit.
    void fitColumns(QPagedPaintDevice& device) {
        const Report& report = sheet_.report;
        for (double size = kRowSize; size >= kSmallestRowSize; size -= 0.5) {
            rowFont_.setPointSizeF(size);
            headerFont_.setPointSizeF(size);
            const QFontMetricsF rows(rowFont_, &device);
            const QFontMetricsF header(headerFont_, &device);
            widths_.assign(report.columns.size(), 0.0);
            for (std::size_t c = 0; c < report.columns.size(); ++c) {
                widths_[c] = header.horizontalAdvance(fromEngine(report.columns[c]));
                for (const auto& row : report.rows) {
                    if (c < row.size()) {
                        widths_[c] =
                            std::max(widths_[c], rows.horizontalAdvance(fromEngine(row[c])));
                    }
                }
            }
            double total = pt(kTickColumn);
            for (const double w : widths_) {
                total += pt(kColumnGap) + w;
            }
            tableWidth_ = total;
            if (total <= width_) {
                return;
            }
        }
    }

    // The rows and footer lines each page takes. The first page that has room for the column
    // names and one row starts the table; a continued page takes at least one row or footer
    // line whatever its size, so that a tiny page cannot make this loop for ever.
    void paginate() {
        const int footers = static_cast<int>(footerLines_.size());
        int row = 0;
        int footer = 0;
        double y = firstPageTop();
        while (true) {
            PagePlan page{row, row, footer, footer};
            const bool continued = !pages_.empty();
            if (hasTable() && row < rowCount() &&
                (continued || y + pt(kRowPitch) * 2 <= bottom())) {
                y += pt(kRowPitch);
                do {
                    y += pt(kRowPitch);
                    ++row;
                } while (row < rowCount() && y + pt(kRowPitch) <= bottom());
                page.endRow = row;
            }
            if (row == rowCount()) {
                const bool forced = continued && page.endRow == page.firstRow;
                while (footer < footers && (y + pt(kFooterPitch) <= bottom() ||
                                            (forced && footer == page.firstFooter))) {
                    y += pt(kFooterPitch);
                    ++footer;
                }
                page.endFooter = footer;
            }
            pages_.push_back(page);
            if (row == rowCount() && footer == footers) {
                return;
            }
            y = continuedPageTop();
        }
    }

    void paintPage(QPainter& painter, const PagePlan& page, int index) const {
        const QString title = fromEngine(sheet_.report.title);
        double y = 0;
        const auto line = [&](const QFont& font, double pitch, const QString& words,
                              Qt::Alignment align = Qt::AlignLeft) {
            painter.setFont(font);
            painter.drawText(QRectF(0, y, width_, pt(pitch)), align | Qt::AlignVCenter, words);
            y += pt(pitch);
        };
        painter.setPen(Qt::black);
        if (index == 0) {
            line(titleFont_, kTitlePitch, title);
            for (const QString& words : inputLines_) {
                line(textFont_, kInputsPitch, words);
            }
            for (const QString& words : noteLines_) {
                line(noteFont_, kNotePitch, words);
            }
            y += pt(kGapAfterNotes);
            if (!picture_.isNull()) {
                painter.save();
                painter.setFont(pictureFont_);
                paintSketch(painter, *sheet_.sketch, picture_);
                painter.restore();
            }
            y = firstPageTop();
        } else {
            line(continuedFont_, kContinuedPitch, title + QStringLiteral(" (continued)"));
            for (const QString& words : continuedInputLines_) {
                line(noteFont_, kNotePitch, words);
            }
        }

        if (page.endRow > page.firstRow) {
            paintRow(painter, y, sheet_.report.columns, true, false);
            y += pt(kRowPitch);
            for (int row = page.firstRow; row < page.endRow; ++row) {
                paintRow(painter, y, sheet_.report.rows[static_cast<std::size_t>(row)], false,
                         (row - page.firstRow) % 2 == 1);
                if (std::binary_search(sheet_.ticks.begin(), sheet_.ticks.end(), row + 1)) {
                    paintTick(painter, y);
                }
                y += pt(kRowPitch);
            }
        }
        for (int footer = page.firstFooter; footer < page.endFooter; ++footer) {
            line(textFont_, kFooterPitch, footerLines_[footer]);
        }

        painter.setFont(footFont_);
        painter.setPen(QPen(Qt::black, pt(0.5)));
        painter.drawLine(QPointF(0, bottom() + pt(3)), QPointF(width_, bottom() + pt(3)));
        const QRectF foot(0, bottom() + pt(3), width_, pt(kFootBand - 3));
        painter.drawText(foot, Qt::AlignLeft | Qt::AlignVCenter, title);
        painter.drawText(foot, Qt::AlignRight | Qt::AlignVCenter,
                         QStringLiteral("Page %1 of %2").arg(index + 1).arg(pageCount()));
    }

    void paintRow(QPainter& painter, double y, const std::vector<std::string>& cells, bool header,
                  bool shaded) const {
        if (shaded) {
            painter.fillRect(QRectF(0, y, tableWidth_, pt(kRowPitch)), QColor(kShade));
        }
        painter.setPen(QPen(Qt::black, pt(0.6)));
        if (header) {
            painter.drawLine(QPointF(0, y + pt(kRowPitch)),
                             QPointF(tableWidth_, y + pt(kRowPitch)));
        } else {
            const double top = y + (pt(kRowPitch) - pt(kTickBox)) / 2;
            painter.drawRect(QRectF(pt(1), top, pt(kTickBox), pt(kTickBox)));
        }
        painter.setFont(header ? headerFont_ : rowFont_);
        double x = pt(kTickColumn);
        for (std::size_t c = 0; c < widths_.size(); ++c) {
            x += pt(kColumnGap);
            const QString cell = c < cells.size() ? fromEngine(cells[c]) : QString();
            painter.drawText(QRectF(x, y, widths_[c], pt(kRowPitch)),
                             Qt::AlignRight | Qt::AlignVCenter, cell);
            x += widths_[c];
        }
    }

    // A tick in the box of the row at `y`, drawn as a hand would: down to the left, then up.
    void paintTick(QPainter& painter, double y) const {
        const double left = pt(1);
        const double top = y + (pt(kRowPitch) - pt(kTickBox)) / 2;
        painter.setPen(QPen(Qt::black, pt(1.4), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const QPointF stroke[] = {{left + pt(1.8), top + pt(4.8)},
                                  {left + pt(3.8), top + pt(7.2)},
                                  {left + pt(7.6), top + pt(1.6)}};
        painter.drawPolyline(stroke, 3);
    }

    const PrintedSheet& sheet_;
    double scale_;
    double width_;
    double height_;
    QFont titleFont_, textFont_, noteFont_, continuedFont_, footFont_, rowFont_, headerFont_,
        pictureFont_;
    QStringList inputLines_, continuedInputLines_, noteLines_, footerLines_;
    std::vector<double> widths_;
    double tableWidth_ = 0;
    QRectF picture_;
    std::vector<PagePlan> pages_;
};

// What a device needs to write out a page: a PDF engine reads a page's drawing back in 16 MB
// blocks and compresses each into another 16 MB; a preview keeps what was drawn as it is.
constexpr std::size_t kPdfPageWriting = std::size_t{40} << 20;
constexpr std::size_t kPageWriting = std::size_t{4} << 20;
// What a device keeps of each page until the end, twice over: a PDF of the sheet takes some 5 kB a
// page, a preview some 40 kB.
constexpr std::size_t kPdfPageKept = std::size_t{16} << 10;
constexpr std::size_t kPageKept = std::size_t{96} << 10;

// Ends the painting. A painter that runs out of memory even to close is let go open: destroyed,
// it would try to close again, throwing from its destructor, which ends the program.
void close(std::unique_ptr<QPainter> painter) {
    try {
        painter->end();
    } catch (const std::bad_alloc&) {
        static_cast<void>(painter.release());
        throw;
    }
}

}  // namespace

int printSheet(QPagedPaintDevice& device, const PrintedSheet& sheet) {
    const SheetLayout layout(device, sheet);
    // Room for the device to write out a page and to close, held while the rows are drawn and
    // given back whenever it writes, so that memory running short part way leaves it enough to
    // close: a painter that cannot close ends the program.
    const QPaintEngine* engine = device.paintEngine();
    const bool pdf = engine != nullptr && engine->type() == QPaintEngine::Pdf;
    MemoryReserve writing(pdf ? kPdfPageWriting : kPageWriting);
    if (!writing.held()) {
        throw std::bad_alloc();
    }
    requireMemory(static_cast<std::size_t>(layout.pageCount()) * (pdf ? kPdfPageKept : kPageKept));
    auto painter = std::make_unique<QPainter>();
    try {
        if (!painter->begin(&device)) {
            return 0;
        }
        layout.paint(*painter, [&] {
            writing.release();
            device.newPage();
            if (!writing.retake()) {
                throw std::bad_alloc();
            }
        });
    } catch (const std::bad_alloc&) {
        writing.release();
        close(std::move(painter));
        throw;
    }
    writing.release();
    close(std::move(painter));
    return layout.pageCount();
}

}  // namespace morvanta::workshop
