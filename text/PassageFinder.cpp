#include "PassageFinder.h"

#include "core/Graphemes.h"

#include <algorithm>

namespace tarnwick {

namespace {

// Most UTF-16 units held at once (8 MB): only clusters thousands of characters long get there.
constexpr qsizetype kMostHeld = 4 * 1024 * 1024;

struct CodePoint {
    char32_t value;
    qsizetype width;
};

CodePoint codePointAt(QStringView text, qsizetype i) {
    const QChar c = text[i];
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
        return {QChar::surrogateToUcs4(c, text[i + 1]), 2};
    return {c.unicode(), 1};
}

qsizetype codePointCount(QStringView text) {
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); i += codePointAt(text, i).width) ++count;
    return count;
}

// Where the last `count` code points of `text` begin.
qsizetype startOfLastCodePoints(QStringView text, qsizetype count) {
    qsizetype i = text.size();
    for (; count > 0 && i > 0; --count) {
        --i;
        if (i > 0 && text[i].isLowSurrogate() && text[i - 1].isHighSurrogate()) --i;
    }
    return i;
}

qsizetype lowercasedLength(char32_t c) {
    if (c < 0x80) return 1;
    return QString::fromUcs4(&c, 1).toLower().size();
}

struct Range {
    qsizetype start;
    qsizetype end;
};

// The code points of `original` whose lowercase forms hold [loweredStart, loweredEnd) of the
// lowercased text.
Range originalRangeOf(QStringView original, qsizetype loweredStart, qsizetype loweredEnd) {
    qsizetype lowered = 0;
    qsizetype start = -1;
    for (qsizetype i = 0; i < original.size();) {
        const CodePoint c = codePointAt(original, i);
        lowered += lowercasedLength(c.value);
        if (start < 0 && lowered > loweredStart) start = i;
        i += c.width;
        if (lowered >= loweredEnd) return {start, i};
    }
    return {start < 0 ? original.size() : start, original.size()};
}

// A cluster boundary that holds whatever precedes it: between two ASCII characters other than
// CR LF, no rule of UAX #29 joins them.
bool isCertainBoundary(QStringView text, qsizetype position) {
    const char16_t before = text[position - 1].unicode();
    const char16_t after = text[position].unicode();
    return before < 0x80 && after < 0x80 && !(before == u'\r' && after == u'\n');
}

// The boundary `count` certain boundaries back from `position` (exclusive), or -1 when there are
// fewer: a cheap way, in text that is mostly ASCII, to find a place with at least `count`
// clusters before `position` without analysing the whole text.
qsizetype certainBoundariesBack(QStringView text, qsizetype position, int count) {
    for (qsizetype p = std::min(position, text.size() - 1); p > 0; --p) {
        if (p < position && isCertainBoundary(text, p) && --count == 0) return p;
    }
    return -1;
}

}  // namespace

PassageFinder::PassageFinder(const QString& query, int before, int after)
    : m_needle(query.toLower()), m_before(before), m_after(after) {
    m_needleCodePoints = codePointCount(m_needle);
    if (m_needle.isEmpty()) m_phase = Phase::failed;
}

bool PassageFinder::feed(QStringView piece) {
    if (m_phase != Phase::searching && m_phase != Phase::collectingAfter) return false;
    if (!m_pendingHighSurrogate.isNull()) {
        m_held.append(m_pendingHighSurrogate);
        m_pendingHighSurrogate = QChar();
    }
    // A cluster boundary right before a high surrogate is not known until its pair is complete.
    if (!piece.isEmpty() && piece.back().isHighSurrogate()) {
        m_pendingHighSurrogate = piece.back();
        piece.chop(1);
    }
    m_held.append(piece);
    if (m_phase == Phase::searching) search();
    if (m_phase == Phase::collectingAfter) tryToSettle(false);
    if (m_phase != Phase::settled && m_held.size() > kMostHeld) m_phase = Phase::failed;
    return m_phase == Phase::searching || m_phase == Phase::collectingAfter;
}

std::optional<Passage> PassageFinder::finish() {
    if (!m_pendingHighSurrogate.isNull() &&
        (m_phase == Phase::searching || m_phase == Phase::collectingAfter)) {
        m_held.append(m_pendingHighSurrogate);
        m_pendingHighSurrogate = QChar();
        if (m_phase == Phase::searching) search();
    }
    if (m_phase == Phase::collectingAfter) tryToSettle(true);
    if (m_phase != Phase::settled) return std::nullopt;
    return m_passage;
}

// The held text starts at a cluster boundary and holds no complete occurrence before its last
// needle-1 code points, so searching it again finds the text's first occurrence.
void PassageFinder::search() {
    const qsizetype at = m_held.toLower().indexOf(m_needle);
    if (at < 0) {
        keepOnlyNeededContext();
        return;
    }
    const Range match = originalRangeOf(m_held, at, at + m_needle.size());
    startWindow(match.start, match.end);
}

// A match not yet complete covers at most needle-1 lowercased code points, hence at most that
// many original ones (lowercasing never shortens a code point). The window before any later match
// therefore starts no earlier than `before` clusters ahead of them; the rest can go.
void PassageFinder::keepOnlyNeededContext() {
    const qsizetype earliestMatch = startOfLastCodePoints(m_held, m_needleCodePoints - 1);
    const int needed = qMax(m_before, 1);
    qsizetype keepFrom = certainBoundariesBack(m_held, earliestMatch, needed);
    if (keepFrom < 0) {
        const GraphemeWalk back = graphemesBack(m_held, earliestMatch, needed);
        if (back.passed < needed) return;
        keepFrom = back.position;
    }
    if (keepFrom <= 0) return;
    m_held.remove(0, keepFrom);
    m_heldAtTextStart = false;
}

void PassageFinder::startWindow(qsizetype matchStart, qsizetype matchEnd) {
    const qsizetype windowStart = graphemesBack(m_held, matchStart, m_before).position;
    m_passage.atTextStart = m_heldAtTextStart && windowStart == 0;
    m_windowStart = windowStart;
    m_matchEnd = matchEnd;
    m_phase = Phase::collectingAfter;
}

// The window ends `after` clusters past the match. A boundary before the last held character is
// final; one at the end of what is held is only final once the text has ended.
void PassageFinder::tryToSettle(bool textEnded) {
    const GraphemeWalk forward = graphemesForward(m_held, m_matchEnd, m_after);
    const qsizetype windowEnd = forward.position;
    const bool settledEarly = forward.passed == m_after && windowEnd < m_held.size();
    if (!settledEarly && !textEnded) return;
    m_passage.atTextEnd = windowEnd == m_held.size() && textEnded;
    m_passage.text = m_held.mid(m_windowStart, windowEnd - m_windowStart);
    m_held = QString();
    m_phase = Phase::settled;
}

}  // namespace tarnwick
