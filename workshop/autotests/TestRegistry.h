// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <memory>

// The Workshop's window tests are one program, which runs one test class a time, as a program of
// its own would: `workshopTests JobTest -functions` lists JobTest's functions. Each class makes
// itself known after its definition, at file scope:
//   MORVANTA_WINDOW_TEST(JobTest)
// One program is linked where there were four, and its files are compiled together.
namespace morvanta::workshop::testing {

using MakeTest = std::unique_ptr<QObject> (*)();

// Adds the class `name`; always true, so that a file-scope constant can hold the answer.
bool registerTest(const char* name, MakeTest make);

}  // namespace morvanta::workshop::testing

#define MORVANTA_WINDOW_TEST(Class)                                                            \
    namespace {                                                                                \
    [[maybe_unused]] const bool registered##Class = morvanta::workshop::testing::registerTest( \
        #Class, []() -> std::unique_ptr<QObject> { return std::make_unique<Class>(); });       \
    }
