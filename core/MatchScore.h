#pragma once

#include "FileItem.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

// How well `query` matches `text`, or nothing: an empty query scores 0; otherwise both are
// case-folded; a substring scores 200 at the start and 100 elsewhere; otherwise a greedy
// subsequence over user-perceived characters scores 2 x r for each character, r being the run
// of adjacent matched characters it ends. Blanks are ordinary characters.
std::optional<qint64> matchScore(const QString& query, const QString& text);

// A query folded once for a whole filter run, matched against many names and paths.
class PreparedQuery {
public:
    explicit PreparedQuery(const QString& query);

    bool isEmpty() const { return m_folded.isEmpty(); }
    // Matches a text that was folded with foldText, character by character.
    std::optional<qint64> scoreFolded(QStringView foldedText) const;
    // Matches folded UTF-8 whose every code point is a character of its own.
    std::optional<qint64> scoreSimpleUtf8(std::string_view foldedText) const;
    bool isSimple() const { return m_simple; }

private:
    QString m_folded;
    std::vector<qsizetype> m_graphemeEnds;  // end offsets of the query's characters
    std::string m_utf8;                     // the folded query
    bool m_simple = false;
};

// Matches names and relative paths of items; one per thread (it keeps a scratch buffer).
class Matcher {
public:
    explicit Matcher(const PreparedQuery& query) : m_query(query) {}

    std::optional<qint64> scoreName(const FileItem& item);
    // Against "relativeDirectory/name"; nothing for an entry of the searched folder itself.
    std::optional<qint64> scorePath(const FileItem& item);

private:
    std::optional<qint64> scoreFoldedUtf8(std::string_view folded, bool simple) const;

    const PreparedQuery& m_query;
    std::string m_buffer;
};

}  // namespace tarnwick
