// SPDX-License-Identifier: GPL-3.0-or-later
#include "workshop/Page.h"

#include <QObject>
#include <QRegularExpression>

#include "workshop/ReportTable.h"

#include <algorithm>

#include "engine/Job.h"

namespace morvanta::workshop {

namespace {

// The letters the window's menus take for themselves: File, Edit, Help.
constexpr std::string_view kMenuLetters = "feh";

// The underlined letters users of the first pages have learnt, kept as they were: by calculation
// and input ("" for the page's tab). Other captions get the first free letter, as a word's first
// letter where one is free.
struct Mnemonic {
    std::string_view page;
    std::string_view input;
    char letter;
};
constexpr Mnemonic kMnemonics[] = {
    {"sheet", "", 's'},          {"sheet", "count", 'c'},      {"sheet", "ratio", 'r'},
    {"sheet", "dial", 'd'},      {"sheet", "resolution", 'o'}, {"sheet", "start", 't'},
    {"sheet", "span", 'a'},      {"sheet", "ends", 'l'},       {"sheet", "cw", 'w'},
    {"sheet", "axis", 'x'},      {"sheet", "decimals", 'g'},   {"index", "", 'i'},
    {"index", "count", 'c'},     {"index", "ratio", 'r'},      {"index", "plates", 'p'},
    {"index", "gears", 'g'},     {"coords", "", 'b'},          {"coords", "count", 'c'},
    {"coords", "diameter", 'm'}, {"coords", "radius", 'u'},    {"coords", "centre", 'n'},
    {"coords", "start", 't'},    {"coords", "cw", 'w'},        {"coords", "zero", 'z'},
    {"coords", "span", 'a'},     {"coords", "ends", 'l'},      {"coords", "decimals", 'g'},
    {"coords", "depth", 'p'},    {"coords", "retract", 'r'},   {"coords", "feed", 'd'},
};

std::optional<char> learnt(std::string_view page, std::string_view input) {
    for (const Mnemonic& mnemonic : kMnemonics) {
        if (mnemonic.page == page && mnemonic.input == input) {
            return mnemonic.letter;
        }
    }
    return std::nullopt;
}

// The caption with '&' before `letter`: the first word that starts with it, else its first place.
QString marked(QString caption, QChar letter) {
    qsizetype at = -1;
    for (qsizetype i = 0; i < caption.size() && at < 0; ++i) {
        if ((i == 0 || caption[i - 1] == QLatin1Char(' ')) && caption[i].toLower() == letter) {
            at = i;
        }
    }
    if (at < 0) {
        at = caption.indexOf(letter, 0, Qt::CaseInsensitive);
    }
    if (at >= 0) {
        caption.insert(at, QLatin1Char('&'));
    }
    return caption;
}

// A caption with a mnemonic none of `taken` has, the letter then added to `taken`; without a free
// letter the caption has none.
QString withMnemonic(const QString& caption, std::optional<char> wanted, QString& taken) {
    QChar letter;
    if (wanted) {
        letter = QLatin1Char(*wanted);
    }
    for (int pass = 0; pass < 2 && letter.isNull(); ++pass) {
        for (qsizetype i = 0; i < caption.size() && letter.isNull(); ++i) {
            const QChar c = caption[i].toLower();
            const bool wordStart = i == 0 || caption[i - 1] == QLatin1Char(' ');
            if (c.isLetter() && c.unicode() < 128 && !taken.contains(c) &&
                (pass == 1 || wordStart)) {
                letter = c;
            }
        }
    }
    if (letter.isNull()) {
        return caption;
    }
    taken.append(letter);
    return marked(caption, letter);
}

// The names the window has always kept a page's inputs under, where they differ from the
// calculation's.
constexpr std::pair<std::string_view, std::string_view> kPageNames[] = {{"coords", "bolt"}};

QString pageName(std::string_view calculation) {
    for (const auto& [name, kept] : kPageNames) {
        if (name == calculation) {
            return fromEngine(kept);
        }
    }
    return fromEngine(calculation);
}

// An input given instead of another shares that one's field.
// A selector that takes a value (index's --angle) is the page's own input; a selector switch
// (--survey) only tells the command line's forms apart.
bool isField(const Input& input) {
    return (input.role == Role::Value && input.instead.empty()) ||
           (input.role == Role::Selector && input.kind != InputKind::Switch);
}

FieldKind kindOf(const Input& input) {
    switch (input.kind) {
        case InputKind::Switch:
            return FieldKind::Flag;
        case InputKind::Choice:
            return FieldKind::Choice;
        case InputKind::List:
            return input.choices.empty() ? FieldKind::Text : FieldKind::Choice;
        default:
            return FieldKind::Text;
    }
}

// Room for every character a valid value of the input can have, and a few leading zeros.
int lengthOf(const Input& input) {
    const Limits& limits = input.limits;
    const int number = limits.digits + limits.decimals + 2;
    switch (input.kind) {
        case InputKind::Count:
        case InputKind::Arc:
            return 24;
        case InputKind::Decimal:
        case InputKind::Degrees:
            return number + 8;
        case InputKind::Point:
            return 2 * number + 9;
        case InputKind::List:
            return static_cast<int>(std::max<std::size_t>(limits.count, 8)) * 12;
        case InputKind::Text:
            return limits.count == 0 ? 1000 : static_cast<int>(limits.count);
        case InputKind::Choice:
        case InputKind::Switch:
            break;
    }
    return 0;
}

QString hintOf(const Calculation& calculation, const Input& input) {
    QString hint = windowWords(calculation, input.help) + QLatin1Char('.');
    if (input.kind != InputKind::Switch && input.kind != InputKind::Text) {
        hint += QLatin1Char(' ') + windowWords(calculation, limitsText(input)) + QLatin1Char('.');
    }
    if (!input.fallback.empty()) {
        hint += QObject::tr(" Empty for %1.").arg(fromEngine(input.fallback));
    }
    return hint;
}

FieldDefinition fieldOf(const Calculation& calculation, const Input& input, QString& taken) {
    FieldDefinition field;
    field.name = fromEngine(input.id);
    field.input = field.name;
    field.label = withMnemonic(fromEngine(input.label), learnt(calculation.name, input.id), taken);
    field.kind = kindOf(input);
    field.hint = hintOf(calculation, input);
    field.maxLength = lengthOf(input);
    for (const morvanta::Choice& choice : input.choices) {
        field.choices.push_back({fromEngine(choice.label), fromEngine(choice.value)});
    }
    field.editable = input.kind == InputKind::List;
    field.gcodeOnly = !input.only.empty();
    field.placeholder =
        fromEngine(input.fallback.empty() && input.isOperand() ? input.unit : input.fallback);
    // A field left empty stands for the default, which its placeholder shows; a list must show
    // one of its items.
    switch (field.kind) {
        case FieldKind::Flag:
            field.defaultValue =
                input.sample.empty() ? QStringLiteral("false") : fromEngine(input.sample);
            break;
        case FieldKind::Choice:
            field.defaultValue = fromEngine(input.sample.empty() ? input.fallback : input.sample);
            break;
        case FieldKind::Text:
            field.defaultValue = fromEngine(input.sample);
            break;
    }
    return field;
}

// A point as a field for each of its numbers, "Centre X" and "Centre Y", each empty for its part
// of the default.
std::vector<FieldDefinition> pointFields(const Calculation& calculation, const Input& input,
                                         QString& taken) {
    std::vector<FieldDefinition> fields;
    const QStringList fallback = fromEngine(input.fallback).split(QLatin1Char(','));
    const QStringList sample = fromEngine(input.sample).split(QLatin1Char(','));
    for (int part = 1; part <= 2; ++part) {
        const QString axis = part == 1 ? QStringLiteral("X") : QStringLiteral("Y");
        // The caption is its own, with a letter of its own.
        QString untaken = taken;
        FieldDefinition field = fieldOf(calculation, input, untaken);
        field.name = fromEngine(input.id) + axis;
        field.part = part;
        const std::optional<char> letter =
            part == 1 ? learnt(calculation.name, input.id) : std::nullopt;
        field.label =
            withMnemonic(fromEngine(input.label) + QLatin1Char(' ') + axis, letter, taken);
        field.placeholder = fallback.value(part - 1);
        // Each number read as the point reads it: a decimal with the point's limits.
        Input number = input;
        number.kind = InputKind::Decimal;
        field.hint = QObject::tr("The %1 of %2. %3.")
                         .arg(axis, windowWords(calculation, input.help).toLower(),
                              windowWords(calculation, limitsText(number)));
        if (!field.placeholder.isEmpty()) {
            field.hint += QObject::tr(" Empty for %1.").arg(field.placeholder);
        }
        field.defaultValue = input.sample.empty() ? QString() : sample.value(part - 1);
        field.maxLength = (field.maxLength - 1) / 2;
        fields.push_back(std::move(field));
    }
    return fields;
}

// The inputs given instead of this one join its field, each with its own letter.
void addAlternatives(const Calculation& calculation, const Input& input, FieldDefinition& field,
                     QString& taken) {
    for (const Input& other : calculation.inputs) {
        if (other.instead != input.id) {
            continue;
        }
        if (field.alternatives.empty()) {
            field.alternatives.push_back({fromEngine(input.label), field.name});
            const qsizetype amp = field.label.indexOf(QLatin1Char('&'));
            field.alternativeLetters = amp >= 0 ? field.label.mid(amp + 1, 1).toLower() : QString();
            field.hint += QLatin1Char(' ') + hintOf(calculation, other);
        }
        const QString caption =
            withMnemonic(fromEngine(other.label), learnt(calculation.name, other.id), taken);
        const qsizetype amp = caption.indexOf(QLatin1Char('&'));
        field.alternativeLetters += amp >= 0 ? caption.mid(amp + 1, 1).toLower() : QString();
        field.alternatives.push_back({fromEngine(other.label), fromEngine(other.id)});
        field.maxLength = std::max(field.maxLength, lengthOf(other));
    }
}

std::vector<FieldDefinition> fieldsOf(const Calculation& calculation, const Input& input,
                                      QString& taken) {
    if (input.kind == InputKind::Point) {
        return pointFields(calculation, input, taken);
    }
    FieldDefinition field = fieldOf(calculation, input, taken);
    addAlternatives(calculation, input, field, taken);
    return {std::move(field)};
}

// The field a refusal of `id` is shown beside: the point's field of the number at fault, the
// field an input given instead of another shares.
QString fieldAt(const Calculation& calculation, const Refusal& refusal) {
    const Input* input = calculation.input(refusal.input);
    if (input == nullptr) {
        return fromEngine(refusal.input);
    }
    if (input->kind == InputKind::Point) {
        return fromEngine(input->id) +
               (pointPart(refusal) == 2 ? QStringLiteral("Y") : QStringLiteral("X"));
    }
    return fromEngine(input->instead.empty() ? input->id : input->instead);
}

// What the calculation does in the window's words: an operand as its caption, "COUNT" as "count".
QString aboutOf(const Calculation& calculation) {
    QString about = fromEngine(calculation.about);
    for (const Input& input : calculation.inputs) {
        if (input.isOperand() && !input.value.empty()) {
            about.replace(
                QRegularExpression(QStringLiteral("\\b%1\\b").arg(fromEngine(input.value))),
                fromEngine(input.label).toLower());
        }
    }
    return about;
}

// The output switch an input belongs to, as the heading of its group of fields.
QString sectionOf(const Calculation& calculation, const Input& input) {
    const Input* output = calculation.input(input.only);
    return output == nullptr ? QString() : fromEngine(output->label);
}

PageResult computed(const Calculation& calculation, const Inputs& inputs) {
    const Result<Made> made = makeWithUnits(calculation, inputs);
    const auto refused = [&](const Refusal& refusal) {
        return PageResult::failure(windowWords(calculation, refusal.text).toStdString(),
                                   fieldAt(calculation, refusal).toStdString());
    };
    if (!made.ok()) {
        return refused(made.refusal());
    }
    const Made& parts = made.value();
    if (!parts.sheet.ok()) {
        return refused(parts.sheet.refusal);
    }
    PageOutput output;
    output.text = parts.sheet.write;
    output.report = parts.report;
    output.sketch = parts.sketch;
    if (parts.report) {
        output.shownReport = std::make_shared<const Report>(parts.report());
    } else {
        auto lines = std::make_shared<Report>();
        for (const QString& line :
             QString::fromStdString(parts.sheet.write()).split(QLatin1Char('\n'))) {
            lines->notes.push_back(line.toStdString());
        }
        output.shownReport = std::move(lines);
    }
    output.shownWidest = widestCells(*output.shownReport);
    if (parts.sketch) {
        output.shownSketch = std::make_shared<const Sketch>(parts.sketch());
    }
    if (parts.csv) {
        output.csv = parts.csv->write;
        if (!parts.csv->ok()) {
            output.csvMessage = windowWords(calculation, parts.csv->refusal.text);
        }
    }
    if (parts.gcode) {
        output.gcode = parts.gcode->write;
        if (!parts.gcode->ok()) {
            output.gcodeMessage = windowWords(calculation, parts.gcode->refusal.text);
            output.gcodeAbout = fieldAt(calculation, parts.gcode->refusal);
        }
    }
    return PageResult::success(std::move(output));
}

QString fileStemOf(std::string_view title) {
    return fromEngine(title).toLower().replace(QLatin1Char(' '), QLatin1Char('-'));
}

}  // namespace

QString windowWords(const Calculation& calculation, std::string_view text) {
    const std::string worded = wordRefusal(text, [&](std::string_view id) {
        const Input* input = calculation.input(id);
        const std::string label = input != nullptr ? std::string(input->label) : std::string(id);
        return text.starts_with(named(id)) ? label : "\u201C" + label + "\u201D";
    });
    QString words = QString::fromStdString(worded);
    if (!words.isEmpty()) {
        words[0] = words[0].toUpper();
    }
    return words;
}

PageDefinition pageOf(const Calculation& calculation, const QString& taken) {
    PageDefinition page;
    page.name = pageName(calculation.name);
    page.calculation = fromEngine(calculation.name);
    page.title = fromEngine(calculation.title);
    page.fileStem = fileStemOf(calculation.title);
    page.about = aboutOf(calculation);
    // The learnt letters of the page's fields are theirs before any other field picks one.
    QString letters = taken;
    for (const Mnemonic& mnemonic : kMnemonics) {
        if (mnemonic.page == calculation.name && !mnemonic.input.empty()) {
            letters.append(QLatin1Char(mnemonic.letter));
        }
    }
    std::string_view section;
    for (const Input& input : calculation.inputs) {
        page.makesCsv = page.makesCsv || input.role == Role::Csv;
        page.makesGcode = page.makesGcode || input.role == Role::Gcode;
        if (!isField(input)) {
            continue;
        }
        std::vector<FieldDefinition> fields = fieldsOf(calculation, input, letters);
        if (input.only != section) {
            fields.front().section = sectionOf(calculation, input);
            section = input.only;
        }
        for (FieldDefinition& field : fields) {
            page.fields.push_back(std::move(field));
        }
    }
    page.compute = [&calculation](const Inputs& inputs) { return computed(calculation, inputs); };
    return page;
}

std::vector<PageDefinition> workshopPages() {
    const QString menus =
        QString::fromLatin1(kMenuLetters.data(), static_cast<qsizetype>(kMenuLetters.size()));
    // The tabs' letters first, for they work from every page: the learnt ones, then a free letter
    // for each other tab, none that a learnt caption of a field has; a tab without a free letter
    // is reached with Ctrl+Tab alone. The fields then take letters no tab or menu has.
    QString kept = menus;
    for (const Mnemonic& mnemonic : kMnemonics) {
        kept.append(QLatin1Char(mnemonic.letter));
    }
    QString global = menus;
    std::vector<QString> titles;
    for (const Calculation& calculation : calculations()) {
        if (calculation.title.empty()) {
            continue;
        }
        const std::optional<char> wanted = learnt(calculation.name, "");
        QString avoided = wanted ? global : kept + global;
        const QString title = withMnemonic(fromEngine(calculation.title), wanted, avoided);
        if (const qsizetype amp = title.indexOf(QLatin1Char('&')); amp >= 0) {
            global.append(title.at(amp + 1).toLower());
        }
        titles.push_back(title);
    }
    std::vector<PageDefinition> pages;
    for (const Calculation& calculation : calculations()) {
        if (!calculation.title.empty()) {
            pages.push_back(pageOf(calculation, global));
            pages.back().title = titles[pages.size() - 1];
        }
    }
    return pages;
}

}  // namespace morvanta::workshop
