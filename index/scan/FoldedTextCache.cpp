#include "FoldedTextCache.h"

#include <mutex>

namespace tarnwick {

FoldedTextCache::FoldedTextCache(qint64 budgetBytes) : m_budget(budgetBytes) {}

std::optional<FoldedTextCache::Entry> FoldedTextCache::find(qsizetype index, qint64 size,
                                                            qint64 modifiedMsecs) const {
    std::shared_lock lock(m_mutex);
    auto it = m_entries.find(index);
    if (it == m_entries.end() || it->second.size != size ||
        it->second.modifiedMsecs != modifiedMsecs)
        return std::nullopt;
    return it->second;  // the text is shared, not copied
}

bool FoldedTextCache::hasRoomFor(qint64 bytes) const {
    std::shared_lock lock(m_mutex);
    return m_used + bytes <= m_budget;
}

void FoldedTextCache::store(qsizetype index, Entry entry) {
    std::unique_lock lock(m_mutex);
    auto it = m_entries.find(index);
    const qint64 replaced = it == m_entries.end() ? 0 : it->second.folded.size();
    if (m_used - replaced + entry.folded.size() > m_budget) return;
    m_used += entry.folded.size() - replaced;
    m_entries.insert_or_assign(index, std::move(entry));
}

qint64 FoldedTextCache::usedBytes() const {
    std::shared_lock lock(m_mutex);
    return m_used;
}

}  // namespace tarnwick
