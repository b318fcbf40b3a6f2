// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/NumericText.h"
#include "engine/Integers.h"

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
#include <utility>

namespace morvanta {

namespace {

using detail::isDigit;

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

// The rounding of a positive finite magnitude; the sign is the caller's.
Decimal15 round15Magnitude(double magnitude) {
    const auto bits = std::bit_cast<std::uint64_t>(magnitude);
    const int biased = static_cast<int>(bits >> 52);
    const std::uint64_t fraction = bits & ((1ULL << 52) - 1);
    // magnitude = mantissa * 2^-shift exactly; the fast window is normal values below 2^53 whose
    // scaled mantissa fits in 128 bits, which holds every angle a table writes.
    const std::uint64_t mantissa = fraction | (1ULL << 52);
    const int shift = 1075 - biased;
    if (biased == 0 || shift < 0 || shift > 120) {
        return round15ByPrintf(magnitude);
    }
    // floor(log10(2^(52 - shift))) is the decimal exponent or one below it.
    int exponent = ((52 - shift) * 78913) >> 18;
    int power = 14 - exponent;
    if (power < 0 || power > kMaxFastPower) {
        return round15ByPrintf(magnitude);
    }
    U128 scaled = static_cast<U128>(mantissa) * kPow10[static_cast<std::size_t>(power)];
    std::uint64_t quotient = static_cast<std::uint64_t>(scaled >> shift);
    if (quotient >= kTen15) {
        ++exponent;
        if (--power < 0) {
            return round15ByPrintf(magnitude);
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
    return {quotient, exponent, false};
}

Decimal15 round15(double x) noexcept {
    const double magnitude = std::fabs(x);
    Decimal15 d = magnitude == 0 ? Decimal15{} : round15Magnitude(magnitude);
    d.negative = std::signbit(x);
    return d;
}

static_assert(std::endian::native == std::endian::little,
              "the digit writer builds texts in registers, first character in the lowest byte");

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

void writePair(char* out, unsigned pair) {
    std::memcpy(out, kDigitPairs + 2 * pair, 2);
}

// The eight ASCII digits of value < 10^8, the first in the lowest byte. Splitting into halves,
// then pairs, then single digits in parallel lanes of one register keeps the digits out of
// memory until the finished text is stored, which is what makes the table builder fast.
std::uint64_t eightDigits(std::uint32_t value) {
    const std::uint64_t fours = (value / 10000) | (std::uint64_t{value % 10000} << 32);
    const std::uint64_t hundreds = ((fours * 10486) >> 20) & 0x0000007F0000007FULL;
    const std::uint64_t pairs = hundreds | ((fours - hundreds * 100) << 16);
    const std::uint64_t tens = ((pairs * 103) >> 10) & 0x000F000F000F000FULL;
    const std::uint64_t singles = tens | ((pairs - tens * 10) << 8);
    return singles + 0x3030303030303030ULL;
}

// The 15 ASCII digits of 10^14 <= n < 10^15 in bytes 0 to 14, byte 15 zero.
U128 fifteenDigits(std::uint64_t n) {
    const std::uint64_t high = eightDigits(static_cast<std::uint32_t>(n / 100'000'000));
    const std::uint64_t low = eightDigits(static_cast<std::uint32_t>(n % 100'000'000));
    return (high >> 8) | (static_cast<U128>(low) << 56);
}

// How many of the 15 digits remain once trailing zeros are dropped.
int significantDigits(U128 digits) {
    constexpr U128 kZeros = (static_cast<U128>(0x30303030303030ULL) << 64) | 0x3030303030303030ULL;
    const U128 values = digits - kZeros;
    const auto high = static_cast<std::uint64_t>(values >> 64);
    const auto low = static_cast<std::uint64_t>(values);
    const int topBit = high != 0 ? 127 - std::countl_zero(high) : 63 - std::countl_zero(low);
    return topBit / 8 + 1;
}

void store16(char* out, U128 bytes) {
    std::memcpy(out, &bytes, 16);
}

// Digits (first in the lowest byte, at most 15) with a point after the first `whole` of them.
U128 withPoint(U128 digits, int whole) {
    const U128 wholeMask = (static_cast<U128>(1) << (8 * whole)) - 1;
    return (digits & wholeMask) | (static_cast<U128>('.') << (8 * whole)) |
           ((digits & ~wholeMask) << 8);
}

// The first K digits of the 15 (K from 1 to 8) in bytes 0 to K-1, and whether any digit after them
// is nonzero. Each K has its own constant divisor, which the compiler turns into a multiplication.
template <int K>
std::pair<std::uint64_t, bool> leadingDigits(std::uint64_t n) {
    constexpr std::uint64_t kDivisor = [] {
        std::uint64_t p = 1;
        for (int i = 0; i < 15 - K; ++i) {
            p *= 10;
        }
        return p;
    }();
    const auto top = static_cast<std::uint32_t>(n / kDivisor);
    return {eightDigits(top) >> (8 * (8 - K)), n % kDivisor != 0};
}

std::pair<std::uint64_t, bool> leadingDigits(std::uint64_t n, int count) {
    switch (count) {
        case 1:
            return leadingDigits<1>(n);
        case 2:
            return leadingDigits<2>(n);
        case 3:
            return leadingDigits<3>(n);
        case 4:
            return leadingDigits<4>(n);
        case 5:
            return leadingDigits<5>(n);
        case 6:
            return leadingDigits<6>(n);
        case 7:
            return leadingDigits<7>(n);
        default:
            return leadingDigits<8>(n);
    }
}

// writePlain for a cut that leaves at most eight digits of a value of at least 1, such as an angle
// field: only the digits that can show are made.
std::size_t writePlainShort(const Decimal15& d, char* out, std::size_t maxLength) {
    const int sign = d.negative ? 1 : 0;
    const int whole = d.exponent + 1;
    const int shown = static_cast<int>(maxLength) - sign - 1;
    const auto [digits, more] = leadingDigits(d.digits, shown);
    int significant = shown;
    if (!more) {
        const std::uint64_t values = digits - (0x3030303030303030ULL >> (8 * (8 - shown)));
        significant = (63 - std::countl_zero(values)) / 8 + 1;
    }
    out[0] = '-';
    char* p = out + sign;
    if (significant <= whole) {
        std::memcpy(p, &digits, 8);
        return static_cast<std::size_t>(sign + whole);
    }
    store16(p, withPoint(digits, whole));
    return static_cast<std::size_t>(sign + significant + 1);
}

// Writes d (exponent below 15) in plain decimal into out, which has kNumberTextBufferSize bytes;
// returns the length of the text, cut to maxLength. Bytes past that length are scratch.
std::size_t writePlain(const Decimal15& d, char* out, std::size_t maxLength) {
    const auto signLength = static_cast<std::size_t>(d.negative);
    const auto wholeLength = static_cast<std::size_t>(d.exponent + 1);
    if (d.exponent >= 0 && maxLength >= signLength + wholeLength + 2 &&
        maxLength <= signLength + 9) {
        return writePlainShort(d, out, maxLength);
    }
    const U128 digits = fifteenDigits(d.digits);
    const int significant = significantDigits(digits);
    char* p = out;
    if (d.negative) {
        *p++ = '-';
    }
    std::size_t length;
    if (d.exponent >= 0) {
        const int whole = d.exponent + 1;
        if (significant <= whole) {
            store16(p, digits);
            length = static_cast<std::size_t>(whole);
        } else {
            store16(p, withPoint(digits, whole));
            length = static_cast<std::size_t>(significant + 1);
        }
    } else {
        // "0." and the zeros after the point, which for a tiny value run past the buffer; what
        // fits is written, and any cut is at most the buffer's size.
        const auto zeros = static_cast<std::size_t>(-d.exponent - 1);
        const std::size_t room = kNumberTextBufferSize - static_cast<std::size_t>(p - out) - 2;
        const std::size_t zerosWritten = std::min(zeros, room);
        p[0] = '0';
        p[1] = '.';
        std::memset(p + 2, '0', zerosWritten);
        if (room - zerosWritten >= 16) {
            store16(p + 2 + zerosWritten, digits);
        } else {
            std::memcpy(p + 2 + zerosWritten, &digits, room - zerosWritten);
        }
        length = 2 + zeros + static_cast<std::size_t>(significant);
    }
    return std::min(static_cast<std::size_t>(p - out) + length, maxLength);
}

std::size_t writeExponentForm(const Decimal15& d, char* out) {
    const U128 packed = fifteenDigits(d.digits);
    const int significant = significantDigits(packed);
    char digits[16];
    store16(digits, packed);
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
    const Decimal15 d = round15(x);
    if (d.digits == 0) {
        out[0] = '0';
        return 1;
    }
    if (d.exponent >= -4 && d.exponent < 15) {
        return writePlain(d, out, kNumberTextBufferSize);
    }
    return writeExponentForm(d, out);
}

std::size_t writePlainNumberPrefix(double x, char* out, std::size_t maxLength) noexcept {
    const Decimal15 d = std::isfinite(x) ? round15(x) : Decimal15{};
    if (std::isfinite(x) && d.digits != 0 && d.exponent < 15) {
        return writePlain(d, out, maxLength);
    }
    return std::min(writeNumberText(x, out), maxLength);
}

std::string numberText(double x) {
    char buf[kNumberTextBufferSize];
    return std::string(buf, writeNumberText(x, buf));
}

}  // namespace morvanta
