#include "NumericText.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <system_error>

namespace morvanta {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The number in a text of the core grammar, without the spaces round it; empty when the text does
// not follow the grammar.
std::string_view numberPart(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && text[begin] == ' ') {
        ++begin;
    }
    while (end > begin && text[end - 1] == ' ') {
        --end;
    }
    std::size_t i = begin;
    if (i < end && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    std::size_t digits = 0;
    while (i < end && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < end && text[i] == '.') {
        ++i;
        while (i < end && isDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return {};
    }
    if (i < end && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < end && (text[i] == '+' || text[i] == '-')) {
            ++i;
        }
        const std::size_t exponentStart = i;
        while (i < end && isDigit(text[i])) {
            ++i;
        }
        if (i == exponentStart) {
            return {};
        }
    }
    if (i != end) {
        return {};
    }
    return text.substr(begin, end - begin);
}

// Whether an unsigned number that from_chars found out of range was too large rather than too
// small: the place of its first nonzero digit plus its exponent says which side of 1 it is on.
// The exponent is summed with saturation, as a text may carry any number of exponent digits.
bool isBeyondOne(std::string_view number) {
    long long place = 0;
    bool seenNonzero = false;
    bool afterPoint = false;
    std::size_t i = 0;
    for (; i < number.size() && number[i] != 'e' && number[i] != 'E'; ++i) {
        const char c = number[i];
        if (c == '.') {
            afterPoint = true;
        } else if (!seenNonzero) {
            if (c != '0') {
                seenNonzero = true;
                place = afterPoint ? place - 1 : 1;
            } else if (afterPoint) {
                --place;
            }
        } else if (!afterPoint) {
            place = std::min(place + 1, 1LL << 40);
        }
    }
    long long exponent = 0;
    bool negativeExponent = false;
    if (i < number.size()) {
        ++i;
        if (i < number.size() && (number[i] == '+' || number[i] == '-')) {
            negativeExponent = number[i] == '-';
            ++i;
        }
        for (; i < number.size(); ++i) {
            exponent = std::min(exponent * 10 + (number[i] - '0'), 1LL << 40);
        }
    }
    return place + (negativeExponent ? -exponent : exponent) > 0;
}

struct Reading {
    double value = 0;
    bool overflow = false;
};

// Converts a well-formed number (sign, digits, point, exponent), correctly rounded. from_chars
// takes no '+' and reports both overflow and underflow as out of range: underflow reads as a signed
// zero, overflow as a signed infinity.
Reading convert(std::string_view number) {
    bool negative = false;
    if (!number.empty() && (number.front() == '+' || number.front() == '-')) {
        negative = number.front() == '-';
        number.remove_prefix(1);
    }
    Reading reading;
    if (number.empty()) {
        return reading;
    }
    const char* last = number.data() + number.size();
    const auto [ptr, ec] = std::from_chars(number.data(), last, reading.value);
    if (ec == std::errc::result_out_of_range) {
        reading.overflow = isBeyondOne(number);
        reading.value = reading.overflow ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (ec != std::errc() || ptr != last) {
        reading.value = 0;
    }
    if (negative) {
        reading.value = -reading.value;
    }
    return reading;
}

// x rounded to 15 significant digits: x is about digits * 10^(exponent - 14) with digits in
// [1e14, 1e15), or digits == 0 for zero.
struct Decimal15 {
    std::uint64_t digits = 0;
    int exponent = 0;
    bool negative = false;
};

constexpr std::uint64_t kTen14 = 100'000'000'000'000ULL;
constexpr std::uint64_t kTen15 = 1'000'000'000'000'000ULL;

// GCC and Clang both have it; -Wpedantic is only told that it is on purpose.
__extension__ using U128 = unsigned __int128;

constexpr U128 pow10u128(int p) {
    U128 r = 1;
    for (int i = 0; i < p; ++i) {
        r *= 10;
    }
    return r;
}

constexpr int kMaxFastPower = 22;  // 2^53 * 10^22 < 2^127

constexpr auto kPow10 = [] {
    std::array<U128, kMaxFastPower + 1> table{};
    for (int p = 0; p <= kMaxFastPower; ++p) {
        table[static_cast<std::size_t>(p)] = pow10u128(p);
    }
    return table;
}();

// The exact but slower route, for values outside the fast window: glibc's printf rounds the exact
// binary value, ties to even.
Decimal15 round15ByPrintf(double magnitude) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", magnitude);
    Decimal15 d;
    const char* p = buf;
    for (; *p != 'e'; ++p) {
        if (isDigit(*p)) {
            d.digits = d.digits * 10 + static_cast<std::uint64_t>(*p - '0');
        }
    }
    d.exponent = std::atoi(p + 1);
    return d;
}

Decimal15 round15(double x) noexcept {
    Decimal15 d;
    d.negative = std::signbit(x);
    const double magnitude = std::fabs(x);
    if (magnitude == 0) {
        return d;
    }
    const auto bits = std::bit_cast<std::uint64_t>(magnitude);
    const int biased = static_cast<int>(bits >> 52);
    const std::uint64_t fraction = bits & ((1ULL << 52) - 1);
    // magnitude = mantissa * 2^-shift exactly; the fast window is normal values below 2^53 whose
    // scaled mantissa fits in 128 bits, which holds every angle a table writes.
    const std::uint64_t mantissa = fraction | (1ULL << 52);
    const int shift = 1075 - biased;
    if (biased == 0 || shift < 0 || shift > 120) {
        Decimal15 slow = round15ByPrintf(magnitude);
        slow.negative = d.negative;
        return slow;
    }
    // floor(log10(2^(52 - shift))) is the decimal exponent or one below it.
    int exponent = ((52 - shift) * 78913) >> 18;
    int power = 14 - exponent;
    if (power < 0 || power > kMaxFastPower) {
        Decimal15 slow = round15ByPrintf(magnitude);
        slow.negative = d.negative;
        return slow;
    }
    U128 scaled = static_cast<U128>(mantissa) * kPow10[static_cast<std::size_t>(power)];
    std::uint64_t quotient = static_cast<std::uint64_t>(scaled >> shift);
    if (quotient >= kTen15) {
        ++exponent;
        if (--power < 0) {
            Decimal15 slow = round15ByPrintf(magnitude);
            slow.negative = d.negative;
            return slow;
        }
        scaled = static_cast<U128>(mantissa) * kPow10[static_cast<std::size_t>(power)];
        quotient = static_cast<std::uint64_t>(scaled >> shift);
    }
    if (shift > 0) {
        const U128 remainder = scaled & ((static_cast<U128>(1) << shift) - 1);
        const U128 half = static_cast<U128>(1) << (shift - 1);
        if (remainder > half || (remainder == half && (quotient & 1) != 0)) {
            ++quotient;
            if (quotient == kTen15) {
                quotient = kTen14;
                ++exponent;
            }
        }
    }
    d.digits = quotient;
    d.exponent = exponent;
    return d;
}

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

void writePair(char* out, unsigned pair) {
    std::memcpy(out, kDigitPairs + 2 * pair, 2);
}

// Writes value < 10^8 as exactly eight digits.
void writeEight(char* out, std::uint32_t value) {
    const std::uint32_t high = value / 10000;
    const std::uint32_t low = value % 10000;
    writePair(out, high / 100);
    writePair(out + 2, high % 100);
    writePair(out + 4, low / 100);
    writePair(out + 6, low % 100);
}

// The 15 digits of d into out; returns how many remain once trailing zeros are dropped (at least
// 1).
int writeDigits(std::uint64_t digits, char* out) {
    char eight[8];
    writeEight(eight, static_cast<std::uint32_t>(digits / 100'000'000));
    std::memcpy(out, eight + 1, 7);
    writeEight(out + 7, static_cast<std::uint32_t>(digits % 100'000'000));
    int significant = 15;
    while (significant > 1 && out[significant - 1] == '0') {
        --significant;
    }
    return significant;
}

// Writes d in plain decimal; the caller has checked that its exponent is below 15.
std::size_t writePlain(const Decimal15& d, char* out, std::size_t maxLength) {
    char digits[15];
    const int significant = writeDigits(d.digits, digits);
    char buf[24];
    std::size_t n = 0;
    if (d.negative) {
        buf[n++] = '-';
    }
    if (d.exponent >= 0) {
        const int whole = d.exponent + 1;
        std::memcpy(buf + n, digits, static_cast<std::size_t>(whole));
        n += static_cast<std::size_t>(whole);
        if (significant > whole) {
            buf[n++] = '.';
            std::memcpy(buf + n, digits + whole, static_cast<std::size_t>(significant - whole));
            n += static_cast<std::size_t>(significant - whole);
        }
        const std::size_t length = std::min(n, maxLength);
        std::memcpy(out, buf, length);
        return length;
    }
    // Below 1: "0." then the leading zeros, which may be many, then the digits.
    std::size_t length = 0;
    auto put = [&](char c) {
        if (length < maxLength) {
            out[length++] = c;
        }
    };
    for (std::size_t i = 0; i < n; ++i) {
        put(buf[i]);
    }
    put('0');
    put('.');
    for (int i = 1; i < -d.exponent && length < maxLength; ++i) {
        put('0');
    }
    for (int i = 0; i < significant && length < maxLength; ++i) {
        put(digits[i]);
    }
    return length;
}

std::size_t writeExponentForm(const Decimal15& d, char* out) {
    char digits[15];
    const int significant = writeDigits(d.digits, digits);
    std::size_t n = 0;
    if (d.negative) {
        out[n++] = '-';
    }
    out[n++] = digits[0];
    if (significant > 1) {
        out[n++] = '.';
        std::memcpy(out + n, digits + 1, static_cast<std::size_t>(significant - 1));
        n += static_cast<std::size_t>(significant - 1);
    }
    out[n++] = 'E';
    out[n++] = d.exponent < 0 ? '-' : '+';
    const unsigned e = static_cast<unsigned>(d.exponent < 0 ? -d.exponent : d.exponent);
    if (e >= 100) {
        out[n++] = static_cast<char>('0' + e / 100);
    }
    writePair(out + n, e % 100);
    return n + 2;
}

std::size_t writeNonFinite(double x, char* out) {
    const char* text = std::isnan(x) ? "nan" : (x < 0 ? "-inf" : "inf");
    const std::size_t n = std::strlen(text);
    std::memcpy(out, text, n);
    return n;
}

}  // namespace

bool isNumericText(std::string_view text) noexcept {
    const std::string_view number = numberPart(text);
    return !number.empty() && !convert(number).overflow;
}

double numericValue(std::string_view text) noexcept {
    const std::string_view number = numberPart(text);
    return number.empty() ? 0.0 : convert(number).value;
}

double leadingValue(std::string_view text) noexcept {
    // Gathers the characters of the leading number without the blanks inside it, then converts
    // them as a whole so the result is correctly rounded however long the text.
    std::string number;
    auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\n'; };
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && isBlank(text[i])) {
            ++i;
        }
    };
    try {
        skipBlanks();
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            number += text[i++];
        }
        bool seenPoint = false;
        bool seenDigit = false;
        for (skipBlanks(); i < text.size(); ++i, skipBlanks()) {
            if (isDigit(text[i])) {
                seenDigit = true;
            } else if (text[i] == '.' && !seenPoint) {
                seenPoint = true;
            } else {
                break;
            }
            number += text[i];
        }
        if (!seenDigit) {
            return 0.0;
        }
        if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
            std::string exponent = "e";
            ++i;
            skipBlanks();
            if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
                exponent += text[i++];
            }
            bool exponentDigit = false;
            for (skipBlanks(); i < text.size() && isDigit(text[i]); ++i, skipBlanks()) {
                exponent += text[i];
                exponentDigit = true;
            }
            if (exponentDigit) {
                number += exponent;
            }
        }
        return convert(number).value;
    } catch (...) {
        // Only an allocation can fail here; the promise is never to fail, so read nothing.
        return 0.0;
    }
}

std::size_t writeNumberText(double x, char* out) noexcept {
    if (!std::isfinite(x)) {
        return writeNonFinite(x, out);
    }
    Decimal15 d = round15(x);
    if (d.digits == 0) {
        out[0] = '0';
        return 1;
    }
    if (d.exponent >= -4 && d.exponent < 15) {
        return writePlain(d, out, kMaxNumberTextLength);
    }
    return writeExponentForm(d, out);
}

std::size_t writePlainNumberPrefix(double x, char* out, std::size_t maxLength) noexcept {
    if (!std::isfinite(x)) {
        char buf[kMaxNumberTextLength];
        const std::size_t n = writeNonFinite(x, buf);
        const std::size_t length = std::min(n, maxLength);
        std::memcpy(out, buf, length);
        return length;
    }
    const Decimal15 d = round15(x);
    if (d.digits == 0) {
        if (maxLength == 0) {
            return 0;
        }
        out[0] = '0';
        return 1;
    }
    if (d.exponent < 15) {
        return writePlain(d, out, maxLength);
    }
    char buf[kMaxNumberTextLength];
    const std::size_t n = writeExponentForm(d, buf);
    const std::size_t length = std::min(n, maxLength);
    std::memcpy(out, buf, length);
    return length;
}

std::string numberText(double x) {
    char buf[kMaxNumberTextLength];
    return std::string(buf, writeNumberText(x, buf));
}

}  // namespace morvanta
