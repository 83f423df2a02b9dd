#include "TrackerSandbox.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <QUrl>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace tarnwick::test {

namespace {

const QString kMiner = u"org.freedesktop.Tracker3.Miner.Files"_s;
// Files left to extract, plus one before the crawl: 'Idle' at 1.0 shows before and between.
const QString kAwaiting = QStringLiteral(
    "SELECT (COUNT(?u) AS ?n) { { GRAPH ?g { ?u a nfo:FileDataObject ; nfo:fileName [] }"
    " FILTER (?g != tracker:FileSystem && NOT EXISTS {"
    " GRAPH tracker:FileSystem { ?u tracker:extractorHash ?h } }) } UNION { BIND (1 AS ?u)"
    " FILTER NOT EXISTS { GRAPH tracker:FileSystem { ?f nie:url \"%1\" } } } }");

const QString kConnection = u"tarnwick-tracker-sandbox"_s;

// A method of the miner, answered on the sandbox's bus; nothing while it has no miner.
QVariant askMiner(const char* method) {
    const QDBusMessage call = QDBusMessage::createMethodCall(
        kMiner, u"/org/freedesktop/Tracker3/Miner/Files"_s, u"org.freedesktop.Tracker3.Miner"_s,
        QString::fromLatin1(method));
    return QDBusConnection(kConnection).call(call, QDBus::Block, 5000).arguments().value(0);
}
void writeFile(const QByteArray& path, const QByteArray& content) {
    QFile file(QFile::decodeName(path));
    if (file.open(QIODevice::WriteOnly)) file.write(content);
}
void end(std::unique_ptr<QProcess>& process) {
    if (!process) return;
    ::kill(pid_t(process->processId()), SIGCONT);  // a suspended process cannot end
    process->terminate();
    if (!process->waitForFinished(5000)) process->kill();
    process->waitForFinished(5000);
    process.reset();
}

}  // namespace

TrackerSandbox::TrackerSandbox(const QByteArray& corpus)
    : m_root("/var/tmp/tarnwick-tracker-" + QByteArray::number(::getpid())),
      m_corpus(corpus.isEmpty() ? m_root + "/corpus" : corpus) {
    stop();  // removes what an earlier process of this number left behind
    for (const char* sub :
         {"home", "config/glib-2.0/settings", "data", "cache", "run", "tmp", "services", "outside"})
        QDir().mkpath(QFile::decodeName(m_root + '/' + sub));
    QDir().mkpath(QFile::decodeName(m_corpus));
    ::chmod((m_root + "/run").constData(), 0700);
    // GVariant text: the corpus path is quoted, with ' and \ escaped.
    writeFile(m_root + "/config/glib-2.0/settings/keyfile",
              "[org/freedesktop/tracker/miner/files]\nindex-recursive-directories=['" +
                  QByteArray(m_corpus).replace('\\', "\\\\").replace('\'', "\\'") +
                  "']\nindex-single-directories=@as []\ninitial-sleep=0\nenable-monitors=true\n"
                  "index-applications=false\n");
    writeFile(m_root + "/bus.conf",
              "<busconfig><type>session</type><listen>unix:path=" + m_root +
                  "/run/bus</listen><auth>EXTERNAL</auth><servicedir>" + m_root +
                  "/services</servicedir><policy context=\"default\"><allow send_destination=\"*\" "
                  "eavesdrop=\"true\"/><allow eavesdrop=\"true\"/><allow own=\"*\"/></policy>"
                  "</busconfig>\n");
    // Only the extractor may be started by the bus: an activatable miner would start twice.
    QFile::copy(u"/usr/share/dbus-1/services/org.freedesktop.Tracker3.Miner.Extract.service"_s,
                QFile::decodeName(m_root + "/services/extractor.service"));
}
bool TrackerSandbox::fail(const QString& why) {
    QFile log(QFile::decodeName(m_root + "/miner.log"));
    m_failure = why + u"\nminer output:\n"_s;
    if (log.open(QIODevice::ReadOnly)) m_failure += QString::fromUtf8(log.readAll());
    return false;
}
bool TrackerSandbox::start(int timeoutMs) {
    for (const char* sub : {"config", "data", "cache"})
        qputenv("XDG_" + QByteArray(sub).toUpper() + "_HOME", m_root + '/' + sub);
    qputenv("HOME", m_root + "/home");
    qputenv("XDG_RUNTIME_DIR", m_root + "/run");
    qputenv("GSETTINGS_BACKEND", "keyfile");
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");  // the bus gives its own to the extractor it starts
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"TMPDIR"_s, QFile::decodeName(m_root + "/tmp"));
    environment.insert(u"GIO_USE_VFS"_s, u"local"_s);
    environment.insert(u"LANG"_s, u"C.UTF-8"_s);
    m_bus = std::make_unique<QProcess>();
    m_bus->setProcessEnvironment(environment);
    m_bus->start(u"dbus-daemon"_s, {u"--config-file="_s + QFile::decodeName(m_root + "/bus.conf"),
                                    u"--nofork"_s, u"--print-address=1"_s});
    const QByteArray address = m_bus->waitForReadyRead(10000) ? m_bus->readLine().trimmed() : "";
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    if (!QDBusConnection::connectToBus(QString::fromUtf8(address), kConnection).isConnected())
        return fail(u"dbus-daemon did not start"_s);
    m_miner = std::make_unique<QProcess>();
    environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, QString::fromUtf8(address));
    m_miner->setProcessEnvironment(environment);
    m_miner->setProcessChannelMode(QProcess::MergedChannels);
    m_miner->setStandardOutputFile(QFile::decodeName(m_root + "/miner.log"));
    m_miner->start(u"/usr/libexec/tracker-miner-fs-3"_s, {u"--initial-sleep=0"_s});
    const QDeadlineTimer deadline(timeoutMs);
    for (int idleInARow = 0; idleInARow < 2; QThread::msleep(250)) {
        if (m_miner->state() == QProcess::NotRunning) return fail(u"the miner is not running"_s);
        if (deadline.hasExpired()) return fail(u"the miner never became idle"_s);
        idleInARow = isIdle() ? idleInARow + 1 : 0;
    }
    return true;
}
// Idle with the corpus crawled, and nothing waiting for the extractor.
bool TrackerSandbox::isIdle() const {
    if (askMiner("GetStatus") != u"Idle"_s || askMiner("GetProgress") != 1.0) return false;
    QProcess query;
    query.start(u"tracker3"_s,
                {u"sparql"_s, u"--dbus-service"_s, kMiner, u"-q"_s,
                 kAwaiting.arg(QUrl::fromLocalFile(QFile::decodeName(m_corpus)).toEncoded())});
    query.waitForFinished(10000);
    return query.readAllStandardOutput().split('\n').value(1).trimmed() == "0";
}
void TrackerSandbox::signalMiner(int signal) {
    if (!m_miner || m_miner->processId() <= 0) return;
    ::kill(pid_t(m_miner->processId()), signal);
    if (signal == SIGKILL) m_miner->waitForFinished(10000);
}
// The extractor, started by the bus, leaves with it.
void TrackerSandbox::stop() {
    end(m_miner);
    QDBusConnection::disconnectFromBus(kConnection);
    end(m_bus);
    // rm works on the bytes: QDir cannot remove names that are not valid UTF-8.
    QProcess::execute(u"rm"_s, {u"-rf"_s, QFile::decodeName(m_root)});
}

}  // namespace tarnwick::test
