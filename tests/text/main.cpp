#include "tests/support/TestRunner.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return tarnwick::test::runRegisteredTests(argc, argv);
}
