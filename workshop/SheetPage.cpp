// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/SettingSheet.h"
#include "workshop/Page.h"

namespace morvanta::workshop {

namespace {

// The sheet's request as texts the engine checks. The rotary axis and its decimals go only with
// G-code, as the engine refuses them in a sheet or CSV request.
SheetArguments sheetArguments(const Inputs& inputs) {
    SheetArguments arguments{inputs.text("count"), inputs.option("ratio"), inputs.option("dial"),
                             inputs.option("resolution")};
    arguments.start = inputs.option("start");
    arguments.span = inputs.option("span");
    arguments.ends = inputs.has("ends");
    arguments.clockwise = inputs.has("cw");
    return arguments;
}

PageResult computeSheet(const Inputs& inputs) {
    PageResult result =
        planOutput(planSheet(sheetArguments(inputs)), sheetText, sheetReport, sheetCsv);
    if (result.ok()) {
        // Rotary-axis moves for a CNC table from the same holes. The engine refuses them with a
        // handwheel's ratio, dial or resolution and says so; the page passes that on.
        SheetArguments program = sheetArguments(inputs);
        program.gcode = true;
        program.axis = inputs.option("axis");
        program.decimals = inputs.option("decimals");
        addGcode(result, planSheet(program), sheetGcode);
    }
    return result;
}

}  // namespace

PageDefinition settingSheetPage() {
    return {
        .name = QStringLiteral("sheet"),
        .title = QStringLiteral("&Setting sheet"),
        .fileStem = QStringLiteral("setting-sheet"),
        .fields =
            {
                countField(QStringLiteral("7"),
                           QStringLiteral("How many equally spaced holes, 2 to 10000"),
                           QStringLiteral("holes")),
                {.name = QStringLiteral("ratio"),
                 .label = QStringLiteral("Worm &ratio"),
                 .defaultValue = QStringLiteral("90"),
                 .hint = QStringLiteral("Handwheel turns for one turn of the table: 90 for 90:1; "
                                        "empty for the table angle only"),
                 .placeholder = QStringLiteral("none")},
                {.name = QStringLiteral("dial"),
                 .label = QStringLiteral("&Dial graduations"),
                 .defaultValue = QStringLiteral("240"),
                 .hint = QStringLiteral("Graduations per handwheel turn; empty without a dial"),
                 .placeholder = QStringLiteral("none")},
                {.name = QStringLiteral("resolution"),
                 .label = QStringLiteral("Res&olution"),
                 .hint = QStringLiteral("Round each angle to this step, such as 10s or 1m; empty "
                                        "for 1s, or one graduation with a dial"),
                 .placeholder = QStringLiteral("1s or 1 graduation")},
                startField(QStringLiteral("The table angle of hole 1 in degrees, such as 15 or "
                                          "-22.5; empty for 0")),
                spanField(),
                endsField(),
                clockwiseField(QStringLiteral("Turn the table clockwise from hole to hole")),
                {.name = QStringLiteral("axis"),
                 .label = QStringLiteral("A&xis"),
                 .kind = FieldKind::Choice,
                 .defaultValue = QStringLiteral("A"),
                 .hint = QStringLiteral("The letter of the CNC rotary axis the program moves"),
                 .choices = {{QStringLiteral("A"), QStringLiteral("A")},
                             {QStringLiteral("B"), QStringLiteral("B")},
                             {QStringLiteral("C"), QStringLiteral("C")}},
                 .section = QStringLiteral("G-code for a CNC rotary axis"),
                 .gcodeOnly = true},
                {.name = QStringLiteral("decimals"),
                 .label = QStringLiteral("Decimal di&gits"),
                 .hint = QStringLiteral("Decimals of the axis angles, 0 to 8; empty for 4"),
                 .placeholder = QString::number(SheetPlan{}.decimals),
                 .gcodeOnly = true},
            },
        .compute = computeSheet,
    };
}

}  // namespace morvanta::workshop
