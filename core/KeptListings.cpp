#include "KeptListings.h"

namespace tarnwick {

bool isAtOrBelow(const QByteArray& folder, const QByteArray& root) {
    if (!folder.startsWith(root)) return false;
    return folder.size() == root.size() || root.endsWith('/') || folder[root.size()] == '/';
}

KeptListings::KeptListings(size_t budgetBytes) : m_budget(budgetBytes) {}

KeptListingPtr KeptListings::find(const QByteArray& folder, bool showHiddenFiles) {
    std::lock_guard lock(m_mutex);
    auto best = m_listings.end();
    for (auto it = m_listings.begin(); it != m_listings.end(); ++it) {
        const KeptListing& kept = **it;
        if (kept.showHiddenFiles != showHiddenFiles || !isAtOrBelow(folder, kept.root)) continue;
        if (best == m_listings.end() || kept.root.size() > (*best)->root.size()) best = it;
    }
    if (best == m_listings.end()) return nullptr;
    m_listings.splice(m_listings.begin(), m_listings, best);
    return m_listings.front();
}

void KeptListings::keep(KeptListingPtr listing) {
    if (!listing) return;
    std::lock_guard lock(m_mutex);
    std::erase_if(m_listings, [&](const KeptListingPtr& kept) {
        return kept->showHiddenFiles == listing->showHiddenFiles &&
               isAtOrBelow(kept->root, listing->root);
    });
    m_listings.push_front(std::move(listing));
    trimLocked();
}

void KeptListings::trim() {
    std::lock_guard lock(m_mutex);
    trimLocked();
}

void KeptListings::trimLocked() {
    size_t total = 0;
    for (const KeptListingPtr& kept : m_listings) total += kept->footprint;
    for (auto it = m_listings.end(); total > m_budget && it != m_listings.begin();) {
        --it;
        if (it->use_count() > 1) continue;  // a panel shows it
        total -= (*it)->footprint;
        it = m_listings.erase(it);
    }
}

size_t KeptListings::footprint() const {
    std::lock_guard lock(m_mutex);
    size_t total = 0;
    for (const KeptListingPtr& kept : m_listings) total += kept->footprint;
    return total;
}

size_t KeptListings::count() const {
    std::lock_guard lock(m_mutex);
    return m_listings.size();
}

}  // namespace tarnwick
