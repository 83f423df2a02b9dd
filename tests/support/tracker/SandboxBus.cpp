#include <libtracker-sparql/tracker-sparql.h>

#include "SandboxBus.h"

namespace tarnwick::test {

namespace {

constexpr char kMiner[] = "org.freedesktop.Tracker3.Miner.Files";
constexpr char kMinerPath[] = "/org/freedesktop/Tracker3/Miner/Files";
constexpr char kMinerInterface[] = "org.freedesktop.Tracker3.Miner";
constexpr int kCallTimeoutMs = 5000;

// 'Idle' at progress 1.0 also shows between crawling and extraction, so the wait needs this.
constexpr char kAwaitingExtraction[] =
    "SELECT (COUNT(?u) AS ?n) { GRAPH ?g { ?u a nfo:FileDataObject ; nfo:fileName [] }"
    " FILTER (?g != tracker:FileSystem && NOT EXISTS {"
    " GRAPH tracker:FileSystem { ?u tracker:extractorHash ?h } }) }";

GVariant* call(GDBusConnection* bus, const char* destination, const char* path,
               const char* interface, const char* method, GVariant* arguments) {
    if (!bus) return nullptr;
    return g_dbus_connection_call_sync(bus, destination, path, interface, method, arguments,
                                       nullptr, G_DBUS_CALL_FLAGS_NO_AUTO_START, kCallTimeoutMs,
                                       nullptr, nullptr);
}

GVariant* callBus(GDBusConnection* bus, const char* method, const char* name) {
    return call(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                method, g_variant_new("(s)", name));
}

}  // namespace

SandboxBus::~SandboxBus() {
    close();
}

bool SandboxBus::open(const QByteArray& address) {
    close();
    m_bus = g_dbus_connection_new_for_address_sync(
        address.constData(),
        GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                             G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, nullptr);
    return m_bus != nullptr;
}

void SandboxBus::close() {
    if (m_sparql) {
        tracker_sparql_connection_close(m_sparql);
        g_clear_object(&m_sparql);
    }
    if (m_bus) {
        g_dbus_connection_close_sync(m_bus, nullptr, nullptr);
        g_clear_object(&m_bus);
    }
}

bool SandboxBus::nameHasOwner(const char* name) const {
    GVariant* reply = callBus(m_bus, "NameHasOwner", name);
    if (!reply) return false;
    gboolean owned = FALSE;
    g_variant_get(reply, "(b)", &owned);
    g_variant_unref(reply);
    return owned;
}

std::optional<qint64> SandboxBus::processOf(const char* name) const {
    GVariant* reply = callBus(m_bus, "GetConnectionUnixProcessID", name);
    if (!reply) return std::nullopt;
    guint32 pid = 0;
    g_variant_get(reply, "(u)", &pid);
    g_variant_unref(reply);
    return pid;
}

std::optional<std::pair<QString, double>> SandboxBus::minerState() const {
    GVariant* status = call(m_bus, kMiner, kMinerPath, kMinerInterface, "GetStatus", nullptr);
    GVariant* progress = call(m_bus, kMiner, kMinerPath, kMinerInterface, "GetProgress", nullptr);
    std::optional<std::pair<QString, double>> state;
    if (status && progress) {
        const gchar* text = nullptr;
        double done = 0;
        g_variant_get(status, "(&s)", &text);
        g_variant_get(progress, "(d)", &done);
        state = std::make_pair(QString::fromUtf8(text), done);
    }
    if (status) g_variant_unref(status);
    if (progress) g_variant_unref(progress);
    return state;
}

std::optional<qint64> SandboxBus::filesAwaitingExtraction() {
    if (!m_sparql && m_bus)
        m_sparql = tracker_sparql_connection_bus_new(kMiner, nullptr, m_bus, nullptr);
    if (!m_sparql) return std::nullopt;
    TrackerSparqlCursor* cursor =
        tracker_sparql_connection_query(m_sparql, kAwaitingExtraction, nullptr, nullptr);
    if (!cursor) return std::nullopt;
    std::optional<qint64> count;
    if (tracker_sparql_cursor_next(cursor, nullptr, nullptr))
        count = tracker_sparql_cursor_get_integer(cursor, 0);
    g_object_unref(cursor);
    return count;
}

}  // namespace tarnwick::test
