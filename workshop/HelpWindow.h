// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QString>

#include <vector>

#include "workshop/Page.h"

class QTextBrowser;

namespace morvanta::workshop {

// The Help window: how a page works, then for each page what it gives and how, and each of its
// fields: its caption and key, what it is for, its limits, what an empty field stands for and
// the value a new page starts with. It is made from the pages' definitions, which are made from
// the engine's descriptions, so that it says what the fields do and take.
//
// Each field's entry is an anchor "<page>-<field>" ("bolt-feed"), each page's "<page>".
// Object names: the window "helpWindow", its text "helpText".
class HelpWindow : public QDialog {
    Q_OBJECT

public:
    HelpWindow(const std::vector<const PageDefinition*>& pages, QWidget* parent = nullptr);

    // Shows the window with the entry of a page's field at its top, or the page's own for "".
    void showEntry(const QString& page, const QString& field);
    QString shownEntry() const { return shown_; }

    // The window's text as HTML.
    static QString helpHtml(const std::vector<const PageDefinition*>& pages);

private:
    QTextBrowser* text_ = nullptr;
    QString shown_;
};

}  // namespace morvanta::workshop
