// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <memory>
#include <optional>

// The window tests of a folder are one program that runs one test class as its own program would,
// e.g. `workshopTests PagesTest -functions`. Each class registers after its definition:
//   MORVANTA_WINDOW_TEST(layoutTest)
//   MORVANTA_WINDOW_TEST_WITH_CHILD(frmMainTest, scenarioChild)
// where scenarioChild is asked first, with the words of a child that runChild() started, and
// answers a status for its own words (`uiTests --scenario 1000000 12288`), nothing for others.
namespace morvanta::testing {

using MakeTest = std::unique_ptr<QObject> (*)();
using RunChild = std::optional<int> (*)(int argc, char* argv[]);

// Adds the class `name`; always true, so that a file-scope constant can hold the answer.
bool registerTest(const char* name, MakeTest make, RunChild child = nullptr);

}  // namespace morvanta::testing

#define MORVANTA_WINDOW_TEST_WITH_CHILD(Class, child)                                           \
    namespace {                                                                                 \
    [[maybe_unused]] const bool registered##Class = morvanta::testing::registerTest(            \
        #Class, []() -> std::unique_ptr<QObject> { return std::make_unique<Class>(); }, child); \
    }

#define MORVANTA_WINDOW_TEST(Class) MORVANTA_WINDOW_TEST_WITH_CHILD(Class, nullptr)
