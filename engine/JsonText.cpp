// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/JsonText.h"
#include "engine/Integers.h"

#include <optional>
#include <unordered_set>

namespace morvanta {

namespace {

using detail::isDigit;

using Type = JsonValue::Type;

// The offset of the first byte that does not belong to a valid UTF-8 sequence, or npos.
std::size_t firstInvalidUtf8(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size()) {
        const auto lead = static_cast<unsigned char>(text[at]);
        std::size_t length = 1;
        std::uint32_t least = 0;
        std::uint32_t code = lead;
        if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, least = 0x10000, code = lead & 0x07u;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, least = 0x800, code = lead & 0x0Fu;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, least = 0x80, code = lead & 0x1Fu;
        } else if (lead >= 0x80) {
            return at;
        }
        if (text.size() - at < length) {
            return at;
        }
        for (std::size_t i = 1; i < length; ++i) {
            const auto next = static_cast<unsigned char>(text[at + i]);
            if ((next & 0xC0) != 0x80) {
                return at;
            }
            code = (code << 6) | (next & 0x3Fu);
        }
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return at;
        }
        at += length;
    }
    return std::string_view::npos;
}

void appendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Reads one document. Each step returns false at the first fault, which `fault_` then holds with
// its place; the text is known to be valid UTF-8 before the first step.
class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    Result<JsonValue> document() {
        if (text_.starts_with("\xEF\xBB\xBF")) {
            at_ = 3;
        }
        JsonValue value;
        if (readValue(value, 1)) {
            skipSpace();
            if (at_ < text_.size()) {
                fail("there is more text after the end of the value");
            }
        }
        if (fault_) {
            return Result<JsonValue>::failure(*fault_);
        }
        return Result<JsonValue>::success(std::move(value));
    }

    // The place of an offset, for a fault found before reading.
    JsonPlace placeOf(std::size_t offset) {
        while (at_ < offset) {
            step();
        }
        return place_;
    }

private:
    bool fail(std::string what) { return failAt(place_, std::move(what)); }
    bool failAt(const JsonPlace& where, std::string what) {
        if (!fault_) {
            fault_ = Refusal{{}, placeText(where) + what};
        }
        return false;
    }

    bool atEnd() const { return at_ >= text_.size(); }
    char peek() const { return text_[at_]; }

    void step() {
        const char c = text_[at_++];
        if (c == '\n') {
            ++place_.line;
            place_.column = 1;
        } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++place_.column;
        }
    }

    void skipSpace() {
        while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r')) {
            step();
        }
    }

    // What stands at the reader's place, for a fault: 'x', or U+0001 for what cannot be shown.
    std::string here() const {
        const auto c = static_cast<unsigned char>(peek());
        if (c >= 0x21 && c < 0x7F) {
            return std::string("'") + static_cast<char>(c) + "'";
        }
        static const char digits[] = "0123456789ABCDEF";
        if (c < 0x80) {
            return std::string("U+00") + digits[c >> 4] + digits[c & 15];
        }
        return "a character that has no place here";
    }

    bool readValue(JsonValue& value, std::size_t depth) {
        skipSpace();
        if (atEnd()) {
            return fail("the text ends where a value was expected");
        }
        if (++values_ > kMaxJsonValues) {
            return fail("more than " + std::to_string(kMaxJsonValues) + " values");
        }
        value.place = place_;
        const char c = peek();
        if (c == '{' || c == '[') {
            if (depth > kMaxJsonDepth) {
                return fail("values are nested more than " + std::to_string(kMaxJsonDepth) +
                            " deep");
            }
            return c == '{' ? readObject(value, depth) : readArray(value, depth);
        }
        if (c == '"') {
            value.type = Type::String;
            return readString(value.text);
        }
        if (c == '-' || isDigit(c)) {
            value.type = Type::Number;
            return readNumber(value.text);
        }
        for (const auto& [word, type, truth] :
             {std::tuple{"true", Type::Boolean, true}, std::tuple{"false", Type::Boolean, false},
              std::tuple{"null", Type::Null, false}}) {
            if (text_.substr(at_).starts_with(word)) {
                value.type = type;
                value.boolean = truth;
                for (std::size_t i = 0; word[i] != '\0'; ++i) {
                    step();
                }
                return true;
            }
        }
        return fail(here() + " where a value was expected");
    }

    bool readObject(JsonValue& value, std::size_t depth) {
        value.type = Type::Object;
        step();
        skipSpace();
        if (!atEnd() && peek() == '}') {
            step();
            return true;
        }
        std::unordered_set<std::string> keys;
        while (true) {
            skipSpace();
            if (atEnd() || peek() != '"') {
                return atEnd() ? fail("the text ends inside an object")
                               : fail(here() + " where a key in quotes was expected");
            }
            const JsonPlace keyPlace = place_;
            std::string key;
            if (!readString(key)) {
                return false;
            }
            if (!keys.insert(key).second) {
                return failAt(keyPlace, jsonString(key) + " is given twice");
            }
            skipSpace();
            if (atEnd() || peek() != ':') {
                return atEnd() ? fail("the text ends inside an object")
                               : fail(here() + " where ':' was expected after the key");
            }
            step();
            JsonValue member;
            if (!readValue(member, depth + 1)) {
                return false;
            }
            value.members.push_back(JsonMember{std::move(key), keyPlace, std::move(member)});
            if (!endOfItem('}', "object")) {
                return false;
            }
            if (text_[at_ - 1] == '}') {
                return true;
            }
        }
    }

    bool readArray(JsonValue& value, std::size_t depth) {
        value.type = Type::Array;
        step();
        skipSpace();
        if (!atEnd() && peek() == ']') {
            step();
            return true;
        }
        while (true) {
            JsonValue item;
            if (!readValue(item, depth + 1)) {
                return false;
            }
            value.items.push_back(std::move(item));
            if (!endOfItem(']', "array")) {
                return false;
            }
            if (text_[at_ - 1] == ']') {
                return true;
            }
        }
    }

    // After a member or an item: a comma, or the closing bracket, which is then the last
    // character read.
    bool endOfItem(char close, const char* what) {
        skipSpace();
        if (atEnd()) {
            return fail(std::string("the text ends inside an ") + what);
        }
        if (peek() == ',' || peek() == close) {
            step();
            return true;
        }
        return fail(here() + " where ',' or '" + close + "' was expected");
    }

    std::optional<std::uint32_t> hexQuad() {
        if (text_.size() - at_ < 4) {
            return std::nullopt;
        }
        std::uint32_t code = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = text_[at_ + static_cast<std::size_t>(i)];
            const int digit = isDigit(c)               ? c - '0'
                              : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                              : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                                       : -1;
            if (digit < 0) {
                return std::nullopt;
            }
            code = code * 16 + static_cast<std::uint32_t>(digit);
        }
        for (int i = 0; i < 4; ++i) {
            step();
        }
        return code;
    }

    // After the backslash of a \u escape: one code point, a surrogate pair taken whole.
    bool readCodePoint(std::string& out, const JsonPlace& escape) {
        std::optional<std::uint32_t> code = hexQuad();
        if (!code) {
            return failAt(escape, "\\u must be followed by four hexadecimal digits");
        }
        if (*code >= 0xDC00 && *code <= 0xDFFF) {
            return failAt(escape, "\\u escapes the second half of a surrogate pair alone");
        }
        if (*code >= 0xD800 && *code <= 0xDBFF) {
            std::optional<std::uint32_t> low;
            if (text_.substr(at_).starts_with("\\u")) {
                step();
                step();
                low = hexQuad();
            }
            if (!low || *low < 0xDC00 || *low > 0xDFFF) {
                return failAt(escape, "\\u escapes the first half of a surrogate pair alone");
            }
            *code = 0x10000 + ((*code - 0xD800) << 10) + (*low - 0xDC00);
        }
        appendUtf8(out, *code);
        return true;
    }

    bool readString(std::string& out) {
        step();
        while (true) {
            if (atEnd()) {
                return fail("the text ends inside a string");
            }
            const char c = peek();
            if (c == '"') {
                step();
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                return fail("a string holds the control character " + here() +
                            ", which must be written as an escape");
            }
            if (c != '\\') {
                out += c;
                step();
                continue;
            }
            const JsonPlace escape = place_;
            step();
            if (atEnd()) {
                return fail("the text ends inside a string");
            }
            const char kind = peek();
            static constexpr std::string_view kEscapes = "\"\\/bfnrt";
            static constexpr std::string_view kMeant = "\"\\/\b\f\n\r\t";
            if (const std::size_t which = kEscapes.find(kind); which != std::string_view::npos) {
                out += kMeant[which];
                step();
            } else if (kind == 'u') {
                step();
                if (!readCodePoint(out, escape)) {
                    return false;
                }
            } else {
                return failAt(escape, "\\ followed by " + here() + " is not an escape of JSON");
            }
        }
    }

    bool readNumber(std::string& out) {
        const std::size_t start = at_;
        const JsonPlace begin = place_;
        const auto digits = [this] {
            std::size_t count = 0;
            while (!atEnd() && isDigit(peek())) {
                step();
                ++count;
            }
            return count;
        };
        if (peek() == '-') {
            step();
        }
        const std::size_t whole = at_;
        if (digits() == 0 || (text_[whole] == '0' && at_ - whole > 1)) {
            return failAt(begin, "a malformed number");
        }
        if (!atEnd() && peek() == '.') {
            step();
            if (digits() == 0) {
                return failAt(begin, "a malformed number");
            }
        }
        if (!atEnd() && (peek() == 'e' || peek() == 'E')) {
            step();
            if (!atEnd() && (peek() == '+' || peek() == '-')) {
                step();
            }
            if (digits() == 0) {
                return failAt(begin, "a malformed number");
            }
        }
        out.assign(text_.substr(start, at_ - start));
        return true;
    }

    std::string_view text_;
    std::size_t at_ = 0;
    JsonPlace place_;
    std::size_t values_ = 0;
    std::optional<Refusal> fault_;
};

}  // namespace

const JsonValue* JsonValue::member(std::string_view key) const {
    for (const JsonMember& found : members) {
        if (found.key == key) {
            return &found.value;
        }
    }
    return nullptr;
}

std::string placeText(const JsonPlace& place) {
    return "line " + std::to_string(place.line) + ", column " + std::to_string(place.column) + ": ";
}

bool isUtf8(std::string_view text) {
    return firstInvalidUtf8(text) == std::string_view::npos;
}

Result<JsonValue> readJson(std::string_view text) {
    if (const std::size_t bad = firstInvalidUtf8(text); bad != std::string_view::npos) {
        Reader counter(text);
        return Result<JsonValue>::failure(
            Refusal{{}, placeText(counter.placeOf(bad)) + "the text is not valid UTF-8"});
    }
    return Reader(text).document();
}

std::string jsonString(std::string_view text) {
    std::string out = "\"";
    out.reserve(text.size() + 2);
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    static const char digits[] = "0123456789abcdef";
                    out += "\\u00";
                    out += digits[(c >> 4) & 15];
                    out += digits[c & 15];
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

}  // namespace morvanta
