// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Gear.h"

#include <cmath>

#include "engine/DividingWork.h"
#include "engine/Integers.h"
#include "engine/ProvenSign.h"

namespace morvanta {

namespace {

using detail::formatted;
using detail::kPow10;

// The fewest teeth each cutter of the set is made for, No. 1 first.
constexpr std::int64_t kCutterStarts[] = {135, 55, 35, 26, 21, 17, 14, 12};

long double cosine(const Angle& b) {
    return std::cos(static_cast<long double>(b.numerator()) /
                    static_cast<long double>(b.denominator()) * kPi / 180);
}

// x / cos b - n / den, times den x the denominator of x x cos b.
ProvenValue overCos(const Ratio& x, const Angle& b) {
    return {approximately(x) / cosine(b), [=](WideInt n, WideInt den) {
                return std::vector<TrigTerm>{{x.numerator * den, false, {}},
                                             {-n * x.denominator, false, {{b, Trig::Cos}}}};
            }};
}

// N a / cos b + 2 a - n / den, times den x the denominator of a x cos b.
ProvenValue outsideOf(std::int64_t teeth, const Ratio& a, const Angle& b) {
    return {approximately(a) * (static_cast<long double>(teeth) / cosine(b) + 2),
            [=](WideInt n, WideInt den) {
                return std::vector<TrigTerm>{
                    {teeth * a.numerator * den, false, {}},
                    {2 * a.numerator * den - n * a.denominator, false, {{b, Trig::Cos}}}};
            }};
}

// The transverse pitch cos b / a - n / den, times den x the numerator of a.
ProvenValue transversePitch(const Ratio& a, const Angle& b) {
    return {cosine(b) / approximately(a), [=](WideInt n, WideInt den) {
                return std::vector<TrigTerm>{{a.denominator * den, false, {{b, Trig::Cos}}},
                                             {-n * a.numerator, false, {}}};
            }};
}

std::vector<TrigTerm> formativeMinus(std::int64_t teeth, const Angle& b, WideInt n, WideInt den) {
    const TrigFactor c{b, Trig::Cos};
    return {{teeth * den, false, {}}, {-n, false, {c, c, c}}};
}

// N / cos^3 b - n / den, times den x cos^3 b.
ProvenValue formativeCount(std::int64_t teeth, const Angle& b) {
    const long double c = cosine(b);
    return {static_cast<long double>(teeth) / (c * c * c),
            [=](WideInt n, WideInt den) { return formativeMinus(teeth, b, n, den); }};
}

// The first cutter whose fewest teeth the formative count reaches, each comparison decided
// exactly: N / cos^3 b >= s exactly when N - s cos^3 b >= 0.
std::optional<int> helicalCutter(std::int64_t teeth, const Angle& b) {
    for (std::size_t i = 0; i < std::size(kCutterStarts); ++i) {
        const std::vector<TrigTerm> terms = formativeMinus(teeth, b, kCutterStarts[i], 1);
        const std::optional<int> sign = signOf(terms);
        if (!sign) {
            return std::nullopt;
        }
        if (*sign >= 0) {
            return static_cast<int>(i + 1);
        }
    }
    return 0;
}

std::optional<Refusal> sizeRefusal(const Values& values) {
    const bool module = values.given("module");
    const bool pitch = values.given("dp");
    if (module == pitch) {
        return Refusal{module ? "dp" : "module",
                       module ? "give either {module} or {dp}, not both"
                              : "give the size of the teeth with {module} or {dp}"};
    }
    // A window always gives its lists' values, so a value the helix's input takes by default is
    // no sign of a helix meant.
    if (!values.given("helix")) {
        for (const Input* input : {&kHandInput, &kMachineLeadInput, &kMachineUnitsInput}) {
            const std::string_view id = input->id;
            if (values.given(id) && values.text(id) != input->fallback) {
                return Refusal{std::string(id),
                               named(id) + " is for a helical gear: give {helix} with it"};
            }
        }
    }
    return std::nullopt;
}

// The rational sizes of a spur gear: N a, (N + 2) a, and 9/4 a or 2157/1000 a.
void spurSizes(GearPlan& plan, const Ratio& a) {
    const Ratio pitch = a * ratioOf(plan.teeth, 1);
    const Ratio outside = a * ratioOf(plan.teeth + 2, 1);
    plan.pitch = roundedRatio(pitch.numerator, pitch.denominator, plan.decimals);
    plan.outside = roundedRatio(outside.numerator, outside.denominator, plan.decimals);
    plan.cutter = cutterNumber(plan.teeth);
}

bool helicalSizes(GearPlan& plan, const Ratio& a) {
    const Angle b = *plan.helix;
    plan.transverse = plan.module ? roundedUnits(overCos(a, b), plan.decimals)
                                  : roundedUnits(transversePitch(a, b), 4);
    const std::optional<std::int64_t> pitch =
        roundedUnits(overCos(a * ratioOf(plan.teeth, 1), b), plan.decimals);
    const std::optional<std::int64_t> outside =
        roundedUnits(outsideOf(plan.teeth, a, b), plan.decimals);
    plan.formative = roundedUnits(formativeCount(plan.teeth, b), 2);
    const std::optional<int> cutter = helicalCutter(plan.teeth, b);
    if (!plan.transverse || !pitch || !outside || !plan.formative || !cutter) {
        return false;
    }
    plan.pitch = *pitch;
    plan.outside = *outside;
    plan.cutter = *cutter;
    return true;
}

}  // namespace

int cutterNumber(std::int64_t teeth) {
    for (std::size_t i = 0; i < std::size(kCutterStarts); ++i) {
        if (teeth >= kCutterStarts[i]) {
            return static_cast<int>(i + 1);
        }
    }
    return 0;
}

std::string cutterRange(int cutter) {
    if (cutter == 1) {
        return "135 teeth to a rack";
    }
    const std::int64_t least = kCutterStarts[cutter - 1];
    const std::int64_t most = kCutterStarts[cutter - 2] - 1;
    return formatted(most == least + 1 ? "%lld and %lld teeth" : "%lld to %lld teeth",
                     static_cast<long long>(least), static_cast<long long>(most));
}

Result<GearPlan> planGear(const Values& values) {
    if (const std::optional<Refusal> refused = sizeRefusal(values)) {
        return Result<GearPlan>::failure(*refused);
    }
    GearPlan plan;
    plan.teeth = *values.whole("count");
    plan.module = values.given("module");
    plan.size = *values.decimal(plan.module ? "module" : "dp");
    plan.pressure = std::string(*values.text("pressure"));
    plan.unit = plan.module ? LengthUnit::Millimetre : LengthUnit::Inch;
    plan.decimals = lengthDecimals(plan.unit);
    const WideInt scale = kPow10[static_cast<std::size_t>(plan.size.scale)];
    // The addendum: the module, or one over the pitch.
    const Ratio a = plan.module ? ratioOf(plan.size.units, scale) : ratioOf(scale, plan.size.units);
    const Ratio depth = a * (plan.module ? ratioOf(9, 4) : ratioOf(2157, 1000));
    plan.depth = roundedRatio(depth.numerator, depth.denominator, plan.decimals);
    if (values.given("helix")) {
        plan.helix = values.angle("helix");
        if (!helicalSizes(plan, a)) {
            return refused<GearPlan>("", std::string(kUndecidedMessage));
        }
        HelixWork work{plan.unit, std::nullopt, plan.helix, a * ratioOf(plan.teeth, 1),
                       *plan.helix};
        Result<HelixPlan> lead = planHelixFor(work, values);
        if (!lead.ok()) {
            return Result<GearPlan>::failure(lead.refusal());
        }
        plan.lead = std::move(lead).value();
    } else {
        spurSizes(plan, a);
    }
    Result<IndexPlan> indexing = planDivisions(values, plan.teeth);
    if (!indexing.ok()) {
        return Result<GearPlan>::failure(indexing.refusal());
    }
    plan.indexing = std::move(indexing).value();
    return Result<GearPlan>::success(std::move(plan));
}

}  // namespace morvanta
