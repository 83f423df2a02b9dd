#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

namespace tarnwick::test {

// A Tracker miner of its own (bus, XDG folders, settings) under /var/tmp, outside $TMPDIR which
// it skips; start() points this process at it, and GLib caches that: one sandbox per process.
class TrackerSandbox {
public:
    // `corpus`: the folder to index; empty for the sandbox's own.
    explicit TrackerSandbox(const QByteArray& corpus = {})
        : m_root("/var/tmp/tarnwick-tracker-" + QByteArray::number(::getpid())),
          m_corpus(corpus.isEmpty() ? m_root + "/corpus" : corpus) {
        stop();  // removes what an earlier process of this number left behind
        for (const char* sub : {"home", "config/glib-2.0/settings", "data", "cache", "run", "tmp",
                                "services", "outside"})
            QDir().mkpath(QFile::decodeName(m_root + '/' + sub));
        QDir().mkpath(QFile::decodeName(m_corpus));
        ::chmod((m_root + "/run").constData(), 0700);
        // GVariant text: the corpus path is quoted, with ' and \ escaped.
        writeFile(m_root + "/config/glib-2.0/settings/keyfile",
                  "[org/freedesktop/tracker/miner/files]\nindex-recursive-directories=['" +
                      QByteArray(m_corpus).replace('\\', "\\\\").replace('\'', "\\'") +
                      "']\nindex-single-directories=@as []\ninitial-sleep=0\nenable-monitors=true\n"
                      "index-applications=false\n");
        writeFile(
            m_root + "/bus.conf",
            "<busconfig><type>session</type><listen>unix:path=" + m_root +
                "/run/bus</listen><auth>EXTERNAL</auth><servicedir>" + m_root +
                "/services</servicedir><policy context=\"default\"><allow send_destination=\"*\" "
                "eavesdrop=\"true\"/><allow eavesdrop=\"true\"/><allow own=\"*\"/></policy>"
                "</busconfig>\n");
        // Only the extractor may be started by the bus: an activatable miner would start twice.
        // LocalSearch (Debian 13) runs its extractor as a child of the miner, not as a service.
        QFile::copy(
            QStringLiteral(
                "/usr/share/dbus-1/services/org.freedesktop.Tracker3.Miner.Extract.service"),
            QFile::decodeName(m_root + "/services/extractor.service"));
    }
    ~TrackerSandbox() { stop(); }
    QByteArray corpus() const { return m_corpus; }
    QByteArray outside() const { return m_root + "/outside"; }  // a folder not indexed
    // Waits until the corpus (fill it first) is indexed; failure() says why not.
    bool start(int timeoutMs = 240000) {
        for (const char* sub : {"config", "data", "cache"})
            qputenv("XDG_" + QByteArray(sub).toUpper() + "_HOME", m_root + '/' + sub);
        qputenv("HOME", m_root + "/home");
        qputenv("XDG_RUNTIME_DIR", m_root + "/run");
        qputenv("GSETTINGS_BACKEND", "keyfile");
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");  // the bus gives its own to the extractor it starts
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TMPDIR"), QFile::decodeName(m_root + "/tmp"));
        environment.insert(QStringLiteral("GIO_USE_VFS"), QStringLiteral("local"));
        environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        m_bus = std::make_unique<QProcess>();
        m_bus->setProcessEnvironment(environment);
        m_bus->start(QStringLiteral("dbus-daemon"),
                     {QStringLiteral("--config-file=") + QFile::decodeName(m_root + "/bus.conf"),
                      QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        const QByteArray address =
            m_bus->waitForReadyRead(10000) ? m_bus->readLine().trimmed() : "";
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);
        if (!QDBusConnection::connectToBus(QString::fromUtf8(address), kConnection).isConnected())
            return fail(QStringLiteral("dbus-daemon did not start"));
        m_miner = std::make_unique<QProcess>();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QString::fromUtf8(address));
        m_miner->setProcessEnvironment(environment);
        m_miner->setProcessChannelMode(QProcess::MergedChannels);
        m_miner->setStandardOutputFile(QFile::decodeName(m_root + "/miner.log"));
        m_miner->start(firstExisting({QStringLiteral("/usr/libexec/localsearch-3"),
                                      QStringLiteral("/usr/libexec/tracker-miner-fs-3")}),
                       {QStringLiteral("--initial-sleep=0")});
        return awaitIdle(timeoutMs);
    }
    // The same miner again on the same bus and database (after SIGKILL), waited for as start().
    bool restartMiner(int timeoutMs = 240000) {
        const QString program = m_miner->program();
        const QStringList arguments = m_miner->arguments();
        const QProcessEnvironment environment = m_miner->processEnvironment();
        end(m_miner);
        m_miner = std::make_unique<QProcess>();
        m_miner->setProcessEnvironment(environment);
        m_miner->setProcessChannelMode(QProcess::MergedChannels);
        m_miner->setStandardOutputFile(QFile::decodeName(m_root + "/miner.log"), QIODevice::Append);
        m_miner->start(program, arguments);
        return awaitIdle(timeoutMs);
    }
    QString failure() const { return m_failure; }
    // Ends miner, extractor and bus (which the extractor leaves with), and removes the folder.
    void stop() {
        end(m_miner);
        QDBusConnection::disconnectFromBus(kConnection);
        end(m_bus);
        // rm works on the bytes: QDir cannot remove names that are not valid UTF-8.
        QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), QFile::decodeName(m_root)});
    }
    // SIGSTOP (a miner that holds its name but answers nothing), SIGCONT, or SIGKILL (waited for).
    void signalMiner(int signal) {
        if (!m_miner || m_miner->processId() <= 0) return;
        ::kill(pid_t(m_miner->processId()), signal);
        if (signal == SIGKILL) m_miner->waitForFinished(10000);
    }

private:
    static inline const QString kMiner = QStringLiteral("org.freedesktop.Tracker3.Miner.Files");
    // Files left to extract, plus one before the crawl: 'Idle' at 1.0 shows before and between.
    static inline const QString kAwaiting = QStringLiteral(
        "SELECT (COUNT(?u) AS ?n) { { GRAPH ?g { ?u a nfo:FileDataObject ; nfo:fileName [] }"
        " FILTER (?g != tracker:FileSystem && NOT EXISTS {"
        " GRAPH tracker:FileSystem { ?u tracker:extractorHash ?h } }) } UNION { BIND (1 AS ?u)"
        " FILTER NOT EXISTS { GRAPH tracker:FileSystem { ?f nie:url \"%1\" } } } }");
    static inline const QString kConnection = QStringLiteral("tarnwick-tracker-sandbox");

    // A method of the miner, answered on the sandbox's bus; nothing while it has no miner.
    static QVariant askMiner(const char* method) {
        const QDBusMessage call = QDBusMessage::createMethodCall(
            kMiner, QStringLiteral("/org/freedesktop/Tracker3/Miner/Files"),
            QStringLiteral("org.freedesktop.Tracker3.Miner"), QString::fromLatin1(method));
        return QDBusConnection(kConnection).call(call, QDBus::Block, 5000).arguments().value(0);
    }
    // The miner as LocalSearch (Debian 13) or Tracker names it.
    static QString firstExisting(const QStringList& paths) {
        for (const QString& path : paths)
            if (QFile::exists(path)) return path;
        return paths.last();
    }
    static void writeFile(const QByteArray& path, const QByteArray& content) {
        QFile file(QFile::decodeName(path));
        if (file.open(QIODevice::WriteOnly)) file.write(content);
    }
    static void end(std::unique_ptr<QProcess>& process) {
        if (!process) return;
        if (process->processId() > 0)
            ::kill(pid_t(process->processId()), SIGCONT);  // a suspended process cannot end
        process->terminate();
        if (!process->waitForFinished(5000)) process->kill();
        process->waitForFinished(5000);
        process.reset();
    }
    bool isIdle() const {
        if (askMiner("GetStatus").toString() != "Idle" || askMiner("GetProgress") != 1.0)
            return false;
        QProcess query;
        // TinySPARQL's command (Debian 13) or Tracker's, which asks the same way.
        const QString tinySparql = QStandardPaths::findExecutable(QStringLiteral("tinysparql"));
        query.start(tinySparql.isEmpty() ? QStringLiteral("tracker3") : tinySparql,
                    {tinySparql.isEmpty() ? QStringLiteral("sparql") : QStringLiteral("query"),
                     QStringLiteral("--dbus-service"), kMiner, QStringLiteral("-q"),
                     kAwaiting.arg(QUrl::fromLocalFile(QFile::decodeName(m_corpus)).toEncoded())});
        query.waitForFinished(10000);
        return query.readAllStandardOutput().split('\n').value(1).trimmed() == "0";
    }
    bool awaitIdle(int timeoutMs) {
        const QDeadlineTimer deadline(timeoutMs);
        for (int idleInARow = 0; idleInARow < 2; QThread::msleep(250)) {
            if (m_miner->state() == QProcess::NotRunning)
                return fail(QStringLiteral("the miner is not running"));
            if (deadline.hasExpired()) return fail(QStringLiteral("the miner never became idle"));
            idleInARow = isIdle() ? idleInARow + 1 : 0;
        }
        return true;
    }
    bool fail(const QString& why) {
        QFile log(QFile::decodeName(m_root + "/miner.log"));
        m_failure = why + QStringLiteral("\nminer output:\n");
        if (log.open(QIODevice::ReadOnly)) m_failure += QString::fromUtf8(log.readAll());
        return false;
    }
    QByteArray m_root;
    QByteArray m_corpus;
    std::unique_ptr<QProcess> m_bus;
    std::unique_ptr<QProcess> m_miner;
    QString m_failure;
};

}  // namespace tarnwick::test
