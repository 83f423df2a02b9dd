#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

typedef struct _GDBusConnection GDBusConnection;
typedef struct _TrackerSparqlConnection TrackerSparqlConnection;

namespace tarnwick::test {

// Blocking calls on the sandbox's private bus, for the sandbox's own bookkeeping: who owns a
// name, the miner's status, and how many files still wait for the extractor.
class SandboxBus {
public:
    SandboxBus() = default;
    ~SandboxBus();
    SandboxBus(const SandboxBus&) = delete;
    SandboxBus& operator=(const SandboxBus&) = delete;

    bool open(const QByteArray& address);
    void close();

    bool nameHasOwner(const char* name) const;
    std::optional<qint64> processOf(const char* name) const;
    // The miner's GetStatus and GetProgress, e.g. "Idle" and 1.0.
    std::optional<std::pair<QString, double>> minerState() const;
    // Files in a content graph that the extractor has not processed yet.
    std::optional<qint64> filesAwaitingExtraction();

private:
    GDBusConnection* m_bus = nullptr;
    TrackerSparqlConnection* m_sparql = nullptr;
};

}  // namespace tarnwick::test
