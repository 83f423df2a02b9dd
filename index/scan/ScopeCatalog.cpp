#include "ScopeCatalog.h"

#include "core/DirectoryListing.h"
#include "core/ItemAttributes.h"

namespace tarnwick {

std::shared_ptr<ScopeCatalog> buildScopeCatalog(const QByteArray& scope, bool showHiddenFiles,
                                                const ScanFileFilter& filter,
                                                const std::atomic<bool>* cancelled) {
    ListingOptions options;
    options.showHiddenFiles = showHiddenFiles;
    options.cancelled = cancelled;
    auto catalog = std::make_shared<ScopeCatalog>();
    catalog->scope = scope;
    catalog->showHiddenFiles = showHiddenFiles;
    catalog->items = listDirectory(scope, options);
    // The index answers with sizes and dates, and passes over empty files: it reads them all.
    readAttributes(catalog->items, cancelled);
    catalog->cache = std::make_unique<FoldedTextCache>(kFoldedTextBudgetBytes);
    if (cancelled && cancelled->load()) return nullptr;

    CandidateClassifier classifier;
    for (qsizetype i = 0; i < catalog->items.size(); ++i) {
        if ((i & 1023) == 0 && cancelled && cancelled->load()) return nullptr;
        const FileItem& item = catalog->items[i];
        // An empty file cannot contain a query; this also passes over FIFOs and devices.
        if (item.isDirectory() || item.fileSize() <= 0) continue;
        const std::optional<CandidateFormat> format = classifier.classify(item.nativeName());
        if (!format) continue;
        if (filter && !filter(item.path(), item.fileSize())) continue;
        catalog->candidates.push_back({i, *format});
    }
    return catalog;
}

}  // namespace tarnwick
