#include "AppcastSchedule.h"

#include <QSettings>

namespace tarnwick {

namespace {

const QString kFeedUrl = QStringLiteral("updateFeedURL");
const QString kLastCheck = QStringLiteral("lastUpdateCheck");
const QString kSkippedVersion = QStringLiteral("skippedUpdateVersion");

// QSettings is neither copyable nor movable; read through a fresh object each time.
QVariant read(const QString& key) {
    QSettings settings(QStringLiteral("Tarnwick"), QStringLiteral("Tarnwick"));
    return settings.value(key);
}

void write(const QString& key, const QVariant& value) {
    QSettings settings(QStringLiteral("Tarnwick"), QStringLiteral("Tarnwick"));
    settings.setValue(key, value);
}

}  // namespace

QDateTime appcast_schedule::nextCheck(const std::optional<QDateTime>& lastCheck,
                                      const QDateTime& now, qint64 startDelayMs) {
    if (!lastCheck || !lastCheck->isValid() || *lastCheck > now) return now.addMSecs(kIntervalMs);
    return std::max(lastCheck->addMSecs(kIntervalMs), now.addMSecs(startDelayMs));
}

QUrl AppcastPreferences::feedUrl(const QUrl& builtIn) {
    const QVariant stored = read(kFeedUrl);
    if (stored.typeId() != QMetaType::QString && stored.typeId() != QMetaType::QUrl) return builtIn;
    const QUrl url(stored.toString().trimmed(), QUrl::StrictMode);
    return url.isValid() && !url.isRelative() ? url : builtIn;
}

std::optional<QDateTime> AppcastPreferences::lastCheck() {
    const QVariant stored = read(kLastCheck);
    if (stored.typeId() != QMetaType::QString) return std::nullopt;
    const QDateTime when = QDateTime::fromString(stored.toString(), Qt::ISODateWithMs);
    if (!when.isValid()) return std::nullopt;
    return when;
}

void AppcastPreferences::setLastCheck(const QDateTime& when) {
    write(kLastCheck, when.toUTC().toString(Qt::ISODateWithMs));
}

QString AppcastPreferences::skippedVersion() {
    const QVariant stored = read(kSkippedVersion);
    return stored.typeId() == QMetaType::QString ? stored.toString() : QString();
}

void AppcastPreferences::setSkippedVersion(const QString& version) {
    write(kSkippedVersion, version);
}

}  // namespace tarnwick
