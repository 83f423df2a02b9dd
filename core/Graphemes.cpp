#include "Graphemes.h"

#include <unicode/ubrk.h>

#include <algorithm>
#include <memory>

namespace tarnwick {

namespace {

struct BreakIteratorCloser {
    void operator()(UBreakIterator* it) const { ubrk_close(it); }
};

// Opening an iterator loads rules; each thread keeps one and points it at new text.
UBreakIterator* characterIterator() {
    thread_local std::unique_ptr<UBreakIterator, BreakIteratorCloser> iterator = [] {
        UErrorCode status = U_ZERO_ERROR;
        UBreakIterator* it = ubrk_open(UBRK_CHARACTER, "", nullptr, 0, &status);
        return std::unique_ptr<UBreakIterator, BreakIteratorCloser>(U_SUCCESS(status) ? it
                                                                                      : nullptr);
    }();
    return iterator.get();
}

// The iterator over `text`, or nothing without ICU data (then each code unit is a character).
UBreakIterator* iteratorOver(QStringView text) {
    UBreakIterator* it = characterIterator();
    if (!it) return nullptr;
    UErrorCode status = U_ZERO_ERROR;
    ubrk_setText(it, reinterpret_cast<const UChar*>(text.utf16()), int32_t(text.size()), &status);
    return U_SUCCESS(status) ? it : nullptr;
}

template <typename Visit>
void forEachGraphemeEnd(QStringView text, Visit visit) {
    UBreakIterator* it = iteratorOver(text);
    if (!it) {
        for (qsizetype i = 1; i <= text.size(); ++i) visit(i);
        return;
    }
    for (int32_t end = ubrk_following(it, 0); end != UBRK_DONE; end = ubrk_next(it)) visit(end);
}

// Up to `count` steps, the first with `first`, the rest with `next`.
template <typename First, typename Next>
GraphemeWalk walk(UBreakIterator* it, qsizetype position, int count, First first, Next next) {
    GraphemeWalk reached{position, 0};
    if (count <= 0) return reached;
    for (int32_t at = first(it, int32_t(position)); at != UBRK_DONE; at = next(it)) {
        reached = {at, reached.passed + 1};
        if (reached.passed == count) break;
    }
    return reached;
}

}  // namespace

std::vector<qsizetype> graphemeEnds(QStringView text) {
    std::vector<qsizetype> ends;
    if (text.isEmpty()) return ends;
    forEachGraphemeEnd(text, [&](qsizetype end) { ends.push_back(end); });
    return ends;
}

qsizetype graphemeCount(QStringView text) {
    qsizetype count = 0;
    if (!text.isEmpty()) forEachGraphemeEnd(text, [&](qsizetype) { ++count; });
    return count;
}

GraphemeWalk graphemesBack(QStringView text, qsizetype position, int count) {
    position = std::clamp<qsizetype>(position, 0, text.size());
    UBreakIterator* it = position > 0 ? iteratorOver(text) : nullptr;
    if (!it) {
        const int passed = int(std::min<qsizetype>(std::max(count, 0), position));
        return {position - passed, passed};
    }
    return walk(it, position, count, ubrk_preceding, ubrk_previous);
}

GraphemeWalk graphemesForward(QStringView text, qsizetype position, int count) {
    position = std::clamp<qsizetype>(position, 0, text.size());
    UBreakIterator* it = position < text.size() ? iteratorOver(text) : nullptr;
    if (!it) {
        const int passed = int(std::min<qsizetype>(std::max(count, 0), text.size() - position));
        return {position + passed, passed};
    }
    return walk(it, position, count, ubrk_following, ubrk_next);
}

}  // namespace tarnwick
