#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QProcess>
#include <QTest>

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace tarnwick::test {

using TestFactory = std::function<std::unique_ptr<QObject>()>;

inline std::vector<std::pair<const char*, TestFactory>>& testRegistry() {
    static std::vector<std::pair<const char*, TestFactory>> tests;
    return tests;
}

// Adds a test class to the executable's list (see TARNWICK_TEST).
struct RegisterTest {
    RegisterTest(const char* name, TestFactory factory) {
        testRegistry().emplace_back(name, std::move(factory));
    }
};

// Runs the class named by the first argument (with the rest passed to Qt Test), or every
// registered class, one process each, when no class is named. Returns non-zero on failure.
inline int runRegisteredTests(int argc, char** argv) {
    if (argc > 1 && argv[1][0] != '-') {
        for (auto& [name, factory] : testRegistry()) {
            if (std::strcmp(name, argv[1]) != 0) continue;
            std::vector<char*> rest{argv[0]};
            rest.insert(rest.end(), argv + 2, argv + argc);
            return QTest::qExec(factory().get(), int(rest.size()), rest.data());
        }
        std::fprintf(stderr, "no test class named %s\n", argv[1]);
        return 1;
    }
    // Qt Test keeps global state between test objects, so each class runs in a process of its own.
    int failures = 0;
    for (auto& [name, factory] : testRegistry()) {
        QStringList arguments{QString::fromLatin1(name)};
        for (int i = 1; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
        failures += QProcess::execute(QCoreApplication::applicationFilePath(), arguments) ? 1 : 0;
    }
    return failures;
}

}  // namespace tarnwick::test

#define TARNWICK_TEST(Class)                                        \
    static const tarnwick::test::RegisterTest registerTest_##Class( \
        #Class, [] { return std::unique_ptr<QObject>(new Class); });
