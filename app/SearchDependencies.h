#pragma once

#include "core/SearchSession.h"
#include "spotlight/IndexChooser.h"

#include <chrono>

namespace tarnwick {

// The real engines and snippet extraction that a search session runs with: the index chosen per
// folder for `backend` (Tracker with the scanner's complement, the scanner alone, or nothing)
// and the content snippets of text, rich text and PDF files. Connecting to Tracker does not
// block: queries made meanwhile wait for it (a second at most) and then run on the index chosen.
SearchSession::Dependencies searchDependencies(IndexBackend backend,
                                               std::chrono::milliseconds engineDebounce);

// What every panel of this process runs with: one connection, begun when the first one opens.
SearchSession::Dependencies defaultSearchDependencies();

// The listings kept between the panels of the running application, as the preferences ask when
// a panel opens: none when they are off (and what was kept is let go), a store of the budget set.
std::shared_ptr<KeptListings> keptListingsFromPreferences();

}  // namespace tarnwick
