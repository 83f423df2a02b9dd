#include "PortalGlobalShortcut.h"

#include "PortalRequest.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include <cstdio>

namespace tarnwick {

namespace {

constexpr const char* kPortalPath = "/org/freedesktop/portal/desktop";
constexpr const char* kShortcutsInterface = "org.freedesktop.portal.GlobalShortcuts";
constexpr const char* kRegistryInterface = "org.freedesktop.host.portal.Registry";
constexpr const char* kSessionInterface = "org.freedesktop.portal.Session";
constexpr const char* kApplicationId = "org.tarnwick.Tarnwick";
constexpr int kCallTimeoutMs = 5000;

// One entry of BindShortcuts' a(sa{sv}).
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

bool meansNoSuchService(const QString& errorName) {
    static const QStringList kNames = {
        QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown"),
        QStringLiteral("org.freedesktop.DBus.Error.UnknownInterface"),
        QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"),
        QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"),
        QStringLiteral("org.freedesktop.DBus.Error.NameHasNoOwner"),
    };
    return kNames.contains(errorName);
}

// The shortcuts a portal answer lists, by id, with how the desktop names each one's trigger.
QMap<QString, QString> listedTriggers(const QVariantMap& results) {
    QMap<QString, QString> triggers;
    const QVariant listed = results.value(QStringLiteral("shortcuts"));
    if (!listed.canConvert<QDBusArgument>()) return triggers;
    QList<PortalShortcut> shortcuts;
    listed.value<QDBusArgument>() >> shortcuts;
    for (const PortalShortcut& shortcut : std::as_const(shortcuts))
        triggers.insert(
            shortcut.id,
            shortcut.properties.value(QStringLiteral("trigger_description")).toString());
    return triggers;
}

QString handleFrom(const QVariant& value) {
    // The spec says 's'; some portal versions send an object path.
    if (value.canConvert<QDBusObjectPath>()) return value.value<QDBusObjectPath>().path();
    return value.toString();
}

}  // namespace

}  // namespace tarnwick

Q_DECLARE_METATYPE(tarnwick::PortalShortcut)

namespace tarnwick {

PortalGlobalShortcut::PortalGlobalShortcut(QDBusConnection bus, QObject* parent)
    : GlobalShortcut(parent), m_bus(std::move(bus)) {
    // QtDBus finds the slot's argument types by name; a type this process has not used yet has
    // none, and connecting the Activated signal would fail silently.
    qRegisterMetaType<QDBusObjectPath>();
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
}

PortalGlobalShortcut::~PortalGlobalShortcut() {
    unregisterKey();
}

void PortalGlobalShortcut::registerKey(const ShortcutKey& key) {
    unregisterKey();
    m_key = key;
    if (!m_listening) {
        m_listening = m_bus.connect(
            QString::fromLatin1(kPortalService), QString::fromLatin1(kPortalPath),
            QString::fromLatin1(kShortcutsInterface), QStringLiteral("Activated"), this,
            SLOT(onActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    }
    registerApplication();
    createSession();
}

void PortalGlobalShortcut::unregisterKey() {
    ++m_generation;
    if (m_session.isEmpty()) return;
    QDBusMessage close = QDBusMessage::createMethodCall(
        QString::fromLatin1(kPortalService), m_session, QString::fromLatin1(kSessionInterface),
        QStringLiteral("Close"));
    close.setAutoStartService(false);
    m_bus.send(close);
    m_session.clear();
}

void PortalGlobalShortcut::registerApplication() {
    // Portals from 1.19 on want unsandboxed applications to say who they are before their first
    // call; older ones do not know the interface, and the error is of no interest.
    QDBusMessage message = QDBusMessage::createMethodCall(
        QString::fromLatin1(kPortalService), QString::fromLatin1(kPortalPath),
        QString::fromLatin1(kRegistryInterface), QStringLiteral("Register"));
    message << QString::fromLatin1(kApplicationId) << QVariantMap();
    m_bus.send(message);
}

void PortalGlobalShortcut::createSession() {
    const QString token = nextToken();
    // xdg-desktop-portal-kde 5.27 binds the shortcuts named here and ignores BindShortcuts';
    // later portals bind those of BindShortcuts. Both get them, and the answers are checked.
    // The session token names the shortcut's group in Plasma's settings, where the user's own
    // choice of key is kept under that name: it must not change from one start to the next.
    const QVariantMap options{{QStringLiteral("handle_token"), token},
                              {QStringLiteral("session_handle_token"), QStringLiteral("tarnwick")},
                              {QStringLiteral("shortcuts"), QVariant::fromValue(ourShortcuts())}};
    callWithRequest(QStringLiteral("CreateSession"), {options}, token,
                    [this](uint code, const QVariantMap& results) {
                        if (code != 0) {
                            Q_EMIT registrationFailed(int(code));
                            return;
                        }
                        m_session = handleFrom(results.value(QStringLiteral("session_handle")));
                        if (m_session.isEmpty()) {
                            Q_EMIT registrationFailed(2);
                            return;
                        }
                        bindShortcuts();
                    });
}

QVariant PortalGlobalShortcut::ourShortcuts() const {
    const QList<PortalShortcut> shortcuts{
        {QString::fromLatin1(kShortcutId),
         {{QStringLiteral("description"), m_key.description},
          {QStringLiteral("preferred_trigger"), portalTrigger(m_key)}}}};
    return QVariant::fromValue(shortcuts);
}

void PortalGlobalShortcut::bindShortcuts() {
    const QString token = nextToken();
    const QVariantList arguments{QVariant::fromValue(QDBusObjectPath(m_session)), ourShortcuts(),
                                 QString(), QVariantMap{{QStringLiteral("handle_token"), token}}};
    callWithRequest(QStringLiteral("BindShortcuts"), arguments, token,
                    [this](uint code, const QVariantMap& results) {
                        if (code != 0) return Q_EMIT registrationFailed(int(code));
                        // An empty list may still mean bound at CreateSession: ask.
                        if (!reportBound(results)) listShortcuts();
                    });
}

void PortalGlobalShortcut::listShortcuts() {
    const QString token = nextToken();
    const QVariantList arguments{QVariant::fromValue(QDBusObjectPath(m_session)),
                                 QVariantMap{{QStringLiteral("handle_token"), token}}};
    callWithRequest(QStringLiteral("ListShortcuts"), arguments, token,
                    [this](uint code, const QVariantMap& results) {
                        if (code == 0 && reportBound(results)) return;
                        std::printf("Global shortcut portal bound nothing for %s\n", kShortcutId);
                        std::fflush(stdout);
                        Q_EMIT registrationFailed(code != 0 ? int(code) : kNothingBound);
                    });
}

bool PortalGlobalShortcut::reportBound(const QVariantMap& results) {
    const QMap<QString, QString> triggers = listedTriggers(results);
    const auto ours = triggers.constFind(QString::fromLatin1(kShortcutId));
    if (ours == triggers.cend()) return false;
    Q_EMIT bound(*ours);
    return true;
}

void PortalGlobalShortcut::callWithRequest(const QString& method, QVariantList arguments,
                                           const QString& token, ResponseHandler handler) {
    const int generation = m_generation;
    auto guarded = [this, generation, handler = std::move(handler)](uint code,
                                                                    const QVariantMap& results) {
        if (generation == m_generation) handler(code, results);
    };
    auto* request = new PortalRequest(m_bus, PortalRequest::expectedPath(m_bus, token),
                                      std::move(guarded), this);

    QDBusMessage message = QDBusMessage::createMethodCall(
        QString::fromLatin1(kPortalService), QString::fromLatin1(kPortalPath),
        QString::fromLatin1(kShortcutsInterface), method);
    message.setArguments(arguments);
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(message, kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, watcher, request, method, generation] {
                watcher->deleteLater();
                QDBusPendingReply<QDBusObjectPath> reply = *watcher;
                if (reply.isError()) {
                    request->deleteLater();
                    if (generation == m_generation)
                        failed(method, reply.error().name(), reply.error().message());
                    return;
                }
                request->follow(reply.value().path());
            });
}

QString PortalGlobalShortcut::nextToken() {
    return QStringLiteral("tarnwick_%1").arg(++m_tokens);
}

void PortalGlobalShortcut::failed(const QString& method, const QString& errorName,
                                  const QString& message) {
    if (meansNoSuchService(errorName)) {
        Q_EMIT unavailable(QStringLiteral("the desktop portal offers no global shortcuts"));
        return;
    }
    std::printf("Global shortcut portal error: %s: %s\n", qUtf8Printable(method),
                qUtf8Printable(message));
    std::fflush(stdout);
    Q_EMIT registrationFailed(2);
}

void PortalGlobalShortcut::onActivated(const QDBusObjectPath& session, const QString& id,
                                       qulonglong, const QVariantMap&) {
    if (m_session.isEmpty() || session.path() != m_session) return;
    if (id == QLatin1String(kShortcutId)) Q_EMIT pressed();
}

}  // namespace tarnwick
