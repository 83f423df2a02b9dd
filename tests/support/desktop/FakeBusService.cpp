#include "FakeBusService.h"

#include <QDBusMetaType>
#include <QDBusVariant>

namespace tarnwick::test {

namespace {

QString key(const QString& path, const QString& interface, const QString& member = {}) {
    return path + QLatin1Char('|') + interface + QLatin1Char('|') + member;
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
    if (!m_connection.registerVirtualObject(QStringLiteral("/"), this, QDBusConnection::SubPath))
        return false;
    m_serviceName = serviceName;
    return serviceName.isEmpty() || m_connection.registerService(serviceName);
}

void FakeBusService::onCall(const QString& path, const QString& interface, const QString& member,
                            Handler handler) {
    m_handlers.insert(key(path, interface, member), std::move(handler));
}

void FakeBusService::setProperty(const QString& path, const QString& interface, const QString& name,
                                 const QVariant& value) {
    m_properties[key(path, interface)].insert(name, value);
}

void FakeBusService::silenceProperties(const QString& path, const QString& interface) {
    m_silentProperties.insert(key(path, interface));
}

void FakeBusService::setIntrospection(const QString& path, const QString& innerXml) {
    m_introspection.insert(path, innerXml);
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
    if (message.type() != QDBusMessage::MethodCallMessage) return false;
    m_calls.append(message);
    const auto handler =
        m_handlers.constFind(key(message.path(), message.interface(), message.member()));
    if (handler == m_handlers.cend() &&
        message.interface() == QLatin1String("org.freedesktop.DBus.Introspectable"))
        return false;  // QtDBus answers from introspect()
    const Reply reply = handler != m_handlers.cend() ? (*handler)(message)
                        : message.interface() == QLatin1String("org.freedesktop.DBus.Properties")
                            ? properties(message)
                            : error(QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"));
    if (!reply.errorName.isEmpty())
        connection.send(message.createErrorReply(reply.errorName, QStringLiteral("scripted")));
    else if (!reply.silent)
        connection.send(message.createReply(reply.arguments));
    return true;
}

FakeBusService::Reply FakeBusService::properties(const QDBusMessage& call) const {
    const QString propertiesKey = key(call.path(), call.arguments().value(0).toString());
    if (m_silentProperties.contains(propertiesKey)) return silence();
    const QVariantMap values = m_properties.value(propertiesKey);
    if (call.member() == QLatin1String("GetAll")) return answer({values});
    const QString name = call.arguments().value(1).toString();
    if (call.member() != QLatin1String("Get") || !values.contains(name))
        return error(QStringLiteral("org.freedesktop.DBus.Error.UnknownProperty"));
    return answer({QVariant::fromValue(QDBusVariant(values.value(name)))});
}

}  // namespace tarnwick::test
