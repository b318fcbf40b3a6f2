// SPDX-License-Identifier: GPL-3.0-or-later
#include "workshop/SheetPanel.h"

#include <QEvent>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>
#include <vector>

#include "workshop/ReportTable.h"
#include "workshop/SketchView.h"

namespace morvanta::workshop {

namespace {

// The answer's type against the window's own: large enough to read from the machine.
constexpr double kAnswerScale = 1.35;

QString linesOf(const std::vector<std::string>& lines) {
    QStringList joined;
    for (const std::string& line : lines) {
        joined.append(QString::fromStdString(line));
    }
    return joined.join(u'\n');
}

// Qt lays a wrapped label's text out afresh for every question a layout asks of its height, several
// to each new sheet and at several widths (the page's least and its own, the box's with and
// without a scroll bar), and shaping the notes each time was much of a keystroke's redraw. The
// heights at the last few widths asked are kept until the text, the font or the style change.
class WrappedLabel : public QLabel {
public:
    using QLabel::QLabel;

    int heightForWidth(int width) const override {
        if (text() != text_) {
            heights_.clear();
            text_ = text();
        }
        const auto known = std::find_if(heights_.begin(), heights_.end(),
                                        [width](const auto& kept) { return kept.first == width; });
        if (known != heights_.end()) {
            return known->second;
        }
        if (heights_.size() == kWidthsKept) {
            heights_.erase(heights_.begin());
        }
        heights_.emplace_back(width, QLabel::heightForWidth(width));
        return heights_.back().second;
    }

protected:
    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
            heights_.clear();
        }
        QLabel::changeEvent(event);
    }

private:
    static constexpr std::size_t kWidthsKept = 6;
    mutable std::vector<std::pair<int, int>> heights_;
    mutable QString text_;
};

// Plain labels, not selectable: Qt lays a selectable label's text out as a document, several times
// over for each of its sizes, and the answer and notes changing at a keystroke made that most of
// the redraw. Copy Sheet copies them, and the table's cells are selectable.
QLabel* wrappedLabel(const QString& name, QWidget* parent) {
    auto* label = new WrappedLabel(parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

// A palette with the colours of a disabled widget, for a sheet that is not of the fields' input.
QPalette greyed(const QPalette& fresh, QPalette::ColorRole text, QPalette::ColorRole base) {
    QPalette palette = fresh;
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, text, fresh.color(QPalette::Disabled, text));
        palette.setColor(group, base, fresh.color(QPalette::Disabled, base));
    }
    return palette;
}

// A frame round a view, with a pixel of room inside its line: a view laid over the line itself
// hides it where the scale puts the line between the device's pixels (the top and right lines at
// one and a half).
QFrame* framed(QWidget* view, const QString& name) {
    auto* frame = new QFrame;
    frame->setObjectName(name);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setBackgroundRole(QPalette::Base);
    frame->setAutoFillBackground(true);
    auto* inside = new QVBoxLayout(frame);
    const int room = frame->frameWidth() + 1;
    inside->setContentsMargins(room, room, room, room);
    inside->addWidget(view);
    return frame;
}

}  // namespace

SheetPanel::SheetPanel(const QString& accessibleName, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("sheetPanel"));
    createSummary();
    createLower();
    table_->setAccessibleName(accessibleName);
    layOut();
    clear();
}

void SheetPanel::createSummary() {
    auto* contents = new QWidget;
    answerBox_ = new QFrame(contents);
    answerBox_->setObjectName(QStringLiteral("answerBox"));
    answerBox_->setFrameShape(QFrame::StyledPanel);
    answerBox_->setBackgroundRole(QPalette::Base);
    answerBox_->setAutoFillBackground(true);
    answer_ = wrappedLabel(QStringLiteral("answer"), answerBox_);
    QFont large = answer_->font();
    large.setPointSizeF(large.pointSizeF() * kAnswerScale);
    answer_->setFont(large);
    auto* inBox = new QVBoxLayout(answerBox_);
    inBox->addWidget(answer_);

    notes_ = wrappedLabel(QStringLiteral("notes"), contents);
    auto* column = new QVBoxLayout(contents);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(answerBox_);
    column->addWidget(notes_);
    column->addStretch(1);

    summary_ = new QScrollArea(this);
    summary_->setObjectName(QStringLiteral("summary"));
    summary_->setFrameShape(QFrame::NoFrame);
    summary_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    summary_->setWidgetResizable(true);
    summary_->setWidget(contents);
    contents->setAutoFillBackground(false);
    summary_->viewport()->setAutoFillBackground(false);
}

void SheetPanel::createLower() {
    table_ = new SheetTable;
    table_->setObjectName(QStringLiteral("result"));
    table_->setFrameShape(QFrame::NoFrame);
    tableFrame_ = framed(table_, QStringLiteral("tableFrame"));
    // The picture in a frame like the table's, so that its area shows where the painter leaves
    // it empty.
    picture_ = new SketchView;
    pictureFrame_ = framed(picture_, QStringLiteral("pictureFrame"));
    lower_ = new QSplitter(Qt::Horizontal, this);
    lower_->setObjectName(QStringLiteral("lowerSplit"));
    lower_->setChildrenCollapsible(false);
    lower_->addWidget(tableFrame_);
    lower_->addWidget(pictureFrame_);
    lower_->installEventFilter(this);
    lower_->setStretchFactor(0, 0);
    lower_->setStretchFactor(1, 1);
    // Selecting a row marks its hole in the picture.
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                picture_->setHighlighted(current.isValid() ? current.row() + 1 : 0);
            });
}

void SheetPanel::layOut() {
    status_ = wrappedLabel(QStringLiteral("status"), this);
    split_ = new QSplitter(Qt::Vertical, this);
    split_->setObjectName(QStringLiteral("sheetSplit"));
    split_->setChildrenCollapsible(false);
    split_->addWidget(summary_);
    split_->addWidget(lower_);
    split_->setStretchFactor(0, 0);
    split_->setStretchFactor(1, 1);
    split_->installEventFilter(this);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(status_);
    column->addWidget(split_, 1);
}

void SheetPanel::showSheet(std::shared_ptr<const Report> report,
                           std::shared_ptr<const Sketch> sketch, QStringList widest) {
    report_ = std::move(report);
    table_->reportModel().setReport(report_, std::move(widest));
    table_->fitColumns();
    tableFrame_->setVisible(report_ && !report_->columns.empty());
    picture_->setSketch(std::move(sketch));
    // Laying wrapped text out again takes longer than the rest; the same lines need it not.
    if (showSummary()) {
        fittedFor_ = -1;
        fitSummary();
    }
    fitLower();
}

void SheetPanel::clear() {
    report_.reset();
    table_->reportModel().setReport(nullptr);
    picture_->setSketch(nullptr);
    showSummary();
}

bool SheetPanel::showSummary() {
    const QString answer = answer_->text();
    const QString notes = notes_->text();
    if (!report_) {
        answer_->clear();
        notes_->clear();
        answerBox_->hide();
        return true;
    }
    answer_->setText(linesOf(report_->answer));
    answerBox_->setVisible(!report_->answer.empty());
    // The answer's lines stand where the printed sheet has them too; here once, in the box.
    std::vector<std::string> rest;
    for (const std::vector<std::string>* lines : {&report_->notes, &report_->footer}) {
        std::copy_if(lines->begin(), lines->end(), std::back_inserter(rest), [this](const auto& l) {
            return std::find(report_->answer.begin(), report_->answer.end(), l) ==
                   report_->answer.end();
        });
    }
    notes_->setText(linesOf(rest));
    return answer_->text() != answer || notes_->text() != notes;
}

void SheetPanel::setStale(bool stale) {
    if (stale == stale_) {
        return;
    }
    stale_ = stale;
    static const auto paint = [](QWidget* widget, bool grey, QPalette::ColorRole text,
                                 QPalette::ColorRole base) {
        const QPalette fresh = widget->parentWidget()->palette();
        widget->setPalette(grey ? greyed(fresh, text, base) : fresh);
    };
    // A frame before what is in it, which takes its colours from the frame.
    paint(tableFrame_, stale, QPalette::Text, QPalette::Base);
    paint(table_, stale, QPalette::Text, QPalette::Base);
    paint(answerBox_, stale, QPalette::WindowText, QPalette::Base);
    paint(notes_, stale, QPalette::WindowText, QPalette::Window);
    paint(pictureFrame_, stale, QPalette::Text, QPalette::Base);
    table_->setProperty("stale", stale);
    picture_->setStale(stale);
}

void SheetPanel::setStatus(const QString& text) {
    // A list of plates or gears is one long word: a zero-width space after each comma and slash
    // lets it wrap there, rather than widen the window to hold it on one line.
    QString breakable = text;
    breakable.replace(u',', QStringLiteral(",\u200B")).replace(u'/', QStringLiteral("/\u200B"));
    status_->setText(breakable);
}

// The splitters are fitted to their contents when they have their size: a page behind another
// has none until it is shown.
bool SheetPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize || event->type() == QEvent::Show) {
        if (watched == split_) {
            fittedFor_ = -1;
            fitSummary();
        } else if (watched == lower_) {
            fittedTableWidth_ = -1;
            fitLower();
        }
    }
    return QWidget::eventFilter(watched, event);
}

// The answer in full where the page has the room, the notes under it as far as they go.
void SheetPanel::fitSummary() {
    const int total = split_->height();
    // As wide as the splitter, less a scroll bar that the notes may need.
    const int width = split_->width() - summary_->verticalScrollBar()->sizeHint().width();
    if (!split_->isVisible() || total <= 0 || width <= 0) {
        return;
    }
    QWidget* contents = summary_->widget();
    const int whole = contents->hasHeightForWidth() ? contents->heightForWidth(width)
                                                    : contents->sizeHint().height();
    if (whole == fittedFor_) {
        return;
    }
    fittedFor_ = whole;
    const int answer =
        answerBox_->isVisibleTo(this) ? answerBox_->heightForWidth(width) + answerBox_->y() : 0;
    const int least = lower_->minimumSizeHint().height() + split_->handleWidth();
    const int top = std::clamp(std::min(whole, std::max(answer, total * 2 / 5)),
                               summary_->minimumSizeHint().height(), std::max(0, total - least));
    split_->setSizes({top, total - top});
}

// The table as wide as its columns, the picture the rest, but never less than its least.
void SheetPanel::fitLower() {
    const int total = lower_->width();
    const int tableWidth = tableFrame_->isVisibleTo(this)
                               ? table_->naturalWidth() + tableFrame_->width() - table_->width()
                               : 0;
    if (!lower_->isVisible() || total <= 0 || tableWidth == fittedTableWidth_) {
        return;
    }
    fittedTableWidth_ = tableWidth;
    const int pictureLeast = pictureFrame_->minimumSizeHint().width();
    const int table = std::clamp(tableWidth, 0, std::max(0, total - pictureLeast));
    lower_->setSizes({table, total - table});
}

}  // namespace morvanta::workshop
