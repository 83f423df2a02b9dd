#include "SortMode.h"

#include "NameOrder.h"

#include <QCoreApplication>

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

QString sortModeTitle(SortMode mode) {
    switch (mode) {
        case SortMode::name:
            return QCoreApplication::translate("SortMode", "Name");
        case SortMode::dateModified:
            return QCoreApplication::translate("SortMode", "Date");
        case SortMode::size:
            return QCoreApplication::translate("SortMode", "Size");
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
            // The name order, then folders moved ahead with each group's order kept.
            std::vector<quint32> order = sortedByName(items).order;
            std::stable_partition(order.begin(), order.end(),
                                  [&](quint32 i) { return items[i].isDirectory(); });
            QList<FileItem> sorted;
            sorted.reserve(items.size());
            for (quint32 i : order) sorted.append(std::move(items[i]));
            items = std::move(sorted);
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
