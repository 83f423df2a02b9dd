#include "MatchScore.h"

#include "TextFolding.h"

#include "Graphemes.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace tarnwick {

namespace {

// Bytes in the UTF-8 sequence that `lead` starts.
inline size_t sequenceLength(char lead) {
    auto byte = static_cast<unsigned char>(lead);
    return byte < 0x80 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
}

}  // namespace

PreparedQuery::PreparedQuery(const QString& query) : m_folded(foldText(query)) {
    m_graphemeEnds = graphemeEnds(m_folded);
    const QByteArray utf8 = m_folded.toUtf8();
    m_utf8.assign(utf8.constData(), size_t(utf8.size()));
    m_simple = isSimpleText(m_folded);
    m_ascii = std::all_of(m_utf8.begin(), m_utf8.end(),
                          [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    m_oneCodePoint = !m_utf8.empty() && sequenceLength(m_utf8[0]) == m_utf8.size();
    int bit = 0;
    for (char c : m_utf8) {
        quint64& bits = m_byteBits[static_cast<unsigned char>(c)];
        if (bits) continue;
        bits = quint64(1) << (bit++ % 64);
        m_neededBytes |= bits;
    }
    m_unfoldedByteBits = m_byteBits;
    for (char c = 'A'; c <= 'Z'; ++c)
        m_unfoldedByteBits[static_cast<unsigned char>(c)] =
            m_byteBits[static_cast<unsigned char>(c - 'A' + 'a')];
}
// A query is matched as it stands, so its simplicity needs no slashes around it: a simple text
// between slashes is simple alone, and a query character of several code points never equals a
// character of a simple text.

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
            score += kRunBonus * run;
            queryStart = queryEnd;
        } else {
            run = 0;
        }
        textStart = textEnd;
    }
    if (matched < m_graphemeEnds.size()) return std::nullopt;
    return score;
}

std::optional<qint64> PreparedQuery::scoreSimpleUtf8(std::string_view text) const {
    if (m_utf8.empty()) return 0;
    // In valid UTF-8 a match of whole sequences starts and ends between code points, which in
    // a simple text are characters.
    size_t at = m_utf8.size() == 1 ? text.find(m_utf8[0]) : text.find(m_utf8);
    if (at != std::string_view::npos) return at == 0 ? kScoreAtStart : kScoreElsewhere;
    SubsequenceState state;
    if (mayBeScattered() && continueSubsequence(text, state)) return state.score;
    return std::nullopt;
}

bool PreparedQuery::continueSubsequence(std::string_view text, SubsequenceState& state) const {
    const std::string& query = m_utf8;
    if (state.matched == query.size()) return true;
    if (m_ascii) {
        // Bytes of longer sequences never equal an ASCII character.
        for (char c : text) {
            if (c == query[state.matched]) {
                state.score += kRunBonus * ++state.run;
                if (++state.matched == query.size()) return true;
            } else {
                state.run = 0;
            }
        }
        return false;
    }
    size_t qLength = sequenceLength(query[state.matched]);
    for (size_t t = 0; t < text.size();) {
        size_t tLength = sequenceLength(text[t]);
        if (tLength == qLength && text.compare(t, tLength, query, state.matched, qLength) == 0) {
            state.score += kRunBonus * ++state.run;
            state.matched += qLength;
            if (state.matched == query.size()) return true;
            qLength = sequenceLength(query[state.matched]);
        } else {
            state.run = 0;
        }
        t += tLength;
    }
    return false;
}

std::optional<qint64> Matcher::scoreFoldedUtf8(std::string_view folded, bool simple) const {
    if (simple) {
        // A character made of several code points never equals one made of a single one.
        if (!m_query.isSimple()) return m_query.isEmpty() ? std::optional<qint64>(0) : std::nullopt;
        return m_query.scoreSimpleUtf8(folded);
    }
    return m_query.scoreFolded(QString::fromUtf8(folded.data(), qsizetype(folded.size())));
}

std::optional<qint64> Matcher::scoreName(const FileItem& item) {
    if (m_query.isEmpty()) return 0;
    if (item.hasFold()) {
        QByteArrayView folded = item.foldedName(m_fold.data());
        return scoreFoldedUtf8({folded.data(), size_t(folded.size())}, item.foldIsSimple());
    }
    return m_query.scoreFolded(foldText(item.name()));
}

Matcher::FolderPart& Matcher::folderPart(const FileItem& item) {
    const FolderRecord& folder = item.folder();
    // Siblings are listed together: mostly the folder of the item before.
    if (m_lastPart && m_lastPart->folder.data() == &folder) return *m_lastPart;
    FolderPart& part =
        m_folderParts[(reinterpret_cast<quintptr>(&folder) >> 4) & (kFolderPartSlots - 1)];
    m_lastPart = &part;
    if (part.folder.data() == &folder) return part;
    part.folder = item.folderRecord();
    part.bytes = m_query.bytesIn(folderText(folder));
    part.described = false;
    return part;
}

const std::string& Matcher::folderText(const FolderRecord& folder) {
    if (m_folderTextOf == &folder) return m_folderText;
    m_folderTextOf = &folder;
    folder.foldRelativeDirectoryInto(m_folderText);
    m_folderText.push_back('/');
    return m_folderText;
}

const Matcher::FolderPart& Matcher::described(FolderPart& part) {
    if (std::exchange(part.described, true)) return part;
    const std::string& text = folderText(*part.folder);
    part.length = text.size();
    const std::string& query = m_query.utf8();
    size_t at = text.find(query);
    part.substringScore = std::nullopt;
    if (at != std::string::npos) part.substringScore = at == 0 ? kScoreAtStart : kScoreElsewhere;
    part.splits.clear();
    for (size_t k = std::min(query.size() - 1, text.size()); k >= 1; --k) {
        if (text.compare(text.size() - k, k, query, 0, k) == 0) part.splits.push_back(k);
    }
    part.afterFolder = {};
    if (m_query.mayBeScattered()) m_query.continueSubsequence(text, part.afterFolder);
    return part;
}

std::optional<qint64> Matcher::scorePath(const FileItem& item) {
    const FolderRecord& folder = item.folder();
    if (folder.relativeDirectory().isEmpty()) return std::nullopt;
    if (m_query.isEmpty()) return 0;
    // Folding works character by character and "/" joins nothing, so the path's fold is the
    // folder's fold, "/", and the name's fold, simple when both are.
    if (item.hasFold() && item.foldIsSimple() && folder.relativeFoldIsSimple()) {
        if (!m_query.isSimple()) return std::nullopt;
        QByteArrayView folded = item.foldedName(m_fold.data());
        return scoreSimplePath(described(folderPart(item)), {folded.data(), size_t(folded.size())});
    }
    return m_query.scoreFolded(foldText(QString::fromUtf8(item.nativeRelativePath())));
}

std::optional<qint64> Matcher::scoreSimplePath(const FolderPart& part,
                                               std::string_view name) const {
    if (part.substringScore) return part.substringScore;
    const std::string& query = m_query.utf8();
    // Splits are longest first: the earliest occurrence across the "/" comes first. It can
    // start the path only when the whole folder part is the query's beginning.
    for (size_t k : part.splits) {
        if (name.substr(0, query.size() - k) == std::string_view(query).substr(k))
            return k == part.length ? kScoreAtStart : kScoreElsewhere;
    }
    if (name.find(query) != std::string_view::npos) return kScoreElsewhere;
    if (!m_query.mayBeScattered()) return std::nullopt;
    SubsequenceState state = part.afterFolder;
    if (m_query.continueSubsequence(name, state)) return state.score;
    return std::nullopt;
}

std::optional<qint64> Matcher::score(const FileItem& item) {
    if (m_query.isEmpty() || !m_query.isSimple() || !item.hasFold() || !item.foldIsSimple()) {
        std::optional<qint64> byName = scoreName(item);
        return byName ? byName : scorePath(item);
    }
    // A name folded to its lowercase is looked at before it is folded: most names lack a byte
    // of a longer query, and are then never folded.
    const bool lowercased = item.nameSlot().flags & NameSlot::kFoldLowercase;
    std::string_view name;
    bool isFolded = false;
    auto fold = [&] {
        if (std::exchange(isFolded, true)) return;
        const QByteArrayView folded = item.foldedName(m_fold.data());
        name = std::string_view(folded.data(), size_t(folded.size()));
    };
    if (!lowercased) fold();
    const quint64 needed = m_query.neededBytes();
    // A one-byte query is looked for at once: nothing would be skipped.
    quint64 nameBytes = ~quint64(0);
    if (m_query.utf8().size() > 1) {
        const QByteArrayView raw = item.nativeName();
        nameBytes = lowercased ? m_query.bytesInUnfolded({raw.data(), size_t(raw.size())})
                               : m_query.bytesIn(name);
    }
    if ((needed & ~nameBytes) == 0) {
        fold();
        if (std::optional<qint64> byName = m_query.scoreSimpleUtf8(name)) return byName;
    }
    const FolderRecord& folder = item.folder();
    if (folder.relativeDirectory().isEmpty()) return std::nullopt;
    if (!folder.relativeFoldIsSimple()) return scorePath(item);
    FolderPart& part = folderPart(item);
    if ((needed & ~(nameBytes | part.bytes)) != 0) return std::nullopt;
    fold();
    return scoreSimplePath(described(part), name);
}

std::optional<qint64> matchScore(const QString& query, const QString& text) {
    return PreparedQuery(query).scoreFolded(foldText(text));
}

}  // namespace tarnwick
