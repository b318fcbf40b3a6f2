// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "workshop/Page.h"

class QThread;

namespace morvanta::workshop {

// Runs a page's engine call away from the window's thread, so that typing into a large sheet
// never stalls the window. Each request supersedes the one before: a call that ends within
// kQuickMilliseconds is delivered before request() returns, as if it had run in the window's
// thread; a longer one when it ends, unless a later request has superseded it, whose call then
// starts. Only one call runs at a time, and a result is delivered in the window's thread.
//
//   PageComputation computation(definition.compute, [this](PageResult r) { show(r); });
//   computation.request(inputs);
//   computation.busy();   // false: show() has run; true: it runs when the call ends
class PageComputation : public QObject {
    Q_OBJECT

public:
    using Compute = std::function<PageResult(const Inputs&)>;
    using Deliver = std::function<void(PageResult)>;

    // A third of a frame at 60 Hz, leaving the rest for showing the result and drawing it.
    static constexpr int kQuickMilliseconds = 6;

    PageComputation(Compute compute, Deliver deliver, QObject* parent = nullptr);
    // Waits for a running call and delivers nothing more.
    ~PageComputation() override;

    void request(Inputs inputs);
    // Lets go of what the window no longer shows, such as the last sheet, in the thread of the
    // next call rather than the window's: freeing ten thousand rows of text took a tenth of a
    // keystroke's redraw. It is held until that call starts.
    void discard(std::shared_ptr<const void> leftover);
    // A request not delivered yet.
    bool busy() const { return running_ != nullptr; }
    // Waits until the last request is delivered.
    void finish();

private:
    void start(Inputs inputs);
    void collect(QThread* thread);

    Compute compute_;
    Deliver deliver_;
    std::optional<Inputs> waiting_;
    QThread* running_ = nullptr;
    std::shared_ptr<std::optional<PageResult>> result_;
    std::vector<std::shared_ptr<const void>> leftovers_;
};

}  // namespace morvanta::workshop
