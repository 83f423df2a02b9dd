#include "NameCollation.h"

#include <QLocale>

#include <algorithm>
#include <numeric>
#include <thread>

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

namespace {

using Keys = std::vector<NameCollation::Key>;

void computeKeys(const QList<FileItem>& items, Keys& keys, qsizetype begin, qsizetype end) {
    NameCollation collation;
    for (qsizetype i = begin; i < end; ++i) keys[size_t(i)] = collation.key(items[i].name());
}

}  // namespace

std::vector<quint32> computeNameRanks(const QList<FileItem>& items) {
    const auto n = size_t(items.size());
    Keys keys(n);
    std::vector<quint32> order(n);
    std::iota(order.begin(), order.end(), 0u);
    auto less = [&](quint32 a, quint32 b) { return keys[a].compare(keys[b]) < 0; };
    const size_t half = n / 2;
    // Two halves at once (keys, then sort), merged afterwards: most of the cost is collation.
    std::thread helper([&] {
        computeKeys(items, keys, qsizetype(half), qsizetype(n));
        std::sort(order.begin() + qsizetype(half), order.end(), less);
    });
    computeKeys(items, keys, 0, qsizetype(half));
    std::sort(order.begin(), order.begin() + qsizetype(half), less);
    helper.join();
    std::inplace_merge(order.begin(), order.begin() + qsizetype(half), order.end(), less);

    std::vector<quint32> ranks(n);
    quint32 rank = 0;
    for (size_t i = 0; i < n; ++i) {
        if (i > 0 && less(order[i - 1], order[i])) ++rank;
        ranks[order[i]] = rank;
    }
    return ranks;
}

}  // namespace tarnwick
