#include "FoldedTextStream.h"

#include "ContentFolding.h"

#include <unicode/unorm2.h>
#include <unicode/utf8.h>

namespace tarnwick {

namespace {

// A run held back longer than this is cut at a normalization boundary instead of waiting for the
// next ASCII character, so that text without any ASCII still streams with bounded memory.
constexpr qsizetype kLongestHeldRun = 16 * 1024;

// Where the trailing run of non-ASCII bytes begins.
qsizetype trailingRunStart(QByteArrayView bytes) {
    qsizetype i = bytes.size();
    while (i > 0 && uchar(bytes[i - 1]) >= 0x80) --i;
    return i;
}

// The last place in a run of well-formed UTF-8 before which decomposition and reordering can
// never reach back (or 0 when there is none).
qsizetype lastNormalizationBoundary(QByteArrayView run) {
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2* nfkd = unorm2_getNFKDInstance(&status);
    if (U_FAILURE(status)) return 0;
    const auto* data = reinterpret_cast<const uint8_t*>(run.data());
    int32_t i = int32_t(run.size());
    while (i > 0) {
        int32_t start = i;
        UChar32 c;
        U8_PREV(data, 0, start, c);
        if (start > 0 && c >= 0 && unorm2_hasBoundaryBefore(nfkd, c)) return start;
        i = start;
    }
    return 0;
}

}  // namespace

void FoldedTextStream::fold(QByteArrayView utf8, QByteArray& out) {
    if (utf8.isEmpty()) return;
    if (!m_heldRun.isEmpty()) {
        // Finish the held run with the new piece's leading non-ASCII bytes.
        qsizetype lead = 0;
        while (lead < utf8.size() && uchar(utf8[lead]) >= 0x80) ++lead;
        m_heldRun.append(utf8.first(lead));
        utf8 = utf8.sliced(lead);
        if (utf8.isEmpty()) {
            if (m_heldRun.size() > kLongestHeldRun) {
                const qsizetype cut = lastNormalizationBoundary(m_heldRun);
                appendFoldedUtf8(QByteArrayView(m_heldRun).first(cut), out);
                m_heldRun.remove(0, cut);
            }
            return;
        }
        appendFoldedUtf8(m_heldRun, out);
        m_heldRun.clear();
    }
    const qsizetype held = trailingRunStart(utf8);
    appendFoldedUtf8(utf8.first(held), out);
    m_heldRun.append(utf8.sliced(held));
}

void FoldedTextStream::finish(QByteArray& out) {
    appendFoldedUtf8(m_heldRun, out);
    m_heldRun.clear();
}

}  // namespace tarnwick
