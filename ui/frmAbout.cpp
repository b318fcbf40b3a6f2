#include "frmAbout.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "DesktopServices.h"
#include "Twips.h"

namespace morvanta {

namespace {

QLabel* makeLabel(QWidget* parent, const char* name, const char* caption, QPoint at,
                  const QFont& font) {
    auto* label = new QLabel(QString::fromLatin1(caption), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(font);
    label->move(at);
    label->adjustSize();
    return label;
}

QPushButton* makeButton(QWidget* parent, const char* name, const char* caption, QRect where) {
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    button->setGeometry(where);
    return button;
}

}  // namespace

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
    Label1 = makeLabel(this, "Label1", "Morvanta", twips::point(705, 240), title);
    Label2 = makeLabel(this, "Label2", "Version 1.1", twips::point(1770, 720), title);
    Label3 = makeLabel(this, "Label3", kMakerName, twips::point(120, 1320), maker);
    Label4 = makeLabel(this, "Label4", kMakerStreet, twips::point(120, 1560), plain);
    Label5 = makeLabel(this, "Label5", kMakerTown, twips::point(120, 1800), plain);
    Label6 = makeLabel(this, "Label6", kMakerTelephone, twips::point(120, 2040), plain);

    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Plain);
    Line1->setLineWidth(1);
    Line1->setGeometry(QRect(twips::point(360, 2520), twips::point(4440, 2520)));

    Label7 = makeLabel(this, "Label7", kRightsNotice, twips::point(953, 2760), plain);
    cOK = makeButton(this, "cOK", "Ok", twips::rect(3000, 1440, 1335, 255));
    cGoTo = makeButton(this, "cGoTo", "Go To Website", twips::rect(3000, 1920, 1335, 255));
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
