#include "tests/support/TestRunner.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return tarnwick::test::runRegisteredTests(argc, argv);
}
