#include "PanelCommand.h"

#include "SearchDependencies.h"
#include "panel/SearchPanel.h"
#include "platform/DesktopServices.h"

#include <QApplication>
#include <QByteArray>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include <dirent.h>
#include <sys/stat.h>

namespace tarnwick {

namespace {

constexpr const char* kPanelOption = "--panel";

void complain(const QByteArray& message) {
    std::fprintf(stderr, "tarnwick: %s\n", message.constData());
}

// Why `folder` cannot be searched, or nothing when it can.
std::optional<QByteArray> folderProblem(const QByteArray& folder) {
    struct stat st;
    if (stat(folder.constData(), &st) != 0) return folder + ": " + std::strerror(errno);
    if (!S_ISDIR(st.st_mode)) return folder + ": not a folder";
    DIR* dir = opendir(folder.constData());
    if (!dir) return folder + ": " + std::strerror(errno);
    closedir(dir);
    return std::nullopt;
}

// The folder as an absolute path without '.' or '..' steps or symbolic links: the panel shows
// its last component, and items are identified by paths below it.
QByteArray absoluteFolder(const QByteArray& folder) {
    char* resolved = realpath(folder.constData(), nullptr);
    if (!resolved) return folder;
    QByteArray path(resolved);
    std::free(resolved);
    return path;
}

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
    const QByteArray folder(argv[2]);
    if (std::optional<QByteArray> problem = folderProblem(folder)) {
        complain(*problem);
        return 1;
    }

    SearchPanel panel(absoluteFolder(folder), defaultSearchDependencies());
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
