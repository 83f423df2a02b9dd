#include "CountLabel.h"

#include <QCoreApplication>

namespace tarnwick {

namespace {

// Counts past what an int holds are not shown by a folder anyone lists.
QString counted(const char* source, qint64 count) {
    return QCoreApplication::translate("CountLabel", source, nullptr, int(count));
}

}  // namespace

QString loadingText() {
    return QCoreApplication::translate("CountLabel", "Loading…");
}

QString typeToSearchText(qint64 indexedCount) {
    return counted(QT_TRANSLATE_N_NOOP("CountLabel", "%n items — type to search"), indexedCount);
}

QString countLabelText(SearchMode mode, bool queryIsEmpty, bool noPillChosen, qint64 shownCount,
                       qint64 allCount) {
    if (mode == SearchMode::spotlightOnly)
        return counted(QT_TRANSLATE_N_NOOP("CountLabel", "%n results"), shownCount);
    if (queryIsEmpty && noPillChosen)
        return counted(QT_TRANSLATE_N_NOOP("CountLabel", "%n items"), allCount);
    return QCoreApplication::translate("CountLabel", "%1 of %2").arg(shownCount).arg(allCount);
}

}  // namespace tarnwick
