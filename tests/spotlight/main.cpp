#include "tests/support/TestRunner.h"

#include <QGuiApplication>

// A GUI application, because the PDF fixtures are written with QPdfWriter (offscreen platform).
int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    return tarnwick::test::runRegisteredTests(argc, argv);
}
