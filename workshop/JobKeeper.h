// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/Job.h"

class QAction;
class QMainWindow;
class QMenu;
class QSettings;

namespace morvanta::workshop {

class CalculatorPage;

// The jobs of the window: each page may be a job kept as a file (engine/Job.h), with a name,
// notes, units and the rows ticked off at the machine. File > New, Open..., Open Recent, Save Job,
// Save Job As... and Job Details... act on the page in front; opening a job brings its page to the
// front. A page that is no job, as for a user who never saves one, is never asked about: its
// inputs are kept in the settings as they always were.
//
// A job is "modified" when what Save would write differs from what was last written or read; a
// page that is not yet a file is modified once it has a name, notes or ticks. The window's title
// names the job in front ("Flange – Morvanta Workshop", with Qt's [*] mark while modified).
//
// The ticks belong to the inputs they were made on: change an input and the page has no ticks;
// change it back and they are there again. Each tick is written to the job's file at once
// (recordTicks), atomically, so that a crash or a power cut between two holes loses nothing.
//
// Object names: the actions "newJob", "openJob", "saveJob", "saveJobAs", "jobDetails", the menu
// "recentJobs"; the file dialog "jobDialog", the question about changes "unsavedJob", the
// details dialog "jobDetailsDialog" with "jobName", "jobUnits" and "jobNotes".
class JobKeeper : public QObject {
    Q_OBJECT

public:
    JobKeeper(QMainWindow* window, QSettings& settings, std::vector<CalculatorPage*> pages,
              std::function<CalculatorPage*()> front,
              std::function<void(CalculatorPage*)> bringToFront);

    // The File menu's job entries, at the top of `file`.
    void addActions(QMenu* file);

    // Opens a job file into its page and brings the page to the front. A file that cannot be
    // read, is not a job, is damaged or hostile, or whose inputs the page cannot hold is refused
    // with a message naming what is wrong; the page then keeps the inputs it had.
    bool openJob(const QString& path);
    // Writes the page's job to the file, which it then is; refused while the page's input is not
    // valid, and when the file cannot be written (the old file then stays whole).
    bool saveJob(CalculatorPage* page, const QString& path);
    bool isModified(const CalculatorPage* page) const;
    // Asks about each job with changes not saved, as the window closes: Save, Discard or Cancel.
    // False when the user cancels (or a save fails): the window then stays open.
    bool closeAll();

    // The file of the page's job; "" while it is none.
    QString path(const CalculatorPage* page) const;
    QString name(const CalculatorPage* page) const;
    QString notes(const CalculatorPage* page) const;
    void setDetails(CalculatorPage* page, const QString& name, const QString& notes);
    // The rows done of the page's job for its inputs as they stand, ascending.
    std::vector<std::int64_t> ticks(const CalculatorPage* page) const;
    // The job of the page as Save would write it.
    Job jobOf(const CalculatorPage* page) const;

    // At the machine: makes the page a file if it is none yet (a recovery job under the
    // program's data folder, whose path is returned in `kept`), then writes it with the ticks at
    // once. "" when written, else why not.
    QString recordTicks(CalculatorPage* page, std::vector<std::int64_t> ticks,
                        QString* kept = nullptr);
    // Writes the page's job to its file as it stands, first making it a recovery job if it is
    // none: what the machine mode does before its first hole. "" or why not.
    QString keepForTheMachine(CalculatorPage* page, QString* kept = nullptr);

    // The files opened or saved lately, the latest first.
    QStringList recentFiles() const;

signals:
    // A job was opened, saved, renamed or changed: the title and the actions may need to follow.
    void changed();

public slots:
    // The title for the page in front, with the modified mark.
    void updateTitle();

private:
    struct PageJob {
        QString path;
        std::string saved;  // what was last written or read, as writeJob gives it
        Inputs tickedFor;   // the inputs the ticks were made on
        std::vector<std::int64_t> ticks;
        QString name;
        QString notes;
    };

    CalculatorPage* pageOf(const std::string& calculation) const;
    QString readFile(const QString& path, std::string& bytes) const;
    QString applyJob(CalculatorPage* page, const Job& job);
    bool askToSave(CalculatorPage* page, bool canDiscard);
    QString askPath(CalculatorPage* page);
    void remember(const QString& path);
    void fillRecent();
    void complain(const QString& text);
    QString writeNow(CalculatorPage* page, QString* kept);

    void newJob();
    void open();
    void save();
    void saveAs();
    void details();

    QMainWindow* window_;
    QSettings& settings_;
    std::vector<CalculatorPage*> pages_;
    std::function<CalculatorPage*()> front_;
    std::function<void(CalculatorPage*)> bringToFront_;
    std::map<const CalculatorPage*, PageJob> jobs_;
    QMenu* recent_ = nullptr;
    std::vector<QAction*> actions_;
};

}  // namespace morvanta::workshop
