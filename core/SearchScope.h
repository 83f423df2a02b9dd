#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace tarnwick {

// Which folder a panel was opened on, which folder is searched now, and the way back.
// Folders are native absolute paths (bytes) without trailing '/'.
class SearchScope {
public:
    explicit SearchScope(QByteArray root);

    const QByteArray& rootDirectory() const { return m_root; }
    const QByteArray& currentDirectory() const { return m_current; }
    const QList<QByteArray>& stack() const { return m_stack; }

    void push(const QByteArray& folder);
    // False, changing nothing, when there is nothing to go back to.
    bool pop();
    // The root's last component, then "/" and the current folder relative to the root.
    QString displayPath() const;

private:
    QByteArray m_root;
    QByteArray m_current;
    QList<QByteArray> m_stack;
};

}  // namespace tarnwick
