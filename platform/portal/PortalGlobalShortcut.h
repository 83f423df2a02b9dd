#pragma once

#include "platform/GlobalShortcut.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QVariantMap>

#include <functional>

namespace tarnwick {

// The shortcut through the desktop portal's GlobalShortcuts interface (Wayland: KDE Plasma 5.27
// and later, GNOME 48 and later): a session is created, the shortcut bound with our preferred
// trigger (the desktop may ask the user, who has the last word), and its activations reported.
// Bound means listed back by the portal; a success code alone proves nothing.
class PortalGlobalShortcut : public GlobalShortcut {
    Q_OBJECT
public:
    static constexpr const char* kShortcutId = "activate-search";
    // registrationFailed status when the portal answered without binding our shortcut.
    static constexpr int kNothingBound = 3;

    explicit PortalGlobalShortcut(QDBusConnection bus, QObject* parent = nullptr);
    ~PortalGlobalShortcut() override;

    void registerKey(const ShortcutKey& key) override;
    void unregisterKey() override;

    // The portal session while one is open, for tests and diagnostics.
    QString sessionHandle() const { return m_session; }

private Q_SLOTS:
    void onActivated(const QDBusObjectPath& session, const QString& id, qulonglong timestamp,
                     const QVariantMap& options);

private:
    using ResponseHandler = std::function<void(uint code, const QVariantMap& results)>;

    void registerApplication();
    void createSession();
    void bindShortcuts();
    void listShortcuts();
    QVariant ourShortcuts() const;  // a(sa{sv}) of our one shortcut
    // Emits bound when `results` list our shortcut; false when they do not.
    bool reportBound(const QVariantMap& results);
    // Calls a portal method that answers through a Request object, and hands that answer to
    // `handler` while this registration is still the current one.
    void callWithRequest(const QString& method, QVariantList arguments, const QString& token,
                         ResponseHandler handler);
    QString nextToken();
    void failed(const QString& method, const QString& errorName, const QString& message);

    QDBusConnection m_bus;
    ShortcutKey m_key;
    QString m_session;
    int m_generation = 0;  // bumped by unregisterKey: answers for an older one are dropped
    int m_tokens = 0;
    bool m_listening = false;
};

}  // namespace tarnwick
