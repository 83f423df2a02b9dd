#include "TestRunner.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>

#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

namespace tarnwick::test {

namespace {
std::vector<std::pair<const char*, TestFactory>>& registry() {
    static std::vector<std::pair<const char*, TestFactory>> tests;
    return tests;
}
}  // namespace

RegisterTest::RegisterTest(const char* name, TestFactory factory) {
    registry().emplace_back(name, std::move(factory));
}
int runRegisteredTests(int argc, char** argv) {
    if (argc > 1 && argv[1][0] != '-') {
        for (auto& [name, factory] : registry()) {
            if (std::strcmp(name, argv[1]) != 0) continue;
            std::vector<char*> rest{argv[0]};
            rest.insert(rest.end(), argv + 2, argv + argc);
            auto test = factory();
            return QTest::qExec(test.get(), int(rest.size()), rest.data());
        }
        std::fprintf(stderr, "no test class named %s\n", argv[1]);
        return 1;
    }
    // Qt Test keeps global state between test objects, so each class runs in a process of its own.
    int failures = 0;
    for (auto& [name, factory] : registry()) {
        QStringList arguments{QString::fromLatin1(name)};
        for (int i = 1; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
        int code = QProcess::execute(QCoreApplication::applicationFilePath(), arguments);
        failures += code == 0 ? 0 : 1;
    }
    return failures;
}

}  // namespace tarnwick::test
