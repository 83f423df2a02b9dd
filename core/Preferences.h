#pragma once

#include <QString>
#include <QVariant>

#include <optional>

namespace tarnwick {

// The user's stored preferences (QSettings, organization and application "Tarnwick"). A
// settings file that cannot be parsed, or a value of the wrong type, reads as absent.
class Preferences {
public:
    static constexpr const char* kShowHiddenFiles = "showHiddenFiles";
    static constexpr const char* kHotKeyCode = "hotKeyCode";
    static constexpr const char* kHotKeyModifiers = "hotKeyModifiers";
    static constexpr const char* kKeepListings = "keepListings";
    static constexpr const char* kKeptListingsMegabytes = "keptListingsMegabytes";
    static constexpr qint64 kDefaultKeptListingsMegabytes = 256;

    static bool showHiddenFiles();
    // Nothing once stored, else why not: the file is replaced whole or not at all, so a full
    // disk or a read-only folder leaves the earlier settings as they were.
    static std::optional<QString> setShowHiddenFiles(bool show);

    // Whether the running application keeps listings between panels (yes unless set off), and
    // how many megabytes they may hold (256 unless set; 0 or less keeps none).
    static bool keepsListings();
    static qint64 keptListingsMegabytes();
    // Stored as setShowHiddenFiles stores: nothing, else why not.
    static std::optional<QString> setKeepListings(bool keep);
    static std::optional<QString> setKeptListingsMegabytes(qint64 megabytes);

    // The stored value when it is a boolean (or the text "true"/"false" an INI file holds).
    static std::optional<bool> readBool(const QString& key);
    // The stored value when it is an integer that fits in 32 bits.
    static std::optional<qint64> readInt32(const QString& key);

private:
    static std::optional<QVariant> read(const QString& key);
    static std::optional<QString> store(const QString& key, const QVariant& value);
};

// Interprets a stored value as a boolean, or nothing when it is of another kind.
std::optional<bool> boolFromStored(const QVariant& value);
// Interprets a stored value as an integer within 32 bits, or nothing.
std::optional<qint64> int32FromStored(const QVariant& value);

}  // namespace tarnwick
