// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Result.h"

namespace morvanta {

// A small, strict reader of JSON text (RFC 8259) for files a user may have edited, damaged or been
// handed by someone hostile: it reads the whole grammar, but refuses, with the line and column of
// the fault, what a careless or hostile writer could slip in:
// - text that is not valid UTF-8 (overlong forms, surrogates, code points above U+10FFFF), a
//   control character inside a string, an escape of half a surrogate pair;
// - a key given twice in one object;
// - values nested deeper than kMaxJsonDepth, more than kMaxJsonValues values in all, and anything
//   but white space after the value.
// A byte order mark at the very start is passed over, as some editors write one.
//   readJson("{\"a\": [1, \"x\"]}") -> an object with one member "a", an array of the number "1"
//   and the string "x";
//   readJson("{\"a\": 1, \"a\": 2}") -> "line 1, column 10: \"a\" is given twice".
inline constexpr std::size_t kMaxJsonDepth = 32;
inline constexpr std::size_t kMaxJsonValues = 200'000;

// Where a value starts in the text: line and column from 1, columns counted in characters.
struct JsonPlace {
    int line = 1;
    int column = 1;
};

struct JsonMember;

struct JsonValue {
    enum class Type { Null, Boolean, Number, String, Array, Object };
    Type type = Type::Null;
    bool boolean = false;
    std::string text;  // a string's characters, unescaped; a number as written: "-1.5e3"
    std::vector<JsonValue> items;
    std::vector<JsonMember> members;  // in the order written
    JsonPlace place;

    // The member of an object named `key`, or nullptr.
    const JsonValue* member(std::string_view key) const;
};

// A member of an object: its key, where the key starts, and its value.
struct JsonMember {
    std::string key;
    JsonPlace place;
    JsonValue value;
};

// The text read, or the refusal: its text "line L, column C: what is wrong".
Result<JsonValue> readJson(std::string_view text);

// "line L, column C: " for a refusal's text.
std::string placeText(const JsonPlace& place);

// A JSON string literal of a text that is valid UTF-8: quotes, backslashes and control characters
// escaped ("\n", "\t", else "\u001f"), everything else as it is.
//   jsonString("a\"b\n") == "\"a\\\"b\\n\""
std::string jsonString(std::string_view text);

// Whether the text is valid UTF-8 (no overlong forms, surrogates or code points above U+10FFFF).
bool isUtf8(std::string_view text);

}  // namespace morvanta
