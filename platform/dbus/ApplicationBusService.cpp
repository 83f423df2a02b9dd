#include "ApplicationBusService.h"

#include "core/FileUri.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace tarnwick {

namespace {

constexpr const char* kInterface = "org.freedesktop.Application";

QString call(const QDBusConnection& bus, const QString& service, const QString& path,
             const QString& method, const QVariantList& arguments) {
    QDBusMessage message =
        QDBusMessage::createMethodCall(service, path, QString::fromLatin1(kInterface), method);
    message.setArguments(arguments);
    const QDBusMessage reply = bus.call(message, QDBus::Block, applicationBus::kHandOverTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage) return {};
    return reply.errorName() + QStringLiteral(": ") + reply.errorMessage();
}

}  // namespace

ApplicationBusService::ApplicationBusService(QObject* parent) : QObject(parent) {
    new FreedesktopApplicationAdaptor(this);
}

FreedesktopApplicationAdaptor::FreedesktopApplicationAdaptor(ApplicationBusService* service)
    : QDBusAbstractAdaptor(service), m_service(service) {}

void FreedesktopApplicationAdaptor::Activate(const QVariantMap&) {
    Q_EMIT m_service->activated();
}

void FreedesktopApplicationAdaptor::Open(const QStringList& uris, const QVariantMap&) {
    QList<QByteArray> paths;
    for (const QString& uri : uris)
        if (std::optional<QByteArray> path = pathFromFileUri(uri.toUtf8())) paths.append(*path);
    if (!paths.isEmpty()) Q_EMIT m_service->opened(paths);
}

void FreedesktopApplicationAdaptor::ActivateAction(const QString& name, const QVariantList&,
                                                   const QVariantMap&) {
    Q_EMIT m_service->actionActivated(name);
}

namespace applicationBus {

QString activate(const QDBusConnection& bus, const QString& service, const QString& path) {
    return call(bus, service, path, QStringLiteral("Activate"), {QVariantMap()});
}

QString open(const QDBusConnection& bus, const QString& service, const QString& path,
             const QStringList& uris) {
    return call(bus, service, path, QStringLiteral("Open"), {uris, QVariantMap()});
}

QString activateAction(const QDBusConnection& bus, const QString& service, const QString& path,
                       const QString& action) {
    // "av": the parameter list of an action without parameters.
    return call(bus, service, path, QStringLiteral("ActivateAction"),
                {action, QVariant::fromValue(QVariantList()), QVariantMap()});
}

}  // namespace applicationBus

}  // namespace tarnwick
