// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QStringList>

#include <memory>

// The window tests of a folder are one program that runs one test class as its own program would,
// e.g. `workshopTests PagesTest -functions`. Each class registers after its definition:
//   MORVANTA_WINDOW_TEST(layoutTest)
//   MORVANTA_WINDOW_TEST_WITH_CHILD(frmMainTest, "--scenario", scenarioChild)
// where the child runs, under a QApplication of its own, in a copy that runChild() started with
// the word "--scenario": scenarioChild(the words after it) answers its status.
namespace morvanta::testing {

using MakeTest = std::unique_ptr<QObject> (*)();
using RunChild = int (*)(const QStringList& words);

// Adds the class `name`; always true, so that a file-scope constant can hold the answer.
bool registerTest(const char* name, MakeTest make, const char* childWord = nullptr,
                  RunChild child = nullptr);

}  // namespace morvanta::testing

#define MORVANTA_WINDOW_TEST_WITH_CHILD(Class, word, child)                                   \
    namespace {                                                                               \
    [[maybe_unused]] const bool registered##Class = morvanta::testing::registerTest(          \
        #Class, []() -> std::unique_ptr<QObject> { return std::make_unique<Class>(); }, word, \
        child);                                                                               \
    }

#define MORVANTA_WINDOW_TEST(Class) MORVANTA_WINDOW_TEST_WITH_CHILD(Class, nullptr, nullptr)
