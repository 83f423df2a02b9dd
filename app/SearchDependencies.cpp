#include "SearchDependencies.h"

#include "PendingIndex.h"
#include "core/Preferences.h"
#include "spotlight/ContentSnippet.h"
#include "spotlight/SpotlightEngineFactory.h"

#include <QCoreApplication>

namespace tarnwick {

SearchSession::Dependencies searchDependencies(IndexBackend backend,
                                               std::chrono::milliseconds engineDebounce) {
    auto index = std::make_shared<PendingIndex>();
    // The instance itself, not qApp: --print runs a QCoreApplication, and where a widgets
    // header came first qApp casts it to a QApplication.
    IndexChooser::connectAsync(
        backend, QCoreApplication::instance(), [index](std::shared_ptr<IndexChooser> chooser) {
            index->resolve([chooser](const QByteArray& scope) { return chooser->indexFor(scope); });
        });
    SearchSession::Dependencies dependencies;
    dependencies.engines = std::make_shared<SpotlightEngineFactory>(index, engineDebounce);
    dependencies.snippet = &contentSnippet;
    return dependencies;
}

SearchSession::Dependencies defaultSearchDependencies() {
    // Begins connecting and returns at once: nothing here runs an event loop, so a request
    // handled meanwhile never finds this half made.
    static const SearchSession::Dependencies dependencies =
        searchDependencies(IndexBackend::automatic, kEngineDebounce);
    return dependencies;
}

std::shared_ptr<KeptListings> keptListingsFromPreferences() {
    static std::shared_ptr<KeptListings> kept;
    static qint64 keptMegabytes = 0;
    if (!Preferences::keepsListings()) {
        kept.reset();
        return nullptr;
    }
    const qint64 megabytes = Preferences::keptListingsMegabytes();
    if (!kept || megabytes != keptMegabytes) {
        kept = std::make_shared<KeptListings>(size_t(megabytes) << 20);
        keptMegabytes = megabytes;
    }
    return kept;
}

}  // namespace tarnwick
