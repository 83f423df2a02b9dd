#include "PanelCommand.h"

#include "FolderArgument.h"
#include "PreviewLoader.h"
#include "SearchDependencies.h"
#include "Translations.h"
#include "panel/SearchPanel.h"
#include "platform/DesktopServices.h"

#include <QApplication>
#include <QByteArray>

namespace tarnwick {

namespace {

// Quits, but only once a reveal still on its way to the file manager has been delivered (or
// replaced by its fallback): it would die with the process otherwise.
void quitOnceRequestsAreDelivered() {
    const std::shared_ptr<FileManagerReveal> reveal = DesktopServices::forThisDesktop().reveal;
    if (!reveal || !reveal->isBusy()) return QCoreApplication::quit();
    QObject::connect(reveal.get(), &FileManagerReveal::idle, qApp, &QCoreApplication::quit);
}

}  // namespace

int runPanelCommand(int& argc, char** argv, const QByteArray& argument,
                    Translations& translations) {
    const std::optional<QByteArray> folder = searchableFolder(argument);
    if (!folder) return 1;
    QApplication app(argc, argv);
    translations.install();

    SearchPanel panel(*folder, defaultSearchDependencies(), &loadPreviewContent);
    // A tool window does not count for quitting on the last window closed: quit explicitly.
    QObject::connect(&panel, &SearchPanel::panelClosed, &app, &quitOnceRequestsAreDelivered,
                     Qt::QueuedConnection);
    panel.show();
    if (!panel.isVisible()) {
        complain(QCoreApplication::translate("PanelCommand", "no screen to show the panel on")
                     .toLocal8Bit());
        return 1;
    }
    return app.exec();
}

}  // namespace tarnwick
