#pragma once

#include "FileItem.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>

namespace tarnwick {

// The orders the user can choose; folders come first in each.
enum class SortMode { name, dateModified, size };

inline constexpr std::array<SortMode, 3> kAllSortModes = {SortMode::name, SortMode::dateModified,
                                                          SortMode::size};

// Whether the order needs every item's size and date (the name order never waits for them).
inline bool needsAttributes(SortMode mode) {
    return mode != SortMode::name;
}

// "Name", "Date", "Size": how the order is stored and keyed.
QString rawValue(SortMode mode);
// The sort pop-up's title of the order, in the user's language.
QString sortModeTitle(SortMode mode);
// Exactly one of the raw values, case-sensitive; nothing otherwise.
std::optional<SortMode> sortModeFromRawValue(const QString& raw);

// Stable sort by `mode`: folders first; then names ascending by the user's locale, ignoring case;
// dates newest first, a missing date last; sizes largest first. Items the mode ranks equal keep
// the order they arrived in.
void sortItems(QList<FileItem>& items, SortMode mode);

}  // namespace tarnwick
