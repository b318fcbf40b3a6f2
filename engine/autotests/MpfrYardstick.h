// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <cstdint>
// After <cstdint>, so that MPFR declares its intmax_t functions.
#include <mpfr.h>
#include <string>
#include <vector>

#include "engine/autotests/EngineTestSupport.h"

// The yardstick of the dividing-head tests: MPFR at 320 bits, worked from the texts as typed, so
// that nothing of the engine's fixed point, long double bounds or rationals decides what it
// should print.
namespace morvanta::yardstick {

class Real {
public:
    Real() { mpfr_init2(v_, 320); }
    explicit Real(const std::string& decimal) : Real() {
        mpfr_set_str(v_, decimal.c_str(), 10, MPFR_RNDN);
    }
    explicit Real(long n) : Real() { mpfr_set_si(v_, n, MPFR_RNDN); }
    Real(const Real& other) : Real() { mpfr_set(v_, other.v_, MPFR_RNDN); }
    Real& operator=(const Real& other) {
        mpfr_set(v_, other.v_, MPFR_RNDN);
        return *this;
    }
    ~Real() { mpfr_clear(v_); }
    mpfr_ptr get() { return v_; }
    mpfr_srcptr get() const { return v_; }

    friend Real operator+(const Real& a, const Real& b) { return apply(mpfr_add, a, b); }
    friend Real operator-(const Real& a, const Real& b) { return apply(mpfr_sub, a, b); }
    friend Real operator*(const Real& a, const Real& b) { return apply(mpfr_mul, a, b); }
    friend Real operator/(const Real& a, const Real& b) { return apply(mpfr_div, a, b); }
    friend bool operator<(const Real& a, const Real& b) { return mpfr_less_p(a.v_, b.v_) != 0; }
    double toDouble() const { return mpfr_get_d(v_, MPFR_RNDN); }

private:
    template <typename F>
    static Real apply(F f, const Real& a, const Real& b) {
        Real r;
        f(r.v_, a.v_, b.v_, MPFR_RNDN);
        return r;
    }
    mpfr_t v_;
};

inline Real pi() {
    Real r;
    mpfr_const_pi(r.get(), MPFR_RNDN);
    return r;
}

// The function of an angle in degrees given as a decimal text or a fraction.
inline Real ofDegrees(int (*f)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t), const Real& degrees) {
    Real r = degrees * pi() / Real(180);
    f(r.get(), r.get(), MPFR_RNDN);
    return r;
}
inline Real cosDeg(const Real& degrees) {
    return ofDegrees(mpfr_cos, degrees);
}
inline Real sinDeg(const Real& degrees) {
    return ofDegrees(mpfr_sin, degrees);
}
inline Real tanDeg(const Real& degrees) {
    return ofDegrees(mpfr_tan, degrees);
}
// atan in degrees.
inline Real atanDeg(const Real& x) {
    Real r;
    mpfr_atan(r.get(), x.get(), MPFR_RNDN);
    return r * Real(180) / pi();
}
inline Real sqrt(const Real& x) {
    Real r;
    mpfr_sqrt(r.get(), x.get(), MPFR_RNDN);
    return r;
}

// The value rounded to `decimals`, halves away from zero, as a count of 10^-decimals. A value
// within 2^-200 of a half counts as on it: only exact values come that close.
inline std::int64_t rounded(const Real& value, int decimals) {
    Real scale;
    mpfr_ui_pow_ui(scale.get(), 10, static_cast<unsigned long>(decimals), MPFR_RNDN);
    const Real scaled = value * scale;
    Real down;
    mpfr_floor(down.get(), scaled.get());
    const double distance = (scaled - down - Real("0.5")).toDouble();
    const bool up = std::fabs(distance) < 0x1p-200 ? mpfr_sgn(scaled.get()) > 0 : distance > 0;
    return static_cast<std::int64_t>(mpfr_get_sj(down.get(), MPFR_RNDN)) + (up ? 1 : 0);
}

// A 128-bit whole number as MPFR holds it: its high 64 bits times 2^64 plus its low 64.
inline Real wideReal(Wide value) {
    Real r;
    mpfr_set_sj_2exp(r.get(), static_cast<std::intmax_t>(value >> 64), 64, MPFR_RNDN);
    mpfr_add_ui(r.get(), r.get(), static_cast<unsigned long>(value), MPFR_RNDN);
    return r;
}

struct Convergent {
    Wide p;
    Wide q;
};

// The continued-fraction convergents p/q of x with q up to 10^30, worked in MPFR: each lies on the
// other side of x from the last, within 1/q^2 of it.
inline std::vector<Convergent> convergents(Real x) {
    std::vector<Convergent> all;
    Wide p0 = 1, q0 = 0, p1 = 0, q1 = 1;
    for (int i = 0; i < 80; ++i) {
        Real whole;
        mpfr_floor(whole.get(), x.get());
        const Wide a = mpfr_get_sj(whole.get(), MPFR_RNDN);
        const Wide p = a * p0 + p1;
        const Wide q = a * q0 + q1;
        if (q > static_cast<Wide>(1'000'000'000'000'000) * 1'000'000'000'000) {
            break;
        }
        all.push_back({p, q});
        p1 = p0, q1 = q0, p0 = p, q0 = q;
        x = Real(1) / (x - whole);
    }
    return all;
}

}  // namespace morvanta::yardstick
