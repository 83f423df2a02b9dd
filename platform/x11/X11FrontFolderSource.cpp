#include "X11FrontFolderSource.h"

#include "X11WindowStack.h"
#include "platform/dbus/FileManagerWindowQueries.h"
#include "platform/dbus/WindowFolderQuery.h"

#include <QCoreApplication>

namespace tarnwick {

X11FrontFolderSource::X11FrontFolderSource(QDBusConnection bus, QObject* parent)
    : QObject(parent), readStack(readWindowStack), m_bus(std::move(bus)) {}

void X11FrontFolderSource::requestFrontFolder(Callback done) {
    auto* request = new FrontFolderRequest(std::move(done), kDeadlineMs, this);
    const std::optional<WindowStack> stack = readStack();
    if (!stack) return request->fail(QStringLiteral("the window manager lists no windows"));
    if (!anyGtkWindow(*stack)) return answerFor(request, *stack, QString());
    fileManagerQueries::askNameOwner(m_bus, QString::fromLatin1(fileManagerQueries::kFileManager1),
                                     request,
                                     [this, request, stack = *stack](BusAnswer<QString> owner) {
                                         // No owner is no error: Nautilus may simply not run.
                                         answerFor(request, stack, owner.value.value_or(QString()));
                                     });
}

void X11FrontFolderSource::answerFor(FrontFolderRequest* request, const WindowStack& stack,
                                     const QString& fileManagerOwner) {
    const auto window =
        frontFileManagerWindow(stack, QCoreApplication::applicationPid(), fileManagerOwner);
    if (!window) return request->finish(std::nullopt);
    askWindowFolder(m_bus, *window, request,
                    [request](std::optional<QByteArray> folder) { request->finish(folder); });
}

}  // namespace tarnwick
