#include "FolderArgument.h"
#include "PrintCommand.h"
#include "Translations.h"
#include "app/cli/CommandLine.h"
#include "app/cli/CommandLineHelp.h"
#include "core/DirectoryListing.h"
#include "core/LoadableModule.h"

#include <QCoreApplication>
#include <QProcessEnvironment>

#include <clocale>
#include <cstdio>

namespace {

using namespace tarnwick;

constexpr const char* kCannotLoad = QT_TRANSLATE_NOOP("main", "cannot load the interface: %1");

// The tray, the panel and the settings live in the interface module: a `--print` run, which
// needs none of them, starts without mapping the toolkit's libraries.
int runInterface(int argc, char* argv[]) {
    QByteArray error;
    void* module = loadModule("tarnwick-interface.so", &error);
    using Main = int (*)(int, char**);
    auto entry = reinterpret_cast<Main>(moduleEntry(module, "tarnwick_interface_main"));
    if (!entry) {
        // No application object yet: the loaded translations speak directly.
        complain(Translations::translate("main", kCannotLoad)
                     .arg(QString::fromLocal8Bit(error))
                     .toLocal8Bit());
        return 1;
    }
    return entry(argc, argv);
}

}  // namespace

int main(int argc, char* argv[]) {
    using Command = cli::Invocation::Command;
    // While this is the only thread: growing the table later would stall the first walk.
    reserveWalkDescriptors();
    // The C library's own messages (strerror) in the desktop's language from the first line on;
    // Qt's application object would set this only later.
    std::setlocale(LC_ALL, "");
    Translations translations(desktopLanguages(QProcessEnvironment::systemEnvironment()),
                              Translations::installedFolder());
    // Read before any application object exists: help, version and a wrong command line need
    // no display and no bus.
    const cli::Invocation invocation = cli::parseCommandLine(argc, argv);
    switch (invocation.command) {
        case Command::help:
            return std::fputs(qPrintable(cli::helpText()), stdout) < 0;
        case Command::printHelp:
            return std::fputs(qPrintable(cli::printHelpText()), stdout) < 0;
        case Command::version:
            return std::fputs(qPrintable(cli::versionText()), stdout) < 0;
        case Command::wrong:
            complain(invocation.problem.toLocal8Bit());
            return 2;
        case Command::print: {
            QCoreApplication::setOrganizationName(QStringLiteral("Tarnwick"));
            QCoreApplication::setApplicationName(QStringLiteral("Tarnwick"));
            // Qt is given no arguments: they were all read above.
            int qtArgc = 1;
            QCoreApplication app(qtArgc, argv);
            translations.install();
            return runPrintCommand(invocation);
        }
        default:
            return runInterface(argc, argv);
    }
}
