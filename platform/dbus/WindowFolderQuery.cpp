#include "WindowFolderQuery.h"

#include "FileManagerWindowQueries.h"
#include "NautilusTabChoice.h"
#include "core/FileUri.h"
#include "platform/FrontFolderSource.h"
#include "platform/WindowTitlePath.h"

namespace tarnwick {

namespace {

using Done = std::function<void(std::optional<QByteArray>)>;

std::optional<QByteArray> titleFolder(const WindowFacts& window) {
    return folderFromTitle(window.title, isFolderOnDisk);
}

void askNautilus(const QDBusConnection& bus, const WindowFacts& window, QObject* context,
                 Done done) {
    const QString objectPath = QString::fromUtf8(window.gtkObjectPath);
    const QString title = QString::fromUtf8(window.title);
    fileManagerQueries::askWindowLocations(
        bus, QString::fromUtf8(window.gtkUniqueBusName), context,
        [objectPath, title, done = std::move(done)](BusAnswer<WindowLocations> answer) {
            if (!answer.value) {
                reportFileManagerError(answer.error);
                return done(std::nullopt);
            }
            if (!answer.value->contains(objectPath)) {
                reportFileManagerError(QStringLiteral("Nautilus lists no window ") + objectPath);
                return done(std::nullopt);
            }
            const auto folder =
                nautilusWindowFolder(answer.value->value(objectPath), title, qgetenv("HOME"));
            done(folder && isFolderOnDisk(*folder) ? folder : std::nullopt);
        });
}

void askDolphin(const QDBusConnection& bus, const WindowFacts& window, QObject* context,
                Done done) {
    const std::optional<QByteArray> folder = titleFolder(window);
    if (!folder) return done(std::nullopt);
    if (!window.pid) {
        reportFileManagerError(QStringLiteral("a Dolphin window without a process id"));
        return done(std::nullopt);
    }
    fileManagerQueries::askDolphinUrlOpen(
        bus, *window.pid, fileUriFromPath(*folder), context,
        [folder, done = std::move(done)](BusAnswer<bool> open) {
            if (!open.value) reportFileManagerError(open.error);
            done(open.value.value_or(false) ? folder : std::nullopt);
        });
}

}  // namespace

void askWindowFolder(const QDBusConnection& bus, const FileManagerWindow& window, QObject* context,
                     std::function<void(std::optional<QByteArray>)> done) {
    switch (window.kind) {
        case FileManagerKind::nautilus:
            return askNautilus(bus, window.window, context, std::move(done));
        case FileManagerKind::dolphin:
            return askDolphin(bus, window.window, context, std::move(done));
        case FileManagerKind::titled:
            return done(titleFolder(window.window));
    }
}

}  // namespace tarnwick
