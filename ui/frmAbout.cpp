// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/frmAbout.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <string>

#include "Version.h"
#include "ui/Controls.h"
#include "ui/DesktopServices.h"
#include "ui/Twips.h"

namespace morvanta {

frmAbout::frmAbout(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About"));
    setFont(desktop::dialogFont());
    setFixedSize(twips::size(4680, 3195));
    createControls();
    Form_Load();
}

void frmAbout::createControls() {
    const QFont title = desktop::dialogFont(12.0, true);
    const QFont maker = desktop::dialogFont(9.75, true);
    const QFont plain = font();
    Label1 = controls::label(this, "Label1", "Morvanta", twips::point(705, 240), title);
    const std::string version = "Version " + std::string(kVersion);
    Label2 = controls::label(this, "Label2", version.c_str(), twips::point(1770, 720), title);
    Label3 = controls::label(this, "Label3", kMakerName, twips::point(120, 1320), maker);
    Label4 = controls::label(this, "Label4", kMakerStreet, twips::point(120, 1560), plain);
    Label5 = controls::label(this, "Label5", kMakerTown, twips::point(120, 1800), plain);
    Label6 = controls::label(this, "Label6", kMakerTelephone, twips::point(120, 2040), plain);

    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Plain);
    Line1->setLineWidth(1);
    Line1->setGeometry(QRect(twips::point(360, 2520), twips::point(4440, 2520)));

    Label7 = controls::label(this, "Label7", kRightsNotice, twips::point(953, 2760), plain);
    cOK = controls::button(this, "cOK", "Ok", twips::rect(3000, 1440, 1335, 255));
    cGoTo = controls::button(this, "cGoTo", "Go To Website", twips::rect(3000, 1920, 1335, 255));
    cOK->setFocus();

    connect(cOK, &QPushButton::clicked, this, &frmAbout::cOK_Click);
    connect(cGoTo, &QPushButton::clicked, this, &frmAbout::cGoTo_Click);
}

void frmAbout::Form_Load() {
    desktop::centreOnScreen(this);
}

void frmAbout::cOK_Click() {
    desktop::unload(this);
}

void frmAbout::cGoTo_Click() {
    desktop::openAddress(QString::fromLatin1(kWebAddress));
}

}  // namespace morvanta
