// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <memory>

#include "engine/Report.h"
#include "engine/Sketch.h"

class QFrame;
class QLabel;
class QScrollArea;
class QSplitter;

namespace morvanta::workshop {

class SheetTable;
class SketchView;

// What a page shows of its sheet: a status line; the plan's answer in large type in a box, and
// the report's other notes and footer lines beneath it, both wrapped to the width they have
// (they scroll where the page is too short for them, and are never cut at the side); under them
// the table beside the picture of the setup. A splitter between the notes and the table, and
// one between the table and the picture, let the user share the room out.
//
// Object names: "status", "answerBox" holding "answer", "notes", "summary" (the scrolling area
// of answer and notes), "result" (the table, a SheetTable) in "tableFrame", "picture" (the
// SketchView) in "pictureFrame".
class SheetPanel : public QWidget {
    Q_OBJECT

public:
    explicit SheetPanel(const QString& accessibleName, QWidget* parent = nullptr);

    // Shows a sheet made from good input; the picture where the calculation draws one.
    void showSheet(std::shared_ptr<const Report> report, std::shared_ptr<const Sketch> sketch,
                   QStringList widest = {});
    // Shows nothing: before the first good input.
    void clear();
    // Greys the sheet, which is then of other input than the fields hold.
    void setStale(bool stale);
    bool isStale() const { return stale_; }
    void setStatus(const QString& text);

    SheetTable* table() const { return table_; }
    const Report* report() const { return report_.get(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createSummary();
    void createLower();
    void layOut();
    // Whether the answer or the notes have changed.
    bool showSummary();
    void fitSummary();
    void fitLower();

    QLabel* status_ = nullptr;
    QSplitter* split_ = nullptr;
    QScrollArea* summary_ = nullptr;
    QFrame* answerBox_ = nullptr;
    QLabel* answer_ = nullptr;
    QLabel* notes_ = nullptr;
    QSplitter* lower_ = nullptr;
    SheetTable* table_ = nullptr;
    QFrame* tableFrame_ = nullptr;
    QFrame* pictureFrame_ = nullptr;
    SketchView* picture_ = nullptr;
    std::shared_ptr<const Report> report_;
    bool stale_ = false;
    // The height the summary was last fitted to, so that a user's own split is kept while the
    // answer keeps its size.
    int fittedFor_ = -1;
    int fittedTableWidth_ = -1;
};

}  // namespace morvanta::workshop
