#pragma once

#include "FileItem.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

// The query whole at the start of the text: most likely the name the user is typing.
inline constexpr qint64 kScoreAtStart = 200;
// The query whole further in: still a word of the name, ranked after every start.
inline constexpr qint64 kScoreElsewhere = 100;
// A scattered match scores this for each matched character times the run of adjacent matched
// characters it ends, so that letters typed together rank above letters found apart.
inline constexpr qint64 kRunBonus = 2;

// How well `query` matches `text`, or nothing: an empty query scores 0; otherwise both are
// case-folded; a substring scores kScoreAtStart at the start and kScoreElsewhere elsewhere;
// otherwise a greedy subsequence over user-perceived characters scores kRunBonus x r for each
// character, r being the run it ends. Blanks are ordinary characters.
std::optional<qint64> matchScore(const QString& query, const QString& text);

// Where a greedy subsequence walk stands: query bytes matched, current run, score so far.
struct SubsequenceState {
    size_t matched = 0;
    qint64 run = 0;
    qint64 score = 0;
};

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
    const std::string& utf8() const { return m_utf8; }
    // Which of the query's bytes `text` holds, one bit each (bytes beyond the 64th share bits).
    // Every byte of a match is a byte of the text, so a text lacking one of neededBytes() cannot
    // match.
    quint64 bytesIn(std::string_view text) const {
        quint64 present = 0;
        for (char c : text) present |= m_byteBits[static_cast<unsigned char>(c)];
        return present;
    }
    // The same for a text whose fold is its ASCII lowercase, read before it is folded.
    quint64 bytesInUnfolded(std::string_view text) const {
        quint64 present = 0;
        for (char c : text) present |= m_unfoldedByteBits[static_cast<unsigned char>(c)];
        return present;
    }
    quint64 neededBytes() const { return m_neededBytes; }
    // Walks `text` (simple folded UTF-8) on from `state`; true once the whole query matched.
    bool continueSubsequence(std::string_view text, SubsequenceState& state) const;
    // Whether a text the query is not a substring of may still hold it as a subsequence.
    bool mayBeScattered() const { return !m_oneCodePoint; }

private:
    QString m_folded;
    std::vector<qsizetype> m_graphemeEnds;  // end offsets of the query's characters
    std::string m_utf8;                     // the folded query
    bool m_simple = false;
    bool m_ascii = false;
    bool m_oneCodePoint = false;                    // its subsequences are its substrings
    std::array<quint64, 256> m_byteBits{};          // 0 for a byte not in the query
    std::array<quint64, 256> m_unfoldedByteBits{};  // the same with 'A'-'Z' as 'a'-'z'
    quint64 m_neededBytes = 0;
};

// Matches names and relative paths of items; one per thread. Siblings share their folder's
// part of the path, so what the folder contributes is worked out once per folder and run.
class Matcher {
public:
    explicit Matcher(const PreparedQuery& query) : m_query(query) {}

    std::optional<qint64> scoreName(const FileItem& item);
    // Against "relativeDirectory/name"; nothing for an entry of the searched folder itself.
    std::optional<qint64> scorePath(const FileItem& item);
    // The name's score, else the path's: what ranks an item. Folds the name once, and skips the
    // walks over texts that lack a byte the query needs, as most texts do for a longer query.
    std::optional<qint64> score(const FileItem& item);

private:
    // What "folder/" alone says about the query. Its bytes are found for every folder met; the
    // rest only once an item of the folder may match, as few do for a longer query.
    struct FolderPart {
        FolderRecordPtr folder;  // held, so that no other folder can take its address meanwhile
        quint64 bytes = 0;       // the query's bytes in "folder/"
        bool described = false;  // the fields below are set
        size_t length = 0;       // of the folded "folder/"
        std::optional<qint64> substringScore;  // the query lies inside "folder/"
        std::vector<size_t> splits;            // k: "folder/" ends with the query's first k bytes
        SubsequenceState afterFolder;
    };
    std::optional<qint64> scoreFoldedUtf8(std::string_view folded, bool simple) const;
    FolderPart& folderPart(const FileItem& item);
    const FolderPart& described(FolderPart& part);
    // Folds "folder/" into m_folderText, unless it holds that already.
    const std::string& folderText(const FolderRecord& folder);
    // A simple folded name below a simple folded folder, against the query (simple too).
    std::optional<qint64> scoreSimplePath(const FolderPart& part, std::string_view name) const;

    const PreparedQuery& m_query;
    static constexpr size_t kFolderPartSlots = 256;
    std::vector<FolderPart> m_folderParts = std::vector<FolderPart>(kFolderPartSlots);
    FolderPart* m_lastPart = nullptr;
    std::array<char, FileItem::kMaxFoldedLength> m_fold;  // a lowercase fold being matched
    std::string m_folderText;                             // a folded "folder/"
    // Always the folder of a part, which holds it: every part given a folder folds it at once.
    const FolderRecord* m_folderTextOf = nullptr;
};

}  // namespace tarnwick
