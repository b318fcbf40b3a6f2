// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>

#include <vector>

#include "workshop/Page.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QScrollArea;
class QSettings;

namespace morvanta::workshop {

// The fields of a page in a column, made from their definitions: a caption and a control each,
// a heading before each group; the engine's message about them in a place of its own under the
// column, which keeps room for it, so that no field moves when a message comes or goes; the
// field a message names marked (its caption in the fault colour, a warning sign in a text
// field, the message read out with it). The column is as wide as the longest messages need on
// three lines, and scrolls rather than grow: nothing the user types widens it.
//
// Spaces and line breaks around a field's text are no part of its value. A point is two fields,
// X and Y, joined into "X,Y" for the engine, an empty one standing for its part of the default;
// inputs given instead of one another share one field and a switch between them, each input's
// letter picking it from the keyboard.
//
// Object names: the column "fieldColumn"; each field's control its field name ("count"), a
// switch between inputs that name and "Switch" ("diameterSwitch"); the message "message", why a
// good input makes no G-code, where no field is to blame, "gcodeNote".
class PageFields : public QWidget {
    Q_OBJECT

public:
    explicit PageFields(const std::vector<FieldDefinition>& definitions, QWidget* parent = nullptr);

    // The texts for the engine, by input.
    Inputs inputs() const;
    // The inputs as the status line and the printed page list them:
    // "Count: 7; Worm ratio: 90; Dial graduations: 240"; the G-code's own left out.
    QString describeInputs() const;
    // The controls, in tab order (a field's switch, if any, before it).
    std::vector<QWidget*> controls() const;
    // The name of the field a widget belongs to ("" for none): its control, the control's own
    // parts (an editable list's line), its switch.
    QString fieldOf(const QWidget* widget) const;
    // The field's text as typed, "" for a field the page does not have.
    QString textOf(const QString& field) const;
    bool has(const QString& field) const { return find(field) != nullptr; }
    // Sets a field as typed, or for "" to its first value; says edited() as typing does.
    void setTextOf(const QString& field, const QString& text);
    // Sets every field from a request's inputs: a field the inputs lack empty, unticked or at its
    // list's default, a field of alternatives switched to the one given, the X and Y of a point
    // from its "X,Y". Says no edited(). Returns the id of the first input a field could not take
    // as given (longer than the field holds, not one of a list's items), "" when all were taken.
    QString setInputs(const Inputs& inputs);
    // Whether the user has begun on the G-code's own fields.
    bool gcodeBegun() const;

    // The engine's message under the fields, the field it names ("" for none) marked.
    void showMessage(const QString& field, const QString& message);
    // A note under the fields that is not a fault: why the input makes no G-code.
    void showNote(const QString& note);
    bool noteShown() const;
    void clearMessages();
    // The message about a field, or about no one field for "".
    QString messageFor(const QString& field) const;
    QString faultField() const { return faultField_; }

    // The cursor in a field, its text selected so that typing replaces it.
    void focusField(const QString& name);
    void focusFirst();

    // The fields' first values, or those kept under the page's group, as typed (bad input
    // included); neither says edited().
    void reset();
    void load(QSettings& settings);
    void save(QSettings& settings) const;

signals:
    // The user has changed a field.
    void edited();

private:
    struct Field {
        FieldDefinition definition;
        QWidget* control = nullptr;
        QLineEdit* edit = nullptr;
        QCheckBox* check = nullptr;
        QComboBox* combo = nullptr;
        QComboBox* alternative = nullptr;
        QLabel* caption = nullptr;
        QAction* warning = nullptr;
    };

    QWidget* createMessages();
    void buildFields(QWidget* panel, const std::vector<FieldDefinition>& definitions);
    Field makeField(const FieldDefinition& definition, QWidget* parent);
    void makeControl(Field& field, QWidget* parent);
    void holdAtMost(const FieldDefinition& definition, QLineEdit* edit);
    void makeAlternatives(Field& field, QWidget* parent);
    void changed();
    QString storedText(const Field& field) const;
    void setStoredText(Field& field, const QString& text);
    QString inputOf(const Field& field) const;
    void loadField(QSettings& settings, Field& field);
    const Field* find(const QString& name) const;
    void focus(const Field& field);
    void markField(Field& field, bool fault);

    std::vector<Field> fields_;
    QScrollArea* area_ = nullptr;
    QLabel* message_ = nullptr;
    QLabel* note_ = nullptr;
    QString faultField_;
    QString faultMessage_;
    // The message shown is of a text refused as too long, not of the input the engine was given.
    bool refusalShown_ = false;
    bool settingFields_ = false;
};

}  // namespace morvanta::workshop
