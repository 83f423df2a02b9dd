#pragma once

#include <QtGlobal>

namespace tarnwick {

// How a search is served: the folder listed on disk and matched locally (`hybrid`), or every
// query asked of the index alone because the folder is too large (`spotlightOnly`).
enum class SearchMode { hybrid, spotlightOnly };

// A folder the index counts above this many items is served by the index alone.
inline constexpr qint64 kSpotlightOnlyThreshold = 5000;

}  // namespace tarnwick
