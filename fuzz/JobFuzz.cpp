// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/Job.h"

// The reader of job files, fed anything: every text is a job or one refusal of one line that
// says where; a job written again reads back as the same bytes; and a job's sheet is made or
// refused, never anything else. Counts stay short, as in the engine's own target, so that one
// input keeps within the fuzzer's time budget under the sanitizers.
namespace {

void check(bool ok) {
    if (!ok) {
        __builtin_trap();
    }
}

void checkRefusal(const morvanta::Refusal& refusal) {
    check(!refusal.text.empty() && refusal.text.find('\n') == std::string::npos);
}

bool shortCounts(const morvanta::Job& job) {
    for (const auto& [id, text] : job.inputs.all()) {
        if (id == "count" && text.size() > 3) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const morvanta::Result<morvanta::Job> job = morvanta::readJob(text);
    if (!job.ok()) {
        checkRefusal(job.refusal());
        return 0;
    }
    const std::string written = morvanta::writeJob(job.value());
    const morvanta::Result<morvanta::Job> again = morvanta::readJob(written);
    check(again.ok());
    check(morvanta::writeJob(again.value()) == written);
    check(again.value().inputs.all() == job.value().inputs.all());
    check(again.value().ticks == job.value().ticks);
    if (!shortCounts(job.value())) {
        return 0;
    }
    const morvanta::Result<morvanta::Made> made = morvanta::makeJob(job.value());
    if (!made.ok()) {
        checkRefusal(made.refusal());
        return 0;
    }
    const std::string sheet = made.value().sheet.write();
    check(!sheet.empty() && sheet.back() == '\n');
    return 0;
}
