// SPDX-License-Identifier: GPL-3.0-or-later
#include "workshop/CalculatorPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QSettings>
#include <QShortcut>
#include <QStyle>
#include <QVBoxLayout>
#include <QValidator>

#include <algorithm>
#include <new>

#include "workshop/SketchView.h"

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

// A line for the engine's words, hidden until there are some; in the fault colour unless no
// `palette` is given.
QLabel* messageLabel(QWidget* parent, const QString& name, const QPalette* palette) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    if (palette != nullptr) {
        label->setPalette(*palette);
    }
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->hide();
    return label;
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

CalculatorPage::CalculatorPage(PageDefinition definition, QWidget* parent)
    : QWidget(parent), definition_(std::move(definition)) {
    setObjectName(definition_.name);
    // The fields scroll rather than make the window taller than a small or scaled screen.
    auto* fields = new QScrollArea(this);
    fields->setObjectName(QStringLiteral("fields"));
    fields->setFrameShape(QFrame::NoFrame);
    fields->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fields->setWidgetResizable(true);
    fields->setFocusPolicy(Qt::NoFocus);
    auto* panel = new QWidget;
    buildFields(panel);
    fields->setWidget(panel);
    // On the page's own background, as if the fields were laid on it directly.
    panel->setAutoFillBackground(false);
    fields->viewport()->setAutoFillBackground(false);
    fields->setFixedWidth(panel->maximumWidth() +
                          fields->style()->pixelMetric(QStyle::PM_ScrollBarExtent));

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    result_ = new QPlainTextEdit(this);
    result_->setObjectName(QStringLiteral("result"));
    result_->setReadOnly(true);
    result_->setLineWrapMode(QPlainTextEdit::NoWrap);
    result_->setTabChangesFocus(true);
    result_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    result_->setAccessibleName(withoutMnemonic(definition_.title));
    result_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    freshPalette_ = result_->palette();
    stalePalette_ = freshPalette_;
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        stalePalette_.setColor(group, QPalette::Text,
                               freshPalette_.color(QPalette::Disabled, QPalette::Text));
        stalePalette_.setColor(group, QPalette::Base,
                               freshPalette_.color(QPalette::Disabled, QPalette::Base));
    }

    picture_ = new SketchView(this);

    auto* right = new QVBoxLayout;
    right->addWidget(status_);
    right->addWidget(picture_, 1);
    right->addWidget(result_, 1);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(fields, 0);
    layout->addLayout(right, 1);

    // Enter computes from wherever the focus is on the page: a text field, a list or a box.
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}) {
        auto* enter = new QShortcut(keys, this, this, &CalculatorPage::computeAndShowFault,
                                    Qt::WidgetWithChildrenShortcut);
        enter->setAutoRepeat(false);
    }

    QWidget* previous = nullptr;
    for (QWidget* control : fieldControls()) {
        if (previous != nullptr) {
            setTabOrder(previous, control);
        }
        previous = control;
    }
    if (previous != nullptr) {
        setTabOrder(previous, result_);
    }

    resetToDefaults();
}

void CalculatorPage::buildFields(QWidget* panel) {
    auto* grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    int row = 0;
    QPalette messagePalette = panel->palette();
    messagePalette.setColor(QPalette::WindowText, QColor(kMessageColour));
    for (const FieldDefinition& definition : definition_.fields) {
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
            auto* label = new QLabel(definition.label, panel);
            label->setBuddy(field.control);
            grid->addWidget(label, row, 0);
            grid->addWidget(field.control, row++, 1);
        }
        field.message =
            messageLabel(panel, definition.name + QStringLiteral("Message"), &messagePalette);
        grid->addWidget(field.message, row++, 0, 1, 2);
        fields_.push_back(field);
    }

    pageMessage_ = messageLabel(panel, QStringLiteral("pageMessage"), &messagePalette);
    gcodeNote_ = messageLabel(panel, QStringLiteral("gcodeNote"), nullptr);

    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(grid);
    column->addWidget(gcodeNote_);
    column->addWidget(pageMessage_);
    column->addStretch(1);
    // Wide enough for the engine's longest messages on three lines.
    panel->setMaximumWidth(
        std::max(panel->fontMetrics().averageCharWidth() * 44, panel->minimumSizeHint().width()));
}

// A text longer than the field can hold, typed or pasted, is refused whole and said so: cut to
// length, a pasted 12345678901 would become another number that is just as valid. The line takes
// one character more than it can hold, so that what is too long reaches the validator, and no
// more, so that a long paste costs its undo history nothing.
void CalculatorPage::holdAtMost(const FieldDefinition& definition, QLineEdit* edit) {
    if (definition.maxLength <= 0) {
        return;
    }
    edit->setMaxLength(definition.maxLength + 1);
    edit->setValidator(new LengthValidator(definition.maxLength, edit));
    connect(edit, &QLineEdit::inputRejected, this, [this, name = definition.name] {
        Field* field = fieldAbout(name);
        if (field != nullptr && !settingFields_) {
            showBeside(*field, tr("%1 takes at most %2 characters: the longer text was refused "
                                  "and the field left as it was.")
                                   .arg(withoutMnemonic(field->definition.label))
                                   .arg(field->definition.maxLength));
        }
    });
}

CalculatorPage::Field CalculatorPage::makeField(const FieldDefinition& definition,
                                                QWidget* parent) {
    Field field;
    field.definition = definition;
    switch (definition.kind) {
        case FieldKind::Text: {
            field.edit = new QLineEdit(parent);
            field.edit->setPlaceholderText(definition.placeholder);
            holdAtMost(definition, field.edit);
            field.control = field.edit;
            connect(field.edit, &QLineEdit::textChanged, this, &CalculatorPage::compute);
            break;
        }
        case FieldKind::Flag: {
            field.check = new QCheckBox(definition.label, parent);
            field.control = field.check;
            connect(field.check, &QCheckBox::toggled, this, &CalculatorPage::compute);
            break;
        }
        case FieldKind::Choice: {
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
                connect(field.combo, &QComboBox::editTextChanged, this, &CalculatorPage::compute);
            } else {
                connect(field.combo, &QComboBox::currentIndexChanged, this,
                        &CalculatorPage::compute);
            }
            break;
        }
    }
    field.control->setObjectName(definition.name);
    field.control->setAccessibleName(withoutMnemonic(definition.label));
    field.control->setAccessibleDescription(definition.hint);
    field.control->setToolTip(definition.hint);
    return field;
}

std::vector<QWidget*> CalculatorPage::fieldControls() const {
    std::vector<QWidget*> controls;
    for (const Field& field : fields_) {
        controls.push_back(field.control);
    }
    return controls;
}

QString CalculatorPage::storedText(const Field& field) const {
    if (field.edit != nullptr) {
        return field.edit->text();
    }
    if (field.check != nullptr) {
        return field.check->isChecked() ? QStringLiteral("true") : QStringLiteral("false");
    }
    if (field.combo->isEditable()) {
        const int index = field.combo->findText(field.combo->currentText());
        return index >= 0 ? field.combo->itemData(index).toString() : field.combo->currentText();
    }
    return field.combo->currentData().toString();
}

void CalculatorPage::setStoredText(Field& field, const QString& text) {
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

Inputs CalculatorPage::inputs() const {
    Inputs inputs;
    for (const Field& field : fields_) {
        const std::string name = field.definition.name.toStdString();
        if (field.check != nullptr) {
            if (field.check->isChecked()) {
                inputs.set(name, {});
            }
            continue;
        }
        // A list item stands for its value; text typed into an editable list goes as typed.
        const QString value = storedText(field);
        if (!value.isEmpty()) {
            inputs.set(name, value.toStdString());
        }
    }
    return inputs;
}

QString CalculatorPage::describeInputs() const {
    QStringList parts;
    for (const Field& field : fields_) {
        if (field.definition.gcodeOnly) {
            continue;
        }
        const QString caption = withoutMnemonic(field.definition.label);
        if (field.check != nullptr) {
            if (field.check->isChecked()) {
                parts.append(caption);
            }
        } else if (field.combo != nullptr) {
            if (!field.combo->currentText().isEmpty()) {
                parts.append(caption + QStringLiteral(": ") + field.combo->currentText());
            }
        } else if (!field.edit->text().isEmpty()) {
            parts.append(caption + QStringLiteral(": ") + field.edit->text());
        }
    }
    return parts.join(QStringLiteral("; "));
}

CalculatorPage::Field* CalculatorPage::fieldAbout(const QString& about) {
    if (about.isEmpty()) {
        return nullptr;
    }
    for (Field& field : fields_) {
        if (field.definition.name == about) {
            return &field;
        }
    }
    return nullptr;
}

QString CalculatorPage::messageFor(const QString& field) const {
    if (field.isEmpty()) {
        return pageMessage_ != nullptr ? pageMessage_->text() : QString();
    }
    for (const Field& candidate : fields_) {
        if (candidate.definition.name == field) {
            return candidate.message->text();
        }
    }
    return {};
}

void CalculatorPage::compute() {
    if (settingFields_) {
        return;
    }
    // The engine answers bad input with a message, never an exception; only a sheet too large
    // for the memory left can throw, and that must not take the user's other pages with it.
    try {
        showResult(definition_.compute(inputs()));
    } catch (const std::bad_alloc&) {
        showResult(PageResult::failure("not enough memory to make this sheet"));
    }
    emit computed();
}

void CalculatorPage::computeAndShowFault() {
    compute();
    if (current_) {
        return;
    }
    for (Field& field : fields_) {
        if (field.definition.name == faultField_) {
            field.control->setFocus(Qt::OtherFocusReason);
            if (field.edit != nullptr) {
                field.edit->selectAll();
            }
        }
    }
}

void CalculatorPage::showResult(PageResult result) {
    for (Field& field : fields_) {
        field.message->clear();
        field.message->hide();
        field.control->setAccessibleDescription(field.definition.hint);
    }
    pageMessage_->clear();
    pageMessage_->hide();
    gcodeNote_->clear();
    gcodeNote_->hide();
    faultField_.clear();

    if (!result.ok()) {
        const QString message = QString::fromStdString(result.message());
        if (Field* field = fieldAbout(QString::fromUtf8(
                result.about().data(), static_cast<qsizetype>(result.about().size())))) {
            showBeside(*field, message);
            faultField_ = field->definition.name;
        } else {
            pageMessage_->setText(message);
            pageMessage_->show();
        }
        setStale(true);
        return;
    }

    PageOutput output = std::move(result).value();
    // A field that only the G-code needs is named beside it, any other reason under the fields;
    // the sheet stays good either way.
    if (!output.gcodeMessage.isEmpty()) {
        const QString& message = output.gcodeMessage;
        // A field given wrong is named beside it; one not given yet only in the note, so that a
        // user who wants no G-code sees no fault.
        Field* field = fieldAbout(output.gcodeAbout);
        if (field != nullptr && !storedText(*field).isEmpty()) {
            showBeside(*field, message);
        } else if (std::any_of(fields_.begin(), fields_.end(), [this](const Field& f) {
                       return f.definition.gcodeOnly && storedText(f) != f.definition.defaultValue;
                   })) {
            // Under the fields once the user has begun on the G-code's own; before that the
            // reason stands on Save G-code alone, so that a page used without G-code says nothing
            // of it.
            gcodeNote_->setText(tr("No G-code from this input: %1").arg(message));
            gcodeNote_->show();
        }
    }
    // Setting the same text again would only lose the reader's place in a long sheet.
    if (!output_ || output_->text != output.text) {
        result_->setPlainText(QString::fromStdString(output.text));
    }
    picture_->setSketch(output.sketch ? std::optional<Sketch>(output.sketch()) : std::nullopt);
    picture_->setVisible(static_cast<bool>(output.sketch));
    output_ = std::move(output);
    outputInputs_ = describeInputs();
    setStale(false);
}

void CalculatorPage::showBeside(Field& field, const QString& message) {
    field.message->setText(message);
    field.message->show();
    // Read out with the field, for those who cannot see the line under it.
    field.control->setAccessibleDescription(message);
}

void CalculatorPage::setStale(bool stale) {
    current_ = !stale;
    result_->setPalette(stale ? stalePalette_ : freshPalette_);
    result_->setProperty("stale", stale);
    picture_->setStale(stale);
    if (!stale) {
        status_->setText(tr("Sheet for %1.").arg(outputInputs_));
    } else if (output_) {
        status_->setText(tr("The input is not valid. Shown greyed: the last good sheet, for %1.")
                             .arg(outputInputs_));
    } else {
        status_->setText(tr("The input is not valid, so there is no sheet yet."));
    }
    emit stateChanged();
}

void CalculatorPage::resetToDefaults() {
    settingFields_ = true;
    for (Field& field : fields_) {
        setStoredText(field, field.definition.defaultValue);
    }
    settingFields_ = false;
    compute();
}

void CalculatorPage::focusFirstField() {
    if (!fields_.empty()) {
        fields_.front().control->setFocus(Qt::OtherFocusReason);
    }
}

void CalculatorPage::loadFields(QSettings& settings) {
    settingFields_ = true;
    settings.beginGroup(definition_.name);
    for (Field& field : fields_) {
        setStoredText(
            field, settings.value(field.definition.name, field.definition.defaultValue).toString());
    }
    settings.endGroup();
    settingFields_ = false;
    // The sheet of the defaults was never the user's: bad input brought back from the last run
    // shows no sheet at all rather than one for inputs the user did not give.
    output_.reset();
    outputInputs_.clear();
    result_->clear();
    compute();
}

void CalculatorPage::saveFields(QSettings& settings) const {
    settings.beginGroup(definition_.name);
    for (const Field& field : fields_) {
        settings.setValue(field.definition.name, storedText(field));
    }
    settings.endGroup();
}

}  // namespace morvanta::workshop
