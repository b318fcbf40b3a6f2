// SPDX-License-Identifier: GPL-3.0-or-later
#include "workshop/CalculatorPage.h"

#include <QHBoxLayout>
#include <QSettings>
#include <QShortcut>
#include <QTimer>

#include "workshop/Memory.h"
#include "workshop/PageFields.h"
#include "workshop/ReportTable.h"
#include "workshop/SheetPanel.h"

namespace morvanta::workshop {

namespace {

// How long a call may run before its page greys the last sheet: no flicker while typing into a
// sheet that takes a little longer than a frame.
constexpr int kGreyAfterMilliseconds = 150;

// What showing the largest sheet may take beyond the sheet itself: its table's header, the
// picture's first paint.
constexpr std::size_t kShowRoom = std::size_t{4} << 20;

}  // namespace

CalculatorPage::CalculatorPage(PageDefinition definition, QWidget* parent)
    : QWidget(parent),
      definition_(std::move(definition)),
      computation_(definition_.compute,
                   [this](PageResult result) { showResult(std::move(result)); }) {
    setObjectName(definition_.name);
    fields_ = new PageFields(definition_.fields, this);
    connect(fields_, &PageFields::edited, this, &CalculatorPage::compute);
    sheet_ = new SheetPanel(QString(definition_.title).remove(u'&'), this);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(fields_, 0);
    layout->addWidget(sheet_, 1);
    workingGrey_ = new QTimer(this);
    workingGrey_->setSingleShot(true);
    workingGrey_->setInterval(kGreyAfterMilliseconds);
    connect(workingGrey_, &QTimer::timeout, this, &CalculatorPage::showWorking);
    createShortcuts();
    setTabOrders();
    resetToDefaults();
}

CalculatorPage::~CalculatorPage() = default;

void CalculatorPage::createShortcuts() {
    // Enter computes from wherever the focus is on the page: a text field, a list or a box.
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}) {
        auto* enter = new QShortcut(keys, this, this, &CalculatorPage::computeAndShowFault,
                                    Qt::WidgetWithChildrenShortcut);
        enter->setAutoRepeat(false);
    }
}

void CalculatorPage::setTabOrders() {
    QWidget* previous = nullptr;
    for (QWidget* control : fields_->controls()) {
        if (previous != nullptr) {
            setTabOrder(previous, control);
        }
        previous = control;
    }
    if (previous != nullptr) {
        setTabOrder(previous, sheet_->table());
    }
}

std::vector<QWidget*> CalculatorPage::fieldControls() const {
    return fields_->controls();
}

QString CalculatorPage::fieldOf(const QWidget* widget) const {
    return fields_->fieldOf(widget);
}

QString CalculatorPage::messageFor(const QString& field) const {
    return fields_->messageFor(field);
}

void CalculatorPage::compute() {
    computation_.request(currentInputs());
    if (computation_.busy()) {
        // The sheet in view is not of the fields as they stand until the engine answers.
        current_ = false;
        workingGrey_->start();
        emit stateChanged();
    }
}

void CalculatorPage::finishComputing() {
    computation_.finish();
}

void CalculatorPage::computeAndShowFault() {
    compute();
    finishComputing();
    if (!current_) {
        fields_->focusField(fields_->faultField());
    }
}

void CalculatorPage::showResult(PageResult result) {
    workingGrey_->stop();
    fields_->clearMessages();
    // Qt's table view does not survive running out of memory while it lays out a new sheet's
    // rows and columns (its header is left half made), so room is made sure of first, as the
    // engine's call itself says when it runs short.
    if (result.ok() && !MemoryReserve(kShowRoom).held()) {
        result = PageResult::failure(tr("Not enough memory to show this sheet.").toStdString());
    }
    if (!result.ok()) {
        const std::string_view about = result.about();
        fields_->showMessage(QString::fromUtf8(about.data(), static_cast<qsizetype>(about.size())),
                             QString::fromStdString(result.message()));
        setStale(true);
        emit computed();
        return;
    }
    PageOutput output = std::move(result).value();
    showGcodeMessage(output);
    if (output_) {
        computation_.discard(std::make_shared<const PageOutput>(std::move(*output_)));
    }
    sheet_->showSheet(output.shownReport, output.shownSketch, output.shownWidest);
    output_ = std::move(output);
    outputInputs_ = fields_->describeInputs();
    setStale(false);
    emit computed();
}

// A field only the G-code needs, given wrong, is named as any other; a reason no field is to
// blame for, or a field not given yet, only in the note once the user has begun on the
// G-code's own fields, so that a page used without G-code says nothing of it.
void CalculatorPage::showGcodeMessage(const PageOutput& output) {
    if (output.gcodeMessage.isEmpty()) {
        return;
    }
    if (!fields_->textOf(output.gcodeAbout).trimmed().isEmpty()) {
        fields_->showMessage(output.gcodeAbout, output.gcodeMessage);
    } else if (fields_->gcodeBegun()) {
        fields_->showNote(tr("No G-code from this input: %1").arg(output.gcodeMessage));
    }
}

bool CalculatorPage::showWhyNoGcode() {
    finishComputing();
    if (!isCurrent() || output_->gcode || output_->gcodeMessage.isEmpty()) {
        return false;
    }
    if (!fields_->noteShown() && fields_->faultField() != output_->gcodeAbout) {
        fields_->showNote(tr("No G-code from this input: %1").arg(output_->gcodeMessage));
    }
    fields_->focusField(output_->gcodeAbout);
    return true;
}

void CalculatorPage::showWorking() {
    if (!computation_.busy()) {
        return;
    }
    sheet_->setStale(output_.has_value());
    sheet_->setStatus(output_ ? tr("Working out the sheet for the input as it stands. Shown "
                                   "greyed: the last good sheet, for %1.")
                                    .arg(outputInputs_)
                              : tr("Working out the sheet for the input as it stands."));
}

void CalculatorPage::setStale(bool stale) {
    current_ = !stale;
    sheet_->setStale(stale);
    if (!stale) {
        sheet_->setStatus(tr("Sheet for %1.").arg(outputInputs_));
    } else if (output_) {
        sheet_->setStatus(tr("The input is not valid. Shown greyed: the last good sheet, for %1.")
                              .arg(outputInputs_));
    } else {
        sheet_->setStatus(tr("The input is not valid, so there is no sheet yet."));
    }
    emit stateChanged();
}

void CalculatorPage::resetToDefaults() {
    fields_->reset();
    compute();
}

void CalculatorPage::focusFirstField() {
    fields_->focusFirst();
}

void CalculatorPage::loadFields(QSettings& settings) {
    settings.beginGroup(definition_.name);
    fields_->load(settings);
    settings.endGroup();
    // The sheet of the defaults was never the user's: bad input brought back from the last run
    // shows no sheet at all rather than one for inputs the user did not give.
    finishComputing();
    output_.reset();
    outputInputs_.clear();
    sheet_->clear();
    compute();
}

void CalculatorPage::saveFields(QSettings& settings) const {
    settings.beginGroup(definition_.name);
    fields_->save(settings);
    settings.endGroup();
}

Inputs CalculatorPage::currentInputs() const {
    Inputs inputs = fields_->inputs();
    if (!units_.isEmpty() && !inputs.has("units")) {
        inputs.set("units", units_.toStdString());
    }
    return inputs;
}

QString CalculatorPage::setInputs(const Inputs& inputs) {
    const QString refused = fields_->setInputs(inputs);
    compute();
    return refused;
}

void CalculatorPage::setUnits(const QString& units) {
    if (fields_->has(QStringLiteral("units"))) {
        // No units is the field's own default: the control's.
        fields_->setTextOf(QStringLiteral("units"), units);
        return;
    }
    if (units_ != units) {
        units_ = units;
        compute();
    }
}

QString CalculatorPage::units() const {
    if (fields_->has(QStringLiteral("units"))) {
        const QString chosen = fields_->textOf(QStringLiteral("units"));
        return chosen == QLatin1String("mm") || chosen == QLatin1String("in") ? chosen : QString();
    }
    return units_;
}

}  // namespace morvanta::workshop
