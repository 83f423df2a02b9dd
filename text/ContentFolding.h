#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace tarnwick {

// The folding under which content queries match, the same as the desktop index applies on both
// sides of a "contains" query (tracker:unaccent(tracker:case-fold(x))): full case folding
// ("ß" -> "ss"), then compatibility decomposition (NFKD, "ﬁ" -> "fi"), then the combining
// diacritical marks (U+0300-036F, U+1DC0-1DFF, U+20D0-20FF, U+FE20-FE2F) removed. Other
// nonspacing marks (Hebrew points, Indic vowel signs) stay, as they do in the index.
QString foldForContentMatch(QStringView text);

// foldForContentMatch over well-formed UTF-8, appended to `out` as UTF-8. ASCII is folded
// byte-wise; each run of non-ASCII characters goes through foldForContentMatch. Because an ASCII
// character never takes part in a decomposition or reordering, folding a text in pieces cut right
// before an ASCII character gives the same bytes as folding it whole.
void appendFoldedUtf8(QByteArrayView utf8, QByteArray& out);

QByteArray foldUtf8ForContentMatch(QByteArrayView utf8);

bool isCombiningDiacriticalMark(char32_t c);

}  // namespace tarnwick
