#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QHash>
#include <QVariantMap>

#include <functional>

namespace tarnwick::test {

// A desktop service on a private bus that answers what the test scripts: each method gets a
// handler whose reply is arguments, an error, or silence (no reply ever, as from a hung
// process); properties answer Get and GetAll unless a handler takes them. Stands in for file
// managers, KWin, the tray watcher and the shortcut portal.
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

    explicit FakeBusService(QDBusConnection connection);
    ~FakeBusService() override;

    // Serves every object path and takes `serviceName` (none: only the unique name).
    bool serve(const QString& serviceName = {});
    QString uniqueName() const { return m_connection.baseService(); }
    QDBusConnection& connection() { return m_connection; }

    void onCall(const QString& path, const QString& interface, const QString& member,
                Handler handler);
    void setProperty(const QString& path, const QString& interface, const QString& name,
                     const QVariant& value);
    // Introspection data for `path` (the <interface> elements, and <node> children).
    void setIntrospection(const QString& path, const QString& xml) { m_xml.insert(path, xml); }
    bool emitSignal(const QString& path, const QString& interface, const QString& member,
                    const QVariantList& arguments);

    // The calls of `member` so far, on any path.
    QList<QDBusMessage> calls(const QString& member) const;
    int callCount(const QString& member) const { return int(calls(member).size()); }

    QString introspect(const QString& path) const override { return m_xml.value(path); }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

private:
    Reply property(const QDBusMessage& call) const;

    QDBusConnection m_connection;
    QString m_serviceName;
    QHash<QString, Handler> m_handlers;        // path|interface|member
    QHash<QString, QVariantMap> m_properties;  // path|interface -> name -> value
    QHash<QString, QString> m_xml;
    QList<QDBusMessage> m_calls;
};

}  // namespace tarnwick::test
