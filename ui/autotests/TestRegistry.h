// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <memory>
#include <optional>

// The window tests of a folder are one program, which runs one test class a time, as a program of
// its own would: `workshopTests PagesTest -functions` lists PagesTest's functions. Each class makes
// itself known after its definition, at file scope:
//   MORVANTA_WINDOW_TEST(layoutTest)
//   MORVANTA_WINDOW_TEST_WITH_CHILD(frmMainTest, scenarioChild)
// A class whose test starts this program again as a child (runChild) names the function that
// runs such a child: it is asked first, with the child's words, and answers nothing when they are
// not its own, e.g. scenarioChild runs `uiTests --scenario 1000000 12288` and answers its
// status, but answers nothing to `uiTests layoutTest`. One program is linked where there were
// several, and its files are compiled together.
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
