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

// The executable's test classes, added by TARNWICK_TEST.
inline auto& registeredTests() {
    static std::vector<std::pair<const char*, std::function<std::unique_ptr<QObject>()>>> tests;
    return tests;
}

// Runs the class named first (the rest to Qt Test), or each in a process of its own.
inline int runRegisteredTests(int argc, char** argv) {
    if (argc > 1 && argv[1][0] != '-') {
        for (auto& [name, factory] : registeredTests()) {
            if (std::strcmp(name, argv[1]) != 0) continue;
            argv[1] = argv[0];  // the rest for Qt Test
            return QTest::qExec(factory().get(), argc - 1, argv + 1);
        }
        std::fprintf(stderr, "no test class named %s\n", argv[1]);
        return 1;
    }
    // Qt Test keeps global state between test objects.
    int failures = 0;
    for (auto& [name, factory] : registeredTests()) {
        QStringList arguments{QString::fromLatin1(name)};
        for (int i = 1; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
        failures += QProcess::execute(QCoreApplication::applicationFilePath(), arguments) ? 1 : 0;
    }
    return failures;
}

}  // namespace tarnwick::test

#define TARNWICK_TEST(Class)                                              \
    static const bool registered_##Class =                                \
        (tarnwick::test::registeredTests().emplace_back(                  \
             #Class, [] { return std::unique_ptr<QObject>(new Class); }), \
         true);
