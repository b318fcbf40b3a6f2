// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/autotests/TestRegistry.h"

#include <QApplication>
#include <QTest>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace morvanta::testing {
namespace {

struct Registered {
    MakeTest make;
    const char* childWord;
    RunChild child;
};

// A function's static, so that classes may register from any file before main() starts.
std::map<std::string, Registered>& tests() {
    static std::map<std::string, Registered> registered;
    return registered;
}

}  // namespace

bool registerTest(const char* name, MakeTest make, const char* childWord, RunChild child) {
    tests().emplace(name, Registered{make, childWord, child});
    return true;
}

}  // namespace morvanta::testing

// As QTEST_MAIN would, with the class's name taken out of the words QTest and Qt see.
int main(int argc, char* argv[]) {
    using morvanta::testing::tests;
    for (const auto& [name, test] : tests()) {
        if (argc > 1 && test.childWord != nullptr && qstrcmp(argv[1], test.childWord) == 0) {
            QApplication app(argc, argv);
            return test.child(QApplication::arguments().mid(2));
        }
    }
    const auto found = argc > 1 ? tests().find(argv[1]) : tests().end();
    if (found == tests().end()) {
        std::fprintf(stderr, "Usage: %s TEST [QTest options]; ctest -N names them\n", argv[0]);
        return 2;
    }
    std::vector<char*> words{argv[0]};
    words.insert(words.end(), argv + 2, argv + argc);
    words.push_back(nullptr);
    int count = argc - 1;
    QApplication app(count, words.data());
    app.setAttribute(Qt::AA_Use96Dpi, true);
    const std::unique_ptr<QObject> test = found->second.make();
    return QTest::qExec(test.get(), count, words.data());
}
