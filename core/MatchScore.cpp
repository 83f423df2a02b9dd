#include "MatchScore.h"

#include "TextFolding.h"

#include <QTextBoundaryFinder>

#include <string_view>

namespace tarnwick {

namespace {

constexpr qint64 kScoreAtStart = 200;
constexpr qint64 kScoreElsewhere = 100;

// End offsets of the user-perceived characters (extended grapheme clusters) of `text`.
std::vector<qsizetype> graphemeEnds(QStringView text) {
    std::vector<qsizetype> ends;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.data(), int(text.size()));
    while (finder.toNextBoundary() > 0) ends.push_back(finder.position());
    return ends;
}

void lowerAsciiInto(std::string& out, QByteArrayView text) {
    for (char c : text) out.push_back(c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c);
}

}  // namespace

PreparedQuery::PreparedQuery(const QString& query) : m_folded(foldText(query)) {
    m_graphemeEnds = graphemeEnds(m_folded);
    const QByteArray utf8 = m_folded.toUtf8();
    m_plainAscii = isPlainAscii(utf8);
    if (m_plainAscii) m_ascii.assign(utf8.constData(), size_t(utf8.size()));
}

std::optional<qint64> PreparedQuery::scoreFolded(QStringView text) const {
    if (m_folded.isEmpty()) return 0;
    const std::vector<qsizetype> textEnds = graphemeEnds(text);
    auto isBoundary = [&](qsizetype offset) {
        return offset == 0 || std::binary_search(textEnds.begin(), textEnds.end(), offset);
    };
    // The first occurrence that starts and ends between two characters.
    for (qsizetype from = 0;;) {
        qsizetype at = text.indexOf(m_folded, from);
        if (at < 0) break;
        if (isBoundary(at) && isBoundary(at + m_folded.size()))
            return at == 0 ? kScoreAtStart : kScoreElsewhere;
        from = at + 1;
    }
    size_t matched = 0;
    qint64 run = 0, score = 0;
    qsizetype textStart = 0, queryStart = 0;
    for (qsizetype textEnd : textEnds) {
        if (matched == m_graphemeEnds.size()) break;
        qsizetype queryEnd = m_graphemeEnds[matched];
        if (text.sliced(textStart, textEnd - textStart) ==
            QStringView(m_folded).sliced(queryStart, queryEnd - queryStart)) {
            ++matched;
            ++run;
            score += 2 * run;
            queryStart = queryEnd;
        } else {
            run = 0;
        }
        textStart = textEnd;
    }
    if (matched < m_graphemeEnds.size()) return std::nullopt;
    return score;
}

std::optional<qint64> Matcher::scoreAscii(std::string_view text) const {
    const std::string& query = m_query.m_ascii;
    size_t at = query.size() == 1 ? text.find(query[0]) : text.find(query);
    if (at != std::string_view::npos) return at == 0 ? kScoreAtStart : kScoreElsewhere;
    size_t matched = 0;
    qint64 run = 0, score = 0;
    for (char c : text) {
        if (c == query[matched]) {
            ++run;
            score += 2 * run;
            if (++matched == query.size()) return score;
        } else {
            run = 0;
        }
    }
    return std::nullopt;
}

std::optional<qint64> Matcher::scoreUtf8(QByteArrayView text, bool plainAscii) {
    if (m_query.isEmpty()) return 0;
    if (plainAscii) {
        // A character outside ASCII can never equal an ASCII one.
        if (!m_query.m_plainAscii) return std::nullopt;
        m_buffer.clear();
        lowerAsciiInto(m_buffer, text);
        return scoreAscii(m_buffer);
    }
    return m_query.scoreFolded(foldText(QString::fromUtf8(text)));
}

std::optional<qint64> Matcher::scoreName(const FileItem& item) {
    return scoreUtf8(item.nativeName(), item.nameIsPlainAscii());
}

std::optional<qint64> Matcher::scorePath(const FileItem& item) {
    const FolderRecord& folder = item.folder();
    if (folder.relativeDirectory().isEmpty()) return std::nullopt;
    if (m_query.isEmpty()) return 0;
    if (folder.relativeIsPlainAscii() && item.nameIsPlainAscii()) {
        if (!m_query.m_plainAscii) return std::nullopt;
        const QByteArray& dir = folder.foldedRelativeDirectory();
        m_buffer.assign(dir.constData(), size_t(dir.size()));
        m_buffer.push_back('/');
        lowerAsciiInto(m_buffer, item.nativeName());
        return scoreAscii(m_buffer);
    }
    return scoreUtf8(item.nativeRelativePath(), false);
}

std::optional<qint64> matchScore(const QString& query, const QString& text) {
    return PreparedQuery(query).scoreFolded(foldText(text));
}

}  // namespace tarnwick
