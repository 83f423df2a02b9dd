#pragma once

#include "core/Graphemes.h"
#include "text/PassageFinder.h"

#include <QList>

#include <algorithm>
#include <optional>
#include <vector>

namespace tarnwick::test {

// A passage as a snippet shows it: "…" where it stops short of the text's start or end.
inline QString shown(const std::optional<Passage>& passage) {
    if (!passage) return QStringLiteral("none");
    return (passage->atTextStart ? "" : "…") + passage->text + (passage->atTextEnd ? "" : "…");
}

// The passage algorithm over the whole text at once: lowercase code point by code point
// remembering where each lowercased unit came from, find, map back, count clusters in the
// original.
inline QString wholeTextPassage(const QString& text, const QString& query, int before, int after) {
    const QString needle = query.toLower();
    QString lowered;
    QList<qsizetype> fromStart, fromEnd;
    for (qsizetype i = 0, width = 1; i < text.size(); i += width) {
        width =
            1 + (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate());
        const QString lower = text.mid(i, width).toLower();
        fromStart.append(QList<qsizetype>(lower.size(), i));
        fromEnd.append(QList<qsizetype>(lower.size(), i + width));
        lowered += lower;
    }
    const qsizetype at = lowered.indexOf(needle);
    if (needle.isEmpty() || at < 0) return shown(std::nullopt);
    std::vector<qsizetype> bounds = graphemeEnds(text);
    bounds.insert(bounds.begin(), 0);
    const auto first = std::lower_bound(bounds.begin(), bounds.end(), fromStart[at]);
    const qsizetype back = std::min<qsizetype>(before, first - bounds.begin());
    const qsizetype start = back > 0 ? *(first - back) : fromStart[at];
    const qsizetype matchEnd = fromEnd[at + needle.size() - 1];
    const auto next = std::upper_bound(bounds.begin(), bounds.end(), matchEnd);
    const qsizetype forth = std::min<qsizetype>(after, bounds.end() - next);
    const qsizetype end = forth > 0 ? *(next + forth - 1) : matchEnd;
    return shown(Passage{text.mid(start, end - start), start == 0, end == text.size()});
}

}  // namespace tarnwick::test
