#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QHash>
#include <QTimer>
#include <QVariantMap>

#include <functional>

namespace tarnwick::test {

// A desktop service answering as scripted: arguments, an error, or silence (a hung process).
class FakeBusService : public QDBusVirtualObject {
public:
    struct Reply {
        QVariantList arguments;
        QString errorName;
        bool silent = false;
    };
    static Reply answer(QVariantList arguments = {}) { return {std::move(arguments), {}}; }
    static Reply error(const QString& name) { return {{}, name}; }
    static Reply silence() { return {{}, {}, true}; }
    using Handler = std::function<Reply(const QDBusMessage& call)>;

    explicit FakeBusService(QDBusConnection connection) : m_connection(std::move(connection)) {
        // The shape of Nautilus's OpenWindowsWithLocations, for scripted properties.
        qDBusRegisterMetaType<QMap<QString, QStringList>>();
    }
    ~FakeBusService() override {
        m_connection.unregisterObject(QStringLiteral("/"));
        if (!m_serviceName.isEmpty()) m_connection.unregisterService(m_serviceName);
    }

    // Serves every object path and takes `serviceName` (none: only the unique name).
    bool serve(const QString& serviceName = {}) {
        m_serviceName = serviceName;
        return m_connection.registerVirtualObject(QStringLiteral("/"), this,
                                                  QDBusConnection::SubPath) &&
               (serviceName.isEmpty() || m_connection.registerService(serviceName));
    }
    QString uniqueName() const { return m_connection.baseService(); }
    // Answers every call this much later (a process busy starting up).
    void delayReplies(int ms) { m_replyDelayMs = ms; }
    QDBusConnection& connection() { return m_connection; }

    void onCall(const QString& path, const QString& interface, const QString& member,
                Handler handler) {
        m_handlers.insert(key(path, interface, member), std::move(handler));
    }
    void setProperty(const QString& path, const QString& interface, const QString& name,
                     const QVariant& value) {
        m_properties[key(path, interface)].insert(name, value);
    }
    // Introspection data for `path` (the <interface> elements, and <node> children).
    void setIntrospection(const QString& path, const QString& xml) { m_xml.insert(path, xml); }
    bool emitSignal(const QString& path, const QString& interface, const QString& member,
                    const QVariantList& arguments) {
        QDBusMessage signal = QDBusMessage::createSignal(path, interface, member);
        signal.setArguments(arguments);
        return m_connection.send(signal);
    }

    // The calls of `member` so far, on any path.
    QList<QDBusMessage> calls(const QString& member) const {
        QList<QDBusMessage> found;
        for (const QDBusMessage& call : m_calls)
            if (call.member() == member) found.append(call);
        return found;
    }
    int callCount(const QString& member) const { return int(calls(member).size()); }

    QString introspect(const QString& path) const override { return m_xml.value(path); }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.type() != QDBusMessage::MethodCallMessage ||
            message.interface() == u"org.freedesktop.DBus.Introspectable")
            return false;  // QtDBus answers introspection from introspect()
        m_calls.append(message);
        const auto handler =
            m_handlers.constFind(key(message.path(), message.interface(), message.member()));
        const Reply reply = handler != m_handlers.cend() ? (*handler)(message) : property(message);
        if (reply.silent) return true;
        const QDBusMessage sent =
            reply.errorName.isEmpty()
                ? message.createReply(reply.arguments)
                : message.createErrorReply(reply.errorName, QStringLiteral("scripted"));
        if (m_replyDelayMs > 0)
            QTimer::singleShot(m_replyDelayMs, [connection, sent] { connection.send(sent); });
        else
            connection.send(sent);
        return true;
    }

private:
    static QString key(const QString& path, const QString& interface, const QString& member = {}) {
        return path + u'|' + interface + u'|' + member;
    }
    Reply property(const QDBusMessage& call) const {
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

    QDBusConnection m_connection;
    QString m_serviceName;
    QHash<QString, Handler> m_handlers;        // path|interface|member
    QHash<QString, QVariantMap> m_properties;  // path|interface -> name -> value
    QHash<QString, QString> m_xml;
    QList<QDBusMessage> m_calls;
    int m_replyDelayMs = 0;
};

}  // namespace tarnwick::test
