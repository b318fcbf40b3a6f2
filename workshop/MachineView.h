// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "engine/Report.h"
#include "engine/Sketch.h"

class QLabel;
class QPushButton;
class QGridLayout;

namespace morvanta::workshop {

class SketchView;

// At the machine: one row of a sheet at a time (a hole, a division), in figures to read from two
// metres, filling the screen: the row's number and how many there are, each setting of the row
// under its column's name (angle, turns and dial, or X and Y), the move from the row before, the
// rows done and left, and the picture with the row at hand highlighted.
//
// Next (Space or Page Down, as a foot switch sends) ticks the row at hand as done and goes to the
// next; Back (Backspace or Page Up) takes the last tick back and goes to that row; Esc or F11
// leaves. The row at hand is the first not ticked, so a job taken up again starts where it
// stopped. Each change of the ticks is handed to `record` at once, which keeps them (the window
// writes them to the job file) and answers "" or why it could not; the reason is then shown in
// red and the work goes on. When every row is ticked the view says plainly that the job is done.
//
// Object names: "machineView"; the labels "machinePlace" ("Hole 6 of 12"), "machineSettings"
// (the row's settings, one "Name: value" a line), "machineMove", "machineCount" ("5 done, 7
// left"), "machineNote", "machineFault"; the buttons "machineBack", "machineNext",
// "machineLeave"; the picture "machinePicture".
class MachineView : public QWidget {
    Q_OBJECT

public:
    using Recorder = std::function<QString(const std::vector<std::int64_t>& ticks)>;

    MachineView(const QString& title, Report report, std::optional<Sketch> sketch,
                std::vector<std::int64_t> ticks, Recorder record, QWidget* parent = nullptr);

    // The row at hand, from 1; one past the last when every row is done.
    std::int64_t current() const;
    // The row at hand's own number, the hole's or division's that the picture highlights (hole 3
    // at row 2 where hole 2 is left out); 0 when every row is done.
    std::int64_t currentNumber() const;
    const std::vector<std::int64_t>& ticks() const { return ticks_; }
    // A line under the title, such as where the job is kept.
    void setNote(const QString& note);

    void next();
    void back();

signals:
    // The row at hand has changed: its own number (the hole's), 0 once every row is done.
    void atRow(std::int64_t row);
    void left();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void build(const QString& title, std::optional<Sketch> sketch);
    void record();
    void showRow();
    void showSettings(const std::vector<std::string>& cells);
    // The row's own number, its first cell ("Hole 9" where holes are left out); its place where
    // the first cell is no number.
    std::int64_t numberOf(std::int64_t row) const;
    std::int64_t rows() const { return static_cast<std::int64_t>(report_.rows.size()); }

    Report report_;
    std::vector<std::int64_t> ticks_;
    Recorder record_;
    QLabel* place_ = nullptr;
    QLabel* settings_ = nullptr;
    QLabel* move_ = nullptr;
    QLabel* count_ = nullptr;
    QLabel* note_ = nullptr;
    QLabel* fault_ = nullptr;
    SketchView* picture_ = nullptr;
    int nameSize_ = 16;
};

}  // namespace morvanta::workshop
