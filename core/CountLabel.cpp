#include "CountLabel.h"

namespace tarnwick {

QString typeToSearchText(qint64 indexedCount) {
    return QString::number(indexedCount) + QStringLiteral(" items \u2014 type to search");
}

QString countLabelText(SearchMode mode, bool queryIsEmpty, bool noPillChosen, qint64 shownCount,
                       qint64 allCount) {
    if (mode == SearchMode::spotlightOnly)
        return QString::number(shownCount) + QStringLiteral(" results");
    if (queryIsEmpty && noPillChosen) return QString::number(allCount) + QStringLiteral(" items");
    return QString::number(shownCount) + QStringLiteral(" of ") + QString::number(allCount);
}

}  // namespace tarnwick
