#pragma once

#include <QFile>
#include <QTemporaryDir>

namespace tarnwick::test {

// A folder of files made by a test and removed with it. `base` chooses where (the Tracker miner
// skips anything under $TMPDIR, so index tests pass a folder outside it).
class TempTree {
public:
    explicit TempTree(const QString& base = {});
    ~TempTree();
    bool isValid() const { return m_dir.isValid(); }
    // Absolute native path of the tree's root, without trailing '/'.
    QByteArray path() const { return QFile::encodeName(m_dir.path()); }
    QByteArray pathOf(const QByteArray& relative) const { return path() + '/' + relative; }
    // Creates the file (and its parent folders) with `content`; relative paths are bytes, so that
    // names that are not valid UTF-8 can be made.
    void write(const QByteArray& relative, const QByteArray& content = {});
    void mkdir(const QByteArray& relative);
    void symlink(const QByteArray& target, const QByteArray& relative);
    // Sets the modification time (seconds since the epoch).
    void touch(const QByteArray& relative, qint64 secondsSinceEpoch);

private:
    QTemporaryDir m_dir;
};

}  // namespace tarnwick::test
