#include "GnomeShellFolderSource.h"

#include "GnomeShellExtension.h"
#include "platform/dbus/FileManagerWindowQueries.h"
#include "platform/dbus/WindowFolderQuery.h"

#include <QCoreApplication>
#include <QPointer>

namespace tarnwick {

GnomeShellFolderSource::GnomeShellFolderSource(QDBusConnection bus,
                                               std::unique_ptr<FrontFolderSource> fallback,
                                               QObject* parent)
    : QObject(parent), m_bus(std::move(bus)), m_fallback(std::move(fallback)) {}

GnomeShellFolderSource::~GnomeShellFolderSource() = default;

void GnomeShellFolderSource::requestFrontFolder(Callback done) {
    auto* request = new FrontFolderRequest(std::move(done), kDeadlineMs, this);
    gnomeShellExtension::call(
        m_bus, QStringLiteral("WindowStack"), {}, request,
        [this, request](const QDBusMessage& reply) {
            const auto stack = reply.type() == QDBusMessage::ReplyMessage
                                   ? gnomeShellExtension::windowStackFromShellReport(
                                         reply.arguments().value(0).toString().toUtf8())
                                   : std::nullopt;
            if (stack) return answerFor(request, *stack);
            // No extension (or one that answers nonsense): what worked before it.
            const QPointer<FrontFolderRequest> guard(request);
            m_fallback->requestFrontFolder([guard](std::optional<QByteArray> folder) {
                if (guard) guard->finish(std::move(folder));
            });
        });
}

void GnomeShellFolderSource::answerFor(FrontFolderRequest* request, const WindowStack& stack) {
    fileManagerQueries::askNameOwner(
        m_bus, QString::fromLatin1(fileManagerQueries::kFileManager1), request,
        [this, request, stack](BusAnswer<QString> owner) {
            const auto window = frontFileManagerWindow(stack, QCoreApplication::applicationPid(),
                                                       owner.value.value_or(QString()));
            if (!window) return request->finish(std::nullopt);
            askWindowFolder(m_bus, *window, request, [request](std::optional<QByteArray> folder) {
                request->finish(folder);
            });
        });
}

}  // namespace tarnwick
