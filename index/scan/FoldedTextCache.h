#pragma once

#include <QByteArray>

#include <optional>
#include <shared_mutex>
#include <unordered_map>

namespace tarnwick {

// The folded text of small candidate files, kept so that the next query over the same scope
// searches memory instead of reading and folding again (empty for a file that is not text). An
// entry counts only while the file keeps the size and modification time it had when
// it was read. The total of folded bytes stays within a budget: once it is spent, further files
// are simply not kept. Thread-safe.
class FoldedTextCache {
public:
    struct Entry {
        qint64 size = 0;
        qint64 modifiedMsecs = 0;
        QByteArray folded;
    };

    explicit FoldedTextCache(qint64 budgetBytes);

    // The entry of candidate `index` when it was stored for a file of this size and date.
    std::optional<Entry> find(qsizetype index, qint64 size, qint64 modifiedMsecs) const;
    // Whether `bytes` more would still fit.
    bool hasRoomFor(qint64 bytes) const;
    // Keeps an entry; a text that no longer fits the budget is dropped.
    void store(qsizetype index, Entry entry);
    qint64 usedBytes() const;

private:
    const qint64 m_budget;
    mutable std::shared_mutex m_mutex;
    std::unordered_map<qsizetype, Entry> m_entries;
    qint64 m_used = 0;
};

}  // namespace tarnwick
