// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/BoltCircle.h"
#include "workshop/Page.h"

namespace morvanta::workshop {

namespace {

// The request as texts the engine checks; the drilling cycle's fields go only with G-code, as
// the engine refuses them in a table or CSV request.
BoltCircleArguments boltArguments(const Inputs& inputs) {
    BoltCircleArguments arguments;
    arguments.count = inputs.text("count");
    arguments.diameter = inputs.option("diameter");
    arguments.radius = inputs.option("radius");
    arguments.centre = inputs.option("centre");
    arguments.start = inputs.option("start");
    arguments.clockwise = inputs.has("cw");
    arguments.zero = inputs.option("zero");
    arguments.span = inputs.option("span");
    arguments.ends = inputs.has("ends");
    arguments.decimals = inputs.option("decimals");
    return arguments;
}

PageResult computeBoltCircle(const Inputs& inputs) {
    PageResult result = planOutput(planBoltCircle(boltArguments(inputs)), boltCircleText,
                                   boltCircleReport, boltCircleCsv);
    // A drilling program needs all three of depth, retract plane and feed; until one is given
    // the page makes none and says nothing of them.
    if (result.ok() && (inputs.has("depth") || inputs.has("retract") || inputs.has("feed"))) {
        BoltCircleArguments program = boltArguments(inputs);
        program.gcode = true;
        program.depth = inputs.option("depth");
        program.retract = inputs.option("retract");
        program.feed = inputs.option("feed");
        addGcode(result, planBoltCircle(program), boltCircleGcode);
    }
    return result;
}

}  // namespace

PageDefinition boltCirclePage() {
    return {
        .name = QStringLiteral("bolt"),
        .title = QStringLiteral("&Bolt circle"),
        .fileStem = QStringLiteral("bolt-circle"),
        .fields =
            {
                countField(QStringLiteral("6"), QStringLiteral("How many holes"),
                           QStringLiteral("holes")),
                {.name = QStringLiteral("diameter"),
                 .label = QStringLiteral("Dia&meter"),
                 .defaultValue = QStringLiteral("100"),
                 .hint = QStringLiteral("The diameter of the bolt circle, in the unit you work in; "
                                        "leave it empty to give the radius instead"),
                 .placeholder = QStringLiteral("or the radius")},
                {.name = QStringLiteral("radius"),
                 .label = QStringLiteral("Radi&us"),
                 .hint = QStringLiteral("The radius of the bolt circle, instead of the diameter"),
                 .placeholder = QStringLiteral("or the diameter")},
                {.name = QStringLiteral("centre"),
                 .label = QStringLiteral("Ce&ntre X,Y"),
                 .hint = QStringLiteral("The centre of the circle as X,Y, such as 10,-5; empty for "
                                        "0,0"),
                 .placeholder = QStringLiteral("0,0")},
                startField(QStringLiteral("The angle of hole 1 in degrees, such as 15 or -22.5; "
                                          "empty for 0")),
                clockwiseField(
                    QStringLiteral("Count the angles clockwise instead of counter-clockwise")),
                {.name = QStringLiteral("zero"),
                 .label = QStringLiteral("&Zero direction"),
                 .kind = FieldKind::Choice,
                 .defaultValue = QStringLiteral("east"),
                 .hint = QStringLiteral("Where angle 0 points: east (+X) or north (+Y)"),
                 .choices = {{QStringLiteral("East (+X)"), QStringLiteral("east")},
                             {QStringLiteral("North (+Y)"), QStringLiteral("north")}}},
                spanField(),
                endsField(),
                {.name = QStringLiteral("decimals"),
                 .label = QStringLiteral("Decimal di&gits"),
                 .hint = QStringLiteral("Decimals of X and Y, 0 to 8; empty for 4"),
                 .placeholder = QString::number(kDefaultBoltDecimals)},
                {.name = QStringLiteral("depth"),
                 .label = QStringLiteral("De&pth Z"),
                 .hint = QStringLiteral("The Z of the holes' bottom, such as -5; with the retract "
                                        "plane and the feed, for Save G-code"),
                 .section = QStringLiteral("G-code drilling cycle"),
                 .gcodeOnly = true},
                {.name = QStringLiteral("retract"),
                 .label = QStringLiteral("&Retract plane"),
                 .hint = QStringLiteral("The Z the drill returns to between holes, such as 2"),
                 .gcodeOnly = true},
                {.name = QStringLiteral("feed"),
                 .label = QStringLiteral("Fee&d"),
                 .hint = QStringLiteral("The drilling feed, such as 100"),
                 .gcodeOnly = true},
            },
        .compute = computeBoltCircle,
    };
}

}  // namespace morvanta::workshop
