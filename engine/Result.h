// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace morvanta {

// Why a request was refused: the input at fault by its id ("span"; "" where no one input is), the
// reason, in which other inputs are named as {id} for each front to word in its own terms, and the
// figures: the limit broken and the value or digit that broke it, as the user would write them.
//   {"span", "{span} must be at most 360; 400 is above 360", "360", "400"}
struct Refusal {
    std::string input;
    std::string text;
    std::string limit = {};
    std::string value = {};
};

// What every builder of the engine returns: either its value (a table text, a checked plan) or
// exactly one refusal for the user, never both. A build abandoned through its progress callback
// returns neither and is cancelled.
//
//   Result<int> r = Result<int>::failure("COUNT must be a whole number");
//   r.isMessage() == true, r.message() == "COUNT must be a whole number"
//   Result<int>::success(7).value() == 7
//
// value() may only be read when ok(); message() is "" unless isMessage(). A failure may name the
// input it is about (a builder's own name for it: "count", "ratio"), so that a window can show
// the message beside that field; about() is "" where no one input is at fault.
template <typename T>
class Result {
public:
    enum class Kind { Value, Message, Cancelled };

    static Result success(T value) { return Result(Kind::Value, std::move(value), {}); }
    static Result failure(Refusal refusal) {
        return Result(Kind::Message, std::nullopt, std::move(refusal));
    }
    static Result failure(std::string message, std::string_view about = {}) {
        return failure(Refusal{std::string(about), std::move(message)});
    }
    static Result failure(std::string_view message, std::string_view about = {}) {
        return failure(std::string(message), about);
    }
    static Result failure(const char* message, std::string_view about = {}) {
        return failure(std::string(message), about);
    }
    static Result cancelled() { return Result(Kind::Cancelled, std::nullopt, {}); }

    Kind kind() const noexcept { return kind_; }
    bool ok() const noexcept { return kind_ == Kind::Value; }
    bool isMessage() const noexcept { return kind_ == Kind::Message; }
    bool isCancelled() const noexcept { return kind_ == Kind::Cancelled; }

    const T& value() const& { return *value_; }
    T& value() & { return *value_; }
    T&& value() && { return std::move(*value_); }

    const std::string& message() const noexcept { return refusal_.text; }
    std::string_view about() const noexcept { return refusal_.input; }
    const Refusal& refusal() const noexcept { return refusal_; }

private:
    Result(Kind kind, std::optional<T> value, Refusal refusal)
        : kind_(kind), value_(std::move(value)), refusal_(std::move(refusal)) {}

    Kind kind_;
    std::optional<T> value_;
    Refusal refusal_;
};

}  // namespace morvanta
