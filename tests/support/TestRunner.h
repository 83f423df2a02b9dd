#pragma once

#include <QObject>

#include <functional>
#include <memory>

namespace tarnwick::test {

using TestFactory = std::function<std::unique_ptr<QObject>()>;

// Adds a test class to the executable's list (see TARNWICK_TEST).
struct RegisterTest {
    RegisterTest(const char* name, TestFactory factory);
};

// Runs the class named by the first argument (with the rest passed to Qt Test), or every
// registered class, one process each, when no class is named. Returns non-zero on failure.
int runRegisteredTests(int argc, char** argv);

}  // namespace tarnwick::test

#define TARNWICK_TEST(Class)                                        \
    static const tarnwick::test::RegisterTest registerTest_##Class( \
        #Class, [] { return std::unique_ptr<QObject>(new Class); });
