#pragma once

#include <QFile>
#include <QTemporaryDir>

namespace tarnwick::test {

// A folder of files made by a test and removed with it, under `base` (say, outside $TMPDIR).
class TempTree {
public:
    explicit TempTree(const QString& base = {});
    ~TempTree();
    bool isValid() const { return m_dir.isValid(); }
    QByteArray path() const { return QFile::encodeName(m_dir.path()); }
    QByteArray pathOf(const QByteArray& relative) const { return path() + '/' + relative; }
    // Creates the file and its parent folders; paths are bytes, so need not be UTF-8, and may be
    // longer than PATH_MAX.
    void write(const QByteArray& relative, const QByteArray& content = {});
    void mkdir(const QByteArray& relative);
    void symlink(const QByteArray& target, const QByteArray& relative);
    void touch(const QByteArray& relative, qint64 secondsSinceEpoch);

private:
    int openFolder(const QByteArray& relative) const;
    QTemporaryDir m_dir;
};

}  // namespace tarnwick::test
