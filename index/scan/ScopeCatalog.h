#pragma once

#include "CandidateClassifier.h"
#include "FoldedTextCache.h"
#include "core/FileItem.h"

#include <QByteArray>
#include <QList>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace tarnwick {

// True for a file that must be scanned (path, size); called from a background thread.
using ScanFileFilter = std::function<bool(const QByteArray& path, qint64 size)>;

struct ScanCandidate {
    qsizetype itemIndex;
    CandidateFormat format;
};

// Everything below one scope folder, walked once and shared by the queries over it: every entry
// (for name matches) and the files whose content may be read, with the folded text of the small
// ones as queries read them.
struct ScopeCatalog {
    QByteArray scope;
    bool showHiddenFiles = false;
    QList<FileItem> items;
    std::vector<ScanCandidate> candidates;
    std::unique_ptr<FoldedTextCache> cache;
};

// Folded text kept per catalog.
inline constexpr qint64 kFoldedTextBudgetBytes = 64 * 1024 * 1024;

// Walks `scope` (hidden entries as the preference says) and picks the candidates: non-empty files
// of a text-bearing type that `filter` (when set) accepts. Nothing when cancelled.
std::shared_ptr<ScopeCatalog> buildScopeCatalog(const QByteArray& scope, bool showHiddenFiles,
                                                const ScanFileFilter& filter,
                                                const std::atomic<bool>* cancelled);

}  // namespace tarnwick
