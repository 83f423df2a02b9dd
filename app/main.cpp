#include "AppDelegate.h"
#include "FileManagerActions.h"
#include "PanelCommand.h"
#include "PreviewLoader.h"
#include "PrintCommand.h"
#include "SearchDependencies.h"
#include "SettingsView.h"
#include "SingleInstance.h"
#include "UpdateManager.h"
#include "panel/SearchPanel.h"
#include "platform/FrontFolderSource.h"

#include <QApplication>
#include <QDBusConnection>

#include <cstdio>
#include <cstring>

namespace {

using namespace tarnwick;

bool hasArgument(int argc, char** argv, const char* wanted) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], wanted) == 0) return true;
    return false;
}

AppDelegate::Dependencies applicationDependencies() {
    AppDelegate::Dependencies dependencies;
    dependencies.frontFolder = FrontFolderSource::create();
    dependencies.beep = [] { QApplication::beep(); };
    dependencies.makePanel = [](const QByteArray& folder) {
        return std::make_unique<SearchPanel>(folder, defaultSearchDependencies(),
                                             &loadPreviewContent);
    };
    dependencies.openSettings = [] { SettingsView::shared().showAndRaise(); };
    dependencies.checkForUpdates = [] { UpdateManager::shared().checkForUpdates(); };
    return dependencies;
}

// Hands the request to the running instance; a name whose owner left meanwhile is claimed.
int handOver(SingleInstance& instance, const StartRequest& request, bool* becamePrimary) {
    const QString error = instance.handOver(request);
    if (error.isEmpty()) return 0;
    if (instance.claim() == SingleInstance::Claim::primary) {
        *becamePrimary = true;
        return 0;
    }
    std::fprintf(stderr, "tarnwick: the running instance did not answer: %s\n",
                 qUtf8Printable(error));
    return 1;
}

void runRequest(AppDelegate& delegate, const StartRequest& request) {
    switch (request.kind) {
        case StartRequest::Kind::plain:
            break;
        case StartRequest::Kind::activateSearch:
            delegate.activateSearch();
            break;
        case StartRequest::Kind::openFolder:
            delegate.openFolder(request.folder);
            break;
        case StartRequest::Kind::openSettings:
            SettingsView::shared().showAndRaise();
            break;
    }
}

// The tray application, or a hand-over to the one already running.
int runTrayApplication(int& argc, char** argv) {
    QApplication app(argc, argv);
    const ParsedStart start = parseStartRequest(argc, argv);
    if (!start.request) {
        std::fprintf(stderr, "tarnwick: %s\n", start.problem.constData());
        return start.exitCode;
    }
    SingleInstance instance(QDBusConnection::sessionBus());
    const SingleInstance::Claim claim = instance.claim();
    if (claim == SingleInstance::Claim::alreadyRunning) {
        bool becamePrimary = false;
        const int status = handOver(instance, *start.request, &becamePrimary);
        if (!becamePrimary) return status;
    } else if (claim == SingleInstance::Claim::noBus) {
        std::printf("Single instance: no session bus; later starts cannot reach this one\n");
        std::fflush(stdout);
    }

    QApplication::setQuitOnLastWindowClosed(false);
    AppDelegate delegate(applicationDependencies());
    QObject::connect(&instance, &SingleInstance::searchRequested, &delegate,
                     &AppDelegate::activateSearch);
    QObject::connect(&instance, &SingleInstance::folderRequested, &delegate,
                     &AppDelegate::openFolder);
    QObject::connect(&instance, &SingleInstance::settingsRequested,
                     [] { SettingsView::shared().showAndRaise(); });
    UpdateManager::shared().start();
    delegate.applicationDidFinishLaunching();
    runRequest(delegate, *start.request);
    return app.exec();
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication::setOrganizationName(QStringLiteral("Tarnwick"));
    QCoreApplication::setApplicationName(QStringLiteral("Tarnwick"));
    // A panel needs a GUI application; decide before any application object exists.
    if (wantsPanel(argc, argv)) return runPanelCommand(argc, argv);
    if (hasArgument(argc, argv, "--print")) {
        QCoreApplication app(argc, argv);
        return runPrintCommand(QCoreApplication::arguments());
    }
    if (hasArgument(argc, argv, "--install-file-manager-actions")) {
        QCoreApplication app(argc, argv);
        return installFileManagerActions(QCoreApplication::arguments());
    }
    return runTrayApplication(argc, argv);
}
