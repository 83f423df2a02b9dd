#include "SearchDependencies.h"

#include "spotlight/ContentSnippet.h"
#include "spotlight/IndexChooser.h"
#include "spotlight/SpotlightEngineFactory.h"

namespace tarnwick {

SearchSession::Dependencies defaultSearchDependencies() {
    static const std::shared_ptr<IndexChooser> chooser =
        IndexChooser::connectNow(IndexBackend::automatic);
    SearchSession::Dependencies dependencies;
    dependencies.engines = std::make_shared<SpotlightEngineFactory>(
        [](const QByteArray& folder) { return chooser->indexFor(folder); });
    dependencies.snippet = &contentSnippet;
    return dependencies;
}

}  // namespace tarnwick
