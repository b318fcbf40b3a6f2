// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/BackgroundBuild.h"

#include <algorithm>
#include <new>
#include <system_error>
#include <utility>

namespace morvanta {

namespace {

// The engine writes a table much faster than the document takes it in, so the engine gets the
// first fifth of the progress bar.
constexpr double kEngineShare = 0.2;
// Small enough that cancel() is seen within a few milliseconds of loading.
constexpr std::size_t kLoadChunk = 1 << 20;

}  // namespace

BackgroundBuild::BackgroundBuild(Build build, DocumentLoader loader) : loader_(std::move(loader)) {
    try {
        thread_ = std::thread([this, build] { run(build); });
    } catch (const std::system_error&) {
        // Short of memory or of threads: a build that holds the window is better than none.
        run(build);
    }
}

BackgroundBuild::~BackgroundBuild() {
    cancel();
    if (thread_.joinable()) {
        thread_.join();
    }
}

bool BackgroundBuild::waitFor(std::chrono::milliseconds time) {
    std::unique_lock lock(mutex_);
    return done_.wait_for(lock, time, [this] { return finished_.load(); });
}

// Memory may also run short outside the engine, in the texts handed to it or in the document;
// a thread must not let that escape.
void BackgroundBuild::run(const Build& build) {
    try {
        buildAndLoad(build);
    } catch (const std::bad_alloc&) {
        kind_ = BuildResult::Kind::Message;
        message_ = kOutOfMemoryMessage;
        loader_ = DocumentLoader();
    }
    {
        std::lock_guard lock(mutex_);
        finished_.store(true);
    }
    done_.notify_all();
}

void BackgroundBuild::buildAndLoad(const Build& build) {
    BuildResult result = build([this](double fraction) {
        fraction_.store(fraction * kEngineShare);
        return !cancelled_.load();
    });
    kind_ = result.kind();
    if (result.isMessage()) {
        message_ = result.message();
    } else if (result.ok()) {
        const std::string table = std::move(result).value();
        const std::string_view rest(table);
        for (std::size_t at = 0; at < table.size(); at += kLoadChunk) {
            if (cancelled_.load()) {
                kind_ = BuildResult::Kind::Cancelled;
                break;
            }
            if (!loader_.append(rest.substr(at, kLoadChunk))) {
                kind_ = BuildResult::Kind::Message;
                message_ = kOutOfMemoryMessage;
                break;
            }
            fraction_.store(kEngineShare + (1.0 - kEngineShare) * static_cast<double>(at) /
                                               static_cast<double>(table.size()));
        }
        if (kind_ == BuildResult::Kind::Value) {
            loader_.finish();
        } else {
            loader_ = DocumentLoader();
        }
    }
}

}  // namespace morvanta
