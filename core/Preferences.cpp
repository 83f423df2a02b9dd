#include "Preferences.h"

#include <QCoreApplication>
#include <QSettings>

#include <limits>

namespace tarnwick {

std::optional<QVariant> Preferences::read(const QString& key) {
    QSettings settings(QStringLiteral("Tarnwick"), QStringLiteral("Tarnwick"));
    if (settings.status() != QSettings::NoError) return std::nullopt;
    QVariant value = settings.value(key);
    if (!value.isValid()) return std::nullopt;
    return value;
}

bool Preferences::showHiddenFiles() {
    return readBool(QString::fromLatin1(kShowHiddenFiles)).value_or(false);
}

std::optional<QString> Preferences::setShowHiddenFiles(bool show) {
    return store(QString::fromLatin1(kShowHiddenFiles), show);
}

std::optional<QString> Preferences::setKeepListings(bool keep) {
    return store(QString::fromLatin1(kKeepListings), keep);
}

std::optional<QString> Preferences::setKeptListingsMegabytes(qint64 megabytes) {
    return store(QString::fromLatin1(kKeptListingsMegabytes), megabytes);
}

std::optional<QString> Preferences::store(const QString& key, const QVariant& value) {
    QSettings settings(QStringLiteral("Tarnwick"), QStringLiteral("Tarnwick"));
    settings.setValue(key, value);
    // QSettings writes through a temporary file and says only through status() that it failed.
    settings.sync();
    if (settings.status() == QSettings::NoError) return std::nullopt;
    return QCoreApplication::translate("Preferences",
                                       "The settings could not be saved to %1: the disk may be "
                                       "full or the folder read-only. The earlier settings are "
                                       "kept.")
        .arg(settings.fileName());
}

bool Preferences::keepsListings() {
    return readBool(QString::fromLatin1(kKeepListings)).value_or(true) &&
           keptListingsMegabytes() > 0;
}

qint64 Preferences::keptListingsMegabytes() {
    return readInt32(QString::fromLatin1(kKeptListingsMegabytes))
        .value_or(kDefaultKeptListingsMegabytes);
}

std::optional<bool> Preferences::readBool(const QString& key) {
    auto value = read(key);
    return value ? boolFromStored(*value) : std::nullopt;
}

std::optional<qint64> Preferences::readInt32(const QString& key) {
    auto value = read(key);
    return value ? int32FromStored(*value) : std::nullopt;
}

std::optional<bool> boolFromStored(const QVariant& value) {
    if (value.typeId() == QMetaType::Bool) return value.toBool();
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().trimmed();
        if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
        if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return false;
    }
    return std::nullopt;
}

std::optional<qint64> int32FromStored(const QVariant& value) {
    bool ok = false;
    qint64 number = 0;
    switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::ULongLong:
            number = value.toLongLong(&ok);
            break;
        case QMetaType::QString:
            number = value.toString().trimmed().toLongLong(&ok);
            break;
        default:
            return std::nullopt;
    }
    if (!ok || number < std::numeric_limits<qint32>::min() ||
        number > std::numeric_limits<quint32>::max())
        return std::nullopt;
    return number;
}

}  // namespace tarnwick
