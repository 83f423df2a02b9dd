#include "SingleInstance.h"

#include "core/FileUri.h"
#include "platform/dbus/ApplicationBusService.h"

#include <QDBusConnectionInterface>

namespace tarnwick {

SingleInstance::SingleInstance(QDBusConnection bus, QObject* parent)
    : QObject(parent), m_bus(std::move(bus)), m_service(new ApplicationBusService(this)) {
    connect(m_service, &ApplicationBusService::activationTokenGiven, this,
            &SingleInstance::activationTokenGiven);
    connect(m_service, &ApplicationBusService::activated, this, &SingleInstance::activateRequested);
    connect(m_service, &ApplicationBusService::actionActivated, this, [this](const QString& name) {
        if (name == QLatin1String(kSearchAction)) Q_EMIT searchRequested();
        if (name == QLatin1String(kSettingsAction)) Q_EMIT settingsRequested();
    });
    connect(m_service, &ApplicationBusService::opened, this,
            [this](const QList<QByteArray>& paths) {
                for (const QByteArray& path : paths) Q_EMIT folderRequested(path);
            });
}

SingleInstance::~SingleInstance() {
    // Released at once, so that a start right after this one's end becomes the instance.
    if (m_primary) m_bus.unregisterService(QString::fromLatin1(kServiceName));
    if (m_exported) m_bus.unregisterObject(QString::fromLatin1(kObjectPath));
}

SingleInstance::Claim SingleInstance::claim() {
    if (!m_bus.isConnected() || !m_bus.interface()) return Claim::noBus;
    const QString path = QString::fromLatin1(kObjectPath);
    if (!m_exported)
        m_exported = m_bus.registerObject(path, m_service, QDBusConnection::ExportAdaptors);
    if (!m_exported) return Claim::noBus;
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        m_bus.interface()->registerService(QString::fromLatin1(kServiceName),
                                           QDBusConnectionInterface::DontQueueService,
                                           QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid()) return Claim::noBus;
    if (reply.value() == QDBusConnectionInterface::ServiceRegistered) {
        m_primary = true;
        return Claim::primary;
    }
    m_bus.unregisterObject(path);
    m_exported = false;
    return Claim::alreadyRunning;
}

QString SingleInstance::handOver(const StartRequest& request) const {
    const QString service = QString::fromLatin1(kServiceName);
    const QString path = QString::fromLatin1(kObjectPath);
    const QString& token = request.activationToken;
    switch (request.kind) {
        case StartRequest::Kind::plain:
            return applicationBus::activate(m_bus, service, path, token);
        case StartRequest::Kind::activateSearch:
            return applicationBus::activateAction(m_bus, service, path,
                                                  QString::fromLatin1(kSearchAction), token);
        case StartRequest::Kind::openFolder:
            return applicationBus::open(m_bus, service, path, {fileUriFromPath(request.folder)},
                                        token);
        case StartRequest::Kind::openSettings:
            return applicationBus::activateAction(m_bus, service, path,
                                                  QString::fromLatin1(kSettingsAction), token);
    }
    return {};
}

}  // namespace tarnwick
