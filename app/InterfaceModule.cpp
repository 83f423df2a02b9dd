#include "AppDelegate.h"
#include "FileManagerActions.h"
#include "FolderArgument.h"
#include "MemoryRelease.h"
#include "PanelCommand.h"
#include "PreviewLoader.h"
#include "SearchDependencies.h"
#include "SettingsView.h"
#include "SingleInstance.h"
#include "Translations.h"
#include "UpdateManager.h"
#include "app/cli/CommandLine.h"
#include "panel/SearchPanel.h"
#include "platform/FrontFolderSource.h"
#include "platform/StartupId.h"

#include <QApplication>
#include <QDBusConnection>
#include <QProcessEnvironment>

#include <cstdio>

namespace {

using namespace tarnwick;

AppDelegate::Dependencies applicationDependencies() {
    AppDelegate::Dependencies dependencies;
    dependencies.frontFolder = FrontFolderSource::create();
    dependencies.beep = [] { QApplication::beep(); };
    dependencies.preparePanel = [] {
        SearchSession::Dependencies search = defaultSearchDependencies();
        search.kept = keptListingsFromPreferences();
        auto panel = std::make_unique<SearchPanel>(search, DesktopServices::forThisDesktop(),
                                                   &loadPreviewContent);
        // A closed panel has dropped its work; a replaced one, its listing.
        QObject::connect(panel.get(), &SearchPanel::panelClosed, &releaseFreedMemorySoon);
        QObject::connect(panel.get(), &QObject::destroyed, &releaseFreedMemorySoon);
        return panel;
    };
    dependencies.openSettings = [] { SettingsView::shared().showAndRaise(); };
    // A build without an update feed leaves updates to the package manager: no menu item.
    if (UpdateManager::shared().isEnabled())
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
    complain(QCoreApplication::translate("main", "the running instance did not answer: %1")
                 .arg(error)
                 .toLocal8Bit());
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

// What a start of the tray application asks for; nothing when its folder cannot be searched
// (said on standard error).
std::optional<StartRequest> startRequest(const cli::Invocation& invocation) {
    using Command = cli::Invocation::Command;
    const QString token = activationTokenOfThisStart();
    if (invocation.command == Command::activate)
        return StartRequest{StartRequest::Kind::activateSearch, {}, token};
    if (invocation.command == Command::settings)
        return StartRequest{StartRequest::Kind::openSettings, {}, token};
    if (invocation.folder.isEmpty()) return StartRequest{StartRequest::Kind::plain, {}, token};
    const std::optional<QByteArray> folder = searchableFolder(invocation.folder);
    if (!folder) return std::nullopt;
    return StartRequest{StartRequest::Kind::openFolder, *folder, token};
}

// The tray application, or a hand-over to the one already running.
int runTrayApplication(int& argc, char** argv, const StartRequest& request,
                       Translations& translations) {
    tuneAllocatorForLongRun();
    QApplication app(argc, argv);
    translations.install();
    SingleInstance instance(QDBusConnection::sessionBus());
    const SingleInstance::Claim claim = instance.claim();
    if (claim == SingleInstance::Claim::alreadyRunning) {
        bool becamePrimary = false;
        const int status = handOver(instance, request, &becamePrimary);
        if (!becamePrimary) return status;
    } else if (claim == SingleInstance::Claim::noBus) {
        std::printf("Single instance: no session bus; later starts cannot reach this one\n");
        std::fflush(stdout);
    }

    QApplication::setQuitOnLastWindowClosed(false);
    AppDelegate delegate(applicationDependencies());
    QObject::connect(&instance, &SingleInstance::activationTokenGiven, &adoptActivationToken);
    QObject::connect(&instance, &SingleInstance::searchRequested, &delegate,
                     &AppDelegate::activateSearch);
    QObject::connect(&instance, &SingleInstance::folderRequested, &delegate,
                     &AppDelegate::openFolder);
    QObject::connect(&instance, &SingleInstance::settingsRequested,
                     [] { SettingsView::shared().showAndRaise(); });
    UpdateManager::shared().start();
    delegate.applicationDidFinishLaunching();
    runRequest(delegate, request);
    return app.exec();
}

}  // namespace

// Everything but help, version, a wrong command line and `--print`, which the program answers
// without loading this module (main.cpp).
extern "C" __attribute__((visibility("default"))) int tarnwick_interface_main(int argc,
                                                                              char* argv[]) {
    using Command = cli::Invocation::Command;
    Translations translations(desktopLanguages(QProcessEnvironment::systemEnvironment()),
                              Translations::installedFolder());
    const cli::Invocation invocation = cli::parseCommandLine(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Tarnwick"));
    QCoreApplication::setApplicationName(QStringLiteral("Tarnwick"));
    // Qt is given no arguments: they were all read above, and a folder named like one of Qt's
    // own options (-style) must stay a folder.
    int qtArgc = 1;
    switch (invocation.command) {
        case Command::panel:
            return runPanelCommand(qtArgc, argv, invocation.folder, translations);
        case Command::installActions: {
            QCoreApplication app(qtArgc, argv);
            translations.install();
            return installFileManagerActions(invocation.isSet("--remove"));
        }
        default:
            break;
    }
    const std::optional<StartRequest> request = startRequest(invocation);
    if (!request) return 1;
    return runTrayApplication(qtArgc, argv, *request, translations);
}
