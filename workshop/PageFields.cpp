// SPDX-License-Identifier: GPL-3.0-or-later
#include "workshop/PageFields.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QSettings>
#include <QShortcut>
#include <QStyle>
#include <QVBoxLayout>
#include <QValidator>

#include <algorithm>
#include <map>

namespace morvanta::workshop {

namespace {

QString withoutMnemonic(QString caption) {
    // "&&" stands for a real ampersand and stays one.
    caption.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    caption.remove(QLatin1Char('&'));
    caption.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return caption;
}

// Red enough to be seen as a fault, dark enough to read on the window's background.
constexpr QRgb kMessageColour = 0xB00000;
// Lines kept free under the fields for the engine's words, so that a message never moves them;
// the longest messages take three lines at the column's width.
constexpr int kMessageLines = 3;
// The column's width in characters: the engine's longest messages on three lines.
constexpr int kColumnCharacters = 44;

QLabel* messageLabel(QWidget* parent, const QString& name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->hide();
    return label;
}

void paintText(QWidget* widget, bool fault) {
    QPalette palette = widget->parentWidget()->palette();
    if (fault) {
        palette.setColor(QPalette::WindowText, QColor(kMessageColour));
    }
    widget->setPalette(palette);
}

// Takes a text of at most `most` characters.
class LengthValidator : public QValidator {
public:
    LengthValidator(int most, QObject* parent) : QValidator(parent), most_(most) {}

    State validate(QString& input, int& /*position*/) const override {
        return input.size() <= most_ ? Acceptable : Invalid;
    }

private:
    int most_;
};

}  // namespace

PageFields::PageFields(const std::vector<FieldDefinition>& definitions, QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("fieldColumn"));
    // The fields scroll rather than make the window taller than a small or scaled screen.
    area_ = new QScrollArea(this);
    area_->setObjectName(QStringLiteral("fields"));
    area_->setFrameShape(QFrame::NoFrame);
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area_->setWidgetResizable(true);
    area_->setFocusPolicy(Qt::NoFocus);
    auto* panel = new QWidget;
    buildFields(panel, definitions);
    area_->setWidget(panel);
    // On the page's own background, as if the fields were laid on it directly.
    panel->setAutoFillBackground(false);
    area_->viewport()->setAutoFillBackground(false);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(area_, 1);
    column->addWidget(createMessages());
    setFixedWidth(std::max(panel->fontMetrics().averageCharWidth() * kColumnCharacters,
                           panel->minimumSizeHint().width()) +
                  area_->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
}

QWidget* PageFields::createMessages() {
    auto* messages = new QWidget(this);
    messages->setObjectName(QStringLiteral("messages"));
    message_ = messageLabel(messages, QStringLiteral("message"));
    QPalette fault = message_->palette();
    fault.setColor(QPalette::WindowText, QColor(kMessageColour));
    message_->setPalette(fault);
    note_ = messageLabel(messages, QStringLiteral("gcodeNote"));
    auto* column = new QVBoxLayout(messages);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(message_);
    column->addWidget(note_);
    column->addStretch(1);
    messages->setMinimumHeight(messages->fontMetrics().lineSpacing() * kMessageLines);
    return messages;
}

void PageFields::buildFields(QWidget* panel, const std::vector<FieldDefinition>& definitions) {
    auto* grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    int row = 0;
    for (const FieldDefinition& definition : definitions) {
        if (!definition.section.isEmpty()) {
            auto* heading = new QLabel(definition.section, panel);
            heading->setWordWrap(true);
            QFont bold = heading->font();
            bold.setBold(true);
            heading->setFont(bold);
            grid->addWidget(heading, row++, 0, 1, 2, Qt::AlignBottom);
        }
        Field field = makeField(definition, panel);
        if (field.check != nullptr) {
            grid->addWidget(field.control, row++, 0, 1, 2);
        } else {
            grid->addWidget(field.alternative != nullptr ? static_cast<QWidget*>(field.alternative)
                                                         : field.caption,
                            row, 0);
            grid->addWidget(field.control, row++, 1);
        }
        fields_.push_back(field);
    }
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(grid);
    column->addStretch(1);
}

PageFields::Field PageFields::makeField(const FieldDefinition& definition, QWidget* parent) {
    Field field;
    field.definition = definition;
    makeControl(field, parent);
    field.control->setObjectName(definition.name);
    field.control->setAccessibleName(withoutMnemonic(definition.label));
    field.control->setAccessibleDescription(definition.hint);
    field.control->setToolTip(definition.hint);
    if (field.check == nullptr) {
        field.caption = new QLabel(definition.label, parent);
        field.caption->setBuddy(field.control);
    }
    if (!definition.alternatives.empty()) {
        makeAlternatives(field, parent);
    }
    if (field.edit != nullptr) {
        field.warning =
            field.edit->addAction(field.edit->style()->standardIcon(QStyle::SP_MessageBoxWarning),
                                  QLineEdit::TrailingPosition);
        field.warning->setVisible(false);
    }
    return field;
}

void PageFields::makeControl(Field& field, QWidget* parent) {
    const FieldDefinition& definition = field.definition;
    switch (definition.kind) {
        case FieldKind::Text:
            field.edit = new QLineEdit(parent);
            field.edit->setPlaceholderText(definition.placeholder);
            holdAtMost(definition, field.edit);
            field.control = field.edit;
            connect(field.edit, &QLineEdit::textChanged, this, &PageFields::changed);
            break;
        case FieldKind::Flag:
            field.check = new QCheckBox(definition.label, parent);
            field.control = field.check;
            connect(field.check, &QCheckBox::toggled, this, &PageFields::changed);
            break;
        case FieldKind::Choice:
            field.combo = new QComboBox(parent);
            for (const Choice& choice : definition.choices) {
                field.combo->addItem(choice.label, choice.value);
            }
            field.combo->setEditable(definition.editable);
            if (definition.editable) {
                holdAtMost(definition, field.combo->lineEdit());
            }
            // Sized like the text fields beside it, however long a circle list the user types.
            field.combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
            field.combo->setMinimumContentsLength(12);
            field.control = field.combo;
            if (definition.editable) {
                field.combo->setInsertPolicy(QComboBox::NoInsert);
                connect(field.combo, &QComboBox::editTextChanged, this, &PageFields::changed);
            } else {
                connect(field.combo, &QComboBox::currentIndexChanged, this, &PageFields::changed);
            }
            break;
    }
}

// A text longer than the field can hold, typed or pasted, is refused whole and said so: cut to
// length, a pasted 12345678901 would become another number that is just as valid. The line takes
// one character more than it can hold, so that what is too long reaches the validator, and no
// more, so that a long paste costs its undo history nothing.
void PageFields::holdAtMost(const FieldDefinition& definition, QLineEdit* edit) {
    if (definition.maxLength <= 0) {
        return;
    }
    edit->setMaxLength(definition.maxLength + 1);
    edit->setValidator(new LengthValidator(definition.maxLength, edit));
    connect(edit, &QLineEdit::inputRejected, this, [this, definition] {
        if (!settingFields_) {
            showMessage(definition.name,
                        tr("%1 takes at most %2 characters: the longer text was refused and the "
                           "field left as it was.")
                            .arg(withoutMnemonic(definition.label))
                            .arg(definition.maxLength));
            refusalShown_ = true;
        }
    });
}

// A switch in the caption's place picks the input the text goes to; Alt and each input's own
// letter picks it from the keyboard and puts the cursor in the text.
void PageFields::makeAlternatives(Field& field, QWidget* parent) {
    field.caption->hide();
    field.alternative = new QComboBox(parent);
    field.alternative->setObjectName(field.definition.name + QStringLiteral("Switch"));
    QStringList names;
    for (const Choice& choice : field.definition.alternatives) {
        field.alternative->addItem(choice.label, choice.value);
        names.append(choice.label);
    }
    field.alternative->setAccessibleName(names.join(tr(" or ")));
    QWidget* control = field.control;
    QComboBox* alternative = field.alternative;
    connect(alternative, &QComboBox::currentIndexChanged, this, [this, control, alternative] {
        control->setAccessibleName(alternative->currentText());
        changed();
    });
    const QString& letters = field.definition.alternativeLetters;
    const QString name = field.definition.name;
    for (qsizetype i = 0; i < letters.size(); ++i) {
        auto* shortcut = new QShortcut(QKeySequence(QStringLiteral("Alt+") + letters[i]), this);
        connect(shortcut, &QShortcut::activated, this, [this, i, alternative, name] {
            alternative->setCurrentIndex(static_cast<int>(i));
            focusField(name);
        });
    }
}

void PageFields::changed() {
    if (settingFields_) {
        return;
    }
    // A text taken after one refused: the refusal is not left beside it while a large sheet is
    // worked out.
    if (refusalShown_) {
        clearMessages();
    }
    emit edited();
}

std::vector<QWidget*> PageFields::controls() const {
    std::vector<QWidget*> controls;
    for (const Field& field : fields_) {
        if (field.alternative != nullptr) {
            controls.push_back(field.alternative);
        }
        controls.push_back(field.control);
    }
    return controls;
}

QString PageFields::fieldOf(const QWidget* widget) const {
    for (const Field& field : fields_) {
        for (const QWidget* part : {field.control, static_cast<QWidget*>(field.alternative)}) {
            if (part != nullptr && widget != nullptr &&
                (part == widget || part->isAncestorOf(widget))) {
                return field.definition.name;
            }
        }
    }
    return {};
}

const PageFields::Field* PageFields::find(const QString& name) const {
    const auto at = std::find_if(fields_.begin(), fields_.end(), [&name](const Field& field) {
        return !name.isEmpty() && field.definition.name == name;
    });
    return at == fields_.end() ? nullptr : &*at;
}

QString PageFields::textOf(const QString& name) const {
    const Field* field = find(name);
    return field != nullptr ? storedText(*field) : QString();
}

bool PageFields::gcodeBegun() const {
    return std::any_of(fields_.begin(), fields_.end(), [this](const Field& f) {
        return f.definition.gcodeOnly && storedText(f) != f.definition.defaultValue;
    });
}

QString PageFields::storedText(const Field& field) const {
    if (field.edit != nullptr) {
        return field.edit->text();
    }
    if (field.check != nullptr) {
        return field.check->isChecked() ? QStringLiteral("true") : QStringLiteral("false");
    }
    if (field.combo->isEditable()) {
        const int index = field.combo->findText(field.combo->currentText().trimmed());
        return index >= 0 ? field.combo->itemData(index).toString() : field.combo->currentText();
    }
    return field.combo->currentData().toString();
}

void PageFields::setStoredText(Field& field, const QString& text) {
    if (field.edit != nullptr) {
        field.edit->setText(text);
    } else if (field.check != nullptr) {
        field.check->setChecked(text == QLatin1String("true"));
    } else {
        const int index = field.combo->findData(text);
        if (index >= 0) {
            field.combo->setCurrentIndex(index);
        } else if (field.combo->isEditable()) {
            field.combo->setEditText(text);
        }
    }
}

// The input the field's text goes to: its own, or the one its switch picks.
QString PageFields::inputOf(const Field& field) const {
    if (field.alternative != nullptr) {
        return field.alternative->currentData().toString();
    }
    return field.definition.input.isEmpty() ? field.definition.name : field.definition.input;
}

Inputs PageFields::inputs() const {
    Inputs inputs;
    // The numbers of each point, X and Y, an empty one standing for its part of the default.
    struct Numbers {
        QString given[2];
        QString fallback[2];
    };
    std::map<QString, Numbers> points;
    for (const Field& field : fields_) {
        const std::string name = inputOf(field).toStdString();
        if (field.check != nullptr) {
            if (field.check->isChecked()) {
                inputs.set(name, {});
            }
            continue;
        }
        // A list item stands for its value; text typed into an editable list goes as typed.
        const QString value = storedText(field).trimmed();
        if (const int part = field.definition.part; part > 0) {
            Numbers& numbers = points[field.definition.input];
            numbers.given[part - 1] = value;
            numbers.fallback[part - 1] = field.definition.placeholder;
        } else if (!value.isEmpty()) {
            inputs.set(name, value.toStdString());
        }
    }
    for (const auto& [id, numbers] : points) {
        if (numbers.given[0].isEmpty() && numbers.given[1].isEmpty()) {
            continue;
        }
        QStringList both;
        for (int part = 0; part < 2; ++part) {
            both.append(numbers.given[part].isEmpty() ? numbers.fallback[part]
                                                      : numbers.given[part]);
        }
        inputs.set(id.toStdString(), both.join(u',').toStdString());
    }
    return inputs;
}

QString PageFields::describeInputs() const {
    QStringList parts;
    for (const Field& field : fields_) {
        if (field.definition.gcodeOnly) {
            continue;
        }
        const QString caption = field.alternative != nullptr
                                    ? field.alternative->currentText()
                                    : withoutMnemonic(field.definition.label);
        if (field.check != nullptr) {
            if (field.check->isChecked()) {
                parts.append(caption);
            }
            continue;
        }
        const QString text =
            (field.combo != nullptr ? field.combo->currentText() : field.edit->text()).trimmed();
        if (!text.isEmpty()) {
            parts.append(caption + QStringLiteral(": ") + text);
        }
    }
    return parts.join(QStringLiteral("; "));
}

void PageFields::focusField(const QString& name) {
    if (const Field* field = find(name)) {
        focus(*field);
    }
}

void PageFields::focusFirst() {
    if (!fields_.empty()) {
        focus(fields_.front());
    }
}

void PageFields::focus(const Field& field) {
    field.control->setFocus(Qt::ShortcutFocusReason);
    if (field.edit != nullptr) {
        field.edit->selectAll();
    } else if (field.combo != nullptr && field.combo->lineEdit() != nullptr) {
        field.combo->lineEdit()->selectAll();
    }
    area_->ensureWidgetVisible(field.control);
}

QString PageFields::messageFor(const QString& field) const {
    return !message_->isHidden() && field == faultField_ ? faultMessage_ : QString();
}

void PageFields::clearMessages() {
    // Only the field marked is unmarked: every caption painted again at each key would cost the
    // window a frame's time on a large page.
    for (Field& field : fields_) {
        if (field.definition.name == faultField_) {
            markField(field, false);
        }
    }
    faultField_.clear();
    faultMessage_.clear();
    refusalShown_ = false;
    message_->clear();
    message_->hide();
    note_->clear();
    note_->hide();
}

void PageFields::showMessage(const QString& field, const QString& message) {
    refusalShown_ = false;
    auto named = std::find_if(fields_.begin(), fields_.end(), [&field](const Field& f) {
        return !field.isEmpty() && f.definition.name == field;
    });
    faultField_ = named != fields_.end() ? field : QString();
    faultMessage_ = message;
    message_->setText(message);
    message_->show();
    if (named != fields_.end()) {
        markField(*named, true);
        named->control->setAccessibleDescription(message);
        if (named->warning != nullptr) {
            named->warning->setToolTip(message);
        }
    }
}

void PageFields::showNote(const QString& note) {
    note_->setText(note);
    note_->show();
}

bool PageFields::noteShown() const {
    return !note_->isHidden();
}

void PageFields::markField(Field& field, bool fault) {
    if (field.check != nullptr) {
        paintText(field.check, fault);
    } else if (field.alternative == nullptr) {
        paintText(field.caption, fault);
    }
    if (field.warning != nullptr) {
        field.warning->setVisible(fault);
    }
    if (!fault) {
        field.control->setAccessibleDescription(field.definition.hint);
    }
}

void PageFields::reset() {
    settingFields_ = true;
    for (Field& field : fields_) {
        setStoredText(field, field.definition.defaultValue);
        if (field.alternative != nullptr) {
            field.alternative->setCurrentIndex(0);
        }
    }
    settingFields_ = false;
}

void PageFields::setTextOf(const QString& name, const QString& text) {
    auto at = std::find_if(fields_.begin(), fields_.end(),
                           [&name](const Field& field) { return field.definition.name == name; });
    if (at != fields_.end()) {
        setStoredText(*at, text.isEmpty() ? at->definition.defaultValue : text);
    }
}

QString PageFields::setInputs(const Inputs& inputs) {
    settingFields_ = true;
    QString refused;
    for (Field& field : fields_) {
        if (field.alternative != nullptr) {
            // The first alternative given, else the first, as on a fresh page.
            int given = 0;
            while (given < field.alternative->count() &&
                   !inputs.has(field.alternative->itemData(given).toString().toStdString())) {
                ++given;
            }
            field.alternative->setCurrentIndex(given < field.alternative->count() ? given : 0);
        }
        const QString id = inputOf(field);
        const std::optional<std::string_view> given = inputs.get(id.toStdString());
        QString text = given
                           ? QString::fromUtf8(given->data(), static_cast<qsizetype>(given->size()))
                           : QString();
        if (field.check != nullptr) {
            text = given ? QStringLiteral("true") : QStringLiteral("false");
        } else if (const int part = field.definition.part; part > 0) {
            text = text.section(u',', part - 1, part - 1);
        } else if (!given && field.combo != nullptr && !field.combo->isEditable()) {
            text = field.definition.defaultValue;
        }
        setStoredText(field, text);
        if (storedText(field) != text && refused.isEmpty()) {
            refused = id;
        }
    }
    settingFields_ = false;
    return refused;
}

void PageFields::load(QSettings& settings) {
    settingFields_ = true;
    for (Field& field : fields_) {
        loadField(settings, field);
    }
    settingFields_ = false;
}

// A field of alternatives takes the first of them kept with a text; a number of a point kept as
// the whole point, as the window kept it before it had a field for each, its part of it.
void PageFields::loadField(QSettings& settings, Field& field) {
    const QString& name = field.definition.name;
    QString text = settings.value(name, field.definition.defaultValue).toString();
    if (field.definition.part > 0 && !settings.contains(name)) {
        const QString whole = settings.value(field.definition.input).toString();
        if (!whole.isEmpty()) {
            text = whole.section(u',', field.definition.part - 1, field.definition.part - 1);
        }
    }
    for (int i = 0; field.alternative != nullptr && i < field.alternative->count(); ++i) {
        const QString kept = settings.value(field.alternative->itemData(i).toString()).toString();
        if (!kept.isEmpty()) {
            field.alternative->setCurrentIndex(i);
            text = kept;
            break;
        }
    }
    setStoredText(field, text);
}

void PageFields::save(QSettings& settings) const {
    for (const Field& field : fields_) {
        if (field.alternative == nullptr) {
            settings.setValue(field.definition.name, storedText(field));
            continue;
        }
        for (int i = 0; i < field.alternative->count(); ++i) {
            settings.setValue(
                field.alternative->itemData(i).toString(),
                i == field.alternative->currentIndex() ? storedText(field) : QString());
        }
    }
}

}  // namespace morvanta::workshop
