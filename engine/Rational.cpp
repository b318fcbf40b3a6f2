// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Rational.h"

#include "engine/ExactDecimal.h"
#include "engine/Integers.h"

namespace morvanta {

using detail::I128;
using detail::kPow10;

Rational Rational::ratio(Wide numerator, Wide denominator) {
    detail::reduce(numerator, denominator);
    return Rational(static_cast<std::int64_t>(numerator), static_cast<std::int64_t>(denominator));
}

static_assert(Rational::kMaxDecimals == kMaxExactDecimals);

std::optional<Rational> Rational::parseDecimal(std::string_view text) {
    const std::optional<ExactDecimal> number = parseExactDecimal(text);
    if (!number) {
        return std::nullopt;
    }
    return ratio(number->units, kPow10[static_cast<std::size_t>(number->scale)]);
}

Rational Rational::operator+(const Rational& other) const {
    return ratio(static_cast<I128>(numerator_) * other.denominator_ +
                     static_cast<I128>(other.numerator_) * denominator_,
                 static_cast<I128>(denominator_) * other.denominator_);
}

Rational Rational::operator-(const Rational& other) const {
    return *this + -other;
}

Rational Rational::operator*(std::int64_t factor) const {
    return ratio(static_cast<I128>(numerator_) * factor, denominator_);
}

Rational Rational::operator/(std::int64_t divisor) const {
    return ratio(numerator_, static_cast<I128>(denominator_) * divisor);
}

Rational Rational::withinTurn() const {
    const I128 turn = static_cast<I128>(360) * denominator_;
    I128 n = numerator_ % turn;
    if (n < 0) {
        n += turn;
    }
    return ratio(n, denominator_);
}

double Rational::toDouble() const noexcept {
    // One division of two exactly held values: the quotient is the double nearest to the fraction
    // whenever both parts are below 2^53, which covers every angle a command makes.
    return static_cast<double>(numerator_) / static_cast<double>(denominator_);
}

std::strong_ordering Rational::operator<=>(const Rational& other) const {
    return static_cast<I128>(numerator_) * other.denominator_ <=>
           static_cast<I128>(other.numerator_) * denominator_;
}

}  // namespace morvanta
