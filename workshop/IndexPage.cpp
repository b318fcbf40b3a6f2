// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Indexing.h"
#include "workshop/Page.h"

namespace morvanta::workshop {

namespace {

QString engineText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

PageResult computeIndex(const Inputs& inputs) {
    const Result<IndexPlan> plan = planIndex({inputs.text("count"), inputs.option("ratio"),
                                              inputs.option("plates"), inputs.option("gears")});
    if (!plan.ok()) {
        return PageResult::failure(plan.message(), plan.about());
    }
    PageOutput output;
    output.text = indexText(plan.value());
    output.report = [index = plan.value()] { return indexReport(index); };
    // The division table, and so the CSV, stops where the engine's table does, as --csv is
    // refused there.
    if (plan.value().count <= kMaxIndexTable) {
        output.csv = [index = plan.value()] { return indexCsv(index); };
    }
    return PageResult::success(std::move(output));
}

}  // namespace

PageDefinition indexPlatePage() {
    PageDefinition page;
    page.name = QStringLiteral("index");
    page.title = QStringLiteral("&Index plate");
    page.fileStem = QStringLiteral("index-plate");
    page.fields = {
        {.name = QStringLiteral("count"),
         .label = QStringLiteral("&Count"),
         .defaultValue = QStringLiteral("127"),
         .hint = QStringLiteral("How many equal divisions of the work"),
         .placeholder = QStringLiteral("divisions")},
        {.name = QStringLiteral("ratio"),
         .label = QStringLiteral("Worm &ratio"),
         .defaultValue = QString::number(kDefaultIndexRatio),
         .hint = QStringLiteral("Crank turns for one turn of the work: 40 on most dividing heads, "
                                "90 on many rotary tables"),
         .placeholder = QString::number(kDefaultIndexRatio)},
        {.name = QStringLiteral("plates"),
         .label = QStringLiteral("&Plates"),
         .kind = FieldKind::Choice,
         .defaultValue = QStringLiteral("bs"),
         .hint = QStringLiteral("The index plates: Brown & Sharpe (%1), Cincinnati (%2), or your "
                                "own hole circles, commas between the circles of a plate and a "
                                "slash between plates, such as 15,16,17/21,23,27")
                     .arg(engineText(kBrownSharpePlates), engineText(kCincinnatiPlates)),
         .choices = {{QStringLiteral("Brown & Sharpe"), QStringLiteral("bs")},
                     {QStringLiteral("Cincinnati"), QStringLiteral("cincinnati")}},
         .editable = true},
        {.name = QStringLiteral("gears"),
         .label = QStringLiteral("Change &gears"),
         .hint = QStringLiteral("The change gears you own, teeth with commas between; a number "
                                "given twice is two gears; empty for the usual set"),
         .placeholder = engineText(kDefaultGears)},
    };
    page.compute = computeIndex;
    return page;
}

}  // namespace morvanta::workshop
