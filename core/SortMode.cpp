#include "SortMode.h"

#include "NameCollation.h"

#include <algorithm>

namespace tarnwick {

QString rawValue(SortMode mode) {
    switch (mode) {
        case SortMode::name:
            return QStringLiteral("Name");
        case SortMode::dateModified:
            return QStringLiteral("Date");
        case SortMode::size:
            return QStringLiteral("Size");
    }
    return {};
}

std::optional<SortMode> sortModeFromRawValue(const QString& raw) {
    for (SortMode mode : kAllSortModes) {
        if (rawValue(mode) == raw) return mode;
    }
    return std::nullopt;
}

void sortItems(QList<FileItem>& items, SortMode mode) {
    if (items.size() < 2) return;
    auto foldersFirst = [](const FileItem& a, const FileItem& b) {
        return a.isDirectory() != b.isDirectory() ? (a.isDirectory() ? -1 : 1) : 0;
    };
    switch (mode) {
        case SortMode::name: {
            NameCollation collation;
            std::vector<std::pair<NameCollation::Key, FileItem>> keyed;
            keyed.reserve(size_t(items.size()));
            for (const FileItem& item : items) keyed.emplace_back(collation.key(item.name()), item);
            std::stable_sort(keyed.begin(), keyed.end(), [&](const auto& a, const auto& b) {
                if (int c = foldersFirst(a.second, b.second)) return c < 0;
                return a.first.compare(b.first) < 0;
            });
            for (qsizetype i = 0; i < items.size(); ++i)
                items[i] = std::move(keyed[size_t(i)].second);
            return;
        }
        case SortMode::dateModified:
            std::stable_sort(items.begin(), items.end(), [&](const FileItem& a, const FileItem& b) {
                if (int c = foldersFirst(a, b)) return c < 0;
                return a.modifiedMsecs() > b.modifiedMsecs();  // the missing date is the smallest
            });
            return;
        case SortMode::size:
            std::stable_sort(items.begin(), items.end(), [&](const FileItem& a, const FileItem& b) {
                if (int c = foldersFirst(a, b)) return c < 0;
                return a.fileSize() > b.fileSize();
            });
            return;
    }
}

}  // namespace tarnwick
