#pragma once

#include "TrackerCoverage.h"

#include <QLoggingCategory>
#include <QObject>
#include <QThreadPool>

#include <memory>

typedef struct _GDBusConnection GDBusConnection;
typedef struct _TrackerSparqlConnection TrackerSparqlConnection;
typedef struct _TrackerNotifier TrackerNotifier;

namespace tarnwick {

Q_DECLARE_LOGGING_CATEGORY(lcTracker)

// One connection to the miner's endpoint, shared by the index and every query made from it (a
// query may outlive the index): the D-Bus connection of our own, the SPARQL connection over it,
// one change notifier, what the settings say is covered, and the threads that read results.
// Main thread only, except coverage(), which any thread may use.
class TrackerSession : public QObject {
    Q_OBJECT
public:
    // Takes over one reference of each connection.
    TrackerSession(GDBusConnection* bus, TrackerSparqlConnection* sparql,
                   std::shared_ptr<const TrackerCoverage> coverage);
    ~TrackerSession() override;

    TrackerSparqlConnection* connection() const { return m_sparql; }
    const std::shared_ptr<const TrackerCoverage>& coverage() const { return m_coverage; }
    // Cursors are read here: reading blocks on the endpoint's pipe.
    QThreadPool& readers() { return m_readers; }
    // How many parts a content statement is split into, all running at once.
    int statementShares() const { return m_shares; }
    void setStatementShares(int count);

    // A query found the endpoint gone or silent: logged once until it answers again, since
    // every open panel asks it with every keystroke and searches go on without it meanwhile.
    void reportFailure(const QString& reason);
    // It answered a query.
    void reportAnswer() { m_failing = false; }

Q_SIGNALS:
    // Something in the file-system or document graphs changed (created, updated or deleted).
    void indexChanged();

private:
    void watchChanges();

    GDBusConnection* m_bus;
    TrackerSparqlConnection* m_sparql;
    TrackerNotifier* m_notifier = nullptr;
    unsigned long m_eventsHandler = 0;
    std::shared_ptr<const TrackerCoverage> m_coverage;
    int m_shares = 1;
    bool m_failing = false;
    QThreadPool m_readers;
};

}  // namespace tarnwick
