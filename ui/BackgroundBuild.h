// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/HoleTable.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "ui/OutputBox.h"

namespace morvanta {

// One build run off the user-interface thread: the engine call, then the loading of its table into
// a document for the output box, both abandoned promptly on cancel(). The owner waits, polls
// fractionDone() and, once isFinished(), reads the outcome on its own thread. Nothing here touches
// a window or the clipboard. Where no thread can be had, the constructor itself runs the build
// and returns with it finished.
//
// Outcomes: Value with the document loaded; Message with the engine's message, or with
// kOutOfMemoryMessage when the document could not take the table; Cancelled.
//
//   BackgroundBuild job([](const BuildProgress& p) { return BuildThisTable("7", p); },
//                       box->createLoader());
//   job.waitFor(std::chrono::milliseconds(500));
//   if (job.isFinished() && job.kind() == BuildResult::Kind::Value) box->adopt(job.document());
class BackgroundBuild {
public:
    using Build = std::function<BuildResult(const BuildProgress&)>;

    BackgroundBuild(Build build, DocumentLoader loader);
    // Cancels a build still running and waits for its thread.
    ~BackgroundBuild();
    BackgroundBuild(const BackgroundBuild&) = delete;
    BackgroundBuild& operator=(const BackgroundBuild&) = delete;

    // True when finished within the time.
    bool waitFor(std::chrono::milliseconds time);
    bool isFinished() const { return finished_.load(); }
    double fractionDone() const { return fraction_.load(); }
    void cancel() { cancelled_.store(true); }

    // Only once finished: the outcome, the message of a failed build, the loaded table.
    BuildResult::Kind kind() const { return kind_; }
    const std::string& message() const { return message_; }
    DocumentLoader& document() { return loader_; }

private:
    void run(const Build& build);
    void buildAndLoad(const Build& build);

    DocumentLoader loader_;
    BuildResult::Kind kind_ = BuildResult::Kind::Cancelled;
    std::string message_;
    std::atomic<bool> cancelled_{false};
    std::atomic<bool> finished_{false};
    std::atomic<double> fraction_{0.0};
    std::mutex mutex_;
    std::condition_variable done_;
    std::thread thread_;
};

}  // namespace morvanta
