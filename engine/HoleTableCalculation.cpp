// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/HoleTable.h"
#include "engine/HoleTableCalculation.h"

#include <memory>

namespace morvanta {

namespace {

// The counts are read as the Morvanta window reads its boxes, by the table builders themselves,
// which also give the window's own messages.
// clang-format off
constexpr Input kThisInputs[] = {
    // id, label, option, value, kind, unit, default, limits, help
    {"count", "This", "", "COUNT", InputKind::Text, "holes", "", kAnyValue,
     "how many holes: a number above 1 and at most 10000000, such as 7, 7.5 or 1e3, repeated in "
     "the header as typed"},
};
constexpr Input kAllInputs[] = {
    {"from", "From", "", "FROM", InputKind::Text, "holes", "", kAnyValue,
     "the first hole count, a number above 0"},
    {"to", "To", "", "TO", InputKind::Text, "holes", "", kAnyValue,
     "the last hole count, a number above 1 and not below FROM"},
};
// clang-format on

Result<Made> madeOf(BuildResult table) {
    if (!table.ok()) {
        return Result<Made>::failure(table.refusal());
    }
    auto text = std::make_shared<const std::string>(std::move(table).value());
    Made made;
    made.sheet.write = [text] { return *text; };
    return Result<Made>::success(std::move(made));
}

Result<Made> makeThis(const Values& values) {
    return madeOf(BuildThisTable(*values.text("count")));
}

Result<Made> makeAll(const Values& values) {
    return madeOf(BuildAllTable(*values.text("from"), *values.text("to")));
}

}  // namespace

constinit const Calculation kThisCalculation{
    .name = "this",
    .summary = "the hole angles of COUNT equally spaced holes as Build This lists them",
    .about = "Prints the angle of every hole of COUNT equally spaced holes, the first at 0 "
             "degrees, exactly as the Morvanta window's Build This shows it: each angle is the "
             "window's running sum of the spacing in double precision, written to 15 digits and "
             "cut (not rounded) to nine characters, so a line can stand a little past or short of "
             "the exact angle; for angles exact hole by hole use sheet. The list stops at 359 "
             "degrees, so above 360 holes the last holes of the circle are not listed.",
    .inputs = kThisInputs,
    .make = makeThis,
    .crlf = true,
    .example = "7",
};

constinit const Calculation kAllCalculation{
    .name = "all",
    .summary = "every hole count from FROM to TO with a whole-degree spacing (Build All)",
    .about = "Walks the hole counts from FROM to TO in steps of one and lists each count whose "
             "spacing, 360 degrees divided by the count, is a whole number of degrees, with the "
             "angles of all its holes on one line, exactly as the Morvanta window's Build All "
             "shows them. Such counts can be set on a rotary table without a digital read-out. "
             "The list may be empty.",
    .inputs = kAllInputs,
    .make = makeAll,
    .crlf = true,
    .example = "2 12",
};

}  // namespace morvanta
