#pragma once

#include "Appcast.h"
#include "AppcastDialog.h"
#include "AppcastFetcher.h"
#include "AppcastSchedule.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <optional>

namespace tarnwick {

// Looks for new versions of the program in an appcast: once a day on its own (the first time a
// day after the first start) and when the user asks ("Check for Updates…"). A check the user
// asked for answers in a dialog; a scheduled one that finds an update only emits updateFound,
// for the tray to show as a gentle reminder, and never one for a version the user skipped. It
// never downloads or installs anything itself: "Download" opens the link in the browser.
// A build without a feed (one whose updates come from the system's package manager) does none
// of this: it never checks, and the tray offers no "Check for Updates…".
class UpdateManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool updateAvailable READ updateAvailable NOTIFY updateAvailableChanged)
public:
    struct Setup {
        // Set at build time for direct download, where the "updateFeedURL" preference overrides
        // it; empty for a build installed by a package manager.
        QUrl builtInFeed;
        QString runningVersion;  // as AppcastVersion reads it
        // How long a check that fell due while the program was not running waits after start.
        qint64 overdueDelayMs = appcast_schedule::kStartDelayMs;
    };

    explicit UpdateManager(const Setup& setup, QObject* parent = nullptr);
    ~UpdateManager() override;

    // The process-wide instance, with the feed and version chosen at build time.
    static UpdateManager& shared();

    // Whether this build looks for updates itself (it has a feed).
    bool isEnabled() const { return !m_setup.builtInFeed.isEmpty(); }
    // Starts the schedule; asks nothing at the first start. Does nothing unless enabled.
    void start();
    // A check the user asked for, answered in the dialog (only when enabled).
    void checkForUpdates();
    // Shows the update a scheduled check found (when its reminder is clicked), else checks.
    void showFoundUpdate();

    // True from the moment an update is announced (dialog or reminder) until the user has
    // answered the dialog about it.
    bool updateAvailable() const { return m_updateAvailable; }
    QDateTime nextScheduledCheck() const { return m_nextCheck; }

    AppcastFetcher& fetcher() { return m_fetcher; }
    // The dialog, once a check has needed it.
    AppcastDialog* dialog() const { return m_dialog; }

Q_SIGNALS:
    void updateFound(const QString& version);
    void updateAvailableChanged(bool available);
    // Every check's end, whatever its outcome (also a cancelled one).
    void checkFinished();

private:
    void scheduleNext(const QDateTime& due);
    void onTimer();
    void beginCheck(bool userInitiated);
    void onFetched(const QByteArray& body);
    void onFailed(const QString& message);
    void onAnswered(AppcastDialog::Answer answer);
    void onCheckCancelled();
    void finishCheck();
    void announce(const AppcastItem& item);
    void setUpdateAvailable(bool available);
    AppcastDialog& ensureDialog();

    Setup m_setup;
    AppcastVersion m_running;
    AppcastFetcher m_fetcher;
    QTimer m_timer;
    QDateTime m_nextCheck;
    bool m_checking = false;
    bool m_userInitiated = false;
    bool m_updateAvailable = false;
    std::optional<AppcastItem> m_found;
    QPointer<AppcastDialog> m_dialog;
};

}  // namespace tarnwick
