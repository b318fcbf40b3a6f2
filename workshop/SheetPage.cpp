// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/SettingSheet.h"
#include "workshop/Page.h"

namespace morvanta::workshop {

namespace {

// The sheet's planner does not name the input at fault in its results yet, but each of its
// messages belongs to one input; once it names them, its own names win.
std::string_view sheetFieldOf(std::string_view message) {
    struct Owner {
        std::string_view message;
        std::string_view field;
    };
    static constexpr Owner kOwners[] = {
        {kSheetHolesMessage, "count"},           {kSheetRatioMessage, "ratio"},
        {kSheetRatioTurnMessage, "ratio"},       {kSheetDialMessage, "dial"},
        {kSheetDialWithoutRatioMessage, "dial"}, {kSheetGraduationMessage, "dial"},
        {kSheetResolutionMessage, "resolution"}, {kSheetResolutionDialMessage, "resolution"},
        {kSheetTooCoarseMessage, "resolution"},
    };
    for (const Owner& owner : kOwners) {
        if (owner.message == message) {
            return owner.field;
        }
    }
    return {};
}

PageResult computeSheet(const Inputs& inputs) {
    const SheetPlanResult plan = planSheet({inputs.text("count"), inputs.option("ratio"),
                                            inputs.option("dial"), inputs.option("resolution")});
    if (!plan.ok()) {
        const std::string_view about =
            plan.about().empty() ? sheetFieldOf(plan.message()) : plan.about();
        return PageResult::failure(plan.message(), about);
    }
    PageOutput output;
    output.text = sheetText(plan.value());
    output.report = [sheet = plan.value()] { return sheetReport(sheet); };
    output.csv = [sheet = plan.value()] { return sheetCsv(sheet); };
    return PageResult::success(std::move(output));
}

}  // namespace

PageSpec settingSheetPage() {
    PageSpec page;
    page.name = QStringLiteral("sheet");
    page.title = QStringLiteral("&Setting sheet");
    page.fileStem = QStringLiteral("setting-sheet");
    page.fields = {
        {.name = QStringLiteral("count"),
         .label = QStringLiteral("&Count"),
         .defaultValue = QStringLiteral("7"),
         .hint = QStringLiteral("How many equally spaced holes, 2 to 10000"),
         .about = {QStringLiteral("count"), QStringLiteral("holes")}},
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
    };
    page.compute = computeSheet;
    return page;
}

std::vector<PageSpec> workshopPages() {
    return {settingSheetPage(), indexPlatePage(), boltCirclePage()};
}

}  // namespace morvanta::workshop
