#include "NameOrder.h"

#include "NameCollation.h"
#include "WorkQueue.h"

#include <QLocale>
#include <QThread>

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

// 16 bytes, as a million of them are sorted at once: the text weighed is found from the entry.
struct NameEntry {
    quint64 prefix;  // eight weights of the text from some depth on, first most significant
    quint32 item;    // where it came in (an index into the positions)
    quint32 key;     // its collation key's index; kTableName for a name weighed as it is
};
constexpr quint32 kTableName = ~0u;

// A function object, not a function: std::sort then compares inline instead of through a
// pointer, a call for each of some twenty million comparisons in a million names.
constexpr auto byPrefix = [](const NameEntry& a, const NameEntry& b) {
    return a.prefix != b.prefix ? a.prefix < b.prefix : a.item < b.item;
};

// Eight weights of `text` from `from` on, 0 past the end (below every weight, so shorter comes
// first).
inline quint64 prefixOf(const std::array<quint8, 256>& weight, const char* text, quint32 length,
                        quint32 from) {
    quint64 prefix = 0;
    for (quint32 i = from; i < from + 8; ++i)
        prefix = prefix << 8 | (i < length ? weight[uchar(text[i])] : 0);
    return prefix;
}

class NameSorter {
public:
    NameSorter(const QList<FileItem>& items, std::vector<quint32> positions)
        : m_items(items),
          m_positions(std::move(positions)),
          m_weights(weightsForDefaultLocale(m_collation)) {
        // The C locale's key is case-folded UTF-8, whose bytes weigh as themselves: table names
        // (lowercase bytes) and keys then share one byte order and sort together.
        m_byteWeight = m_weights->weight;
        if (m_collation.isC())
            for (int c = 128; c < 256; ++c) m_byteWeight[size_t(c)] = quint8(c);
    }

    NameOrder sort() {
        std::vector<NameEntry> table, keyed;
        splitByKind(table, keyed);
        m_keys.resize(keyed.size());
        const size_t tableNames = table.size();
        const bool isC = m_collation.isC();
        if (isC) table.resize(tableNames + keyed.size());
        WorkQueue::runShares(2, [&](int share) {
            // One collator per thread, and a half each: neighbouring keys share cache lines.
            const NameCollation collation;
            const size_t end = keyed.size() * size_t(share + 1) / 2;
            for (size_t k = keyed.size() * size_t(share) / 2; k < end; ++k) {
                m_keys[k] = collation.key(item(keyed[k].item).name());
                if (!isC) continue;
                // The C locale's key is weighed as a table name is.
                const QByteArray& key = m_keys[k].folded();
                table[tableNames + k] = {
                    prefixOf(m_byteWeight, key.constData(), quint32(key.size()), 0), keyed[k].item,
                    quint32(k)};
            }
        });
        if (isC) keyed.clear();  // weighed into the table above
        for (size_t k = 0; k < keyed.size(); ++k) keyed[k].key = quint32(k);
        sortTable(table);
        std::sort(keyed.begin(), keyed.end(), [this](const NameEntry& a, const NameEntry& b) {
            const int c = m_keys[a.key].compare(m_keys[b.key]);
            return c != 0 ? c < 0 : a.item < b.item;
        });
        return merge(table, keyed);
    }

private:
    const FileItem& item(quint32 entry) const { return m_items[m_positions[entry]]; }
    QByteArrayView nameOf(quint32 entry) const { return item(entry).nativeName(); }
    // What a table entry is weighed by: its name, or in the C locale its key.
    QByteArrayView textOf(const NameEntry& entry) const {
        return entry.key == kTableName ? nameOf(entry.item)
                                       : QByteArrayView(m_keys[entry.key].folded());
    }

    // Table names with their first eight weights, and the names that need the collator, read
    // on every core: a million names spread over the heap take a while to visit one by one.
    // Each share writes its table names where its positions begin, then the blocks close up:
    // no second table of a million entries is ever held.
    void splitByKind(std::vector<NameEntry>& table, std::vector<NameEntry>& keyed) const {
        const size_t shares = size_t(std::max(
            1, std::min(QThread::idealThreadCount(), int(m_positions.size() / kNamesPerShare))));
        table.resize(m_positions.size());
        std::vector<size_t> tableCounts(shares);
        std::vector<std::vector<NameEntry>> keyeds(shares);
        auto bounds = [&](size_t share) {
            return std::pair(m_positions.size() * share / shares,
                             m_positions.size() * (share + 1) / shares);
        };
        WorkQueue::runShares(int(shares), [&](int share) {
            const auto [begin, end] = bounds(size_t(share));
            NameEntry* out = table.data() + begin;
            for (size_t i = begin; i < end; ++i) {
                const QByteArrayView name = nameOf(quint32(i));
                const auto length = quint32(name.size());
                if (isTableName(name))
                    *out++ = {prefixOf(m_byteWeight, name.data(), length, 0), quint32(i),
                              kTableName};
                else
                    keyeds[size_t(share)].push_back({0, quint32(i), 0});
            }
            tableCounts[size_t(share)] = size_t(out - (table.data() + begin));
        });
        size_t filled = 0;
        for (size_t share = 0; share < shares; ++share) {
            const size_t begin = bounds(share).first;
            if (begin != filled)  // closing up, never onto itself
                std::move(table.begin() + qsizetype(begin),
                          table.begin() + qsizetype(begin + tableCounts[share]),
                          table.begin() + qsizetype(filled));
            filled += tableCounts[share];
            keyed.insert(keyed.end(), keyeds[share].begin(), keyeds[share].end());
        }
        table.resize(filled);
    }

    static constexpr size_t kNamesPerShare = 50000;

    bool isTableName(QByteArrayView name) const {
        for (char c : name)
            if (!m_weights->weight[uchar(c)]) return false;
        return true;
    }

    // A table name against a collated one (`keyedName` is the latter's name); other locales
    // than C, where those are never in one sort.
    int compareAcross(const NameEntry& table, const QString& keyedName) const {
        const int c = m_collation.compare(QString::fromLatin1(textOf(table)), keyedName);
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }

    // Into buckets by the first weight, in place (no second array), then each bucket sorted by
    // its first eight weights, no name read, on whichever core is free, largest first; then each
    // run of names that agree on them and go on, by the next eight, and so on: only ties read
    // names again. Notes which names equal the one before.
    void sortTable(std::vector<NameEntry>& entries) {
        std::array<size_t, 257> start{};
        for (const NameEntry& e : entries) ++start[(e.prefix >> 56) + 1];
        for (size_t b = 1; b < start.size(); ++b) start[b] += start[b - 1];
        std::array<size_t, 256> next;
        std::copy(start.begin(), start.end() - 1, next.begin());
        for (size_t b = 0; b < next.size(); ++b) {
            while (next[b] < start[b + 1]) {
                NameEntry& e = entries[next[b]];
                const size_t target = e.prefix >> 56;
                if (target == b)
                    ++next[b];
                else
                    std::swap(e, entries[next[target]++]);
            }
        }
        std::vector<size_t> buckets;
        for (size_t b = 0; b < next.size(); ++b)
            if (start[b + 1] - start[b] > 1) buckets.push_back(b);
        std::sort(buckets.begin(), buckets.end(), [&](size_t x, size_t y) {
            return start[x + 1] - start[x] > start[y + 1] - start[y];
        });
        m_tableEqual.assign(entries.size(), 0);
        WorkQueue::runShares(int(buckets.size()), [&](int share) {
            NameEntry* begin = entries.data() + start[buckets[size_t(share)]];
            NameEntry* end = entries.data() + start[buckets[size_t(share)] + 1];
            std::sort(begin, end, byPrefix);
            settleBucketTies(begin, end, &m_tableEqual[size_t(begin - entries.data())]);
        });
    }

    // An entry that agrees with others on its first eight weights, with its text found once:
    // deeper weights are read from it at every level.
    struct Tie {
        quint64 prefix;
        const char* text;
        quint32 length;
        quint32 item;
        quint32 key;
    };

    // The runs of a sorted bucket that agree on their first eight weights, each settled by the
    // weights after. Names that end within them are equal (padding is below every weight, so all
    // of a run end there); the others need their texts, found some hundred at a time.
    void settleBucketTies(NameEntry* begin, NameEntry* end, quint8* equal) const {
        constexpr size_t kBatch = 512;
        std::vector<std::pair<NameEntry*, NameEntry*>> runs;
        std::vector<Tie> ties;
        auto settleBatch = [&] {
            findTexts(ties);
            Tie* tie = ties.data();
            for (const auto& [first, last] : runs) {
                const auto count = size_t(last - first);
                settleTies(tie, tie + count, equal + (first - begin), 1);
                for (size_t k = 0; k < count; ++k)
                    first[k] = {first->prefix, tie[k].item, tie[k].key};
                tie += count;
            }
            runs.clear();
            ties.clear();
        };
        for (NameEntry *i = begin, *j; i != end; i = j) {
            for (j = i + 1; j != end && j->prefix == i->prefix;) ++j;
            if (j - i < 2) continue;
            if ((i->prefix & 0xff) == 0) {
                std::fill(equal + (i - begin) + 1, equal + (j - begin), quint8(1));
                continue;
            }
            runs.emplace_back(i, j);
            for (NameEntry* e = i; e != j; ++e) ties.push_back({0, nullptr, 0, e->item, e->key});
            if (ties.size() >= kBatch) settleBatch();
        }
        settleBatch();
    }

    // Each tie's text and its weights after the first eight. A table name's text is found
    // through its position, its item and its folder: four reads from all over the heap, each
    // waiting on the one before, which cost more than all the sorting when made tie by tie. The
    // entries ahead are asked for a step at a time instead, so that each read finds its memory
    // come in.
    void findTexts(std::vector<Tie>& ties) const {
        constexpr size_t kStep = 6;
        const size_t n = ties.size();
        auto isName = [&](size_t k) { return ties[k].key == kTableName; };
        auto findText = [&](Tie& tie) {
            const QByteArrayView text = textOf({0, tie.item, tie.key});
            tie.text = text.data();
            tie.length = quint32(text.size());
        };
        for (size_t k = 0; k < n; ++k) {
            if (size_t a = k + 4 * kStep; a < n && isName(a))
                __builtin_prefetch(&m_positions[ties[a].item]);
            if (size_t a = k + 3 * kStep; a < n)
                __builtin_prefetch(isName(a) ? static_cast<const void*>(&item(ties[a].item))
                                             : &m_keys[ties[a].key]);
            if (size_t a = k + 2 * kStep; a < n && isName(a))
                __builtin_prefetch(&item(ties[a].item).folder().names());
            if (size_t a = k + kStep; a < n) {
                findText(ties[a]);
                __builtin_prefetch(ties[a].text + 8);
            }
            if (k < kStep) findText(ties[k]);
            ties[k].prefix = prefixOf(m_byteWeight, ties[k].text, ties[k].length, 8);
        }
    }

    // Ties whose weights agree before `depth` * 8, sorted by the eight from there, which are in
    // their prefixes; names that end there are equal, the others go by their next eight.
    void settleTies(Tie* begin, Tie* end, quint8* equal, quint32 depth) const {
        std::sort(begin, end, [](const Tie& a, const Tie& b) {
            return a.prefix != b.prefix ? a.prefix < b.prefix : a.item < b.item;
        });
        for (Tie *i = begin, *j; i != end; i = j) {
            for (j = i + 1; j != end && j->prefix == i->prefix;) ++j;
            if (j - i == 1) continue;
            if ((i->prefix & 0xff) == 0) {
                std::fill(equal + (i - begin) + 1, equal + (j - begin), quint8(1));
                continue;
            }
            for (Tie* t = i; t != j; ++t)
                t->prefix = prefixOf(m_byteWeight, t->text, t->length, (depth + 1) * 8);
            settleTies(i, j, equal + (i - begin), depth + 1);
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
                equal = m_keys[previous->key].compare(m_keys[entry.key]) == 0;
            else if (previous && previousInTable)
                equal = compareAcross(*previous, name) == 0;
            else if (previous)
                equal = compareAcross(entry, previousName) == 0;
            out.order.push_back(m_positions[entry.item]);
            out.equalsPrevious.push_back(equal);
            previous = &entry;
            previousInTable = inTable;
            previousName = name;
        };
        // Table names come in name order, their positions from all over the array: the ones
        // ahead are asked for early.
        auto appendTable = [&](std::vector<NameEntry>::const_iterator entry) {
            constexpr qsizetype kAhead = 64;
            if (table.end() - entry > kAhead) __builtin_prefetch(&m_positions[entry[kAhead].item]);
            append(*entry, true, {});
        };
        auto next = table.begin();
        for (const NameEntry& entry : keyed) {
            const QString name = item(entry.item).name();
            const auto place = std::partition_point(next, table.end(), [&](const NameEntry& t) {
                const int c = compareAcross(t, name);
                return c != 0 ? c < 0 : t.item < entry.item;
            });
            for (; next != place; ++next) appendTable(next);
            append(entry, false, name);
        }
        for (; next != table.end(); ++next) appendTable(next);
        return out;
    }

    const QList<FileItem>& m_items;
    const std::vector<quint32> m_positions;
    NameCollation m_collation;
    std::shared_ptr<const AsciiWeights> m_weights;
    std::array<quint8, 256> m_byteWeight;
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
