#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QProcess;

namespace tarnwick::test {

// A Tracker miner of its own (bus, XDG folders, settings) under /var/tmp, outside $TMPDIR which
// it skips; start() points this process at it, and GLib caches that: one sandbox per process.
class TrackerSandbox {
public:
    // `corpus`: the folder to index; empty for the sandbox's own.
    explicit TrackerSandbox(const QByteArray& corpus = {});
    ~TrackerSandbox() { stop(); }
    QByteArray corpus() const { return m_corpus; }
    QByteArray outside() const { return m_root + "/outside"; }  // a folder not indexed
    // Waits until the corpus (fill it first) is indexed; failure() says why not.
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
