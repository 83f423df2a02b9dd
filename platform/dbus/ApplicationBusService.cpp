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

// Both names, as GLib's launchers send them: Wayland desktops read the first, X11 ones the second.
QVariantMap platformData(const QString& token) {
    if (token.isEmpty()) return {};
    return {{QStringLiteral("activation-token"), token},
            {QStringLiteral("desktop-startup-id"), token}};
}

}  // namespace

ApplicationBusService::ApplicationBusService(QObject* parent) : QObject(parent) {
    new FreedesktopApplicationAdaptor(this);
}

FreedesktopApplicationAdaptor::FreedesktopApplicationAdaptor(ApplicationBusService* service)
    : QDBusAbstractAdaptor(service), m_service(service) {}

void FreedesktopApplicationAdaptor::takeActivationToken(const QVariantMap& platformData) {
    QString token = platformData.value(QStringLiteral("activation-token")).toString();
    if (token.isEmpty())
        token = platformData.value(QStringLiteral("desktop-startup-id")).toString();
    if (!token.isEmpty()) Q_EMIT m_service->activationTokenGiven(token);
}

void FreedesktopApplicationAdaptor::Activate(const QVariantMap& platformData) {
    takeActivationToken(platformData);
    Q_EMIT m_service->activated();
}

void FreedesktopApplicationAdaptor::Open(const QStringList& uris, const QVariantMap& platformData) {
    takeActivationToken(platformData);
    QList<QByteArray> paths;
    for (const QString& uri : uris)
        if (std::optional<QByteArray> path = pathFromFileUri(uri.toUtf8())) paths.append(*path);
    if (!paths.isEmpty()) Q_EMIT m_service->opened(paths);
}

void FreedesktopApplicationAdaptor::ActivateAction(const QString& name, const QVariantList&,
                                                   const QVariantMap& platformData) {
    takeActivationToken(platformData);
    Q_EMIT m_service->actionActivated(name);
}

namespace applicationBus {

QString activate(const QDBusConnection& bus, const QString& service, const QString& path,
                 const QString& token) {
    return call(bus, service, path, QStringLiteral("Activate"), {platformData(token)});
}

QString open(const QDBusConnection& bus, const QString& service, const QString& path,
             const QStringList& uris, const QString& token) {
    return call(bus, service, path, QStringLiteral("Open"), {uris, platformData(token)});
}

QString activateAction(const QDBusConnection& bus, const QString& service, const QString& path,
                       const QString& action, const QString& token) {
    // "av": the parameter list of an action without parameters.
    return call(bus, service, path, QStringLiteral("ActivateAction"),
                {action, QVariant::fromValue(QVariantList()), platformData(token)});
}

}  // namespace applicationBus

}  // namespace tarnwick
