#include <libtracker-sparql/tracker-sparql.h>

#include "TrackerIndex.h"

#include "TrackerSession.h"
#include "TrackerSettings.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>

namespace tarnwick {

namespace {

// LocalSearch, Tracker's successor, owns both names and may drop the old one; Tracker's miner
// (Debian 12) has only the second.
constexpr const char* kMinerServices[] = {"org.freedesktop.LocalSearch3",
                                          "org.freedesktop.Tracker3.Miner.Files"};

// The session bus as the environment names it, or the systemd user socket. Never GLib's
// autolaunch, which would start a bus of its own that nobody stops.
QByteArray sessionBusAddress() {
    QByteArray address = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    if (!address.isEmpty()) return address;
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo::exists(QFile::decodeName(runtime + "/bus")))
        return "unix:path=" + runtime + "/bus";
    return {};
}

}  // namespace

// One attempt to connect; settles once, by success, failure or time-out, whichever comes first.
class TrackerConnector {
public:
    using Done = std::function<void(std::unique_ptr<TrackerIndex>)>;

    static void begin(QObject* context, Done done, int timeoutMs);

    ~TrackerConnector() {
        if (m_bus) {
            g_dbus_connection_close(m_bus, nullptr, nullptr, nullptr);
            g_object_unref(m_bus);
        }
        g_object_unref(m_cancellable);
    }

private:
    TrackerConnector(QObject* context, Done done)
        : m_context(context), m_done(std::move(done)), m_cancellable(g_cancellable_new()) {}

    void settle(std::unique_ptr<TrackerIndex> index) {
        if (m_settled) return;
        m_settled = true;
        g_cancellable_cancel(m_cancellable);
        if (m_context) m_done(std::move(index));
    }

    static void onBusReady(GObject*, GAsyncResult* result, gpointer data);
    // Asks the next of kMinerServices for its endpoint; `holder` is passed to the callback.
    void connectToNextService(std::unique_ptr<std::shared_ptr<TrackerConnector>> holder);
    static void onSparqlReady(GObject*, GAsyncResult* result, gpointer data);

    QPointer<QObject> m_context;
    Done m_done;
    GCancellable* m_cancellable;
    GDBusConnection* m_bus = nullptr;
    bool m_settled = false;
    std::size_t m_nextService = 0;
};

using ConnectorPtr = std::shared_ptr<TrackerConnector>;

void TrackerConnector::begin(QObject* context, Done done, int timeoutMs) {
    if (!context) context = QCoreApplication::instance();
    ConnectorPtr connector(new TrackerConnector(context, std::move(done)));
    QTimer::singleShot(timeoutMs, context, [connector] { connector->settle(nullptr); });
    const QByteArray address = sessionBusAddress();
    if (address.isEmpty()) {
        QTimer::singleShot(0, context, [connector] { connector->settle(nullptr); });
        return;
    }
    g_dbus_connection_new_for_address(
        address.constData(),
        GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                             G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, connector->m_cancellable, &TrackerConnector::onBusReady,
        new ConnectorPtr(connector));
}

void TrackerConnector::onBusReady(GObject*, GAsyncResult* result, gpointer data) {
    std::unique_ptr<ConnectorPtr> holder(static_cast<ConnectorPtr*>(data));
    TrackerConnector& connector = **holder;
    connector.m_bus = g_dbus_connection_new_for_address_finish(result, nullptr);
    if (!connector.m_bus || connector.m_settled) return connector.settle(nullptr);
    connector.connectToNextService(std::move(holder));
}

void TrackerConnector::connectToNextService(std::unique_ptr<ConnectorPtr> holder) {
    const char* service = kMinerServices[m_nextService++];
    tracker_sparql_connection_bus_new_async(service, nullptr, m_bus, m_cancellable,
                                            &TrackerConnector::onSparqlReady, holder.release());
}

void TrackerConnector::onSparqlReady(GObject*, GAsyncResult* result, gpointer data) {
    std::unique_ptr<ConnectorPtr> holder(static_cast<ConnectorPtr*>(data));
    TrackerConnector& connector = **holder;
    TrackerSparqlConnection* sparql = tracker_sparql_connection_bus_new_finish(result, nullptr);
    if (!sparql || connector.m_settled) {
        if (sparql) g_object_unref(sparql);
        if (!connector.m_settled && connector.m_nextService < std::size(kMinerServices))
            return connector.connectToNextService(std::move(holder));
        return connector.settle(nullptr);
    }
    auto coverage = std::make_shared<const TrackerCoverage>(TrackerSettings::fromGSettings());
    auto session = std::make_shared<TrackerSession>(std::exchange(connector.m_bus, nullptr), sparql,
                                                    std::move(coverage));
    connector.settle(std::unique_ptr<TrackerIndex>(new TrackerIndex(std::move(session))));
}

void TrackerIndex::connectAsync(QObject* context,
                                std::function<void(std::unique_ptr<TrackerIndex>)> done,
                                int timeoutMs) {
    TrackerConnector::begin(context, std::move(done), timeoutMs);
}

std::unique_ptr<TrackerIndex> TrackerIndex::connectNow(int timeoutMs) {
    QEventLoop loop;
    std::unique_ptr<TrackerIndex> index;
    bool settled = false;
    connectAsync(
        &loop,
        [&](std::unique_ptr<TrackerIndex> connected) {
            index = std::move(connected);
            settled = true;
            loop.quit();
        },
        timeoutMs);
    if (!settled) loop.exec();
    return index;
}

}  // namespace tarnwick
