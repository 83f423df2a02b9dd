#include "AppcastVersion.h"

namespace tarnwick {

namespace {

// A component longer than this cannot be held in 64 bits and is no real version anyway.
constexpr int kMaxDigits = 18;

bool isSeparator(QChar c) {
    return c == QLatin1Char('.') || c == QLatin1Char('-') || c == QLatin1Char('_') ||
           c == QLatin1Char('~');
}

bool isNumber(const QString& identifier) {
    return !identifier.isEmpty() && identifier[0].isDigit();
}

// Known pre-release words in the order releases pass through them; other words sit with "pre".
int stageRank(const QString& word) {
    const QString w = word.toLower();
    if (w == QLatin1String("dev")) return 0;
    if (w == QLatin1String("a") || w == QLatin1String("alpha")) return 1;
    if (w == QLatin1String("b") || w == QLatin1String("beta")) return 2;
    if (w == QLatin1String("rc") || w == QLatin1String("c")) return 4;
    return 3;
}

std::strong_ordering compareIdentifiers(const QString& a, const QString& b) {
    const bool aNumber = isNumber(a);
    const bool bNumber = isNumber(b);
    if (aNumber && bNumber) return a.toULongLong() <=> b.toULongLong();
    if (aNumber != bNumber)
        return aNumber ? std::strong_ordering::less : std::strong_ordering::greater;
    if (const auto rank = stageRank(a) <=> stageRank(b); rank != 0) return rank;
    return a.compare(b, Qt::CaseInsensitive) <=> 0;
}

// Splits a tag at separators and between letters and digits; nothing for characters that have
// no place in a tag or for empty identifiers ("beta..1").
std::optional<QStringList> splitTag(QStringView tag) {
    QStringList identifiers;
    QString current;
    auto flush = [&]() -> bool {
        if (current.isEmpty()) return false;
        if (isNumber(current) && current.size() > kMaxDigits) return false;
        identifiers << current;
        current.clear();
        return true;
    };
    for (const QChar c : tag) {
        if (isSeparator(c)) {
            if (!flush()) return std::nullopt;
        } else if (c.isLetterOrNumber() && c.unicode() < 128) {
            if (!current.isEmpty() && current.back().isDigit() != c.isDigit() && !flush())
                return std::nullopt;
            current += c;
        } else {
            return std::nullopt;
        }
    }
    if (!flush()) return std::nullopt;
    return identifiers;
}

}  // namespace

std::optional<AppcastVersion> AppcastVersion::parse(QStringView text) {
    AppcastVersion version;
    version.m_text = text.trimmed().toString();
    QStringView rest = QStringView(version.m_text);
    if (rest.startsWith(QLatin1Char('v'), Qt::CaseInsensitive)) rest = rest.mid(1);
    if (const qsizetype plus = rest.indexOf(QLatin1Char('+')); plus >= 0) rest = rest.left(plus);
    if (rest.isEmpty() || !rest[0].isDigit()) return std::nullopt;

    qsizetype i = 0;
    while (true) {
        const qsizetype start = i;
        while (i < rest.size() && rest[i].isDigit() && rest[i].unicode() < 128) ++i;
        if (i == start || i - start > kMaxDigits) return std::nullopt;
        version.m_release.push_back(rest.mid(start, i - start).toULongLong());
        if (i + 1 < rest.size() && rest[i] == QLatin1Char('.') && rest[i + 1].isDigit()) {
            ++i;
            continue;
        }
        break;
    }
    while (!version.m_release.empty() && version.m_release.back() == 0)
        version.m_release.pop_back();

    QStringView tag = rest.mid(i);
    if (!tag.isEmpty() && isSeparator(tag[0])) tag = tag.mid(1);
    if (i < rest.size()) {
        const std::optional<QStringList> identifiers = splitTag(tag);
        if (!identifiers) return std::nullopt;
        version.m_preRelease = *identifiers;
    }
    return version;
}

std::strong_ordering operator<=>(const AppcastVersion& a, const AppcastVersion& b) {
    const size_t length = std::max(a.m_release.size(), b.m_release.size());
    for (size_t k = 0; k < length; ++k) {
        const quint64 x = k < a.m_release.size() ? a.m_release[k] : 0;
        const quint64 y = k < b.m_release.size() ? b.m_release[k] : 0;
        if (x != y) return x <=> y;
    }
    // A release comes after all of its pre-releases.
    const bool aIsRelease = a.m_preRelease.isEmpty();
    const bool bIsRelease = b.m_preRelease.isEmpty();
    if (aIsRelease || bIsRelease) return aIsRelease <=> bIsRelease;
    for (qsizetype k = 0; k < std::min(a.m_preRelease.size(), b.m_preRelease.size()); ++k) {
        if (const auto order = compareIdentifiers(a.m_preRelease[k], b.m_preRelease[k]); order != 0)
            return order;
    }
    return a.m_preRelease.size() <=> b.m_preRelease.size();
}

}  // namespace tarnwick
