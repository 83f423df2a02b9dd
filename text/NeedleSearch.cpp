#include "NeedleSearch.h"

#include <string.h>

#include <algorithm>
#include <utility>

namespace tarnwick {

bool containsBytes(QByteArrayView haystack, QByteArrayView needle) {
    if (needle.isEmpty()) return true;
    if (haystack.size() < needle.size()) return false;  // also keeps null pointers from memmem
    return memmem(haystack.data(), size_t(haystack.size()), needle.data(), size_t(needle.size())) !=
           nullptr;
}

StreamingNeedleSearch::StreamingNeedleSearch(QByteArray needle) : m_needle(std::move(needle)) {
    m_found = m_needle.isEmpty();
}

bool StreamingNeedleSearch::feed(QByteArrayView piece) {
    if (m_found || piece.isEmpty()) return m_found;
    const qsizetype keep = m_needle.size() - 1;
    if (!m_tail.isEmpty()) {
        QByteArray seam = m_tail;
        seam.append(piece.first(std::min(keep, piece.size())));
        if (containsBytes(seam, m_needle)) return m_found = true;
    }
    if (containsBytes(piece, m_needle)) return m_found = true;
    if (piece.size() >= keep) {
        m_tail = piece.last(keep).toByteArray();
    } else {
        m_tail.append(piece);
        m_tail = m_tail.right(keep);
    }
    return false;
}

}  // namespace tarnwick
