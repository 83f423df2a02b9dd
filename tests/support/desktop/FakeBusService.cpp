#include "FakeBusService.h"

#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusVariant>

namespace tarnwick::test {

namespace {

const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kIntrospectable = QStringLiteral("org.freedesktop.DBus.Introspectable");

}  // namespace

FakeBusService::FakeBusService(QDBusConnection connection, QObject* parent)
    : QDBusVirtualObject(parent), m_connection(std::move(connection)) {
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

QString FakeBusService::key(const QString& path, const QString& interface, const QString& member) {
    return path + QLatin1Char('|') + interface + QLatin1Char('|') + member;
}

void FakeBusService::onCall(const QString& path, const QString& interface, const QString& member,
                            Handler handler) {
    m_handlers.insert(key(path, interface, member), std::move(handler));
}

void FakeBusService::setProperty(const QString& path, const QString& interface, const QString& name,
                                 const QVariant& value) {
    m_properties[key(path, interface, {})].insert(name, value);
}

void FakeBusService::silenceProperties(const QString& path, const QString& interface) {
    m_silentProperties.append(key(path, interface, {}));
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
    for (const QDBusMessage& call : m_callLog)
        if (call.member() == member) found.append(call);
    return found;
}

QString FakeBusService::introspect(const QString& path) const {
    return m_introspection.value(path);
}

bool FakeBusService::handleMessage(const QDBusMessage& message, const QDBusConnection& connection) {
    if (message.type() != QDBusMessage::MethodCallMessage) return false;
    m_calls[message.member()] += 1;
    m_callLog.append(message);
    Reply reply;
    if (message.interface() == kPropertiesInterface) {
        reply = properties(message);
    } else if (auto handler =
                   m_handlers.find(key(message.path(), message.interface(), message.member()));
               handler != m_handlers.end()) {
        reply = (*handler)(message);
    } else if (message.interface() == kIntrospectable) {
        return false;  // QtDBus answers from introspect()
    } else {
        reply = error(QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"));
    }
    switch (reply.kind) {
        case Reply::Kind::arguments:
            connection.send(message.createReply(reply.arguments));
            break;
        case Reply::Kind::error:
            connection.send(message.createErrorReply(reply.errorName, QStringLiteral("scripted")));
            break;
        case Reply::Kind::silence:
            break;
    }
    Q_EMIT called(message.member());
    return true;
}

FakeBusService::Reply FakeBusService::properties(const QDBusMessage& call) const {
    const QVariantList arguments = call.arguments();
    const QString interface = arguments.value(0).toString();
    const QString propertiesKey = key(call.path(), interface, {});
    if (m_silentProperties.contains(propertiesKey)) return silence();
    const auto values = m_properties.value(propertiesKey);
    if (call.member() == QLatin1String("GetAll")) {
        QVariantMap all;
        for (auto it = values.cbegin(); it != values.cend(); ++it) all.insert(it.key(), it.value());
        return answer({all});
    }
    if (call.member() == QLatin1String("Get")) {
        const QString name = arguments.value(1).toString();
        if (!values.contains(name))
            return error(QStringLiteral("org.freedesktop.DBus.Error.UnknownProperty"));
        return answer({QVariant::fromValue(QDBusVariant(values.value(name)))});
    }
    return error(QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"));
}

}  // namespace tarnwick::test
