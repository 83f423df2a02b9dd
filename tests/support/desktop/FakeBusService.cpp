#include "FakeBusService.h"

#include <QDBusMetaType>
#include <QDBusVariant>

namespace tarnwick::test {

namespace {

QString key(const QString& path, const QString& interface, const QString& member = {}) {
    return path + u'|' + interface + u'|' + member;
}

}  // namespace

FakeBusService::FakeBusService(QDBusConnection connection) : m_connection(std::move(connection)) {
    // The shape of Nautilus's OpenWindowsWithLocations, for scripted properties.
    qDBusRegisterMetaType<QMap<QString, QStringList>>();
}

FakeBusService::~FakeBusService() {
    m_connection.unregisterObject(QStringLiteral("/"));
    if (!m_serviceName.isEmpty()) m_connection.unregisterService(m_serviceName);
}

bool FakeBusService::serve(const QString& serviceName) {
    m_serviceName = serviceName;
    return m_connection.registerVirtualObject(QStringLiteral("/"), this,
                                              QDBusConnection::SubPath) &&
           (serviceName.isEmpty() || m_connection.registerService(serviceName));
}

void FakeBusService::onCall(const QString& path, const QString& interface, const QString& member,
                            Handler handler) {
    m_handlers.insert(key(path, interface, member), std::move(handler));
}

void FakeBusService::setProperty(const QString& path, const QString& interface, const QString& name,
                                 const QVariant& value) {
    m_properties[key(path, interface)].insert(name, value);
}

bool FakeBusService::emitSignal(const QString& path, const QString& interface,
                                const QString& member, const QVariantList& arguments) {
    QDBusMessage signal = QDBusMessage::createSignal(path, interface, member);
    signal.setArguments(arguments);
    return m_connection.send(signal);
}

QList<QDBusMessage> FakeBusService::calls(const QString& member) const {
    QList<QDBusMessage> found;
    for (const QDBusMessage& call : m_calls)
        if (call.member() == member) found.append(call);
    return found;
}

bool FakeBusService::handleMessage(const QDBusMessage& message, const QDBusConnection& connection) {
    const bool introspection = message.interface() == u"org.freedesktop.DBus.Introspectable";
    if (message.type() != QDBusMessage::MethodCallMessage || introspection)
        return false;  // QtDBus answers introspection from introspect()
    m_calls.append(message);
    const auto handler =
        m_handlers.constFind(key(message.path(), message.interface(), message.member()));
    const Reply reply = handler != m_handlers.cend() ? (*handler)(message) : property(message);
    if (!reply.errorName.isEmpty())
        connection.send(message.createErrorReply(reply.errorName, QStringLiteral("scripted")));
    else if (!reply.silent)
        connection.send(message.createReply(reply.arguments));
    return true;
}

FakeBusService::Reply FakeBusService::property(const QDBusMessage& call) const {
    const QVariantMap values =
        m_properties.value(key(call.path(), call.arguments().value(0).toString()));
    const QString name = call.arguments().value(1).toString();
    if (call.interface() != u"org.freedesktop.DBus.Properties")
        return error(QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"));
    if (call.member() == u"GetAll") return answer({values});
    if (call.member() != u"Get" || !values.contains(name))
        return error(QStringLiteral("org.freedesktop.DBus.Error.UnknownProperty"));
    return answer({QVariant::fromValue(QDBusVariant(values.value(name)))});
}

}  // namespace tarnwick::test
