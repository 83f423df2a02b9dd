#include "SearchDependencies.h"

namespace tarnwick {

SearchSession::Dependencies defaultSearchDependencies() {
    // Until the index engines are wired in, a search lists and matches names only.
    return SearchSession::Dependencies{};
}

}  // namespace tarnwick
