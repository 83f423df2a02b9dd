#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace tarnwick {

bool containsBytes(QByteArrayView haystack, QByteArrayView needle);

// Looks for a byte string in a text that arrives in pieces; a match may straddle pieces. Holds
// no more than the needle's length.
class StreamingNeedleSearch {
public:
    explicit StreamingNeedleSearch(QByteArray needle);

    // Answers true once the needle was found (and every time after).
    bool feed(QByteArrayView piece);
    bool found() const { return m_found; }
    const QByteArray& needle() const { return m_needle; }

private:
    QByteArray m_needle;
    QByteArray m_tail;  // the last needle-1 bytes seen
    bool m_found = false;
};

}  // namespace tarnwick
