#pragma once

#include <QDateTime>
#include <QString>
#include <QUrl>

#include <optional>

namespace tarnwick {

// When scheduled update checks run: every 24 hours, the first one a day after the first start.
// The time of the last check (or of the first start, which counts as one) is stored, so that
// restarting the program neither brings a check forward nor puts it off.
namespace appcast_schedule {

constexpr qint64 kIntervalMs = 24LL * 60 * 60 * 1000;
// A check that fell due while the program was not running waits this long after start.
constexpr qint64 kStartDelayMs = 60 * 1000;

// When the next scheduled check is due. No last check: a day from now. A last check in the
// future (the clock was set back) counts as now. A check overdue at start waits `startDelayMs`.
QDateTime nextCheck(const std::optional<QDateTime>& lastCheck, const QDateTime& now,
                    qint64 startDelayMs = kStartDelayMs);

}  // namespace appcast_schedule

// The update checker's stored state (QSettings, organization and application "Tarnwick"):
// "updateFeedURL" overrides the feed chosen at build time, "lastUpdateCheck" (UTC, ISO 8601),
// "skippedUpdateVersion".
class AppcastPreferences {
public:
    // The stored override when it is a URL, else `builtIn`.
    static QUrl feedUrl(const QUrl& builtIn);
    static std::optional<QDateTime> lastCheck();
    static void setLastCheck(const QDateTime& when);
    static QString skippedVersion();
    static void setSkippedVersion(const QString& version);
};

}  // namespace tarnwick
