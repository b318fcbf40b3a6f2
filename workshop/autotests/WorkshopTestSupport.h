// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMap>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include "workshop/CalculatorPage.h"
#include "workshop/WorkshopWindow.h"

namespace morvanta::workshop::testing {

// What morvanta-table printed, byte for byte, and how it ended.
struct ToolRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

inline ToolRun runTable(const QStringList& arguments) {
    QProcess tool;
    tool.start(QStringLiteral(MORVANTA_TABLE), arguments);
    ToolRun run;
    if (!tool.waitForFinished(60000) || tool.exitStatus() != QProcess::NormalExit) {
        return run;
    }
    run.status = tool.exitCode();
    run.out = tool.readAllStandardOutput();
    run.err = tool.readAllStandardError();
    return run;
}

// Settings go to a folder of the test's own, under names no user's program has, so that a test
// neither reads nor spoils the settings of a real Morvanta Workshop.
inline void isolateSettings(const QString& folder) {
    QCoreApplication::setOrganizationName(QStringLiteral("MorvantaTest"));
    QCoreApplication::setApplicationName(QStringLiteral("morvanta-workshop-test"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
    QSettings().clear();
}

// Answers every message box the code under test raises, as a user pressing OK would, and keeps
// the texts.
class MessageBoxAnswerer {
public:
    MessageBoxAnswerer() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || !box->isVisible()) {
                return;
            }
            seen.append(box->text());
            box->button(QMessageBox::Ok)->click();
        });
        timer_.start();
    }

    QStringList seen;

private:
    QTimer timer_;
};

template <typename T>
T* child(QObject* parent, const QString& name) {
    T* found = parent->findChild<T*>(name);
    if (found == nullptr) {
        qFatal("no %s named %s", T::staticMetaObject.className(), qPrintable(name));
    }
    return found;
}

// Types into a field as a user would: the old text selected and replaced key by key.
inline void retype(QLineEdit* field, const QString& text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
}

// Sets every field of a page: "name=value" for those listed, empty (or unticked) for the others.
// A list takes the item whose value is given ("plates=bs"), else the text as typed, and a list
// not listed its first item, the default.
inline void fillPage(CalculatorPage* page, const QStringList& settings) {
    QMap<QString, QString> wanted;
    for (const QString& setting : settings) {
        wanted.insert(setting.section(QLatin1Char('='), 0, 0),
                      setting.section(QLatin1Char('='), 1));
    }
    for (QWidget* control : page->fieldControls()) {
        const QString value = wanted.value(control->objectName());
        if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            edit->setText(value);
        } else if (auto* check = qobject_cast<QCheckBox*>(control)) {
            check->setChecked(value == QLatin1String("true"));
        } else if (auto* list = qobject_cast<QComboBox*>(control)) {
            const int index = wanted.contains(control->objectName()) ? list->findData(value) : 0;
            if (index >= 0) {
                list->setCurrentIndex(index);
            } else {
                list->setEditText(value);
            }
        }
    }
}

// The same request for morvanta-table: the command, "--name=value" for each field given (a
// ticked flag as "--name"), the extra words ("--csv"), then "--" and the count, so that a count
// such as -7 stays an operand. The fields are named after the options they stand for.
inline QStringList toolWords(const QString& command, const QStringList& settings,
                             const QStringList& extra = {}) {
    QStringList words{command};
    QString count;
    for (const QString& setting : settings) {
        const QString name = setting.section(QLatin1Char('='), 0, 0);
        const QString value = setting.section(QLatin1Char('='), 1);
        if (name == QLatin1String("count")) {
            count = value;
        } else if (value == QLatin1String("true")) {
            words << QStringLiteral("--") + name;
        } else if (!value.isEmpty() && value != QLatin1String("false")) {
            words << QStringLiteral("--%1=%2").arg(name, value);
        }
    }
    return words << extra << QStringLiteral("--") << count;
}

inline QByteArray shownText(CalculatorPage* page) {
    return child<QWidget>(page, QStringLiteral("result"))
        ->property("plainText")
        .toString()
        .toUtf8();
}

}  // namespace morvanta::workshop::testing
