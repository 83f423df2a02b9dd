#include "TrackerSandbox.h"

#include "SandboxBus.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <optional>

#include <ftw.h>
#include <signal.h>
#include <stdio.h>
#include <unistd.h>

namespace tarnwick::test {

namespace {

constexpr char kMinerName[] = "org.freedesktop.Tracker3.Miner.Files";
constexpr char kExtractorName[] = "org.freedesktop.Tracker3.Miner.Extract";
constexpr char kMinerProgram[] = "/usr/libexec/tracker-miner-fs-3";
constexpr char kExtractorService[] =
    "/usr/share/dbus-1/services/org.freedesktop.Tracker3.Miner.Extract.service";
constexpr int kPollMs = 250;

// Zombies linger until their parent reaps them, so kill(pid, 0) is no proof of life.
bool isAlive(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (pid <= 0 || !status.open(QIODevice::ReadOnly)) return false;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
        if (line.startsWith("State:")) return !line.contains('Z');
    return true;
}

void endProcess(qint64 pid) {
    if (!isAlive(pid)) return;
    ::kill(pid_t(pid), SIGTERM);
    QDeadlineTimer deadline(5000);
    while (isAlive(pid) && !deadline.hasExpired()) QThread::msleep(20);
    if (isAlive(pid)) ::kill(pid_t(pid), SIGKILL);
    while (isAlive(pid)) QThread::msleep(20);
}

// On the bytes: QDir cannot remove names that are not valid UTF-8, and tests make such names.
void removeTree(const QByteArray& root) {
    nftw(
        root.constData(),
        [](const char* path, const struct stat*, int, struct FTW*) { return ::remove(path); }, 16,
        FTW_DEPTH | FTW_PHYS);
}

bool writeFile(const QByteArray& path, const QByteArray& content) {
    QFile file(QFile::decodeName(path));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) >= 0;
}

}  // namespace

TrackerSandbox::TrackerSandbox(const QByteArray& corpus)
    : m_root("/var/tmp/tarnwick-tracker-" + QByteArray::number(::getpid())),
      m_corpus(corpus.isEmpty() ? m_root + "/corpus" : corpus),
      m_ownCorpus(corpus.isEmpty()),
      m_bus(std::make_unique<SandboxBus>()) {
    removeTree(m_root);
    QDir().mkpath(QFile::decodeName(m_corpus));
    QDir().mkpath(QFile::decodeName(outside()));
}

TrackerSandbox::~TrackerSandbox() {
    stop();
    removeTree(m_root);
}

bool TrackerSandbox::fail(const QString& why) {
    QFile log(QFile::decodeName(m_root + "/miner.log"));
    m_failure = why;
    if (log.open(QIODevice::ReadOnly))
        m_failure += QStringLiteral("\nminer output:\n") + QString::fromUtf8(log.readAll());
    return false;
}

bool TrackerSandbox::prepareFolders() {
    for (const char* sub : {"home", "config", "data", "cache", "run", "tmp", "services"})
        if (!QDir().mkpath(QFile::decodeName(m_root + '/' + sub))) return false;
    return QFile::setPermissions(QFile::decodeName(m_root + "/run"),
                                 QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TrackerSandbox::writeSettings() const {
    const QByteArray folder = m_root + "/config/glib-2.0/settings";
    QDir().mkpath(QFile::decodeName(folder));
    // GVariant text: the corpus path is quoted, with ' and \ escaped.
    QByteArray quoted = m_corpus;
    quoted.replace('\\', "\\\\").replace('\'', "\\'");
    writeFile(folder + "/keyfile",
              "[org/freedesktop/tracker/miner/files]\n"
              "index-recursive-directories=['" +
                  quoted +
                  "']\n"
                  "index-single-directories=@as []\n"
                  "initial-sleep=0\n"
                  "enable-monitors=true\n"
                  "index-applications=false\n");
    writeFile(m_root + "/bus.conf",
              "<busconfig><type>session</type><listen>unix:path=" + m_root +
                  "/run/bus</listen><auth>EXTERNAL</auth><servicedir>" + m_root +
                  "/services</servicedir><policy context=\"default\">"
                  "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                  "<allow own=\"*\"/></policy></busconfig>\n");
    // Only the extractor may be started by the bus: an activatable miner would start twice.
    QFile::remove(QFile::decodeName(m_root + "/services/extractor.service"));
    QFile::copy(QString::fromLatin1(kExtractorService),
                QFile::decodeName(m_root + "/services/extractor.service"));
}

QHash<QByteArray, QByteArray> TrackerSandbox::sandboxEnvironment() const {
    return {
        {"HOME", m_root + "/home"},
        {"XDG_CONFIG_HOME", m_root + "/config"},
        {"XDG_DATA_HOME", m_root + "/data"},
        {"XDG_CACHE_HOME", m_root + "/cache"},
        {"XDG_RUNTIME_DIR", m_root + "/run"},
        {"GSETTINGS_BACKEND", "keyfile"},
        {"DBUS_SESSION_BUS_ADDRESS", m_busAddress},
    };
}

void TrackerSandbox::applyEnvironment() {
    const auto environment = sandboxEnvironment();
    for (auto it = environment.cbegin(); it != environment.cend(); ++it) {
        if (!m_savedEnvironment.contains(it.key()))
            m_savedEnvironment.insert(it.key(), qEnvironmentVariableIsSet(it.key().constData())
                                                    ? std::optional(qgetenv(it.key().constData()))
                                                    : std::nullopt);
        qputenv(it.key().constData(), it.value());
    }
}

void TrackerSandbox::restoreEnvironment() {
    for (auto it = m_savedEnvironment.cbegin(); it != m_savedEnvironment.cend(); ++it) {
        if (it.value())
            qputenv(it.key().constData(), *it.value());
        else
            qunsetenv(it.key().constData());
    }
    m_savedEnvironment.clear();
}

bool TrackerSandbox::startBus() {
    if (!prepareFolders()) return fail(QStringLiteral("cannot make the sandbox folders"));
    writeSettings();
    QProcess daemon;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The extractor inherits the bus's environment when the bus starts it.
    const auto sandbox = sandboxEnvironment();
    for (auto it = sandbox.cbegin(); it != sandbox.cend(); ++it)
        environment.insert(QString::fromLatin1(it.key()), QFile::decodeName(it.value()));
    environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    environment.insert(QStringLiteral("TMPDIR"), QFile::decodeName(m_root + "/tmp"));
    environment.insert(QStringLiteral("GIO_USE_VFS"), QStringLiteral("local"));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    daemon.setProcessEnvironment(environment);
    daemon.start(QStringLiteral("dbus-daemon"),
                 {QStringLiteral("--config-file=") + QFile::decodeName(m_root + "/bus.conf"),
                  QStringLiteral("--fork"), QStringLiteral("--print-address=1"),
                  QStringLiteral("--print-pid=1")});
    if (!daemon.waitForFinished(10000) || daemon.exitCode() != 0)
        return fail(QStringLiteral("dbus-daemon did not start: ") + daemon.readAllStandardError());
    const QList<QByteArray> lines = daemon.readAllStandardOutput().trimmed().split('\n');
    if (lines.size() < 2) return fail(QStringLiteral("dbus-daemon printed no address"));
    m_busAddress = lines[0].trimmed();
    m_busPid = lines[1].trimmed().toLongLong();
    applyEnvironment();
    if (!m_bus->open(m_busAddress)) return fail(QStringLiteral("cannot reach the private bus"));
    return true;
}

bool TrackerSandbox::startMiner() {
    m_miner = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const auto sandbox = sandboxEnvironment();
    for (auto it = sandbox.cbegin(); it != sandbox.cend(); ++it)
        environment.insert(QString::fromLatin1(it.key()), QFile::decodeName(it.value()));
    environment.insert(QStringLiteral("TMPDIR"), QFile::decodeName(m_root + "/tmp"));
    environment.insert(QStringLiteral("GIO_USE_VFS"), QStringLiteral("local"));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    m_miner->setProcessEnvironment(environment);
    m_miner->setProcessChannelMode(QProcess::MergedChannels);
    m_miner->setStandardOutputFile(QFile::decodeName(m_root + "/miner.log"));
    m_miner->start(QString::fromLatin1(kMinerProgram), {QStringLiteral("--initial-sleep=0")});
    if (!m_miner->waitForStarted(10000)) return fail(QStringLiteral("the miner did not start"));
    QDeadlineTimer deadline(30000);
    while (!m_bus->nameHasOwner(kMinerName)) {
        if (m_miner->state() != QProcess::Running || deadline.hasExpired())
            return fail(QStringLiteral("the miner never took its bus name"));
        QThread::msleep(100);
    }
    return true;
}

bool TrackerSandbox::start(int timeoutMs) {
    // A bus from startBusOnly() is kept: the miner joins it.
    if ((m_busPid == 0 || !isAlive(m_busPid)) && !startBus()) return false;
    if (!startMiner()) return false;
    return waitUntilIdle(timeoutMs);
}

bool TrackerSandbox::startBusOnly() {
    return startBus();
}

bool TrackerSandbox::waitUntilIdle(int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    int idleInARow = 0;
    while (idleInARow < 2) {
        if (!m_miner || m_miner->state() != QProcess::Running)
            return fail(QStringLiteral("the miner is not running"));
        if (deadline.hasExpired()) return fail(QStringLiteral("the miner never became idle"));
        const auto state = m_bus->minerState();
        const auto awaiting = m_bus->filesAwaitingExtraction();
        const bool idle =
            state && state->first == QLatin1String("Idle") && state->second >= 1.0 && awaiting == 0;
        idleInARow = idle ? idleInARow + 1 : 0;
        QThread::msleep(kPollMs);
    }
    return true;
}

qint64 TrackerSandbox::minerPid() const {
    return m_miner ? m_miner->processId() : 0;
}

void TrackerSandbox::killMiner() {
    if (!m_miner || m_miner->state() == QProcess::NotRunning) return;
    m_miner->kill();
    m_miner->waitForFinished(10000);
}

void TrackerSandbox::suspendMiner() {
    if (minerPid() > 0) ::kill(pid_t(minerPid()), SIGSTOP);
}

void TrackerSandbox::resumeMiner() {
    if (minerPid() > 0) ::kill(pid_t(minerPid()), SIGCONT);
}

void TrackerSandbox::endExtractor() {
    if (std::optional<qint64> extractor = m_bus->processOf(kExtractorName)) endProcess(*extractor);
}

void TrackerSandbox::stop() {
    if (m_miner && m_miner->state() != QProcess::NotRunning) {
        resumeMiner();
        m_miner->terminate();
        if (!m_miner->waitForFinished(5000)) {
            m_miner->kill();
            m_miner->waitForFinished(5000);
        }
    }
    m_miner.reset();
    endExtractor();
    m_bus->close();
    endProcess(m_busPid);
    m_busPid = 0;
    restoreEnvironment();
}

}  // namespace tarnwick::test
