#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QHash>
#include <QMap>
#include <QStringList>
#include <QVariant>

#include <functional>

namespace tarnwick::test {

// A desktop service on a private bus that answers what the test scripts: each method gets a
// handler whose reply is arguments, an error, or silence (no reply ever, as from a hung
// process); properties answer Get and GetAll. Stands in for file managers, the tray watcher
// and the shortcut portal.
class FakeBusService : public QDBusVirtualObject {
    Q_OBJECT
public:
    struct Reply {
        enum class Kind { arguments, error, silence };
        Kind kind = Kind::arguments;
        QVariantList arguments;
        QString errorName;
    };
    static Reply answer(QVariantList arguments = {}) {
        return {Reply::Kind::arguments, arguments, {}};
    }
    static Reply error(const QString& name) { return {Reply::Kind::error, {}, name}; }
    static Reply silence() { return {Reply::Kind::silence, {}, {}}; }

    using Handler = std::function<Reply(const QDBusMessage& call)>;

    explicit FakeBusService(QDBusConnection connection, QObject* parent = nullptr);
    ~FakeBusService() override;

    // Serves every object path and takes `serviceName` (none: only the unique name).
    bool serve(const QString& serviceName = {});
    QString uniqueName() const { return m_connection.baseService(); }
    QDBusConnection& connection() { return m_connection; }

    void onCall(const QString& path, const QString& interface, const QString& member,
                Handler handler);
    void setProperty(const QString& path, const QString& interface, const QString& name,
                     const QVariant& value);
    // Every property of `interface` at `path` answers with silence.
    void silenceProperties(const QString& path, const QString& interface);
    // Introspection data for `path` (the <interface> elements, and <node> children).
    void setIntrospection(const QString& path, const QString& innerXml);
    // Sends a signal from `path`.
    bool emitSignal(const QString& path, const QString& interface, const QString& member,
                    const QVariantList& arguments);

    // How often `member` was called, on any path.
    int callCount(const QString& member) const { return m_calls.value(member); }
    QList<QDBusMessage> calls(const QString& member) const;

    QString introspect(const QString& path) const override;
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

Q_SIGNALS:
    void called(const QString& member);

private:
    Reply properties(const QDBusMessage& call) const;
    static QString key(const QString& path, const QString& interface, const QString& member);

    QDBusConnection m_connection;
    QString m_serviceName;
    QHash<QString, Handler> m_handlers;
    QHash<QString, QMap<QString, QVariant>> m_properties;  // path + interface -> name -> value
    QStringList m_silentProperties;
    QHash<QString, QString> m_introspection;
    QHash<QString, int> m_calls;
    QList<QDBusMessage> m_callLog;
};

}  // namespace tarnwick::test
