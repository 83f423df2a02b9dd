#include "PanelCommand.h"
#include "PrintCommand.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication::setOrganizationName(QStringLiteral("Tarnwick"));
    QCoreApplication::setApplicationName(QStringLiteral("Tarnwick"));
    // A panel needs a GUI application; decide before any application object exists.
    if (tarnwick::wantsPanel(argc, argv)) return tarnwick::runPanelCommand(argc, argv);
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.contains(QStringLiteral("--print"))) return tarnwick::runPrintCommand(arguments);
    std::fprintf(stderr,
                 "usage: tarnwick --print [--sort name|date|size] [--ext KEY]... [-0] "
                 "[--index auto|tracker|scan|none] FOLDER [QUERY]\n"
                 "       tarnwick --panel FOLDER\n");
    return 2;
}
