// SPDX-License-Identifier: GPL-3.0-or-later
#include "workshop/HelpWindow.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace morvanta::workshop {

namespace {

QString keyOf(const QString& caption) {
    const qsizetype amp = caption.indexOf(QLatin1Char('&'));
    return amp >= 0 && amp + 1 < caption.size()
               ? QObject::tr("Alt+%1").arg(caption.at(amp + 1).toUpper())
               : QString();
}

QString plain(QString caption) {
    return caption.remove(QLatin1Char('&'));
}

QString fieldEntry(const PageDefinition& page, const FieldDefinition& field) {
    QString caption = plain(field.label).toHtmlEscaped();
    QString keys = keyOf(field.label);
    if (!field.alternatives.empty()) {
        QStringList captions;
        QStringList letters;
        for (qsizetype i = 0; i < qsizetype(field.alternatives.size()); ++i) {
            captions.append(field.alternatives[std::size_t(i)].label.toHtmlEscaped());
            if (i < field.alternativeLetters.size()) {
                letters.append(QObject::tr("Alt+%1").arg(field.alternativeLetters.at(i).toUpper()));
            }
        }
        caption = captions.join(QObject::tr(" or "));
        keys = letters.join(QObject::tr(", "));
        caption += QObject::tr(" (one field, a switch beside it picks which)");
    }
    QString entry =
        QStringLiteral("<dt><a name=\"%1-%2\"></a><b>%3</b>").arg(page.name, field.name, caption);
    if (!keys.isEmpty()) {
        entry += QStringLiteral(" &nbsp;<small>%1</small>").arg(keys.toHtmlEscaped());
    }
    entry += QStringLiteral("</dt><dd>") + field.hint.toHtmlEscaped();
    if (field.kind == FieldKind::Text && !field.defaultValue.isEmpty()) {
        entry += QObject::tr(" A new page starts at %1.").arg(field.defaultValue.toHtmlEscaped());
    }
    return entry + QStringLiteral("</dd>");
}

QString pageEntry(const PageDefinition& page) {
    QString entry =
        QStringLiteral("<h2><a name=\"%1\"></a>%2</h2><p>%3</p><dl>")
            .arg(page.name, plain(page.title).toHtmlEscaped(), page.about.toHtmlEscaped());
    for (const FieldDefinition& field : page.fields) {
        if (!field.section.isEmpty()) {
            entry += QStringLiteral("</dl><h3>%1</h3><dl>").arg(field.section.toHtmlEscaped());
        }
        entry += fieldEntry(page, field);
    }
    return entry + QStringLiteral("</dl>");
}

}  // namespace

QString HelpWindow::helpHtml(const std::vector<const PageDefinition*>& pages) {
    QString html = QObject::tr(
        "<h1>Morvanta Workshop</h1>"
        "<p>Each page works out one kind of setting sheet as you type: fill in the fields on the "
        "left and the sheet beside them follows at once. Its answer stands in large type above "
        "the table, the other notes under it, and the picture of the setup beside the table. "
        "While a field holds something the sheet cannot be made from, the field is marked, the "
        "message under the fields says why, and the last good sheet stays in view, greyed. "
        "Return or Enter puts the cursor in the field at fault.</p>"
        "<p>Select cells, rows or columns of the table and press Ctrl+C to copy them; Copy Sheet "
        "copies the whole sheet as text. Print, Export PDF, Save as CSV and Save G-code act on the "
        "sheet in view. F1 in a field shows its entry here.</p>");
    for (const PageDefinition* page : pages) {
        html += pageEntry(*page);
    }
    return html;
}

HelpWindow::HelpWindow(const std::vector<const PageDefinition*>& pages, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(tr("Morvanta Workshop Help"));
    text_ = new QTextBrowser(this);
    text_->setObjectName(QStringLiteral("helpText"));
    text_->setOpenLinks(false);
    text_->setHtml(helpHtml(pages));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto* column = new QVBoxLayout(this);
    column->addWidget(text_);
    column->addWidget(buttons);
    const QSize screen = QGuiApplication::primaryScreen()->availableSize();
    resize(QSize(fontMetrics().averageCharWidth() * 90, fontMetrics().lineSpacing() * 36)
               .boundedTo(screen * 4 / 5));
}

void HelpWindow::showEntry(const QString& page, const QString& field) {
    shown_ = field.isEmpty() ? page : page + QLatin1Char('-') + field;
    show();
    raise();
    activateWindow();
    text_->scrollToAnchor(shown_);
}

}  // namespace morvanta::workshop
