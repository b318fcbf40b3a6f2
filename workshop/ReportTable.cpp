// SPDX-License-Identifier: GPL-3.0-or-later
#include "workshop/ReportTable.h"

#include <QApplication>
#include <QCache>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStaticText>
#include <QStyledItemDelegate>

#include <algorithm>
#include <map>

namespace morvanta::workshop {

QString fromEngine(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

namespace {

// A figure as the engine writes one: a digit, a sign or a point first ("-25.3553", "+17.14\"",
// "51°26'00\""); words ("simple", "as for 120, ...") start otherwise.
bool isFigure(const std::string& cell) {
    if (cell.empty()) {
        return true;
    }
    const char first = cell.front();
    return (first >= '0' && first <= '9') || first == '-' || first == '+' || first == '.';
}

Qt::Alignment alignmentOf(const std::string& cell) {
    return Qt::AlignVCenter | (isFigure(cell) ? Qt::AlignRight : Qt::AlignLeft);
}

// Draws a cell as the style does (its row's colour, the selection, the focus frame) but its text
// straight on: the style lays each cell's text out as a paragraph that may wrap and be elided,
// which was a fifth of a keystroke's redraw with a large sheet in view. Each text is shaped once
// and kept a while, since the hole numbers and many figures stay from one sheet to the next. A
// text too wide for its cell, where the user has narrowed the column, is elided, never cut
// without a sign.
class CellPainter : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        const QWidget* view = cell.widget;
        const QStyle* style = view != nullptr ? view->style() : QApplication::style();
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &cell, painter, view);
        if (!cell.text.isEmpty()) {
            drawText(painter, cell, style);
        }
        if (cell.state.testFlag(QStyle::State_HasFocus)) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(cell);
            focus.rect = style->subElementRect(QStyle::SE_ItemViewItemFocusRect, &cell, view);
            focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
            focus.backgroundColor =
                cell.palette.color(cell.state.testFlag(QStyle::State_Selected) ? QPalette::Highlight
                                                                               : QPalette::Window);
            style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, view);
        }
    }

private:
    // About two screens of a table's cells.
    static constexpr int kShapedKept = 4096;

    const QStaticText& shaped(const QString& text, const QFont& font) const {
        if (font != shapedIn_) {
            shaped_.clear();
            shapedIn_ = font;
        }
        if (QStaticText* kept = shaped_.object(text)) {
            return *kept;
        }
        auto* made = new QStaticText(text);
        made->setTextFormat(Qt::PlainText);
        made->setPerformanceHint(QStaticText::AggressiveCaching);
        made->prepare(QTransform(), font);
        shaped_.insert(text, made);
        return *made;
    }

    void drawText(QPainter* painter, const QStyleOptionViewItem& cell, const QStyle* style) const {
        QPalette::ColorGroup group =
            cell.state.testFlag(QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
        if (group == QPalette::Normal && !cell.state.testFlag(QStyle::State_Active)) {
            group = QPalette::Inactive;
        }
        const int margin =
            style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, cell.widget) + 1;
        const QRect room = cell.rect.adjusted(margin, 0, -margin, 0);
        const QFontMetrics& metrics = cell.fontMetrics;
        const QStaticText& whole = shaped(cell.text, cell.font);
        const bool fits = whole.size().width() <= room.width();
        const QString elided =
            fits ? QString() : metrics.elidedText(cell.text, cell.textElideMode, room.width());
        const double width = fits ? whole.size().width() : metrics.horizontalAdvance(elided);
        const double x =
            cell.displayAlignment.testFlag(Qt::AlignRight) ? room.right() + 1 - width : room.left();
        const int top = room.top() + (room.height() - metrics.height()) / 2;
        painter->save();
        painter->setClipRect(cell.rect);
        painter->setFont(cell.font);
        painter->setPen(cell.palette.color(group, cell.state.testFlag(QStyle::State_Selected)
                                                      ? QPalette::HighlightedText
                                                      : QPalette::Text));
        if (fits) {
            painter->drawStaticText(QPointF(x, top), whole);
        } else {
            painter->drawText(QPointF(x, top + metrics.ascent()), elided);
        }
        painter->restore();
    }

    mutable QCache<QString, QStaticText> shaped_{kShapedKept};
    mutable QFont shapedIn_;
};

}  // namespace

QStringList widestCells(const Report& report) {
    QStringList widest;
    for (std::size_t column = 0; column < report.columns.size(); ++column) {
        const std::string* longest = &report.columns[column];
        std::size_t most = displayWidth(*longest);
        for (const std::vector<std::string>& row : report.rows) {
            if (column < row.size() && row[column].size() > most &&
                displayWidth(row[column]) > most) {
                longest = &row[column];
                most = displayWidth(*longest);
            }
        }
        widest.append(fromEngine(*longest));
    }
    return widest;
}

void ReportModel::setReport(std::shared_ptr<const Report> report, QStringList widest) {
    widest_ = report && widest.isEmpty() ? workshop::widestCells(*report) : std::move(widest);
    const bool sameShape = report_ && report && report_->columns == report->columns &&
                           report_->columnUnits == report->columnUnits &&
                           report_->rows.size() == report->rows.size();
    if (!sameShape) {
        beginResetModel();
        report_ = std::move(report);
        endResetModel();
        return;
    }
    report_ = std::move(report);
    if (rowCount() > 0) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                         {Qt::DisplayRole, Qt::TextAlignmentRole});
    }
}

int ReportModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !report_ ? 0 : static_cast<int>(report_->rows.size());
}

int ReportModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || !report_ ? 0 : static_cast<int>(report_->columns.size());
}

const std::string& ReportModel::cell(int row, int column) const {
    static const std::string none;
    const std::vector<std::string>& cells = report_->rows[static_cast<std::size_t>(row)];
    return static_cast<std::size_t>(column) < cells.size() ? cells[static_cast<std::size_t>(column)]
                                                           : none;
}

QVariant ReportModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            return fromEngine(cell(index.row(), index.column()));
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(alignmentOf(cell(index.row(), index.column())));
        default:
            return {};
    }
}

QVariant ReportModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    const auto at = static_cast<std::size_t>(section);
    switch (role) {
        case Qt::DisplayRole: {
            const QString name = fromEngine(report_->columns[at]);
            const std::string unit =
                at < report_->columnUnits.size() ? report_->columnUnits[at] : std::string();
            return unit.empty() ? name : name + QStringLiteral(" (") + fromEngine(unit) + u')';
        }
        case Qt::TextAlignmentRole:
            // As the column's figures are, judged by its first row.
            return QVariant::fromValue(
                alignmentOf(report_->rows.empty() ? std::string() : cell(0, section)));
        default:
            return {};
    }
}

QString ReportModel::textOf(const QModelIndexList& selected) const {
    std::map<int, std::vector<int>> rows;
    std::vector<int> columns;
    for (const QModelIndex& index : selected) {
        rows[index.row()].push_back(index.column());
        columns.push_back(index.column());
    }
    std::sort(columns.begin(), columns.end());
    columns.erase(std::unique(columns.begin(), columns.end()), columns.end());
    QString text;
    for (const auto& [row, chosen] : rows) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (i > 0) {
                text += u'\t';
            }
            if (std::find(chosen.begin(), chosen.end(), columns[i]) != chosen.end()) {
                text += fromEngine(cell(row, columns[i]));
            }
        }
        text += u'\n';
    }
    return text;
}

SheetTable::SheetTable(QWidget* parent) : QTableView(parent) {
    setModel(&model_);
    setItemDelegate(new CellPainter(this));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(false);
    setAlternatingRowColors(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    verticalHeader()->hide();
    // One height for every row: the view then lays out and draws only the rows in sight.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + fontMetrics().height() / 3);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
}

void SheetTable::fitColumns() {
    const QStringList widest = model_.widestCells();
    const int padding = fontMetrics().averageCharWidth() * 3;
    const QFontMetrics header(horizontalHeader()->font());
    for (int column = 0; column < widest.size(); ++column) {
        const QString title = model_.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        const int width = std::max(fontMetrics().horizontalAdvance(widest[column]),
                                   header.horizontalAdvance(title)) +
                          padding;
        if (columnWidth(column) != width) {
            setColumnWidth(column, width);
        }
    }
}

int SheetTable::naturalWidth() const {
    int width = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < model_.columnCount(); ++column) {
        width += columnWidth(column);
    }
    return width;
}

void SheetTable::copySelection() {
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (!selected.isEmpty()) {
        QApplication::clipboard()->setText(model_.textOf(selected), QClipboard::Clipboard);
    }
}

void SheetTable::keyPressEvent(QKeyEvent* event) {
    if (event == QKeySequence::Copy) {
        copySelection();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

}  // namespace morvanta::workshop
