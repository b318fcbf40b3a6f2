// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Helix.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "engine/DividingWork.h"
#include "engine/Integers.h"
#include "engine/ProvenSign.h"

namespace morvanta {

namespace {

// More candidates than are listed are ordered exactly, so that leads whose estimates lie closer
// than the estimates' error cannot push the nearest out of the list.
constexpr std::size_t kCandidates = 64;

long double radians(const Angle& angle) {
    return static_cast<long double>(angle.numerator()) /
           static_cast<long double>(angle.denominator()) * kPi / 180;
}

Ratio decimalRatio(const ExactDecimal& number) {
    return ratioOf(number.units, detail::kPow10[static_cast<std::size_t>(number.scale)]);
}

// pi x D / tan b with D = d / cos(over): pi d cos b - (n / den) cos(over) sin b, times
// den x d's denominator, has the sign of lead - n / den.
ProvenValue angleLead(const HelixWork& work) {
    const Ratio d = *work.diameter;
    const Angle b = *work.angle;
    const Angle over = work.over;
    const long double estimate = kPi * approximately(d) * std::cos(radians(b)) /
                                 (std::cos(radians(over)) * std::sin(radians(b)));
    return {estimate, [=](WideInt n, WideInt den) {
                return std::vector<TrigTerm>{
                    {d.numerator * den, true, {{b, Trig::Cos}}},
                    {-n * d.denominator, false, {{over, Trig::Cos}, {b, Trig::Sin}}}};
            }};
}

// lead - the lead wanted from the angle lies above n / den exactly when the lead wanted lies
// below lead - n / den.
ProvenValue leadError(const ProvenValue& wanted, const Ratio& lead) {
    const auto minus = wanted.minus;
    return {approximately(lead) - wanted.estimate, [=](WideInt n, WideInt den) {
                const Ratio below =
                    ratioOf(lead.numerator * den - n * lead.denominator, lead.denominator * den);
                std::vector<TrigTerm> terms = minus(below.numerator, below.denominator);
                for (TrigTerm& term : terms) {
                    term.coefficient = -term.coefficient;
                }
                return terms;
            }};
}

// The swivel s in seconds, tan s = pi x D / lead, D = d / cos(over): for a boundary b between 0
// and 90 degrees, s - b has the sign of pi d cos b - lead cos(over) sin b.
ProvenValue swivelSeconds(const HelixWork& work, const Ratio& lead) {
    const Ratio d = *work.diameter;
    const Angle over = work.over;
    const long double estimate =
        std::atan(kPi * approximately(d) / (std::cos(radians(over)) * approximately(lead))) * 180 /
        kPi * 3600;
    return {estimate, [=](WideInt n, WideInt den) {
                if (n <= 0 || n >= 90 * 3600 * den) {
                    return std::vector<TrigTerm>{{n <= 0 ? 1 : -1, false, {}}};
                }
                const Angle b = Angle::ratio(static_cast<std::int64_t>(n),
                                             static_cast<std::int64_t>(3600 * den));
                return std::vector<TrigTerm>{
                    {d.numerator * lead.denominator, true, {{b, Trig::Cos}}},
                    {-lead.numerator * d.denominator, false, {{over, Trig::Cos}, {b, Trig::Sin}}}};
            }};
}

struct Candidate {
    const ChangeTrain* train;
    Ratio lead;
    long double off;  // the estimate of lead - lead wanted
};

Ratio magnitude(const Ratio& ratio) {
    return {ratio.numerator < 0 ? -ratio.numerator : ratio.numerator, ratio.denominator};
}

// Whether a's lead lies nearer the lead wanted than b's: exactly for a lead given; for a lead from
// an angle by the estimates where they differ by more than their error, else by the side of the
// midpoint the lead wanted lies on. Equal leads go by the simpler train, then the smaller lead.
class Nearer {
public:
    Nearer(const std::optional<Ratio>& exact, const std::optional<ProvenValue>& wanted)
        : exact_(exact), wanted_(wanted) {}

    bool operator()(const Candidate& a, const Candidate& b) const {
        const int side = compare(a, b);
        if (side != 0) {
            return side < 0;
        }
        if (a.train->pairs != b.train->pairs || a.train->teeth() != b.train->teeth()) {
            return a.train->simplerThan(*b.train);
        }
        return a.lead < b.lead;
    }

private:
    // -1 when a is nearer, 1 when b is, 0 when they are as near.
    int compare(const Candidate& a, const Candidate& b) const {
        if (a.lead == b.lead) {
            return 0;
        }
        if (exact_) {
            const Ratio da = magnitude(a.lead - *exact_);
            const Ratio db = magnitude(b.lead - *exact_);
            return da < db ? -1 : db < da ? 1 : 0;
        }
        const long double da = std::fabs(a.off);
        const long double db = std::fabs(b.off);
        const long double tolerance = 1e-12L * (std::fabs(wanted_->estimate) + 1);
        if (std::fabs(da - db) > tolerance) {
            return da < db ? -1 : 1;
        }
        const bool aLower = a.lead < b.lead;
        const Ratio mid =
            ratioOf(a.lead.numerator * b.lead.denominator + b.lead.numerator * a.lead.denominator,
                    2 * a.lead.denominator * b.lead.denominator);
        const std::optional<int> side = compareWith(*wanted_, mid.numerator, mid.denominator);
        if (!side || *side == 0) {
            return da < db ? -1 : 1;
        }
        return (*side < 0) == aLower ? -1 : 1;
    }

    std::optional<Ratio> exact_;
    std::optional<ProvenValue> wanted_;
};

std::optional<std::vector<HelixTrain>> nearestTrains(const HelixPlan& plan,
                                                     const std::optional<ProvenValue>& wanted) {
    const std::map<Rational, ChangeTrain> trains = changeTrains(plan.gears);
    const long double aim = wanted ? wanted->estimate : approximately(*plan.work.lead);
    std::vector<Candidate> all;
    all.reserve(trains.size());
    for (const auto& [ratio, train] : trains) {
        const Ratio lead = plan.machineLeadInWork / ratioOf(ratio);
        all.push_back({&train, lead, approximately(lead) - aim});
    }
    const std::size_t kept = std::min(kCandidates, all.size());
    std::partial_sort(
        all.begin(), all.begin() + static_cast<std::ptrdiff_t>(kept), all.end(),
        [](const Candidate& a, const Candidate& b) { return std::fabs(a.off) < std::fabs(b.off); });
    all.resize(kept);
    std::sort(all.begin(), all.end(), Nearer(plan.work.lead, wanted));
    all.resize(std::min(kHelixTrainsListed, all.size()));
    std::vector<HelixTrain> listed;
    for (const Candidate& candidate : all) {
        HelixTrain entry{*candidate.train, candidate.lead, 0, false};
        if (plan.work.lead) {
            const Ratio error = candidate.lead - *plan.work.lead;
            entry.exact = error.numerator == 0;
            entry.error = roundedRatio(error.numerator, error.denominator, plan.decimals);
        } else {
            const std::optional<std::int64_t> error =
                roundedUnits(leadError(*wanted, candidate.lead), plan.decimals);
            if (!error) {
                return std::nullopt;
            }
            entry.error = *error;
        }
        listed.push_back(entry);
    }
    return listed;
}

Ratio inWorkUnits(const ExactDecimal& lead, LengthUnit from, LengthUnit to) {
    const Ratio given = decimalRatio(lead);
    if (from == to) {
        return given;
    }
    return from == LengthUnit::Inch ? given * ratioOf(254, 10) : given * ratioOf(10, 254);
}

LengthUnit unitOf(std::optional<std::string_view> text) {
    return text == "mm" ? LengthUnit::Millimetre : LengthUnit::Inch;
}

}  // namespace

std::string_view unitName(LengthUnit unit) {
    return unit == LengthUnit::Inch ? "in" : "mm";
}

int lengthDecimals(LengthUnit unit) {
    return unit == LengthUnit::Inch ? 4 : 3;
}

Result<HelixPlan> planHelixFor(const HelixWork& work, const Values& values) {
    HelixPlan plan;
    plan.work = work;
    plan.machineLead = *values.decimal("machine-lead");
    plan.machineUnit = unitOf(values.text("machine-units"));
    plan.machineLeadInWork = inWorkUnits(plan.machineLead, plan.machineUnit, work.unit);
    plan.rightHand = values.text("hand") != "left";
    for (const std::vector<std::int64_t>& group : values.groups("gears")) {
        plan.gears.insert(plan.gears.end(), group.begin(), group.end());
    }
    std::sort(plan.gears.begin(), plan.gears.end());
    if (plan.gears.size() < 2) {
        return refused<HelixPlan>("gears", "{gears} must list at least two gears to make a train");
    }
    plan.decimals = lengthDecimals(work.unit);
    std::optional<ProvenValue> wanted;
    if (work.angle) {
        wanted = angleLead(work);
        plan.wanted = roundedUnits(*wanted, plan.decimals);
        if (!plan.wanted) {
            return refused<HelixPlan>("", std::string(kUndecidedMessage));
        }
    }
    try {
        std::optional<std::vector<HelixTrain>> trains = nearestTrains(plan, wanted);
        if (!trains) {
            return refused<HelixPlan>("", std::string(kUndecidedMessage));
        }
        plan.trains = std::move(*trains);
    } catch (const std::bad_alloc&) {
        return refused<HelixPlan>("", "not enough memory to search the change gears");
    }
    if (work.diameter) {
        plan.swivel = roundedUnits(swivelSeconds(work, plan.trains.front().lead), 0);
        if (!plan.swivel) {
            return refused<HelixPlan>("", std::string(kUndecidedMessage));
        }
    }
    return Result<HelixPlan>::success(std::move(plan));
}

Result<HelixPlan> planHelix(const Values& values) {
    HelixWork work;
    work.unit = unitOf(values.text("units"));
    const bool lead = values.given("lead");
    const bool angle = values.given("angle");
    if (lead && angle) {
        return refused<HelixPlan>("angle", "give either {lead} or {angle}, not both");
    }
    if (!lead && !angle) {
        return refused<HelixPlan>(
            "lead",
            "give the lead wanted with {lead}, or the helix angle with {angle} and "
            "{diameter}");
    }
    if (angle && !values.given("diameter")) {
        return refused<HelixPlan>("diameter",
                                  "{angle} needs {diameter}, the diameter the angle is taken at");
    }
    if (lead) {
        work.lead = decimalRatio(*values.decimal("lead"));
    } else {
        work.angle = values.angle("angle");
    }
    if (values.given("diameter")) {
        work.diameter = decimalRatio(*values.decimal("diameter"));
    }
    return planHelixFor(work, values);
}

}  // namespace morvanta
