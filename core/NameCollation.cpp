#include "NameCollation.h"

#include "NameOrder.h"

#include <QLocale>

namespace tarnwick {

NameCollation::NameCollation() : m_collator(QLocale()), m_isC(QLocale().language() == QLocale::C) {
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

int NameCollation::compare(const QString& a, const QString& b) const {
    return m_collator.compare(a, b);
}

NameCollation::Key NameCollation::key(const QString& name) const {
    Key key;
    if (m_isC)
        key.m_folded = name.toCaseFolded().toUtf8();
    else
        key.m_collated = m_collator.sortKey(name);
    return key;
}

int NameCollation::Key::compare(const Key& other) const {
    if (m_collated && other.m_collated) return m_collated->compare(*other.m_collated);
    return m_folded.compare(other.m_folded);
}

std::vector<quint32> computeNameRanks(const QList<FileItem>& items) {
    const NameOrder sorted = sortedByName(items);
    std::vector<quint32> ranks(sorted.order.size());
    quint32 rank = 0;
    for (size_t i = 0; i < sorted.order.size(); ++i) {
        if (i > 0 && !sorted.equalsPrevious[i]) ++rank;
        ranks[sorted.order[i]] = rank;
    }
    return ranks;
}

}  // namespace tarnwick
