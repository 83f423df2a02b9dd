#include "ReportedFolderSource.h"

#include "KWinWindowStack.h"
#include "WindowFolderQuery.h"
#include "core/FileUri.h"

#include <QCoreApplication>
#include <QPointer>

namespace tarnwick {

namespace {

bool meansNoFileManager(const QString& error) {
    return error.startsWith(QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown")) ||
           error.startsWith(QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner"));
}

std::optional<QByteArray> localFolder(const QString& uri) {
    const std::optional<QByteArray> path = pathFromFileUri(uri.toUtf8());
    if (!path) return std::nullopt;
    return withoutTrailingSlashes(*path);
}

}  // namespace

ReportedFolderSource::ReportedFolderSource(QDBusConnection bus, bool askKWin, QObject* parent)
    : QObject(parent), m_bus(std::move(bus)) {
    if (askKWin) m_kwin = std::make_unique<KWinWindowStack>(m_bus);
}

ReportedFolderSource::~ReportedFolderSource() = default;

void ReportedFolderSource::requestFrontFolder(Callback done) {
    auto* request = new FrontFolderRequest(std::move(done), kDeadlineMs, this);
    if (!m_kwin) return askFileManager(request);
    const QPointer<FrontFolderRequest> guard(request);
    m_kwin->request([this, guard](std::optional<WindowStack> stack) {
        if (!guard) return;
        const auto window =
            stack ? frontFileManagerWindow(*stack, QCoreApplication::applicationPid(), QString())
                  : std::nullopt;
        if (!window) return askFileManager(guard);
        askWindowFolder(m_bus, *window, guard, [this, guard](std::optional<QByteArray> folder) {
            if (folder) return guard->finish(folder);
            askFileManager(guard);
        });
    });
}

void ReportedFolderSource::askFileManager(FrontFolderRequest* request) {
    fileManagerQueries::askReportedLocations(
        m_bus, request, [request](BusAnswer<ReportedLocations> answer) {
            if (!answer.value) {
                if (meansNoFileManager(answer.error)) return request->finish(std::nullopt);
                return request->fail(answer.error);
            }
            const auto folder = singleReportedFolder(*answer.value);
            request->finish(folder && isFolderOnDisk(*folder) ? folder : std::nullopt);
        });
}

std::optional<QByteArray> singleReportedFolder(const ReportedLocations& reported) {
    if (reported.windows) {
        if (reported.windows->size() != 1 || reported.windows->first().size() != 1)
            return std::nullopt;
        return localFolder(reported.windows->first().first());
    }
    if (reported.openLocations.size() != 1) return std::nullopt;
    return localFolder(reported.openLocations.first());
}

}  // namespace tarnwick
