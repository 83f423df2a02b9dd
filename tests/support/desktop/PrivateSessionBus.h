#pragma once

#include <QDBusConnection>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

namespace tarnwick::test {

// A D-Bus session bus of the test's own (dbus-daemon from a config written here, so nothing is
// started by the bus on anyone's behalf), stopped with the object.
class PrivateSessionBus {
public:
    PrivateSessionBus() = default;
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    // Starts the daemon; false with the reason in `error` when it cannot.
    bool start(QString* error = nullptr);
    const QByteArray& address() const { return m_address; }
    // A connection of its own (its own unique name) for one role of the test: a primary
    // instance, a fake file manager, a tray watcher.
    QDBusConnection connect(const QString& role);
    // `base` with this bus as the session bus, for child processes.
    QProcessEnvironment environmentFor(QProcessEnvironment base) const {
        base.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QString::fromLatin1(m_address));
        return base;
    }
    bool nameHasOwner(const QString& name);

private:
    QTemporaryDir m_folder;
    QByteArray m_address;
    qint64 m_pid = 0;
    QStringList m_connections;
};

}  // namespace tarnwick::test
