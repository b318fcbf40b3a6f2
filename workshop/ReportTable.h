// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>
#include <QTableView>

#include <memory>
#include <string_view>

#include "engine/Report.h"

namespace morvanta::workshop {

// The engine's text, which is UTF-8, as Qt's: fromEngine("12°30'") == u"12°30'".
QString fromEngine(std::string_view text);

// The cell of each column with the most characters, its name included: what the column's width is
// measured on, found without measuring every row, and away from the window's thread.
QStringList widestCells(const Report& report);

// The table of an engine report as a model: a row for each row of the report, a column for each
// column name, headed by the name and its unit ("Angle (°'")"), each cell the engine's text.
// Figures are aligned right, words left. The view asks only for the rows it shows.
class ReportModel : public QAbstractTableModel {
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    // A report with the same columns and number of rows as the last changes the cells in place,
    // so that the reader keeps their place and selection while typing; another resets the model.
    // `widest` is widestCells(*report), or empty to have it found here.
    void setReport(std::shared_ptr<const Report> report, QStringList widest = {});
    const Report* report() const { return report_.get(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const QStringList& widestCells() const { return widest_; }

    // The cells of the selection as text, a tab between the cells of a line and a line break after
    // each: the rows and columns that hold a selected cell, in their order, the others' cells
    // empty.
    QString textOf(const QModelIndexList& selected) const;

private:
    const std::string& cell(int row, int column) const;

    std::shared_ptr<const Report> report_;
    QStringList widest_;
};

// The view of a ReportModel: the column names fixed above the rows, rows of one height (so that
// only the rows in sight are laid out and drawn), each column as wide as its widest cell, cells,
// rows, columns and ranges selectable, and Ctrl+C copying the selection as ReportModel::textOf
// says. Tab leaves the table rather than moving between its cells.
class SheetTable : public QTableView {
    Q_OBJECT

public:
    explicit SheetTable(QWidget* parent = nullptr);

    ReportModel& reportModel() { return model_; }
    const ReportModel& reportModel() const { return model_; }

    // The width the columns take side by side, with the frame and a vertical scroll bar.
    int naturalWidth() const;
    // Sizes each column to its widest cell; after each new report.
    void fitColumns();
    void copySelection();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    ReportModel model_;
};

}  // namespace morvanta::workshop
