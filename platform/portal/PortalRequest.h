#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include <functional>

namespace tarnwick {

inline constexpr const char* kPortalService = "org.freedesktop.portal.Desktop";

// The answer to one portal call: portal methods return a Request object at once and send its
// Response signal when the work (perhaps a dialog) is done. Listens before the call is made,
// so that a quick answer is not lost, then removes itself after the answer.
class PortalRequest : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(uint code, const QVariantMap& results)>;

    // Where the portal puts the Request for `token` of this connection's calls.
    static QString expectedPath(const QDBusConnection& bus, const QString& token);

    PortalRequest(QDBusConnection bus, const QString& path, Handler handler, QObject* parent);
    ~PortalRequest() override;

    // Also listens at the path the portal named in its reply (older portals chose their own).
    void follow(const QString& path);

public Q_SLOTS:
    void response(uint code, const QVariantMap& results);

private:
    void listen(const QString& path);

    QDBusConnection m_bus;
    Handler m_handler;
    QStringList m_paths;
};

}  // namespace tarnwick
