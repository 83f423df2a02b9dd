#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <signal.h>

namespace tarnwick::test {

// A session bus of the test's own, from a config that lets it start nothing; stopped with it.
class PrivateSessionBus {
public:
    ~PrivateSessionBus() {
        for (const QString& name : std::as_const(m_connections))
            QDBusConnection::disconnectFromBus(name);
        if (m_pid > 0) ::kill(pid_t(m_pid), SIGTERM);
    }

    // Starts the daemon; false with the reason in `error` when it cannot.
    bool start(QString* error = nullptr) {
        QFile config(m_folder.filePath(QStringLiteral("bus.conf")));
        QProcess daemon;
        if (config.open(QIODevice::WriteOnly) &&
            config.write(
                "<busconfig><type>session</type><listen>unix:dir=" + m_folder.path().toUtf8() +
                "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow "
                "eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n") > 0) {
            config.close();
            daemon.start(
                QStringLiteral("dbus-daemon"),
                {QStringLiteral("--config-file=") + config.fileName(), QStringLiteral("--fork"),
                 QStringLiteral("--print-address=1"), QStringLiteral("--print-pid=1")});
            daemon.waitForFinished(10000);
        }
        const QList<QByteArray> lines = daemon.readAllStandardOutput().trimmed().split('\n');
        if (lines.size() < 2 && error) *error = "no dbus-daemon: " + daemon.errorString();
        m_address = lines.value(0).trimmed();
        m_pid = lines.value(1).trimmed().toLongLong();
        return lines.size() >= 2;
    }
    // A connection (a unique name) of its own for one role: a file manager, a tray watcher...
    QDBusConnection connect(const QString& role) {
        const QString name = QStringLiteral("tarnwick-test-") + role;
        if (!m_connections.contains(name)) m_connections.append(name);
        return QDBusConnection::connectToBus(QString::fromLatin1(m_address), name);
    }
    // `base` with this bus as the session bus, for child processes.
    QProcessEnvironment environmentFor(QProcessEnvironment base) const {
        base.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QString::fromLatin1(m_address));
        return base;
    }

private:
    QTemporaryDir m_folder;
    QByteArray m_address;
    qint64 m_pid = 0;
    QStringList m_connections;
};

}  // namespace tarnwick::test
