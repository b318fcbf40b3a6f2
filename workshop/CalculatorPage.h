// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>

#include <optional>
#include <vector>

#include "workshop/Page.h"
#include "workshop/PageComputation.h"

class QSettings;
class QTimer;

namespace morvanta::workshop {

class PageFields;
class SheetPanel;

// One page of the window: its fields (PageFields) beside its sheet (SheetPanel: the answer, the
// notes, the table, the picture). Every edit runs the page's engine call, away from the window's
// thread where it takes more than a moment (PageComputation). Good input replaces the sheet; bad
// input shows the engine's message under the fields, marks the field it names, and leaves the
// last good sheet in view, greyed, until the input is good again. A long call greys it too,
// until its sheet comes.
//
// Object names: the page is definition.name ("sheet"); its fields and messages as PageFields
// names them ("count", "message", ...), its sheet as SheetPanel does ("status", "answer",
// "result", "picture", ...).
class CalculatorPage : public QWidget {
    Q_OBJECT

public:
    explicit CalculatorPage(PageDefinition definition, QWidget* parent = nullptr);
    ~CalculatorPage() override;

    const PageDefinition& definition() const { return definition_; }

    // The last sheet made from good input, or nullptr before the first.
    const PageOutput* output() const { return output_ ? &*output_ : nullptr; }
    // True while the fields as they stand are those output() was made from.
    bool isCurrent() const { return output_.has_value() && current_; }
    // True while the engine works on the fields as they stand.
    bool isWorking() const { return computation_.busy(); }
    // Waits until the engine has answered the fields as they stand.
    void finishComputing();
    // The inputs output() was made from, as the printed page lists them:
    // "Count: 7; Worm ratio: 90; Dial graduations: 240".
    QString outputInputs() const { return outputInputs_; }

    // The engine's message about a field ("" when none), or about no one field for "".
    QString messageFor(const QString& field) const;

    // The controls of the fields, in tab order (a field's switch, if any, before it).
    std::vector<QWidget*> fieldControls() const;
    // The name of the field a widget belongs to ("" for none): its control, the control's own
    // parts (an editable list's line), its switch.
    QString fieldOf(const QWidget* widget) const;
    SheetPanel* sheet() const { return sheet_; }

    // Runs the engine on the fields as they stand.
    void compute();
    // What Enter does: computes, and on bad input puts the cursor in the field at fault.
    void computeAndShowFault();
    // Says why the input makes no G-code, under the fields, and puts the cursor in the field
    // at fault, if one is; false when it makes a program.
    bool showWhyNoGcode();
    void resetToDefaults();
    // The cursor in the first field, its text selected so that typing replaces it.
    void focusFirstField();

    // The fields' texts under the page's own group, as typed (bad input included).
    void loadFields(QSettings& settings);
    void saveFields(QSettings& settings) const;

signals:
    // The sheet or whether it is current has changed.
    void stateChanged();
    // The engine's answer is shown; after Enter too, where nothing else may change.
    void computed();

private:
    void createShortcuts();
    void setTabOrders();
    void showResult(PageResult result);
    void showGcodeMessage(const PageOutput& output);
    void showWorking();
    void setStale(bool stale);

    PageDefinition definition_;
    PageComputation computation_;
    PageFields* fields_ = nullptr;
    SheetPanel* sheet_ = nullptr;
    QTimer* workingGrey_ = nullptr;
    std::optional<PageOutput> output_;
    QString outputInputs_;
    bool current_ = false;
};

}  // namespace morvanta::workshop
