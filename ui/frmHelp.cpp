// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/frmHelp.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include "ui/Controls.h"
#include "ui/DesktopServices.h"
#include "ui/Twips.h"

namespace morvanta {

const QString& frmHelp::helpText() {
    static const QString text = QStringLiteral(
        "Use the 'From' and 'To' box to 'Build All' \"no decimal\" division between\r\n"
        "From and To (This is better if you dont have a DRO) ie:\r\n"
        "6 holes divides with no decimals\r\n"
        "  0\r\n"
        " 60\r\n"
        "120\r\n"
        "180\r\n"
        "240\r\n"
        "300\r\n"
        "\r\n"
        "7 holes does not\r\n"
        "  0\r\n"
        " 51.42857\r\n"
        "102.85714\r\n"
        "154.28571\r\n"
        "205.71428\r\n"
        "257.14285\r\n"
        "308.57142\r\n"
        "\r\n"
        "Use the 'This' box to 'Build This' to show the divisions for a specific number of "
        "holes.\r\n");
    return text;
}

frmHelp::frmHelp(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Help"));
    setWindowIcon(desktop::programIcon());
    setFont(desktop::dialogFont());
    setFixedSize(twips::size(5400, 5085));
    createControls();
    Form_Load();
}

void frmHelp::createControls() {
    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setFrameShape(QFrame::NoFrame);
    Text1->setFocusPolicy(Qt::NoFocus);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // The Qt text box keeps paragraphs, not CR LF pairs.
    Text1->setPlainText(QString(helpText()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    Text1->setGeometry(twips::rect(-7, 0, 5415, 4455));
    Text1->setAccessibleName(QStringLiteral("Help text"));

    cOK = controls::button(this, "cOK", "OK", twips::rect(4080, 4560, 1215, 495));
    cOK->setFocus();
    connect(cOK, &QPushButton::clicked, this, &frmHelp::cOK_Click);
}

void frmHelp::Form_Load() {
    desktop::centreOnScreen(this);
}

void frmHelp::cOK_Click() {
    desktop::unload(this);
}

}  // namespace morvanta
