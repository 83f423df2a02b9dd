#pragma once

#include <QString>
#include <QStringList>

#include <compare>
#include <optional>
#include <vector>

namespace tarnwick {

// A program version as appcasts write it: numbers joined by dots ("1.10", "2.0.1"), optionally
// followed by a pre-release tag ("1.0-beta.2", "1.0b2", "2.0rc1", "1.0~alpha") and build
// metadata after "+", which does not count. Trailing zero components do not count either, so
// 1.0 equals 1.0.0; a pre-release comes before its release (1.0b2 < 1.0rc1 < 1.0).
class AppcastVersion {
public:
    AppcastVersion() = default;  // version 0, for records filled in later
    // Nothing for text that is not a version ("", "latest", "1..2", "1.0-").
    static std::optional<AppcastVersion> parse(QStringView text);

    QString text() const { return m_text; }

    friend std::strong_ordering operator<=>(const AppcastVersion& a, const AppcastVersion& b);
    friend bool operator==(const AppcastVersion& a, const AppcastVersion& b) {
        return (a <=> b) == std::strong_ordering::equal;
    }

private:
    QString m_text;
    std::vector<quint64> m_release;  // without trailing zeros
    QStringList m_preRelease;        // identifiers, letters and digits apart: "beta2" -> beta, 2
};

}  // namespace tarnwick
