#pragma once

#include "ExtractedText.h"
#include "NamePatterns.h"
#include "TrackerSettings.h"

#include <QByteArray>
#include <QHash>
#include <QList>

#include <mutex>
#include <optional>

namespace tarnwick {

// Which folders and files the miner has indexed, worked out from its settings and the disk
// (hidden names, ignore lists, folders holding .git or the like). Safe to use from any thread.
class TrackerCoverage {
public:
    explicit TrackerCoverage(const TrackerSettings& settings);

    // True when every entry below `scope` that the miner indexes at all is in the index: the
    // scope lies inside a recursively indexed folder, and neither it nor any folder above it up
    // to that root is hidden, ignored, or holds a name that blocks the miner (.git ...).
    bool coversRecursively(const QByteArray& scope) const;

    // True when the extractor may have stored the whole text of this file: its folder's content
    // is indexed, the file is a regular file with a visible, not ignored name, of a type whose
    // text is extracted, no larger than the extractor keeps, and (plain text) readable by it.
    // Whoever searches content must read every file for which this is false.
    bool mayHaveReadText(const QByteArray& path, qint64 size) const;

    // How the index spells `scope`: symbolic links resolved, then put below the configured
    // spelling of the indexed folder that holds it (the miner keeps that spelling). The scope
    // itself, without trailing '/', when it cannot be resolved.
    QByteArray indexPathFor(const QByteArray& scope) const;

private:
    struct Root {
        QByteArray configured;
        QByteArray resolved;
        bool recursive = false;
    };

    const Root* recursiveRootHolding(const QByteArray& resolvedPath) const;
    bool isSingleRoot(const QByteArray& resolvedFolder) const;
    // Every folder from `root` down to `folder` (both resolved) lets the miner in.
    bool chainIsIndexed(const QByteArray& root, const QByteArray& folder) const;
    bool holdsBlockingName(const QByteArray& folder) const;
    bool folderContentIndexed(const QByteArray& folder) const;

    QList<Root> m_roots;
    NamePatterns m_ignoredFiles;
    NamePatterns m_ignoredFolders;
    QList<QByteArray> m_blockingNames;
    ExtractedText m_extracted;
    qint64 m_maxExtractedBytes;

    // Folder (as the caller spelled it) -> whether the miner indexes its direct children.
    mutable std::mutex m_cacheMutex;
    mutable QHash<QByteArray, bool> m_folderCache;
};

// realpath(3) on native bytes; nothing when the path does not exist or cannot be resolved.
std::optional<QByteArray> resolvedPath(const QByteArray& path);

// True when `path` is `folder` or lies below it (both without trailing '/').
bool isSameOrBelow(const QByteArray& path, const QByteArray& folder);

}  // namespace tarnwick
