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
    const SheetPlanResult plan = planSheet(sheetArguments(inputs));
    if (!plan.ok()) {
        return PageResult::failure(plan.message(), plan.about());
    }
    PageOutput output;
    output.text = sheetText(plan.value());
    output.report = [sheet = plan.value()] { return sheetReport(sheet); };
    output.csv = [sheet = plan.value()] { return sheetCsv(sheet); };

    // Rotary-axis moves for a CNC table from the same holes. The engine refuses them with a
    // handwheel's ratio, dial or resolution and says so; the page passes that on.
    SheetArguments program = sheetArguments(inputs);
    program.gcode = true;
    program.axis = inputs.option("axis");
    program.decimals = inputs.option("decimals");
    const SheetPlanResult rotary = planSheet(program);
    if (rotary.ok()) {
        output.gcode = [sheet = rotary.value()] { return sheetGcode(sheet); };
    } else {
        output.gcodeMessage = rotary.message();
        output.gcodeAbout = rotary.about();
    }
    return PageResult::success(std::move(output));
}

}  // namespace

PageDefinition settingSheetPage() {
    PageDefinition page;
    page.name = QStringLiteral("sheet");
    page.title = QStringLiteral("&Setting sheet");
    page.fileStem = QStringLiteral("setting-sheet");
    page.fields = {
        {.name = QStringLiteral("count"),
         .label = QStringLiteral("&Count"),
         .defaultValue = QStringLiteral("7"),
         .hint = QStringLiteral("How many equally spaced holes, 2 to 10000"),
         .placeholder = QStringLiteral("holes")},
        {.name = QStringLiteral("ratio"),
         .label = QStringLiteral("Worm &ratio"),
         .defaultValue = QStringLiteral("90"),
         .hint = QStringLiteral("Handwheel turns for one turn of the table: 90 for 90:1; empty "
                                "for the table angle only"),
         .placeholder = QStringLiteral("none")},
        {.name = QStringLiteral("dial"),
         .label = QStringLiteral("&Dial graduations"),
         .defaultValue = QStringLiteral("240"),
         .hint = QStringLiteral("Graduations per handwheel turn; empty without a dial"),
         .placeholder = QStringLiteral("none")},
        {.name = QStringLiteral("resolution"),
         .label = QStringLiteral("Res&olution"),
         .hint = QStringLiteral("Round each angle to this step, such as 10s or 1m; empty for 1s, "
                                "or one graduation with a dial"),
         .placeholder = QStringLiteral("1s or 1 graduation")},
        {.name = QStringLiteral("start"),
         .label = QStringLiteral("S&tart angle"),
         .hint = QStringLiteral("The table angle of hole 1 in degrees, such as 15 or -22.5; "
                                "empty for 0"),
         .placeholder = QStringLiteral("0")},
        {.name = QStringLiteral("span"),
         .label = QStringLiteral("Sp&an"),
         .hint = QStringLiteral("Spread the holes over an arc of this many degrees from hole 1 "
                                "instead of the full circle"),
         .placeholder = QStringLiteral("full circle")},
        {.name = QStringLiteral("ends"),
         .label = QStringLiteral("Ho&le at each end"),
         .kind = FieldKind::Flag,
         .defaultValue = QStringLiteral("false"),
         .hint = QStringLiteral("With a span: a hole at each end of the arc")},
        {.name = QStringLiteral("cw"),
         .label = QStringLiteral("Clock&wise"),
         .kind = FieldKind::Flag,
         .defaultValue = QStringLiteral("false"),
         .hint = QStringLiteral("Turn the table clockwise from hole to hole")},
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
    };
    page.compute = computeSheet;
    return page;
}

std::vector<PageDefinition> workshopPages() {
    return {settingSheetPage(), indexPlatePage(), boltCirclePage()};
}

}  // namespace morvanta::workshop
