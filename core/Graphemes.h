#pragma once

#include <QStringView>

#include <vector>

namespace tarnwick {

// End offsets (in UTF-16 code units) of the user-perceived characters of `text`: Unicode's
// extended grapheme clusters, as ICU finds them. QTextBoundaryFinder is not used because Qt 6.4
// splits every code unit, surrogates included, once a string holds Thai.
std::vector<qsizetype> graphemeEnds(QStringView text);

// Number of user-perceived characters.
qsizetype graphemeCount(QStringView text);

}  // namespace tarnwick
