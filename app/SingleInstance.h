#pragma once

#include "SingleInstanceRequest.h"

#include <QDBusConnection>
#include <QObject>

namespace tarnwick {

class ApplicationBusService;

// One tray application per session: the first start owns the name org.tarnwick.Tarnwick on the
// session bus and serves org.freedesktop.Application there; a later start hands its request to
// it and leaves.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kServiceName = "org.tarnwick.Tarnwick";
    static constexpr const char* kObjectPath = "/org/tarnwick/Tarnwick";
    // The application action that runs the activation flow (`tarnwick --activate`).
    static constexpr const char* kSearchAction = "activate-search";
    static constexpr const char* kSettingsAction = "settings";

    enum class Claim {
        primary,         // we are the instance
        alreadyRunning,  // another process is: hand over
        noBus,           // no session bus: run alone, reachable by no second start
    };

    explicit SingleInstance(QDBusConnection bus, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Serves the interface, then asks for the name (in that order, so whoever sees the name
    // finds the interface).
    Claim claim();
    // As a second start: hands `request` to the instance that owns the name. Empty on success,
    // else the error.
    QString handOver(const StartRequest& request) const;

Q_SIGNALS:
    // A later start's activation token, ahead of the request it came with.
    void activationTokenGiven(const QString& token);
    // A second plain start.
    void activateRequested();
    // `tarnwick --activate`.
    void searchRequested();
    void settingsRequested();
    // `tarnwick FOLDER`.
    void folderRequested(const QByteArray& folder);

private:
    QDBusConnection m_bus;
    ApplicationBusService* m_service;
    bool m_exported = false;
    bool m_primary = false;
};

}  // namespace tarnwick
