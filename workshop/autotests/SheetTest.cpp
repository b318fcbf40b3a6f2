// SPDX-License-Identifier: GPL-3.0-or-later
#include <QClipboard>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QScreen>
#include <QScrollBar>
#include <QSemaphore>
#include <QThread>

#include <atomic>
#include <map>
#include <set>

#include "workshop/CalculatorPage.h"
#include "workshop/ReportTable.h"
#include "workshop/autotests/WorkshopTestSupport.h"

using namespace morvanta::workshop;
using namespace morvanta::workshop::testing;

namespace {

// The rows a view asks for to draw their cells.
class RowsAsked : public QIdentityProxyModel {
public:
    mutable std::set<int> rows;
    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::DisplayRole) {
            rows.insert(index.row());
        }
        return QIdentityProxyModel::data(index, role);
    }
};

// The paint events each watched widget has had.
class PaintsSeen : public QObject {
public:
    std::map<QString, int> paints;

    void watch(QWidget* widget) { widget->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints[watched->objectName()];
        }
        return false;
    }
};

// The share of the pixels along one side of a grabbed widget, its outer two rows or columns,
// drawn darker than the background: a frame line there, or none.
double drawnAlong(const QImage& image, Qt::Edge side, QRgb background) {
    const bool across = side == Qt::TopEdge || side == Qt::BottomEdge;
    const int length = across ? image.width() : image.height();
    int drawn = 0;
    // The corners left out, where lines meet or round off.
    for (int at = 4; at < length - 4; ++at) {
        bool dark = false;
        for (int depth = 0; depth < 2; ++depth) {
            const int x = across ? at : (side == Qt::LeftEdge ? depth : image.width() - 1 - depth);
            const int y = across ? (side == Qt::TopEdge ? depth : image.height() - 1 - depth) : at;
            dark = dark || qGray(image.pixel(x, y)) < qGray(background) - 24;
        }
        drawn += dark ? 1 : 0;
    }
    return static_cast<double>(drawn) / (length - 8);
}

}  // namespace

// What a page shows of its sheet: the table (cells, units, alignment, copy, only the rows in
// sight), the answer at every size, the frames at any scale, the engine off the window's thread.
// Also run at QT_SCALE_FACTOR=1.5.
class SheetTest : public WindowFixture {
    Q_OBJECT

private:
    static QTableView* table(CalculatorPage* page) { return child<QTableView>(page, "result"); }

private slots:
    void init() { window = freshWindow(); }
    void cleanup() { delete window; }

    // Each column named with its unit; figures right, words left; a row, a column, a range and
    // scattered cells copied tab-separated, a line each row, unselected cells between left empty.
    void shouldCopyWhatIsSelectedAsText() {
        CalculatorPage* sheet = front(window, "sheet");
        fillPage(sheet, {"count=7", "ratio=90", "dial=240"});
        QTableView* view = table(sheet);
        const QAbstractItemModel* model = view->model();
        QStringList header;
        for (int column = 0; column < model->columnCount(); ++column) {
            header.append(model->headerData(column, Qt::Horizontal).toString());
        }
        QCOMPARE(header, (QStringList{"Hole", "Angle (°'\")", "Turns", "Dial (graduations)",
                                      "Error (\")"}));
        QCOMPARE(model->index(1, 4).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
                     Qt::AlignHorizontal_Mask,
                 Qt::AlignRight);

        const auto copied = [view](const QItemSelection& selection) {
            view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
            view->setFocus();
            QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
            return QGuiApplication::clipboard()->text();
        };
        const auto cells = [model](int top, int left, int bottom, int right) {
            return QItemSelection(model->index(top, left), model->index(bottom, right));
        };
        QCOMPARE(copied(cells(1, 0, 1, 4)), "2\t51°26'00\"\t12\t206\t+17.14\"\n");
        QCOMPARE(copied(cells(0, 4, 6, 4)),
                 "0.00\"\n+17.14\"\n-25.71\"\n-8.57\"\n+8.57\"\n+25.71\"\n-17.14\"\n");
        QCOMPARE(copied(cells(2, 1, 3, 2)), "102°51'00\"\t25\n154°17'00\"\t38\n");
        QItemSelection scattered = cells(0, 0, 0, 0);
        scattered.merge(cells(2, 3, 2, 3), QItemSelectionModel::Select);
        QCOMPARE(copied(scattered), "1\t\n\t171\n");

        // Words stand left, as the survey's methods.
        ReportModel words;
        auto survey = std::make_shared<morvanta::Report>();
        survey->columns = {"Count", "Method"};
        survey->rows = {{"95", "simple"}, {"96", "compound"}};
        survey->columnUnits = {"divisions", ""};
        words.setReport(survey);
        QCOMPARE(words.index(1, 1).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
                     Qt::AlignHorizontal_Mask,
                 Qt::AlignLeft);
    }

    // 10,000 rows: no row asked for that is not shown (one height for all, no column measured).
    void shouldDrawOnlyTheRowsInSight() {
        CalculatorPage* sheet = front(window, "sheet");
        fillPage(sheet, {"count=10000", "ratio=90", "dial=240"});
        QTableView* view = table(sheet);
        QAbstractItemModel* own = view->model();
        RowsAsked asked;
        asked.setSourceModel(own);
        view->setModel(&asked);
        QApplication::processEvents();
        view->scrollTo(asked.index(5000, 0), QAbstractItemView::PositionAtTop);
        asked.rows.clear();
        view->viewport()->repaint();
        const int first = view->rowAt(0);
        const int last = view->rowAt(view->viewport()->height() - 1);
        QCOMPARE_GT(first, 4000);
        QCOMPARE_GT(last, first);
        QVERIFY(!asked.rows.empty());
        QCOMPARE_GE(*asked.rows.begin(), first - 1);
        QCOMPARE_LE(*asked.rows.rbegin(), last + 1);
        view->setModel(own);
    }

    // The answer in its box laid out in full, never wider than the window, at the least size, the
    // first and a large one; at the first all in sight, but on the scaled test's small screen (614
    // x 460 at 1.5), which scrolls it.
    void shouldShowTheAnswerInFullAtEverySize() {
        CalculatorPage* index = front(window, "index");
        fillPage(index, {"count=127"});
        auto* answer = child<QLabel>(index, "answer");
        auto* box = child<QWidget>(index, "answerBox");
        QVERIFY(answer->text().contains("Gear train, spindle to plate"));
        const QSize first = window->size();
        const QSize screen = window->screen()->availableSize();
        for (const QSize& size : {window->minimumSizeHint(), first, screen * 19 / 20}) {
            window->resize(size);
            QApplication::processEvents();
            QTest::qWait(50);
            const QString at = QStringLiteral("at %1x%2").arg(size.width()).arg(size.height());
            QVERIFY2(answer->height() >= answer->heightForWidth(answer->width()), qPrintable(at));
            QVERIFY2(box->mapTo(window, QPoint(box->width(), 0)).x() <= window->width(),
                     qPrintable(at));
            if (size == first && qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR")) {
                QCOMPARE(box->visibleRegion().boundingRect(), box->rect());
            }
        }
    }

    // Every side of the table's frame and the picture's drawn at any scale: at 1.5 the top and
    // right lines fell between the device's pixels.
    void shouldDrawEveryLineOfTheFrames() {
        CalculatorPage* bolt = front(window, "bolt");
        fillPage(bolt, {"count=6", "diameter=100"});
        QApplication::processEvents();
        QWidget* view = table(bolt);
        auto* around = qobject_cast<QFrame*>(view->parentWidget());
        QWidget* framed =
            around != nullptr && around->frameShape() != QFrame::NoFrame ? around : view;
        for (QWidget* frame : {framed, child<QWidget>(bolt, "pictureFrame")}) {
            const QImage image = frame->grab().toImage();
            const QRgb background = frame->palette().color(QPalette::Base).rgb();
            for (const Qt::Edge side : {Qt::TopEdge, Qt::RightEdge, Qt::BottomEdge, Qt::LeftEdge}) {
                QCOMPARE_GT(drawnAlong(image, side, background), 0.9);
            }
        }
    }

    // A keystroke redraws the sheet, not the page: a new sheet with another status line and columns
    // (the grid turned) leaves the other fields and captions as painted.
    void shouldRedrawOnlyTheSheetAtAKeystroke() {
        CalculatorPage* grid = front(window, "grid");
        fillPage(grid, {"rows=100", "columns=100", "pitchX=1", "pitchY=1"});
        auto* angle = child<QLineEdit>(grid, "angle");
        angle->setFocus();
        grid->finishComputing();
        PaintsSeen seen;
        for (const char* name : {"rows", "columns", "pitchX"}) {
            seen.watch(child<QWidget>(grid, QString::fromLatin1(name)));
        }
        int captions = 0;
        for (QLabel* label : grid->findChildren<QLabel*>()) {
            if (label->buddy() != nullptr) {
                label->setObjectName("caption of " + label->buddy()->objectName());
                seen.watch(label);
                ++captions;
            }
        }
        QVERIFY(captions > 3);
        seen.watch(child<QWidget>(grid, "picture"));
        // The page painted for the last sheet first: on a busy machine that comes late.
        int waits = 0;
        do {
            seen.paints.clear();
            QTest::qWait(100);
        } while (!seen.paints.empty() && ++waits < 50);
        QCOMPARE(seen.paints, (std::map<QString, int>{}));
        QTest::keyClick(angle, Qt::Key_5);
        grid->finishComputing();
        QTRY_COMPARE(seen.paints["picture"], 1);
        QTest::qWait(100);
        seen.paints.erase("picture");
        QCOMPARE(seen.paints, (std::map<QString, int>{}));
    }

    // A long call runs off the window's thread: the page answers at once, keeps the last sheet
    // (greyed after a while), offers nothing to copy, print or save; edits meanwhile are worked out
    // once, the latest only. The sheet replaced is freed off the window's thread: 10,000 rows take
    // a while.
    void shouldKeepTypingWhileALongSheetIsMade() {
        auto release = std::make_shared<QSemaphore>();
        auto made = std::make_shared<QStringList>();
        auto freedIn = std::make_shared<std::map<QString, QThread*>>();
        CalculatorPage page(countPage([release, made, freedIn](const QString& count) {
            if (count.toInt() >= 2) {
                release->acquire();
            }
            made->append(count);
            auto* report = new morvanta::Report{};
            report->answer = {count.toStdString()};
            return countSheet(count, std::shared_ptr<const morvanta::Report>(
                                         report, [freedIn, count](const morvanta::Report* gone) {
                                             (*freedIn)[count] = QThread::currentThread();
                                             delete gone;
                                         }));
        }));
        page.show();
        auto* count = child<QLineEdit>(&page, "count");
        count->setText("1");
        page.finishComputing();
        QVERIFY(page.isCurrent());

        count->setText("2");
        QVERIFY(page.isWorking() && !page.isCurrent());
        count->setText("3");
        count->setText("4");
        QCOMPARE(QByteArray::fromStdString(page.output()->text()), QByteArray("1\n"));
        QTRY_COMPARE(child<QWidget>(&page, "result")->property("stale").toBool(), true);
        release->release(2);
        QTRY_VERIFY(page.isCurrent());
        QCOMPARE(*made, (QStringList{"", "1", "2", "4"}));
        QCOMPARE(child<QLabel>(&page, "answer")->text(), "4");
        QCOMPARE(child<QWidget>(&page, "result")->property("stale").toBool(), false);
        // The sheet replaced goes once the next call starts.
        release->release();
        count->setText("5");
        page.finishComputing();
        QVERIFY(freedIn->count("1") == 1);
        QVERIFY(freedIn->at("1") != QThread::currentThread());
        QVERIFY(freedIn->count("5") == 0);
    }
};

QTEST_MAIN(SheetTest)
#include "SheetTest.moc"
