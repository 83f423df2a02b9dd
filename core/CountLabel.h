#pragma once

#include "SearchMode.h"

#include <QString>

namespace tarnwick {

// "Loading…": shown until the first count is known.
QString loadingText();

// "1234 items — type to search": shown when a large folder switches to the index alone.
QString typeToSearchText(qint64 indexedCount);

// The count label after a publication: "N items" for everything in hybrid mode with no query
// and no pill, "M of N" for a narrowed hybrid list, "M results" in spotlightOnly mode. Counts in
// decimal, without grouping; in the user's language with its plural forms.
QString countLabelText(SearchMode mode, bool queryIsEmpty, bool noPillChosen, qint64 shownCount,
                       qint64 allCount);

}  // namespace tarnwick
