#include "PrivateSessionBus.h"

#include <QDBusConnectionInterface>
#include <QProcess>

#include <signal.h>

namespace tarnwick::test {

PrivateSessionBus::~PrivateSessionBus() {
    for (const QString& name : std::as_const(m_connections))
        QDBusConnection::disconnectFromBus(name);
    if (m_pid > 0) ::kill(pid_t(m_pid), SIGTERM);
}

bool PrivateSessionBus::start(QString* error) {
    QFile config(m_folder.filePath(QStringLiteral("bus.conf")));
    QProcess daemon;
    if (config.open(QIODevice::WriteOnly) &&
        config.write("<busconfig><type>session</type><listen>unix:dir=" + m_folder.path().toUtf8() +
                     "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                     "<allow send_destination=\"*\" eavesdrop=\"true\"/>"
                     "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n") > 0) {
        config.close();
        daemon.start(
            QStringLiteral("dbus-daemon"),
            {QStringLiteral("--config-file=") + config.fileName(), QStringLiteral("--fork"),
             QStringLiteral("--print-address=1"), QStringLiteral("--print-pid=1")});
        daemon.waitForFinished(10000);
    }
    const QList<QByteArray> lines = daemon.readAllStandardOutput().trimmed().split('\n');
    if (lines.size() < 2 && error)
        *error = QStringLiteral("no dbus-daemon: ") + daemon.errorString();
    if (lines.size() < 2) return false;
    m_address = lines[0].trimmed();
    m_pid = lines[1].trimmed().toLongLong();
    return true;
}

QDBusConnection PrivateSessionBus::connect(const QString& role) {
    const QString name = QStringLiteral("tarnwick-test-") + role;
    if (!m_connections.contains(name)) m_connections.append(name);
    return QDBusConnection::connectToBus(QString::fromLatin1(m_address), name);
}

bool PrivateSessionBus::nameHasOwner(const QString& name) {
    QDBusConnection bus = connect(QStringLiteral("observer"));
    return bus.interface() && bus.interface()->isServiceRegistered(name).value();
}

}  // namespace tarnwick::test
