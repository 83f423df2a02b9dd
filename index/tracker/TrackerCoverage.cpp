#include "TrackerCoverage.h"

#include "core/FileUri.h"

#include <climits>
#include <cstdlib>

#include <sys/stat.h>

namespace tarnwick {

namespace {

bool exists(const QByteArray& path) {
    struct stat info;
    return ::lstat(path.constData(), &info) == 0;
}

bool isRegularFile(const QByteArray& path) {
    struct stat info;
    return ::lstat(path.constData(), &info) == 0 && S_ISREG(info.st_mode);
}

QByteArray parentOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) return {};
    return slash == 0 ? QByteArray("/") : path.left(slash);
}

}  // namespace

std::optional<QByteArray> resolvedPath(const QByteArray& path) {
    char* resolved = ::realpath(path.constData(), nullptr);
    if (!resolved) return std::nullopt;
    QByteArray result(resolved);
    std::free(resolved);
    return result;
}

bool isSameOrBelow(const QByteArray& path, const QByteArray& folder) {
    if (path == folder) return true;
    if (folder == "/") return path.startsWith('/');
    return path.size() > folder.size() && path.startsWith(folder) && path[folder.size()] == '/';
}

TrackerCoverage::TrackerCoverage(const TrackerSettings& settings)
    : m_ignoredFiles(settings.ignoredFiles),
      m_ignoredFolders(settings.ignoredFolders),
      m_blockingNames(settings.contentBlockingNames),
      m_extracted(NamePatterns(settings.textAllowlist)),
      m_maxExtractedBytes(settings.maxExtractedBytes) {
    auto addRoots = [this](const QList<QByteArray>& folders, bool recursive) {
        for (const QByteArray& folder : folders) {
            // A root that does not exist now is not indexed now.
            if (std::optional<QByteArray> resolved = resolvedPath(folder))
                m_roots.append(Root{withoutTrailingSlashes(folder), *resolved, recursive});
        }
    };
    addRoots(settings.recursiveFolders, true);
    addRoots(settings.singleFolders, false);
}

const TrackerCoverage::Root* TrackerCoverage::recursiveRootHolding(
    const QByteArray& resolvedPath) const {
    const Root* best = nullptr;
    for (const Root& root : m_roots) {
        if (!root.recursive || !isSameOrBelow(resolvedPath, root.resolved)) continue;
        // Nested roots: the innermost one is the spelling the miner used last.
        if (!best || root.resolved.size() > best->resolved.size()) best = &root;
    }
    return best;
}

bool TrackerCoverage::isSingleRoot(const QByteArray& resolvedFolder) const {
    for (const Root& root : m_roots)
        if (!root.recursive && root.resolved == resolvedFolder) return true;
    return false;
}

bool TrackerCoverage::holdsBlockingName(const QByteArray& folder) const {
    for (const QByteArray& name : m_blockingNames)
        if (exists(folder + '/' + name)) return true;
    return false;
}

bool TrackerCoverage::chainIsIndexed(const QByteArray& root, const QByteArray& folder) const {
    if (holdsBlockingName(root)) return false;
    const QByteArray below = relativePath(root, folder);
    if (below.isEmpty()) return true;
    QByteArray current = root;
    for (const QByteArray& name : below.split('/')) {
        if (name.startsWith('.') || m_ignoredFolders.matches(name)) return false;
        current += (current.endsWith('/') ? "" : "/") + name;
        if (holdsBlockingName(current)) return false;
    }
    return true;
}

bool TrackerCoverage::coversRecursively(const QByteArray& scope) const {
    const std::optional<QByteArray> resolved = resolvedPath(scope);
    if (!resolved) return false;
    const Root* root = recursiveRootHolding(*resolved);
    return root && chainIsIndexed(root->resolved, *resolved);
}

bool TrackerCoverage::folderContentIndexed(const QByteArray& folder) const {
    {
        std::lock_guard lock(m_cacheMutex);
        auto cached = m_folderCache.constFind(folder);
        if (cached != m_folderCache.cend()) return *cached;
    }
    bool indexed = false;
    if (const std::optional<QByteArray> resolved = resolvedPath(folder)) {
        if (const Root* root = recursiveRootHolding(*resolved))
            indexed = chainIsIndexed(root->resolved, *resolved);
        if (!indexed && isSingleRoot(*resolved)) indexed = !holdsBlockingName(*resolved);
    }
    std::lock_guard lock(m_cacheMutex);
    m_folderCache.insert(folder, indexed);
    return indexed;
}

bool TrackerCoverage::mayHaveReadText(const QByteArray& path, qint64 size) const {
    if (size < 0 || size > m_maxExtractedBytes) return false;
    const QByteArray name = lastPathComponent(path);
    if (name.isEmpty() || name.startsWith('.') || m_ignoredFiles.matches(name)) return false;
    const ExtractedText::Kind kind = m_extracted.kindOf(name);
    if (kind == ExtractedText::Kind::none) return false;
    if (!folderContentIndexed(parentOf(path)) || !isRegularFile(path)) return false;
    return kind == ExtractedText::Kind::document ||
           ExtractedText::plainTextHeadIsReadable(path, size);
}

QByteArray TrackerCoverage::indexPathFor(const QByteArray& scope) const {
    const std::optional<QByteArray> resolved = resolvedPath(scope);
    if (!resolved) return withoutTrailingSlashes(scope);
    const Root* holder = nullptr;
    for (const Root& root : m_roots) {
        if (!isSameOrBelow(*resolved, root.resolved)) continue;
        if (!holder || root.resolved.size() > holder->resolved.size()) holder = &root;
    }
    if (!holder) return *resolved;
    const QByteArray below = relativePath(holder->resolved, *resolved);
    if (below.isEmpty()) return holder->configured;
    return holder->configured + (holder->configured == "/" ? "" : "/") + below;
}

}  // namespace tarnwick
