#pragma once

#include "core/MatchScore.h"

#include <QStringList>

#include <optional>

#include <unicode/ubrk.h>

namespace tarnwick::test {

// User-perceived characters as ICU's own iterator finds them.
inline QStringList referenceCharacters(const QString& text) {
    QStringList out;
    UErrorCode status = U_ZERO_ERROR;
    UBreakIterator* it = ubrk_open(UBRK_CHARACTER, "", reinterpret_cast<const UChar*>(text.utf16()),
                                   int32_t(text.size()), &status);
    for (int32_t start = 0, end = ubrk_next(it); end != UBRK_DONE; start = end, end = ubrk_next(it))
        out.append(text.mid(start, end - start));
    ubrk_close(it);
    return out;
}

// The match rules written as plainly as possible, to check the fast paths against.
inline std::optional<qint64> referenceScore(const QString& query, const QString& text) {
    if (query.isEmpty()) return 0;
    auto fold = [](const QString& s) {
        return referenceCharacters(s.toLower().normalized(QString::NormalizationForm_C));
    };
    const QStringList q = fold(query), t = fold(text);
    for (qsizetype start = 0; start + q.size() <= t.size(); ++start)
        if (t.mid(start, q.size()) == q) return start == 0 ? kScoreAtStart : kScoreElsewhere;
    qsizetype matched = 0;
    qint64 run = 0, score = 0;
    for (qsizetype i = 0; i < t.size() && matched < q.size(); ++i) {
        run = t[i] == q[matched] ? run + 1 : 0;
        if (run) ++matched, score += kRunBonus * run;
    }
    return matched == q.size() ? std::optional<qint64>(score) : std::nullopt;
}

}  // namespace tarnwick::test
