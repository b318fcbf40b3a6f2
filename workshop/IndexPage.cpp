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
    // The division table, and so the CSV, stops where the engine's table does, as --csv is
    // refused there.
    const bool table = plan.ok() && plan.value().count <= kMaxIndexTable;
    return planOutput(plan, indexText, indexReport, table ? indexCsv : nullptr);
}

}  // namespace

PageDefinition indexPlatePage() {
    return {
        .name = QStringLiteral("index"),
        .title = QStringLiteral("&Index plate"),
        .fileStem = QStringLiteral("index-plate"),
        .fields =
            {
                countField(QStringLiteral("127"),
                           QStringLiteral("How many equal divisions of the work"),
                           QStringLiteral("divisions")),
                {.name = QStringLiteral("ratio"),
                 .label = QStringLiteral("Worm &ratio"),
                 .defaultValue = QString::number(kDefaultIndexRatio),
                 .hint = QStringLiteral("Crank turns for one turn of the work: 40 on most dividing "
                                        "heads, 90 on many rotary tables"),
                 .placeholder = QString::number(kDefaultIndexRatio)},
                {.name = QStringLiteral("plates"),
                 .label = QStringLiteral("&Plates"),
                 .kind = FieldKind::Choice,
                 .defaultValue = QStringLiteral("bs"),
                 .hint =
                     QStringLiteral("The index plates: Brown & Sharpe (%1), Cincinnati (%2), or "
                                    "your own hole circles, commas between the circles of a "
                                    "plate and a slash between plates, such as "
                                    "15,16,17/21,23,27")
                         .arg(engineText(kBrownSharpePlates), engineText(kCincinnatiPlates)),
                 .choices = {{QStringLiteral("Brown & Sharpe"), QStringLiteral("bs")},
                             {QStringLiteral("Cincinnati"), QStringLiteral("cincinnati")}},
                 .editable = true},
                {.name = QStringLiteral("gears"),
                 .label = QStringLiteral("Change &gears"),
                 .hint = QStringLiteral("The change gears you own, teeth with commas between; a "
                                        "number given twice is two gears; empty for the usual set"),
                 .placeholder = engineText(kDefaultGears)},
            },
        .compute = computeIndex,
    };
}

}  // namespace morvanta::workshop
