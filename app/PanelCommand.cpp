#include "PanelCommand.h"

#include "FolderArgument.h"
#include "PreviewLoader.h"
#include "SearchDependencies.h"
#include "panel/SearchPanel.h"
#include "platform/DesktopServices.h"

#include <QApplication>
#include <QByteArray>

#include <cstring>

namespace tarnwick {

namespace {

constexpr const char* kPanelOption = "--panel";

// Quits, but only once a reveal still on its way to the file manager has been delivered (or
// replaced by its fallback): it would die with the process otherwise.
void quitOnceRequestsAreDelivered() {
    const std::shared_ptr<FileManagerReveal> reveal = DesktopServices::forThisDesktop().reveal;
    if (!reveal || !reveal->isBusy()) return QCoreApplication::quit();
    QObject::connect(reveal.get(), &FileManagerReveal::idle, qApp, &QCoreApplication::quit);
}

}  // namespace

bool wantsPanel(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], kPanelOption) == 0) return true;
    return false;
}

int runPanelCommand(int& argc, char** argv) {
    // QApplication takes its own options (-platform, -display) out of argv first.
    QApplication app(argc, argv);
    if (argc != 3 || std::strcmp(argv[1], kPanelOption) != 0) {
        complain("usage: tarnwick --panel FOLDER");
        return 2;
    }
    const std::optional<QByteArray> folder = searchableFolder(argv[2]);
    if (!folder) return 1;

    SearchPanel panel(*folder, defaultSearchDependencies(), &loadPreviewContent);
    // A tool window does not count for quitting on the last window closed: quit explicitly.
    QObject::connect(&panel, &SearchPanel::panelClosed, &app, &quitOnceRequestsAreDelivered,
                     Qt::QueuedConnection);
    panel.show();
    if (!panel.isVisible()) {
        complain("no screen to show the panel on");
        return 1;
    }
    return app.exec();
}

}  // namespace tarnwick
