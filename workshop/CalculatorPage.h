// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPalette>
#include <QString>
#include <QWidget>

#include <optional>
#include <vector>

#include "workshop/Page.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSettings;

namespace morvanta::workshop {

class SketchView;

// One page of the window: its fields, each with room for the engine's message beside it, and a
// fixed-pitch read-only view of the sheet. Every edit runs the page's engine call at once. Good
// input replaces the sheet; bad input shows the engine's message beside the field it names (or
// above the sheet when it names none) and leaves the last good sheet in view, greyed, until the
// input is good again.
//
// Object names: the page is definition.name ("sheet"); each field's control is its field name
// ("count"), its message label that name and "Message" ("countMessage"); the sheet view is
// "result", the picture of the setup "picture", the line above them "status", the message that
// names no field "pageMessage", and why a good input makes no G-code, where no field is to blame,
// "gcodeNote".
class CalculatorPage : public QWidget {
    Q_OBJECT

public:
    explicit CalculatorPage(PageDefinition definition, QWidget* parent = nullptr);

    const PageDefinition& definition() const { return definition_; }

    // The last sheet made from good input, or nullptr before the first.
    const PageOutput* output() const { return output_ ? &*output_ : nullptr; }
    // True while the fields as they stand are those output() was made from.
    bool isCurrent() const { return output_.has_value() && current_; }
    // The inputs output() was made from, as the printed page lists them:
    // "Count: 7; Worm ratio: 90; Dial graduations: 240".
    QString outputInputs() const { return outputInputs_; }

    // The engine's message shown beside a field ("" when none), or above the sheet for "".
    QString messageFor(const QString& field) const;

    // The controls of the fields, in tab order.
    std::vector<QWidget*> fieldControls() const;

    // Runs the engine on the fields as they stand.
    void compute();
    // What Enter does: computes, and on bad input puts the cursor in the field at fault.
    void computeAndShowFault();
    void resetToDefaults();
    void focusFirstField();

    // The fields' texts under the page's own group, as typed (bad input included).
    void loadFields(QSettings& settings);
    void saveFields(QSettings& settings) const;

signals:
    // The sheet or whether it is current has changed.
    void stateChanged();
    // The engine ran; after Enter too, where nothing else may change.
    void computed();

private:
    struct Field {
        FieldDefinition definition;
        QWidget* control = nullptr;
        QLineEdit* edit = nullptr;
        QCheckBox* check = nullptr;
        QComboBox* combo = nullptr;
        QLabel* message = nullptr;
    };

    void buildFields(QWidget* panel);
    Field makeField(const FieldDefinition& definition, QWidget* parent);
    void holdAtMost(const FieldDefinition& definition, QLineEdit* edit);
    Inputs inputs() const;
    QString describeInputs() const;
    QString storedText(const Field& field) const;
    void setStoredText(Field& field, const QString& text);
    Field* fieldAbout(const QString& about);
    void showResult(PageResult result);
    void showBeside(Field& field, const QString& message);
    void setStale(bool stale);

    PageDefinition definition_;
    std::vector<Field> fields_;
    QLabel* pageMessage_ = nullptr;
    QLabel* gcodeNote_ = nullptr;
    QLabel* status_ = nullptr;
    QPlainTextEdit* result_ = nullptr;
    SketchView* picture_ = nullptr;
    QPalette freshPalette_;
    QPalette stalePalette_;
    std::optional<PageOutput> output_;
    QString outputInputs_;
    bool current_ = false;
    bool settingFields_ = false;
    QString faultField_;
};

}  // namespace morvanta::workshop
