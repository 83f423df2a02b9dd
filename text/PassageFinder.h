#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace tarnwick {

// A window of a text around an occurrence, cut from the original text.
struct Passage {
    QString text;
    bool atTextStart = false;  // nothing of the text precedes the window
    bool atTextEnd = false;    // nothing of the text follows the window
};

// Finds the first occurrence of a query in a text that arrives in pieces, both fully lowercased
// (a plain substring search: no diacritic folding, no locale), and gives the window of up to
// `before` user-perceived characters (grapheme clusters) before the occurrence and `after` after
// it, cut from the original text at the place of the occurrence: lowercasing can lengthen a text
// ("İ" becomes "i̇"), so no index of the lowercased copy is ever used on the original.
//
// The result is the same as running that algorithm over the whole text at once, while only the
// context that the window may still need is held: at least `before` whole clusters ahead of any
// place where a match could still begin. A window whose clusters are so long that the text held
// would exceed a few megabytes gives up (no passage) rather than grow further.
class PassageFinder {
public:
    PassageFinder(const QString& query, int before, int after);

    // Takes the next piece; answers false once the passage is settled and more text is not needed
    // (a plain-text reader may still read on to check that the rest is well-formed).
    bool feed(QStringView piece);
    // Ends the text. The passage, or nothing when the query is empty or does not occur.
    std::optional<Passage> finish();

private:
    enum class Phase { searching, collectingAfter, settled, failed };

    void search();
    void keepOnlyNeededContext();
    void startWindow(qsizetype matchStart, qsizetype matchEnd);
    void tryToSettle(bool textEnded);

    QString m_needle;  // lowercased query
    qsizetype m_needleCodePoints = 0;
    int m_before;
    int m_after;
    Phase m_phase = Phase::searching;
    QString m_held;  // original text from a grapheme boundary on
    bool m_heldAtTextStart = true;
    QChar m_pendingHighSurrogate;  // a pair cut between two pieces
    qsizetype m_windowStart = 0;   // in m_held, once found
    qsizetype m_matchEnd = 0;
    Passage m_passage;
};

}  // namespace tarnwick
