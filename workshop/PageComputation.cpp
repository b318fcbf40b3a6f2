// SPDX-License-Identifier: GPL-3.0-or-later
#include "workshop/PageComputation.h"

#include <QDeadlineTimer>
#include <QThread>

#include <new>

namespace morvanta::workshop {

PageComputation::PageComputation(Compute compute, Deliver deliver, QObject* parent)
    : QObject(parent), compute_(std::move(compute)), deliver_(std::move(deliver)) {}

PageComputation::~PageComputation() {
    if (running_ != nullptr) {
        running_->wait();
        delete running_;
    }
}

void PageComputation::request(Inputs inputs) {
    if (running_ != nullptr) {
        // The call running is for fields that no longer stand; this one starts when it ends.
        waiting_ = std::move(inputs);
        return;
    }
    start(std::move(inputs));
    QThread* thread = running_;
    if (thread->wait(QDeadlineTimer(kQuickMilliseconds))) {
        collect(thread);
    }
}

void PageComputation::discard(std::shared_ptr<const void> leftover) {
    leftovers_.push_back(std::move(leftover));
}

void PageComputation::finish() {
    while (running_ != nullptr) {
        QThread* thread = running_;
        thread->wait();
        collect(thread);
    }
}

void PageComputation::start(Inputs inputs) {
    auto result = std::make_shared<std::optional<PageResult>>();
    result_ = result;
    running_ = QThread::create([compute = compute_, inputs = std::move(inputs), result,
                                leftovers = std::move(leftovers_)]() mutable {
        leftovers.clear();
        // The engine answers bad input with a message, never an exception; only a sheet too
        // large for the memory left can throw, and that must not take the user's other pages
        // with it.
        try {
            *result = compute(inputs);
        } catch (const std::bad_alloc&) {
            *result = PageResult::failure("not enough memory to make this sheet");
        }
    });
    leftovers_.clear();
    QThread* thread = running_;
    connect(thread, &QThread::finished, this, [this, thread] { collect(thread); });
    thread->start();
}

void PageComputation::collect(QThread* thread) {
    // A call already collected by a wait still sends its queued signal.
    if (thread != running_) {
        return;
    }
    // A moment at most: the thread has sent finished(), or a wait has seen it end.
    thread->wait();
    std::shared_ptr<std::optional<PageResult>> result = std::move(result_);
    running_ = nullptr;
    thread->deleteLater();
    if (waiting_) {
        Inputs next = std::move(*waiting_);
        waiting_.reset();
        start(std::move(next));
        return;
    }
    if (*result) {
        deliver_(std::move(**result));
    }
}

}  // namespace morvanta::workshop
