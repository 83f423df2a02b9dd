#include <libtracker-sparql/tracker-sparql.h>

#include "TrackerSession.h"

#include <QThread>

#include <algorithm>
#include <utility>

namespace tarnwick {

Q_LOGGING_CATEGORY(lcTracker, "tarnwick.index.tracker", QtWarningMsg)

namespace {

constexpr int kMaxShares = 4;

bool isWatchedGraph(const char* graph) {
    if (!graph) return false;
    const QByteArrayView name(graph);
    return name.endsWith("#FileSystem") || name.endsWith("#Documents") ||
           name == "tracker:FileSystem" || name == "tracker:Documents";
}

}  // namespace

TrackerSession::TrackerSession(GDBusConnection* bus, TrackerSparqlConnection* sparql,
                               std::shared_ptr<const TrackerCoverage> coverage)
    : m_bus(bus), m_sparql(sparql), m_coverage(std::move(coverage)) {
    // One share per core. Every share repeats the joins, so more than a few are unlikely to
    // pay; four is a guess, measured only up to two cores.
    setStatementShares(std::min(QThread::idealThreadCount(), kMaxShares));
    m_readers.setExpiryTimeout(10000);
    watchChanges();
}

TrackerSession::~TrackerSession() {
    if (m_notifier) {
        g_signal_handler_disconnect(m_notifier, m_eventsHandler);
        g_object_unref(m_notifier);
    }
    // Queries cancel their reads when they end, and every query holds this session: by now no
    // read is waiting on the endpoint.
    m_readers.waitForDone();
    tracker_sparql_connection_close(m_sparql);
    g_object_unref(m_sparql);
    g_dbus_connection_close_sync(m_bus, nullptr, nullptr);
    g_object_unref(m_bus);
}

void TrackerSession::setStatementShares(int count) {
    m_shares = std::max(count, 1);
    // A share whose cursor waits for a reader holds up the whole answer.
    m_readers.setMaxThreadCount(std::max(m_shares, 2));
}

void TrackerSession::reportFailure(const QString& reason) {
    if (std::exchange(m_failing, true)) return;
    qCWarning(lcTracker).noquote()
        << "Tracker does not answer:" << reason
        << "- searches go on without its content hits until it answers again";
}

void TrackerSession::watchChanges() {
    m_notifier = tracker_sparql_connection_create_notifier(m_sparql);
    if (!m_notifier) return;
    // GLib calls this on the main thread: Qt's event dispatcher runs GLib's main context.
    auto onEvents =
        +[](TrackerNotifier*, const char*, const char* graph, GPtrArray*, gpointer self) {
            if (isWatchedGraph(graph)) Q_EMIT static_cast<TrackerSession*>(self)->indexChanged();
        };
    m_eventsHandler =
        g_signal_connect(m_notifier, "events", G_CALLBACK(onEvents), static_cast<gpointer>(this));
}

}  // namespace tarnwick
