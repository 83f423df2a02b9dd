#include "NameOrder.h"

#include "NameCollation.h"
#include "WorkQueue.h"

#include <QLocale>

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <mutex>
#include <numeric>

namespace tarnwick {

namespace {

// For each byte, its place in the collation when names made of such bytes compare character by
// character; 0 for a byte whose names need the collator. The C locale's order is case-folded
// UTF-8, which for ASCII is the lowercase byte. Elsewhere the table is read off the collator
// and used only if every name of one and two printable characters orders by it exactly as the
// collator orders them: contractions ("ch" in Czech), ignorable or reordered characters fail
// that check, and their locale collates every name.
struct AsciiWeights {
    std::array<quint8, 256> weight{};
};

AsciiWeights weightsFromCollator(const NameCollation& collation) {
    AsciiWeights out;
    if (collation.isC()) {
        for (int c = 1; c < 128; ++c)
            out.weight[size_t(c)] = quint8(c >= 'A' && c <= 'Z' ? c + 32 : c);
        return out;
    }
    std::vector<char> chars;
    for (char c = 0x20; c < 0x7f; ++c) chars.push_back(c);
    auto text = [](std::initializer_list<char> cs) {
        return QString::fromLatin1(cs.begin(), qsizetype(cs.size()));
    };
    std::stable_sort(chars.begin(), chars.end(),
                     [&](char a, char b) { return collation.compare(text({a}), text({b})) < 0; });
    quint8 rank = 0;
    for (size_t i = 0; i < chars.size(); ++i) {
        if (i == 0 || collation.compare(text({chars[i - 1]}), text({chars[i]})) != 0) ++rank;
        out.weight[uchar(chars[i])] = rank;
    }
    // Every name of one or two characters, in the table's order: each neighbour must compare as
    // the table says. Both orders are total, so agreeing on neighbours is agreeing on all pairs.
    std::vector<std::array<quint8, 2>> pairs;
    for (char a : chars) {
        pairs.push_back({out.weight[uchar(a)], 0});
        for (char b : chars) pairs.push_back({out.weight[uchar(a)], out.weight[uchar(b)]});
    }
    std::vector<QString> names;
    for (char a : chars) {
        names.push_back(text({a}));
        for (char b : chars) names.push_back(text({a, b}));
    }
    std::vector<size_t> order(names.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return pairs[a] < pairs[b]; });
    for (size_t i = 1; i < order.size(); ++i) {
        const auto& before = pairs[order[i - 1]];
        const int expected = before == pairs[order[i]] ? 0 : -1;
        const int got = collation.compare(names[order[i - 1]], names[order[i]]);
        if ((got < 0 ? -1 : got > 0 ? 1 : 0) != expected) return AsciiWeights{};
    }
    return out;
}

// Worked out once per locale and process: a few thousand comparisons.
std::shared_ptr<const AsciiWeights> weightsForDefaultLocale(const NameCollation& collation) {
    static std::mutex mutex;
    static std::map<QString, std::shared_ptr<const AsciiWeights>> known;
    // The collator is made from the BCP 47 name, which the C locale shares with English.
    const QString locale = collation.isC() ? QStringLiteral("C") : QLocale().bcp47Name();
    std::lock_guard lock(mutex);
    auto& weights = known[locale];
    if (!weights) weights = std::make_shared<AsciiWeights>(weightsFromCollator(collation));
    return weights;
}

struct NameEntry {
    quint64 prefix;  // a table name's eight weights from some depth on, first most significant
    quint32 item;    // where it came in (an index into the positions)
    quint32 aux;     // a table name's length; a collated name's key
};

bool byPrefix(const NameEntry& a, const NameEntry& b) {
    return a.prefix != b.prefix ? a.prefix < b.prefix : a.item < b.item;
}

class NameSorter {
public:
    NameSorter(const QList<FileItem>& items, std::vector<quint32> positions)
        : m_items(items),
          m_positions(std::move(positions)),
          m_weights(weightsForDefaultLocale(m_collation)) {}

    NameOrder sort() {
        std::vector<NameEntry> table, keyed;
        for (size_t i = 0; i < m_positions.size(); ++i) {
            const QByteArrayView name = nameOf(quint32(i));
            if (isTableName(name)) {
                table.push_back({prefixOf(name, 0), quint32(i), quint32(name.size())});
            } else {
                keyed.push_back({0, quint32(i), quint32(m_keys.size())});
                m_keys.push_back(m_collation.key(item(quint32(i)).name()));
            }
        }
        sortTable(table);
        std::sort(keyed.begin(), keyed.end(), [this](const NameEntry& a, const NameEntry& b) {
            const int c = m_keys[a.aux].compare(m_keys[b.aux]);
            return c != 0 ? c < 0 : a.item < b.item;
        });
        return merge(table, keyed);
    }

private:
    const FileItem& item(quint32 entry) const { return m_items[m_positions[entry]]; }
    QByteArrayView nameOf(quint32 entry) const { return item(entry).nativeName(); }

    bool isTableName(QByteArrayView name) const {
        for (char c : name)
            if (!m_weights->weight[uchar(c)]) return false;
        return true;
    }

    // Eight weights from `from` on, 0 past the end (below every weight, so shorter comes first).
    quint64 prefixOf(QByteArrayView name, qsizetype from) const {
        quint64 prefix = 0;
        for (qsizetype i = from; i < from + 8; ++i)
            prefix = prefix << 8 | (i < name.size() ? m_weights->weight[uchar(name[i])] : 0);
        return prefix;
    }

    // A table name against a collated one (`keyedName` is the latter's name).
    int compareAcross(const NameEntry& table, const NameEntry& keyed,
                      const QString& keyedName) const {
        const QByteArrayView x = nameOf(table.item);
        if (m_collation.isC()) {  // lowercase bytes against case-folded UTF-8
            const QByteArray& y = m_keys[keyed.aux].folded();
            const qsizetype n = std::min(x.size(), y.size());
            for (qsizetype i = 0; i < n; ++i) {
                const quint8 p = m_weights->weight[uchar(x[i])], q = quint8(y[i]);
                if (p != q) return p < q ? -1 : 1;
            }
            return x.size() == y.size() ? 0 : (x.size() < y.size() ? -1 : 1);
        }
        const int c = m_collation.compare(QString::fromLatin1(x.data(), x.size()), keyedName);
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }

    // By the first eight weights, no name read (two halves on two threads, then merged); then
    // each run of names that agree on them and go on, by the next eight, and so on: only ties
    // read names again. Notes which names equal the one before.
    void sortTable(std::vector<NameEntry>& entries) {
        const auto middle = entries.begin() + qsizetype(entries.size() / 2);
        WorkQueue::runShares(2, [&](int share) {
            std::sort(share ? middle : entries.begin(), share ? entries.end() : middle, byPrefix);
        });
        std::inplace_merge(entries.begin(), middle, entries.end(), byPrefix);
        m_tableEqual.assign(entries.size(), 0);
        std::vector<std::pair<size_t, size_t>> runs;
        for (size_t i = 0, j; i < entries.size(); i = j) {
            for (j = i + 1; j < entries.size() && entries[j].prefix == entries[i].prefix;) ++j;
            if (j - i > 1) runs.emplace_back(i, j);
        }
        WorkQueue::runShares(2, [&](int share) {
            for (size_t r = size_t(share); r < runs.size(); r += 2)
                settleTies(&entries[runs[r].first], &entries[runs[r].second - 1] + 1,
                           &m_tableEqual[runs[r].first], 1);
        });
    }

    // Entries whose weights agree before `depth` * 8, sorted by those; names that end there are
    // equal (padding is below every weight, so all of them end at the same place), the others
    // go by their next eight.
    void settleTies(NameEntry* begin, NameEntry* end, quint8* equal, qsizetype depth) const {
        if ((begin->prefix & 0xff) == 0) {
            std::fill(equal + 1, equal + (end - begin), quint8(1));
            return;
        }
        for (NameEntry* e = begin; e != end; ++e) e->prefix = prefixOf(nameOf(e->item), depth * 8);
        std::sort(begin, end, byPrefix);
        for (NameEntry *i = begin, *j; i != end; i = j) {
            for (j = i + 1; j != end && j->prefix == i->prefix;) ++j;
            if (j - i > 1) settleTies(i, j, equal + (i - begin), depth + 1);
        }
    }

    // Each collated name goes where a binary search among the table names puts it: few calls to
    // the collator, as most names are table names.
    NameOrder merge(const std::vector<NameEntry>& table,
                    const std::vector<NameEntry>& keyed) const {
        NameOrder out;
        out.order.reserve(table.size() + keyed.size());
        out.equalsPrevious.reserve(table.size() + keyed.size());
        const NameEntry* previous = nullptr;
        bool previousInTable = false;
        QString previousName;  // of the previous entry, when collated
        auto append = [&](const NameEntry& entry, bool inTable, const QString& name) {
            bool equal = false;
            if (previous && previousInTable && inTable)
                equal = m_tableEqual[size_t(&entry - table.data())] && previous + 1 == &entry;
            else if (previous && !previousInTable && !inTable)
                equal = m_keys[previous->aux].compare(m_keys[entry.aux]) == 0;
            else if (previous && previousInTable)
                equal = compareAcross(*previous, entry, name) == 0;
            else if (previous)
                equal = compareAcross(entry, *previous, previousName) == 0;
            out.order.push_back(m_positions[entry.item]);
            out.equalsPrevious.push_back(equal);
            previous = &entry;
            previousInTable = inTable;
            previousName = name;
        };
        auto next = table.begin();
        for (const NameEntry& entry : keyed) {
            const QString name = m_collation.isC() ? QString() : item(entry.item).name();
            const auto place = std::partition_point(next, table.end(), [&](const NameEntry& t) {
                const int c = compareAcross(t, entry, name);
                return c != 0 ? c < 0 : t.item < entry.item;
            });
            for (; next != place; ++next) append(*next, true, {});
            append(entry, false, name);
        }
        for (; next != table.end(); ++next) append(*next, true, {});
        return out;
    }

    const QList<FileItem>& m_items;
    const std::vector<quint32> m_positions;
    NameCollation m_collation;
    std::shared_ptr<const AsciiWeights> m_weights;
    std::vector<NameCollation::Key> m_keys;
    std::vector<quint8> m_tableEqual;  // by place in the sorted table names
};

}  // namespace

NameOrder sortedByName(const QList<FileItem>& items, std::vector<quint32> positions) {
    return NameSorter(items, std::move(positions)).sort();
}

NameOrder sortedByName(const QList<FileItem>& items) {
    std::vector<quint32> all(size_t(items.size()));
    std::iota(all.begin(), all.end(), 0u);
    return sortedByName(items, std::move(all));
}

}  // namespace tarnwick
