// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Calculation.h"

#include <algorithm>

#include "engine/InputReading.h"

namespace morvanta {

Inputs::Inputs(std::initializer_list<std::pair<std::string_view, std::string_view>> texts) {
    for (const auto& [id, text] : texts) {
        set(id, std::string(text));
    }
}

void Inputs::set(std::string_view id, std::string text) {
    texts_.insert_or_assign(std::string(id), std::move(text));
}

void Inputs::erase(std::string_view id) {
    if (const auto found = texts_.find(id); found != texts_.end()) {
        texts_.erase(found);
    }
}

std::optional<std::string_view> Inputs::get(std::string_view id) const {
    const auto found = texts_.find(id);
    if (found == texts_.end()) {
        return std::nullopt;
    }
    return std::string_view(found->second);
}

void Values::put(std::string_view id, Value value) {
    values_.insert_or_assign(std::string(id), std::move(value));
}

const Values::Value* Values::find(std::string_view id) const {
    const auto found = values_.find(id);
    return found == values_.end() ? nullptr : &found->second;
}

bool Values::given(std::string_view id) const {
    const Value* value = find(id);
    return value != nullptr && value->given;
}

std::optional<std::int64_t> Values::whole(std::string_view id) const {
    const Value* value = find(id);
    return value != nullptr ? std::optional(value->whole) : std::nullopt;
}

std::optional<ExactDecimal> Values::decimal(std::string_view id) const {
    const Value* value = find(id);
    return value != nullptr ? std::optional(value->decimal) : std::nullopt;
}

std::optional<Angle> Values::number(std::string_view id) const {
    const Value* value = find(id);
    return value != nullptr ? std::optional(value->angle) : std::nullopt;
}

std::optional<std::pair<ExactDecimal, ExactDecimal>> Values::point(std::string_view id) const {
    const Value* value = find(id);
    return value != nullptr ? std::optional(std::pair(value->decimal, value->second))
                            : std::nullopt;
}

std::optional<std::string_view> Values::text(std::string_view id) const {
    const Value* value = find(id);
    return value != nullptr ? std::optional<std::string_view>(value->text) : std::nullopt;
}

const std::vector<std::vector<std::int64_t>>& Values::groups(std::string_view id) const {
    static const std::vector<std::vector<std::int64_t>> kNone;
    const Value* value = find(id);
    return value != nullptr ? value->groups : kNone;
}

const Input* Calculation::input(std::string_view id) const {
    const auto found =
        std::find_if(inputs.begin(), inputs.end(), [&](const Input& i) { return i.id == id; });
    return found == inputs.end() ? nullptr : &*found;
}

const Input* Calculation::selector() const {
    const auto found = std::find_if(inputs.begin(), inputs.end(),
                                    [](const Input& i) { return i.role == Role::Selector; });
    return found == inputs.end() ? nullptr : &*found;
}

const Calculation* findCalculation(std::string_view name) {
    const std::span<const Calculation> all = calculations();
    const auto found =
        std::find_if(all.begin(), all.end(), [&](const Calculation& c) { return c.name == name; });
    return found == all.end() ? nullptr : &*found;
}

Result<Values> readInputs(const Calculation& calculation, const Inputs& inputs) {
    Values values;
    for (const Input& input : calculation.inputs) {
        const std::optional<std::string_view> given = inputs.get(input.id);
        if (!given && input.fallback.empty()) {
            if (input.isOperand()) {
                return Result<Values>::failure(Refusal{
                    std::string(input.id), named(input.id) + " must be " + limitsText(input)});
            }
            continue;
        }
        Result<Values::Value> value = readInput(input, given.value_or(input.fallback));
        if (!value.ok()) {
            return Result<Values>::failure(value.refusal());
        }
        value.value().given = given.has_value();
        values.put(input.id, std::move(value).value());
    }
    return Result<Values>::success(std::move(values));
}

std::optional<Refusal> outputRefusal(const Calculation& calculation, const Inputs& inputs) {
    const Input* wanted = nullptr;
    for (const Input& input : calculation.inputs) {
        if ((input.role == Role::Csv || input.role == Role::Gcode) && inputs.has(input.id)) {
            if (wanted != nullptr) {
                return Refusal{std::string(input.id), "give either " + named(wanted->id) +
                                                          " or " + named(input.id) + ", not both"};
            }
            wanted = &input;
        }
    }
    // Every input given for an output that was not asked for, named in one refusal.
    std::vector<const Input*> stray;
    for (const Input& input : calculation.inputs) {
        if (!input.only.empty() && inputs.has(input.id) && !inputs.has(input.only)) {
            stray.push_back(&input);
        }
    }
    if (stray.empty()) {
        return std::nullopt;
    }
    std::string names;
    for (std::size_t i = 0; i < stray.size(); ++i) {
        names += (i == 0 ? "" : i + 1 == stray.size() ? " and " : ", ");
        names += named(stray[i]->id);
    }
    return Refusal{std::string(stray.front()->id),
                   names + (stray.size() == 1 ? " belongs to " : " belong to ") +
                       named(stray.front()->only)};
}

Result<Made> makeRequest(const Calculation& calculation, const Inputs& inputs) {
    const Result<Values> values = readInputs(calculation, inputs);
    if (!values.ok()) {
        return Result<Made>::failure(values.refusal());
    }
    return calculation.make(values.value());
}

Result<Made> makeEveryOutput(const Calculation& calculation, const Inputs& inputs) {
    const Result<Values> values = readInputs(calculation, inputs);
    if (values.ok()) {
        return calculation.make(values.value());
    }
    const Input* faulty = calculation.input(values.about());
    const Input* output = faulty != nullptr ? calculation.input(faulty->only) : nullptr;
    if (output == nullptr) {
        return Result<Made>::failure(values.refusal());
    }
    Inputs without = inputs;
    for (const Input& input : calculation.inputs) {
        if (input.only == faulty->only) {
            without.erase(input.id);
        }
    }
    Result<Made> made = makeRequest(calculation, without);
    if (made.ok()) {
        std::optional<morvanta::Output>& refused =
            output->role == Role::Csv ? made.value().csv : made.value().gcode;
        refused = morvanta::Output{{}, values.refusal()};
    }
    return made;
}

std::string named(std::string_view id) {
    std::string name(1, '{');
    name.append(id).push_back('}');
    return name;
}

std::string wordRefusal(std::string_view text,
                        const std::function<std::string(std::string_view id)>& name) {
    std::string worded;
    worded.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        const bool doubled = at + 1 < text.size() && text[at + 1] == c;
        if ((c == '{' || c == '}') && doubled) {
            worded += c;
            ++at;
            continue;
        }
        const std::size_t close = c == '{' ? text.find('}', at + 1) : std::string_view::npos;
        if (close == std::string_view::npos) {
            worded += c;
            continue;
        }
        worded += name(text.substr(at + 1, close - at - 1));
        at = close;
    }
    return worded;
}

}  // namespace morvanta
