#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QProcess;

namespace tarnwick::test {

// A Tracker file miner of its own: a private bus from its own configuration (which may start only
// the extractor), private XDG folders and TMPDIR under /var/tmp (the miner skips roots below
// $TMPDIR), the miner's settings in a keyfile naming the corpus, tracker-miner-fs-3 started
// directly. start() points this process at it too (bus, HOME, XDG folders, keyfile settings), so
// that code under test uses this miner; GLib caches those, so one sandbox per process.
class TrackerSandbox {
public:
    // `corpus`: the folder to index; empty for the sandbox's own.
    explicit TrackerSandbox(const QByteArray& corpus = {});
    ~TrackerSandbox();
    QByteArray corpus() const { return m_corpus; }
    QByteArray outside() const { return m_root + "/outside"; }  // a folder not indexed
    // Starts bus and miner and waits until the corpus (fill it first) is indexed and extracted;
    // failure() says why not, with the miner's output.
    bool start(int timeoutMs = 240000);
    QString failure() const { return m_failure; }
    // Ends miner, extractor and bus, and removes the sandbox's folder.
    void stop();
    // SIGSTOP (a miner that holds its name but answers nothing), SIGCONT, or SIGKILL (waited for).
    void signalMiner(int signal);

private:
    bool isIdle() const;
    bool fail(const QString& why);
    QByteArray m_root;
    QByteArray m_corpus;
    std::unique_ptr<QProcess> m_bus;
    std::unique_ptr<QProcess> m_miner;
    QString m_failure;
};

}  // namespace tarnwick::test
