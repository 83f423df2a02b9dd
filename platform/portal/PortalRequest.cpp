#include "PortalRequest.h"

namespace tarnwick {

namespace {

constexpr const char* kRequestInterface = "org.freedesktop.portal.Request";

}  // namespace

QString PortalRequest::expectedPath(const QDBusConnection& bus, const QString& token) {
    // ":1.42" becomes "1_42".
    QString sender = bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
}

PortalRequest::PortalRequest(QDBusConnection bus, const QString& path, Handler handler,
                             QObject* parent)
    : QObject(parent), m_bus(std::move(bus)), m_handler(std::move(handler)) {
    listen(path);
}

PortalRequest::~PortalRequest() {
    for (const QString& path : std::as_const(m_paths))
        m_bus.disconnect(QString::fromLatin1(kPortalService), path,
                         QString::fromLatin1(kRequestInterface), QStringLiteral("Response"), this,
                         SLOT(response(uint, QVariantMap)));
}

void PortalRequest::follow(const QString& path) {
    if (!m_paths.contains(path)) listen(path);
}

void PortalRequest::listen(const QString& path) {
    m_paths.append(path);
    m_bus.connect(QString::fromLatin1(kPortalService), path, QString::fromLatin1(kRequestInterface),
                  QStringLiteral("Response"), this, SLOT(response(uint, QVariantMap)));
}

void PortalRequest::response(uint code, const QVariantMap& results) {
    if (!m_handler) return;
    Handler handler = std::move(m_handler);
    m_handler = nullptr;
    deleteLater();
    handler(code, results);
}

}  // namespace tarnwick
