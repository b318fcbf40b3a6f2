// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>
#include <QPageLayout>
#include <QPointer>
#include <QSettings>

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "workshop/Memory.h"
#include "workshop/Page.h"
#include "workshop/ReportPrinter.h"

class QAction;
class QMenu;
class QPrinter;
class QPushButton;
class QTimer;
class QTabWidget;

namespace morvanta::workshop {

class CalculatorPage;
class HelpWindow;
class JobKeeper;
class MachineView;

// Names the program for the desktop and for QSettings (~/.config/Morvanta/morvanta-workshop.conf)
// and gives it its icon. main() calls it once, after the QApplication is made.
void setApplicationIdentity();

// Morvanta Workshop's one window: a tab for each page (Setting sheet, Index plate, Bolt circle)
// and, for the sheet of the page in front, Copy, Save as CSV..., Save G-code..., Print... (with a
// preview) and Export PDF..., in the File and Edit menus and as buttons under the pages, and
// Export Picture... (File menu), the page's picture as an SVG file. They
// act only on a sheet made from the input as it stands: while the input is bad they are off, so
// that no one prints a sheet the fields no longer say.
//
// The fields of every page, the page in front and the window's place are kept in QSettings and
// come back at the next start; Edit > Reset Page to Defaults gives the page its first values.
//
// A page offers only what it can make: Save G-code only where its calculation makes G-code at
// all, and there, where the input as it stands makes none, it says what is missing. Help >
// Morvanta Workshop Help (F1) explains every page and field, F1 in a field at its entry.
//
// Object names: the window "workshopWindow", the tabs "pages", the actions "copy", "saveCsv",
// "saveGcode", "print", "exportPdf", "exportPicture", "resetPage", "machineMode", "quit", "help",
// "about", and their buttons the same names followed by "Button"; the Help window "helpWindow";
// the job actions as workshop/JobKeeper.h names them.
class WorkshopWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit WorkshopWindow(QWidget* parent = nullptr);
    ~WorkshopWindow() override;

    CalculatorPage* currentPage() const;
    // "Morvanta Workshop", as the window's dialogs are titled.
    static QString programTitle();
    CalculatorPage* page(const QString& name) const;

    // The sheet of the page in front as it goes on paper; nothing while it is not current.
    std::optional<PrintedSheet> currentSheet() const;

    // What the actions do once they have a file name; each says what went wrong in a message box
    // and returns false when the file could not be written (the old file, if any, is then kept).
    bool saveCsvTo(const QString& path);
    bool saveGcodeTo(const QString& path);
    // Returns the number of pages written, 0 on failure.
    int exportPdfTo(const QString& path);
    // Prints the sheet in front on the printer as the print dialog set it up, and returns the
    // pages printed, 0 when none. Print to File (a PDF printer with a file name) is saved as
    // Export PDF saves, on the printer's paper: whole or not at all, the reason said.
    int printTo(QPrinter& printer);
    // The picture of the page in front as SVG; false, writing nothing, while the page is not
    // current or draws no picture.
    bool exportPictureTo(const QString& path);

    // A4, or US Letter where the locale measures in inches, with 15 mm margins.
    static QPageLayout defaultPageLayout();

    // The jobs of the pages: File > New, Open..., Save Job... (workshop/JobKeeper.h).
    JobKeeper* jobs() const { return jobs_; }
    // Opens a job file into its page, as File > Open does; false, after saying why, if refused.
    bool openJobFile(const QString& path);
    // At the machine (F11): the page in front one row at a time, full screen, each tick written
    // to the job as it is made (workshop/MachineView.h). The page is first kept as a job: as its
    // own file where it has one (asking before changes not yet saved go into it), else as a
    // recovery job in the program's data folder, which the view names. Nothing while the sheet
    // is not current or has no table.
    void enterMachineMode();
    // The machine mode while it is open, else nullptr.
    MachineView* machineView() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createPages();
    void createActions();
    void createMenus();
    void createCentralWidget();
    void readSettings();
    void connectPages();
    void restoreWindow();
    QAction* makeAction(const char* name, const QString& text, const QKeySequence& keys,
                        void (WorkshopWindow::*slot)());
    void createJobs(QMenu* file);
    QString keepForTheMachine(CalculatorPage* page, QString& kept);
    QPushButton* makeButton(QAction* action);
    void updateActions();
    // Says once, at the start, that the inputs will not be remembered when the settings cannot
    // be written, and why.
    void warnIfSettingsCannotBeKept();
    void saveChangedPages();
    void saveWindow();
    // The file the user chooses for what the action saves; "" when the action is off or the
    // user cancels.
    QString askSavePath(const QAction* action, const QString& caption, const QString& suffix,
                        const QString& filter);
    // Writes what the sheet's writer makes (its CSV or G-code) to the file, when it has one;
    // `what` names the work for a shortage of memory: "save the CSV".
    bool saveOutput(const QString& path, std::function<std::string()> PageOutput::*writer,
                    const QString& what);
    // Saves the bytes as the file, atomically; says the system's reason when it cannot, and
    // "Saved <path>" on the status bar when it has.
    bool saveBytes(const QString& path, QByteArrayView bytes);
    // Does the work; when memory runs short for it, says "Not enough memory to <what>." and
    // returns false, the window, its pages, the clipboard and the files as they were.
    bool enoughMemory(const QString& what, const std::function<void()>& work);
    void sayShortOfMemory(const QString& what);
    void previewAndPrint(const PrintedSheet& sheet);
    int printSheetOn(QPrinter& printer, const PrintedSheet& sheet);
    // Saves a PDF of `pages` pages made in memory; 0 pages means it could not be drawn.
    int savePdf(const QString& path, const QByteArray& pdf, int pages);
    void complain(const QString& text);

    void copySheet();
    void saveCsv();
    void saveGcode();
    void print();
    void exportPdf();
    void exportPicture();
    void resetPage();
    void showHelp();
    void about();

    QSettings settings_;
    QTabWidget* pages_ = nullptr;
    std::vector<CalculatorPage*> pageList_;
    QAction* copy_ = nullptr;
    QAction* saveCsv_ = nullptr;
    QAction* saveGcode_ = nullptr;
    QAction* print_ = nullptr;
    QAction* exportPdf_ = nullptr;
    QAction* exportPicture_ = nullptr;
    QAction* resetPage_ = nullptr;
    QAction* quit_ = nullptr;
    QAction* help_ = nullptr;
    QAction* about_ = nullptr;
    HelpWindow* helpWindow_ = nullptr;
    QTimer* saveSoon_ = nullptr;
    std::set<CalculatorPage*> unsaved_;
    QAction* machine_ = nullptr;
    JobKeeper* jobs_ = nullptr;
    QPointer<MachineView> machineView_;
    std::vector<std::pair<QAction*, QPushButton*>> buttons_;
    // Room kept for the message that memory ran short, which would otherwise have none.
    MemoryReserve messageRoom_{std::size_t{4} << 20};
};

}  // namespace morvanta::workshop
