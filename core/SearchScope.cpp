#include "SearchScope.h"

#include "FileUri.h"

namespace tarnwick {

SearchScope::SearchScope(QByteArray root)
    : m_root(withoutTrailingSlashes(std::move(root))), m_current(m_root) {}

void SearchScope::push(const QByteArray& folder) {
    m_stack.append(m_current);
    m_current = withoutTrailingSlashes(folder);
}

bool SearchScope::pop() {
    if (m_stack.isEmpty()) return false;
    m_current = m_stack.takeLast();
    return true;
}

QString SearchScope::displayPath() const {
    QByteArray shown = lastPathComponent(m_root);
    if (m_current != m_root) {
        if (!shown.endsWith('/')) shown += '/';
        shown += relativePath(m_root, m_current);
    }
    return QString::fromUtf8(shown);
}

}  // namespace tarnwick
