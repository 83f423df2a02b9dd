#include "tests/support/TestRunner.h"

#include <QGuiApplication>
#include <QTemporaryDir>

// A GUI application for the PDF fixtures (offscreen platform), and a private settings folder so
// that the hidden-files preference the tests set never touches the user's.
int main(int argc, char** argv) {
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
    QGuiApplication app(argc, argv);
    return tarnwick::test::runRegisteredTests(argc, argv);
}
