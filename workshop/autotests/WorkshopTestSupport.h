// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>

#include "ui/autotests/TestRegistry.h"
#include "workshop/CalculatorPage.h"
#include "workshop/WorkshopWindow.h"

namespace morvanta::workshop::testing {

// `answer` (else OK) to each message box, its text kept; the print preview closed once drawn, its
// pages kept.
class MessageAnswerer {
public:
    explicit MessageAnswerer(QMessageBox::StandardButton answer = QMessageBox::Ok) {
        QObject::connect(&timer_, &QTimer::timeout, [this, answer] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal); box != nullptr && box->isVisible()) {
                messages << box->text();
                QAbstractButton* button = box->button(answer);
                (button != nullptr ? button : box->button(QMessageBox::Ok))->click();
            } else if (auto* preview = qobject_cast<QPrintPreviewDialog*>(modal)) {
                previewed = preview->findChild<QPrintPreviewWidget*>()->pageCount();
                preview->reject();
            }
        });
        timer_.start(20);
    }

    QStringList messages;
    int previewed = -1;

private:
    QTimer timer_;
};

// What morvanta-table printed, byte for byte, and how it ended.
struct ToolRun {
    int status = -1;
    QByteArray out, err;
};

inline ToolRun runTable(const QStringList& arguments) {
    QProcess tool;
    tool.start(QStringLiteral(MORVANTA_TABLE), arguments);
    ToolRun run;
    if (tool.waitForFinished(60000) && tool.exitStatus() == QProcess::NormalExit) {
        run = {tool.exitCode(), tool.readAllStandardOutput(), tool.readAllStandardError()};
    }
    return run;
}

// Settings in the test's folder under names of their own, a real user's neither read nor spoilt.
inline void isolateSettings(const QString& folder) {
    QCoreApplication::setOrganizationName("MorvantaTest");
    QCoreApplication::setApplicationName("morvanta-workshop-test");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
}

// A window on the screen, as on a first start unless it takes up the settings left.
inline WorkshopWindow* freshWindow(bool firstStart = true) {
    if (firstStart) {
        QSettings().clear();
    }
    auto* window = new WorkshopWindow;
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window)) {
        qWarning("the window did not become active");
    }
    return window;
}

template <typename T>
T* child(QObject* parent, const QString& name) {
    T* found = parent->findChild<T*>(name);
    if (found == nullptr) {
        qFatal("no %s named %s", T::staticMetaObject.className(), qPrintable(name));
    }
    return found;
}

// A folder of the test's own for settings and files, and the window, made for each case.
class WindowFixture : public QObject {
protected:
    WindowFixture() { isolateSettings(folder.path()); }

    QTemporaryDir folder;
    WorkshopWindow* window = nullptr;

    // Closed, and started again on the settings it left.
    void restart() {
        window->close();
        delete window;
        window = freshWindow(false);
    }
    CalculatorPage* page(const char* name) { return window->page(QString::fromLatin1(name)); }
    // A field of a page by their names: field("bolt", "diameter").
    template <typename T = QLineEdit>
    T* field(const char* page, const char* name) {
        return child<T>(this->page(page), QString::fromLatin1(name));
    }
};

// The bytes of a file, empty where it cannot be read.
inline QByteArray bytesOf(const QString& path) {
    QFile in(path);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

// A file written whole: whether every byte went in.
inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile out(path);
    return out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(bytes) == bytes.size();
}

// What a poppler program prints for a page of a PDF (0: every page).
inline QString runPoppler(const char* program, int page, const QStringList& arguments) {
    QProcess tool;
    const QString number = QString::number(page);
    tool.start(QString::fromLatin1(program),
               (page > 0 ? QStringList{"-f", number, "-l", number} : QStringList()) + arguments);
    tool.waitForFinished(60000);
    return QString::fromUtf8(tool.readAllStandardOutput());
}

// A page of a PDF drawn by pdftoppm at `dpi` by way of stem.png; null where it could not.
inline QImage pdfPicture(const QString& pdf, int page, int dpi, const QString& stem) {
    runPoppler(MORVANTA_PDFTOPPM, page,
               {"-r", QString::number(dpi), "-png", "-singlefile", pdf, stem});
    return QImage(stem + ".png");
}

// The pixels of the accent's red, and the box round them: a grey picture has none.
inline std::pair<int, QRect> redIn(const QImage& image) {
    std::pair<int, QRect> red;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 150 && c.green() < 110 && c.blue() < 90) {
                ++red.first;
                red.second |= QRect(x, y, 1, 1);
            }
        }
    }
    return red;
}

// 64 circles, the most a plate set may have: one word of 250 characters.
inline QString sixtyFourCircles() {
    QStringList circles;
    for (int holes = 15; holes < 15 + 64; ++holes) {
        circles.append(QString::number(holes));
    }
    return circles.join(u',');
}

inline bool actionOn(WorkshopWindow* window, const char* name) {
    return child<QAction>(window, QString::fromLatin1(name))->isEnabled();
}

// Brings a page to the front by its name.
inline CalculatorPage* front(WorkshopWindow* window, const QString& name) {
    CalculatorPage* page = window->page(name);
    child<QTabWidget>(window, "pages")->setCurrentWidget(page);
    return page;
}

// Acts on the next modal dialog of type D once it is open.
template <typename D, typename Answer>
void answerNext(Answer answer) {
    QTimer::singleShot(0, [answer] {
        QTRY_VERIFY(qobject_cast<D*>(QApplication::activeModalWidget()) != nullptr);
        answer(qobject_cast<D*>(QApplication::activeModalWidget()));
    });
}

// "name=value" settings by name.
inline QMap<QString, QString> named(const QStringList& settings) {
    QMap<QString, QString> values;
    for (const QString& setting : settings) {
        values.insert(setting.section(QLatin1Char('='), 0, 0),
                      setting.section(QLatin1Char('='), 1));
    }
    return values;
}

// The settings as the fields take them: "centre=10,-5" as centreX and centreY, "radius=30" as
// "diameterSwitch=radius" and "diameter=30".
inline QMap<QString, QString> fieldSettings(CalculatorPage* page, const QStringList& settings) {
    QMap<QString, QString> fields;
    for (const auto& [name, value] : named(settings).asKeyValueRange()) {
        if (page->findChild<QWidget*>(name + "X") != nullptr) {
            fields.insert(name + "X", value.section(QLatin1Char(','), 0, 0));
            fields.insert(name + "Y", value.section(QLatin1Char(','), 1));
            continue;
        }
        for (auto* change : page->findChildren<QComboBox*>()) {
            if (change->objectName().endsWith("Switch") && change->findData(name) > 0) {
                fields.insert(change->objectName(), name);
                fields.insert(change->objectName().chopped(6), value);
            }
        }
        if (!fields.contains(name)) {
            fields.insert(name, value);
        }
    }
    return fields;
}

// Sets every field, those not listed empty, unticked or first, and waits for the engine. A list
// takes the item of that value ("plates=bs"), else the text as typed.
inline void fillPage(CalculatorPage* page, const QStringList& settings) {
    const QMap<QString, QString> wanted = fieldSettings(page, settings);
    for (QWidget* control : page->fieldControls()) {
        const QString value = wanted.value(control->objectName());
        if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            edit->setText(value);
        } else if (auto* check = qobject_cast<QCheckBox*>(control)) {
            check->setChecked(value == "true");
        } else if (auto* list = qobject_cast<QComboBox*>(control)) {
            const int index = wanted.contains(control->objectName()) ? list->findData(value) : 0;
            index >= 0 ? list->setCurrentIndex(index) : list->setEditText(value);
        }
    }
    page->finishComputing();
}

// The same request for morvanta-table, the count after "--" so that -7 stays an operand.
inline QStringList toolWords(const QString& page, const QStringList& settings,
                             const QStringList& extra = {}) {
    QStringList words{page == "bolt" ? "coords" : page == "angle" ? "index" : page};
    const QMap<QString, QString> given = named(settings);
    for (const auto& [name, value] : given.asKeyValueRange()) {
        if (name != "count" && !value.isEmpty()) {
            words << (value == "true" ? "--" + name : QStringLiteral("--%1=%2").arg(name, value));
        }
    }
    words << extra;
    if (given.contains("count")) {
        words << "--" << given.value("count");
    }
    return words;
}

// A stand-in page with one field, the count: `make` gives its result from the count's text.
inline PageDefinition countPage(std::function<PageResult(const QString&)> make) {
    PageDefinition definition;
    definition.title = "&Sheets";
    definition.fields = {{.name = "count", .label = "&Count"}};
    definition.compute = [make](const morvanta::Inputs& inputs) {
        return make(QString::fromStdString(std::string(inputs.get("count").value_or(""))));
    };
    return definition;
}

// The stand-in's sheet: the count and a line break, the count its answer, or `report` shown.
inline PageResult countSheet(const QString& count,
                             std::shared_ptr<const morvanta::Report> report = {}) {
    PageOutput output;
    output.text = [count] { return count.toStdString() + "\n"; };
    if (!report) {
        auto answered = std::make_shared<morvanta::Report>();
        answered->answer = {count.toStdString()};
        report = answered;
    }
    output.shownReport = report;
    return PageResult::success(output);
}

// The text of the sheet in view, as Copy Sheet takes it; empty while none is.
inline QByteArray sheetText(CalculatorPage* page) {
    page->finishComputing();
    return page->output() != nullptr ? QByteArray::fromStdString(page->output()->text())
                                     : QByteArray();
}

// The table in view as the tool's lines, blanks squeezed: names without units, then the rows.
inline QStringList tableLines(CalculatorPage* page) {
    const QAbstractItemModel* model = child<QTableView>(page, "result")->model();
    QStringList lines;
    for (int row = -1; model->columnCount() > 0 && row < model->rowCount(); ++row) {
        QString line;
        for (int column = 0; column < model->columnCount(); ++column) {
            line +=
                u' ' +
                (row < 0 ? model->headerData(column, Qt::Horizontal).toString().section(" (", 0, 0)
                         : model->index(row, column).data().toString());
        }
        lines.append(line.simplified());
    }
    return lines;
}

}  // namespace morvanta::workshop::testing
