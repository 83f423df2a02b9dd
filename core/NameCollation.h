#pragma once

#include "FileItem.h"

#include <QByteArray>
#include <QCollator>
#include <QCollatorSortKey>
#include <QList>
#include <QString>

#include <vector>

namespace tarnwick {

// The localized, case-insensitive name order of the user's locale (names that differ only in
// letter case compare equal). Not thread-safe: one per thread.
class NameCollation {
public:
    NameCollation();
    int compare(const QString& a, const QString& b) const;

    // A key whose byte order is compare()'s order (QCollatorSortKey ignores the case setting
    // in the C locale, so that locale gets case-folded UTF-8 instead).
    class Key {
    public:
        int compare(const Key& other) const;
        // The C locale's key: the case-folded UTF-8 (empty in other locales).
        const QByteArray& folded() const { return m_folded; }

    private:
        friend class NameCollation;
        std::optional<QCollatorSortKey> m_collated;
        QByteArray m_folded;
    };
    Key key(const QString& name) const;
    // Whether this is the C locale's order (case-folded UTF-8, byte by byte).
    bool isC() const { return m_isC; }

private:
    QCollator m_collator;
    bool m_isC;
};

// For each item, its place in the name order: equal ranks for names the order calls equal.
// Computed once per listing (in parallel), so that each filter run sorts integers instead of
// collating names again.
std::vector<quint32> computeNameRanks(const QList<FileItem>& items);

}  // namespace tarnwick
