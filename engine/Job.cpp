// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Job.h"

#include <algorithm>
#include <utility>

#include "engine/Integers.h"

namespace morvanta {

namespace {

using Type = JsonValue::Type;

constexpr std::string_view kKeys[] = {"format", "version", "calculation", "name",
                                      "notes",  "units",   "inputs",      "ticks"};

Result<Job> refuse(const JsonPlace& place, std::string_view key, std::string text) {
    return Result<Job>::failure(Refusal{std::string(key), placeText(place) + std::move(text)});
}

std::string versionText() {
    return std::to_string(kJobMajor) + "." + std::to_string(kJobMinor);
}

std::string typeName(Type type) {
    switch (type) {
        case Type::Null:
            return "null";
        case Type::Boolean:
            return "true or false";
        case Type::Number:
            return "a number";
        case Type::String:
            return "a string";
        case Type::Array:
            return "a list";
        case Type::Object:
            return "an object";
    }
    return "a value";
}

std::size_t characters(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// A whole number of at most 18 digits without a sign or leading zeros: what a tick is.
std::optional<std::int64_t> wholeNumber(std::string_view text) {
    if (text.size() > 1 && text[0] == '0') {
        return std::nullopt;
    }
    return detail::parseWhole(text, 18);
}

// "1.0" -> {1, 0}; nothing for anything but two whole numbers with a point between.
std::optional<std::pair<std::int64_t, std::int64_t>> versionOf(std::string_view text) {
    const std::size_t point = text.find('.');
    if (point == std::string_view::npos) {
        return std::nullopt;
    }
    const auto major = wholeNumber(text.substr(0, point));
    const auto minor = wholeNumber(text.substr(point + 1));
    if (!major || !minor) {
        return std::nullopt;
    }
    return std::pair(*major, *minor);
}

// A text of the job: a string within `most` characters, without control characters but those
// `allowed` ("\n\t" in the notes).
std::optional<Result<Job>> badText(const JsonValue& value, std::string_view key, std::size_t most,
                                   std::string_view allowed = {}) {
    const std::string name = jsonString(key);
    if (value.type != Type::String) {
        return refuse(value.place, key, name + " must be a string, not " + typeName(value.type));
    }
    const bool control = std::any_of(value.text.begin(), value.text.end(), [&](char c) {
        return (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) &&
               allowed.find(c) == std::string_view::npos;
    });
    if (control) {
        return refuse(value.place, key, name + " holds a control character");
    }
    if (const std::size_t length = characters(value.text); length > most) {
        return refuse(value.place, key,
                      name + " may have at most " + std::to_string(most) + " characters; it has " +
                          std::to_string(length));
    }
    return std::nullopt;
}

// "format" and "version": whether this is a job, and of a format this Morvanta reads. The minor
// version found is left in `minor`.
std::optional<Result<Job>> checkFormat(const JsonValue& root, std::int64_t& minor) {
    const JsonValue* format = root.member("format");
    if (format == nullptr) {
        return refuse(root.place, "format", "not a Morvanta job: it has no \"format\"");
    }
    if (format->type != Type::String || format->text != kJobFormatName) {
        return refuse(format->place, "format",
                      "not a Morvanta job: \"format\" must be " + jsonString(kJobFormatName));
    }
    const JsonValue* version = root.member("version");
    if (version == nullptr) {
        return refuse(root.place, "version", "the job has no \"version\"");
    }
    const auto read = version->type == Type::String ? versionOf(version->text) : std::nullopt;
    if (!read) {
        return refuse(
            version->place, "version",
            "\"version\" must be a string of two numbers, such as \"" + versionText() + "\"");
    }
    if (read->first > kJobMajor) {
        return refuse(version->place, "version",
                      "made by a later Morvanta (format " + std::to_string(read->first) +
                          "); this one reads format " + std::to_string(kJobMajor));
    }
    if (read->first < kJobMajor) {
        return refuse(version->place, "version",
                      "there is no format " + version->text + "; this Morvanta reads format " +
                          std::to_string(kJobMajor));
    }
    minor = read->second;
    return std::nullopt;
}

std::string pageCalculations() {
    std::string names;
    for (const Calculation& calculation : calculations()) {
        if (!calculation.title.empty()) {
            names += (names.empty() ? "" : ", ") + std::string(calculation.name);
        }
    }
    return names;
}

std::optional<Result<Job>> readInputsOf(const JsonValue& inputs, const Calculation& calculation,
                                        Job& job) {
    if (inputs.type != Type::Object) {
        return refuse(inputs.place, "inputs",
                      "\"inputs\" must be an object, not " + typeName(inputs.type));
    }
    for (const JsonMember& member : inputs.members) {
        const std::string& id = member.key;
        const JsonValue& value = member.value;
        const std::string key = "inputs." + id;
        const Input* input = calculation.input(id);
        if (id == "units") {
            return refuse(member.place, key,
                          "the units go in \"units\" at the top of the job, not among its inputs");
        }
        if (input == nullptr || input->role != Role::Value) {
            return refuse(member.place, key, job.calculation + " has no input " + jsonString(id));
        }
        if (auto bad = badText(value, key, kMaxJobInputText)) {
            return bad;
        }
        job.inputs.set(id, value.text);
        job.inputPlaces.emplace(id, value.place);
    }
    return std::nullopt;
}

std::optional<Result<Job>> readTicks(const JsonValue& ticks, Job& job) {
    if (ticks.type != Type::Array) {
        return refuse(ticks.place, "ticks",
                      "\"ticks\" must be a list, not " + typeName(ticks.type));
    }
    std::vector<std::pair<std::int64_t, JsonPlace>> read;
    for (const JsonValue& tick : ticks.items) {
        const auto number = tick.type == Type::Number ? wholeNumber(tick.text) : std::nullopt;
        if (!number || *number == 0) {
            return refuse(tick.place, "ticks",
                          "a tick must be the number of a row, a whole number from 1");
        }
        read.emplace_back(*number, tick.place);
    }
    std::stable_sort(read.begin(), read.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < read.size(); ++i) {
        if (i > 0 && read[i].first == read[i - 1].first) {
            return refuse(read[i].second, "ticks",
                          "tick " + std::to_string(read[i].first) + " is given twice");
        }
        job.ticks.push_back(read[i].first);
        job.tickPlaces.push_back(read[i].second);
    }
    return std::nullopt;
}

// The keys besides "format" and "version", once those are known to be readable.
Result<Job> readKeys(const JsonValue& root, std::int64_t minor) {
    for (const JsonMember& member : root.members) {
        const std::string& key = member.key;
        if (minor <= kJobMinor &&
            std::find(std::begin(kKeys), std::end(kKeys), key) == std::end(kKeys)) {
            return refuse(member.place, key,
                          jsonString(key) + " is not a key of a job of format " + versionText());
        }
    }
    Job job;
    const JsonValue* calculation = root.member("calculation");
    if (calculation == nullptr) {
        return refuse(root.place, "calculation", "the job has no \"calculation\"");
    }
    const Calculation* found =
        calculation->type == Type::String ? findCalculation(calculation->text) : nullptr;
    if (found == nullptr || found->title.empty()) {
        return refuse(calculation->place, "calculation",
                      (calculation->type == Type::String ? jsonString(calculation->text)
                                                         : typeName(calculation->type)) +
                          " is not a calculation a job can hold; one of " + pageCalculations());
    }
    job.calculation = calculation->text;
    const JsonValue* inputs = root.member("inputs");
    if (inputs == nullptr) {
        return refuse(root.place, "inputs", "the job has no \"inputs\"");
    }
    if (auto bad = readInputsOf(*inputs, *found, job)) {
        return std::move(*bad);
    }
    if (const JsonValue* name = root.member("name")) {
        if (auto bad = badText(*name, "name", kMaxJobName)) {
            return std::move(*bad);
        }
        job.name = name->text;
    }
    if (const JsonValue* notes = root.member("notes")) {
        if (auto bad = badText(*notes, "notes", kMaxJobNotes, "\n\t")) {
            return std::move(*bad);
        }
        job.notes = notes->text;
    }
    if (const JsonValue* units = root.member("units");
        units != nullptr && units->type != Type::Null) {
        const auto named = units->type == Type::String && !units->text.empty()
                               ? unitsNamed(units->text)
                               : std::nullopt;
        if (!named) {
            return refuse(units->place, "units", "\"units\" must be \"mm\", \"in\" or null");
        }
        job.units = *named;
    }
    if (const JsonValue* ticks = root.member("ticks")) {
        if (auto bad = readTicks(*ticks, job)) {
            return std::move(*bad);
        }
    }
    return Result<Job>::success(std::move(job));
}

// A refusal of the engine about a job's inputs, each {id} worded as the key it has in the file,
// at the place of the input it names.
Refusal jobRefusal(const Job& job, const Refusal& refusal) {
    std::string text =
        wordRefusal(refusal.text, [](std::string_view id) { return "inputs." + std::string(id); });
    const auto place = job.inputPlaces.find(refusal.input);
    if (place != job.inputPlaces.end()) {
        text = placeText(place->second) + text;
    }
    return Refusal{refusal.input.empty() ? std::string("inputs") : "inputs." + refusal.input,
                   std::move(text), refusal.limit, refusal.value};
}

}  // namespace

std::string_view unitsWord(JobUnits units) {
    switch (units) {
        case JobUnits::Millimetres:
            return "mm";
        case JobUnits::Inches:
            return "in";
        case JobUnits::None:
            break;
    }
    return "";
}

std::optional<JobUnits> unitsNamed(std::string_view word) {
    for (const JobUnits units : {JobUnits::None, JobUnits::Millimetres, JobUnits::Inches}) {
        if (unitsWord(units) == word) {
            return units;
        }
    }
    return std::nullopt;
}

std::string writeJob(const Job& job) {
    std::string text = "{\n";
    const auto line = [&text](std::string_view key, const std::string& value) {
        text += "  " + jsonString(key) + ": " + value + ",\n";
    };
    line("format", jsonString(kJobFormatName));
    line("version", jsonString(versionText()));
    line("calculation", jsonString(job.calculation));
    line("name", jsonString(job.name));
    line("notes", jsonString(job.notes));
    line("units",
         job.units == JobUnits::None ? std::string("null") : jsonString(unitsWord(job.units)));
    std::string inputs;
    for (const auto& [id, value] : job.inputs.all()) {
        inputs += (inputs.empty() ? "\n" : ",\n") + std::string("    ") + jsonString(id) + ": " +
                  jsonString(value);
    }
    line("inputs", inputs.empty() ? std::string("{}") : "{" + inputs + "\n  }");
    std::vector<std::int64_t> ticks = job.ticks;
    std::sort(ticks.begin(), ticks.end());
    ticks.erase(std::unique(ticks.begin(), ticks.end()), ticks.end());
    std::string list;
    for (const std::int64_t tick : ticks) {
        list += (list.empty() ? "" : ", ") + std::to_string(tick);
    }
    text += "  \"ticks\": [" + list + "]\n}\n";
    return text;
}

Result<Job> readJob(std::string_view text) {
    if (text.size() > kMaxJobBytes) {
        return Result<Job>::failure(
            Refusal{{},
                    "a job file may have at most " + std::to_string(kMaxJobBytes) +
                        " bytes (1 MiB); this one has " + std::to_string(text.size())});
    }
    Result<JsonValue> json = readJson(text);
    if (!json.ok()) {
        return Result<Job>::failure(json.refusal());
    }
    const JsonValue& root = json.value();
    if (root.type != Type::Object) {
        return refuse(root.place, {},
                      "not a Morvanta job: a job is an object ({...}), not " + typeName(root.type));
    }
    std::int64_t minor = 0;
    if (auto bad = checkFormat(root, minor)) {
        return std::move(*bad);
    }
    return readKeys(root, minor);
}

Inputs jobRequest(const Job& job) {
    Inputs inputs = job.inputs;
    inputs.erase("units");
    if (job.units != JobUnits::None) {
        inputs.set("units", std::string(unitsWord(job.units)));
    }
    return inputs;
}

Report withUnits(Report report, JobUnits units) {
    if (units == JobUnits::None) {
        return report;
    }
    for (const std::size_t column : report.lengthColumns) {
        if (column < report.columns.size()) {
            report.columns[column] += " (" + std::string(unitsWord(units)) + ")";
        }
    }
    return report;
}

Result<Made> makeWithUnits(const Calculation& calculation, const Inputs& inputs) {
    Result<Made> made = makeEveryOutput(calculation, inputs);
    const std::optional<JobUnits> units = unitsNamed(inputs.get("units").value_or(""));
    if (!made.ok() || !units || *units == JobUnits::None || !made.value().report) {
        return made;
    }
    Made& parts = made.value();
    const std::function<Report()> report = parts.report;
    const JobUnits unit = *units;
    parts.report = [report, unit] { return withUnits(report(), unit); };
    if (parts.sheet.ok()) {
        parts.sheet.write = [write = parts.sheet.write, report, unit] {
            Report shown = report();
            return shown.lengthColumns.empty() ? write() : reportText(withUnits(shown, unit));
        };
    }
    if (parts.sketch) {
        parts.sketch = [sketch = parts.sketch, report, unit] {
            Sketch drawn = sketch();
            if (!report().lengthColumns.empty()) {
                drawn.caption += unit == JobUnits::Inches ? " (inches)" : " (mm)";
            }
            return drawn;
        };
    }
    return made;
}

Result<Made> makeJob(const Job& job) {
    const Calculation* calculation = findCalculation(job.calculation);
    if (calculation == nullptr || calculation->title.empty()) {
        return Result<Made>::failure(Refusal{
            "calculation", jsonString(job.calculation) + " is not a calculation a job can hold"});
    }
    Result<Made> made = makeWithUnits(*calculation, jobRequest(job));
    if (!made.ok()) {
        return Result<Made>::failure(jobRefusal(job, made.refusal()));
    }
    if (!made.value().sheet.ok()) {
        return Result<Made>::failure(jobRefusal(job, made.value().sheet.refusal));
    }
    if (job.ticks.empty()) {
        return made;
    }
    const std::size_t rows = made.value().report ? made.value().report().rows.size() : 0;
    for (std::size_t i = 0; i < job.ticks.size(); ++i) {
        if (static_cast<std::uint64_t>(job.ticks[i]) > rows) {
            const JsonPlace place = i < job.tickPlaces.size() ? job.tickPlaces[i] : JsonPlace{};
            return Result<Made>::failure(Refusal{
                "ticks", (i < job.tickPlaces.size() ? placeText(place) : std::string()) + "tick " +
                             std::to_string(job.ticks[i]) + " is beyond the sheet, which has " +
                             (rows == 0 ? std::string("no table")
                                        : std::to_string(rows) + (rows == 1 ? " row" : " rows"))});
        }
    }
    return made;
}

}  // namespace morvanta
