#pragma once

#include <QByteArray>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

namespace tarnwick {

// This application as the desktop's org.freedesktop.Application: what a launcher, a file
// manager's action or a second start of the program asks of the running instance. Export it
// with QDBusConnection::registerObject (ExportAdaptors).
class ApplicationBusService : public QObject {
    Q_OBJECT
public:
    explicit ApplicationBusService(QObject* parent = nullptr);

Q_SIGNALS:
    // The activation token the desktop gave the asking start (its platform data's
    // "activation-token" or "desktop-startup-id"), sent before the request it came with.
    void activationTokenGiven(const QString& token);
    // Started again without arguments.
    void activated();
    // Asked to open files or folders; only local ones are passed on, as native paths.
    void opened(const QList<QByteArray>& paths);
    // One of the application's named actions.
    void actionActivated(const QString& name);
};

// The org.freedesktop.Application interface on an ApplicationBusService.
class FreedesktopApplicationAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
public:
    explicit FreedesktopApplicationAdaptor(ApplicationBusService* service);

public Q_SLOTS:
    void Activate(const QVariantMap& platformData);
    void Open(const QStringList& uris, const QVariantMap& platformData);
    void ActivateAction(const QString& name, const QVariantList& parameter,
                        const QVariantMap& platformData);

private:
    void takeActivationToken(const QVariantMap& platformData);
    ApplicationBusService* m_service;
};

// The same interface seen from a second start: blocking calls (it has nothing else to do),
// each returning an empty text on success or the error. `token` is the activation token this
// start was given, passed on so that the instance's window may take the focus.
namespace applicationBus {

constexpr int kHandOverTimeoutMs = 5000;

QString activate(const QDBusConnection& bus, const QString& service, const QString& path,
                 const QString& token);
QString open(const QDBusConnection& bus, const QString& service, const QString& path,
             const QStringList& uris, const QString& token);
QString activateAction(const QDBusConnection& bus, const QString& service, const QString& path,
                       const QString& action, const QString& token);

}  // namespace applicationBus

}  // namespace tarnwick
