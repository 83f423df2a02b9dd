#include "Graphemes.h"

#include <unicode/ubrk.h>

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

template <typename Visit>
void forEachGraphemeEnd(QStringView text, Visit visit) {
    UBreakIterator* it = characterIterator();
    UErrorCode status = U_ZERO_ERROR;
    if (it)
        ubrk_setText(it, reinterpret_cast<const UChar*>(text.utf16()), int32_t(text.size()),
                     &status);
    if (!it || U_FAILURE(status)) {  // no ICU data: one character per code unit
        for (qsizetype i = 1; i <= text.size(); ++i) visit(i);
        return;
    }
    for (int32_t end = ubrk_following(it, 0); end != UBRK_DONE; end = ubrk_next(it)) visit(end);
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

}  // namespace tarnwick
