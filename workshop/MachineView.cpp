// SPDX-License-Identifier: GPL-3.0-or-later
#include "workshop/MachineView.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

#include "workshop/ReportTable.h"
#include "workshop/SketchView.h"

namespace morvanta::workshop {

namespace {

// Sizes in pixels from the screen's height, so that the figures are as large on a small screen
// as it allows and on a large one as large as two metres need: a tenth of 1024 pixels on a 19"
// screen is about 3 cm, a size read from several metres.
struct Sizes {
    int huge;
    int large;
    int medium;
    int small;
};

Sizes sizesFor(const QWidget* widget) {
    const QScreen* screen =
        widget->screen() != nullptr ? widget->screen() : QGuiApplication::primaryScreen();
    const int height = screen != nullptr ? screen->geometry().height() : 768;
    return {std::max(28, height / 10), std::max(22, height / 14), std::max(16, height / 26),
            std::max(11, height / 48)};
}

QLabel* label(QWidget* parent, const char* name, int pixels, bool bold = false) {
    auto* shown = new QLabel(parent);
    shown->setObjectName(QString::fromLatin1(name));
    QFont font = shown->font();
    font.setPixelSize(pixels);
    font.setBold(bold);
    shown->setFont(font);
    shown->setWordWrap(true);
    return shown;
}

}  // namespace

MachineView::MachineView(const QString& title, Report report, std::optional<Sketch> sketch,
                         std::vector<std::int64_t> ticks, Recorder record, QWidget* parent)
    : QWidget(parent, Qt::Window),
      report_(std::move(report)),
      ticks_(std::move(ticks)),
      record_(std::move(record)) {
    setObjectName(QStringLiteral("machineView"));
    setWindowTitle(tr("At the Machine: %1").arg(title));
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::StrongFocus);
    std::sort(ticks_.begin(), ticks_.end());
    build(title, std::move(sketch));
    showRow();
}

void MachineView::build(const QString& title, std::optional<Sketch> sketch) {
    const Sizes sizes = sizesFor(this);
    auto* heading = label(this, "machineTitle", sizes.medium);
    heading->setText(title);
    note_ = label(this, "machineNote", sizes.small);
    note_->hide();
    place_ = label(this, "machinePlace", sizes.huge, true);
    settings_ = label(this, "machineSettings", sizes.huge);
    settings_->setTextFormat(Qt::RichText);
    move_ = label(this, "machineMove", sizes.large, true);
    nameSize_ = sizes.medium;
    count_ = label(this, "machineCount", sizes.medium, true);
    fault_ = label(this, "machineFault", sizes.medium, true);
    QPalette red = fault_->palette();
    red.setColor(QPalette::WindowText, QColor(0xB0, 0x00, 0x00));
    fault_->setPalette(red);
    fault_->hide();
    picture_ = new SketchView(this);
    picture_->setObjectName(QStringLiteral("machinePicture"));
    picture_->setSketch(sketch ? std::make_shared<const Sketch>(std::move(*sketch)) : nullptr);
    picture_->setVisible(picture_->sketch() != nullptr);

    auto* middle = new QHBoxLayout;
    middle->addWidget(settings_, 3, Qt::AlignTop);
    middle->addWidget(picture_, 2);
    auto* buttons = new QHBoxLayout;
    const auto button = [&](const char* name, const QString& caption) {
        auto* pressed = new QPushButton(caption, this);
        pressed->setObjectName(QString::fromLatin1(name));
        QFont font = pressed->font();
        font.setPixelSize(sizes.medium);
        pressed->setFont(font);
        // The view keeps the keyboard, so that Space always means the next row.
        pressed->setFocusPolicy(Qt::NoFocus);
        buttons->addWidget(pressed);
        return pressed;
    };
    connect(button("machineBack", tr("Back (Backspace)")), &QPushButton::clicked, this,
            &MachineView::back);
    connect(button("machineNext", tr("Done, next (Space)")), &QPushButton::clicked, this,
            &MachineView::next);
    buttons->addStretch(1);
    connect(button("machineLeave", tr("Leave (Esc)")), &QPushButton::clicked, this,
            &QWidget::close);

    auto* column = new QVBoxLayout(this);
    column->addWidget(heading);
    column->addWidget(note_);
    column->addWidget(place_);
    column->addLayout(middle, 1);
    column->addWidget(move_);
    column->addWidget(count_);
    column->addWidget(fault_);
    column->addLayout(buttons);
}

void MachineView::setNote(const QString& note) {
    note_->setText(note);
    note_->setVisible(!note.isEmpty());
}

std::int64_t MachineView::current() const {
    std::int64_t row = 1;
    for (const std::int64_t tick : ticks_) {
        if (tick != row) {
            break;
        }
        ++row;
    }
    // Ticks need not run on from the first row: the first row without one is the one at hand.
    while (std::binary_search(ticks_.begin(), ticks_.end(), row)) {
        ++row;
    }
    return row;
}

std::int64_t MachineView::currentNumber() const {
    const std::int64_t row = current();
    return row <= rows() ? numberOf(row) : 0;
}

void MachineView::next() {
    const std::int64_t row = current();
    if (row > rows()) {
        return;
    }
    ticks_.insert(std::upper_bound(ticks_.begin(), ticks_.end(), row), row);
    record();
}

void MachineView::back() {
    const std::int64_t row = current();
    const auto before = std::lower_bound(ticks_.begin(), ticks_.end(), row);
    if (before == ticks_.begin()) {
        return;
    }
    ticks_.erase(std::prev(before));
    record();
}

void MachineView::record() {
    const QString why = record_ ? record_(ticks_) : QString();
    fault_->setText(why.isEmpty() ? QString() : tr("The ticks could not be kept: %1").arg(why));
    fault_->setVisible(!why.isEmpty());
    showRow();
}

std::int64_t MachineView::numberOf(std::int64_t row) const {
    const std::vector<std::string>& cells = report_.rows[static_cast<std::size_t>(row - 1)];
    bool whole = false;
    const qlonglong number = cells.empty() ? 0 : fromEngine(cells[0]).toLongLong(&whole);
    return whole ? number : row;
}

void MachineView::showRow() {
    const std::int64_t row = current();
    const QString what =
        fromEngine(report_.columns.empty() ? std::string("Row") : report_.columns[0]);
    const std::int64_t done = static_cast<std::int64_t>(ticks_.size());
    count_->setText(tr("%1 done, %2 left").arg(done).arg(rows() - done));
    const std::int64_t number = currentNumber();
    picture_->setHighlighted(number);
    emit atRow(number);
    if (row > rows()) {
        place_->setText(tr("The job is done."));
        const QString said =
            tr("All %1 are ticked: every %2 of the sheet is done.").arg(rows()).arg(what.toLower());
        settings_->setText(QStringLiteral("<span style=\"font-size:%1px\">%2</span>")
                               .arg(nameSize_ * 2)
                               .arg(said.toHtmlEscaped()));
        settings_->setAccessibleName(said);
        move_->clear();
        return;
    }
    // Where holes are left out, a row's own number is not its place in the walk.
    place_->setText(number == row
                        ? tr("%1 %2 of %3").arg(what).arg(number).arg(rows())
                        : tr("%1 %2 (%3 of %4)").arg(what).arg(number).arg(row).arg(rows()));
    showSettings(report_.rows[static_cast<std::size_t>(row - 1)]);
    if (report_.moves.empty()) {
        move_->clear();
    } else if (row == 1) {
        move_->setText(tr("The first %1: no move before it.").arg(what.toLower()));
    } else {
        move_->setText(tr("Move from %1 %2: %3")
                           .arg(what.toLower())
                           .arg(numberOf(row - 1))
                           .arg(fromEngine(report_.moves[static_cast<std::size_t>(row - 1)])));
    }
}

// The row's cells but its number, each under its column's name, the figures large.
void MachineView::showSettings(const std::vector<std::string>& cells) {
    QString table = QStringLiteral("<table cellspacing=\"8\">");
    QStringList plain;
    for (std::size_t c = 1; c < cells.size() && c < report_.columns.size(); ++c) {
        const QString name = fromEngine(report_.columns[c]).toHtmlEscaped();
        const QString value = fromEngine(cells[c]).toHtmlEscaped();
        table += QStringLiteral(
                     "<tr><td valign=\"middle\" style=\"font-size:%3px\">%1</td>"
                     "<td align=\"right\"><b>%2</b></td></tr>")
                     .arg(name, value)
                     .arg(nameSize_);
        plain.append(fromEngine(report_.columns[c]) + QStringLiteral(": ") + fromEngine(cells[c]));
    }
    settings_->setText(table + QStringLiteral("</table>"));
    settings_->setAccessibleName(plain.join(QLatin1Char('\n')));
}

void MachineView::keyPressEvent(QKeyEvent* event) {
    // A key held down, or a foot switch that bounces, must not walk past a hole unseen.
    if (event->isAutoRepeat()) {
        event->accept();
        return;
    }
    switch (event->key()) {
        case Qt::Key_Space:
        case Qt::Key_PageDown:
            next();
            break;
        case Qt::Key_Backspace:
        case Qt::Key_PageUp:
            back();
            break;
        case Qt::Key_Escape:
        case Qt::Key_F11:
            close();
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
}

void MachineView::closeEvent(QCloseEvent* event) {
    emit left();
    event->accept();
}

}  // namespace morvanta::workshop
