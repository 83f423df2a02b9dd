#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <memory>

class QProcess;

namespace tarnwick::test {

class SandboxBus;

// A Tracker file miner of its own for one test class (or one benchmark): a private D-Bus bus
// from its own configuration (which may start only the extractor), private XDG folders and
// TMPDIR under /var/tmp (the miner skips roots below $TMPDIR), the miner's settings in a GSettings
// keyfile naming the corpus, and tracker-miner-fs-3 started directly.
//
// start() also points this process at the sandbox (DBUS_SESSION_BUS_ADDRESS, HOME, the XDG
// folders, GSETTINGS_BACKEND=keyfile), so that code under test connects to this miner and reads
// the same settings; stop() puts the environment back and ends the miner, the extractor and the
// bus. The folder is the same for every sandbox of one process: GLib caches the settings file's
// location on first use.
class TrackerSandbox {
public:
    static constexpr int kIndexingTimeoutMs = 240000;

    // `corpus`: the folder to index; empty for the sandbox's own (see corpus()).
    explicit TrackerSandbox(const QByteArray& corpus = {});
    ~TrackerSandbox();
    TrackerSandbox(const TrackerSandbox&) = delete;
    TrackerSandbox& operator=(const TrackerSandbox&) = delete;

    // The sandbox folder, and inside it the corpus (indexed recursively; fill it before start())
    // and a folder beside the corpus that is not indexed.
    QByteArray root() const { return m_root; }
    QByteArray corpus() const { return m_corpus; }
    QByteArray outside() const { return m_root + "/outside"; }

    // Starts bus and miner and waits until everything in the corpus is indexed and extracted.
    bool start(int timeoutMs = kIndexingTimeoutMs);
    // Starts only the bus: a session where Tracker is absent.
    bool startBusOnly();
    // Waits until the miner is idle with nothing awaiting extraction, twice in a row.
    bool waitUntilIdle(int timeoutMs = kIndexingTimeoutMs);
    void stop();

    qint64 minerPid() const;
    // SIGKILL, and waits until it is gone.
    void killMiner();
    // SIGSTOP / SIGCONT: a miner that holds its name but answers nothing.
    void suspendMiner();
    void resumeMiner();

    // Why start() failed, with the miner's output.
    QString failure() const { return m_failure; }

private:
    bool prepareFolders();
    void writeSettings() const;
    bool startBus();
    bool startMiner();
    void applyEnvironment();
    void restoreEnvironment();
    QHash<QByteArray, QByteArray> sandboxEnvironment() const;
    void endExtractor();
    bool fail(const QString& why);

    QByteArray m_root;
    QByteArray m_corpus;
    bool m_ownCorpus;
    QByteArray m_busAddress;
    qint64 m_busPid = 0;
    std::unique_ptr<QProcess> m_miner;
    std::unique_ptr<SandboxBus> m_bus;
    QHash<QByteArray, std::optional<QByteArray>> m_savedEnvironment;
    QString m_failure;
};

}  // namespace tarnwick::test
