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

// Where a walk over whole user-perceived characters of a text stopped, and how many it passed.
struct GraphemeWalk {
    qsizetype position;
    int passed;
};

// From `position` (a boundary or not) back over up to `count` characters: each step reaches the
// boundary before, so a start inside a character first steps to that character's start.
GraphemeWalk graphemesBack(QStringView text, qsizetype position, int count);
// The same forwards: each step reaches the boundary after.
GraphemeWalk graphemesForward(QStringView text, qsizetype position, int count);

}  // namespace tarnwick
