#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace tarnwick {

// Folds a UTF-8 text that arrives in pieces (foldForContentMatch), giving the same bytes as
// folding it whole: a run of non-ASCII characters at the end of a piece may continue in the next,
// so it is held back until an ASCII character (or a normalization boundary) settles it.
class FoldedTextStream {
public:
    // `utf8` must be well-formed and made of whole sequences; the settled folded bytes are
    // appended to `out`.
    void fold(QByteArrayView utf8, QByteArray& out);
    // Folds what was held back.
    void finish(QByteArray& out);

private:
    QByteArray m_heldRun;
};

}  // namespace tarnwick
