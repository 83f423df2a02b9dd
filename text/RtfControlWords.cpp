#include "RtfControlWords.h"

#include "CodePageDecoder.h"

#include <algorithm>

namespace tarnwick {

namespace {

// Destinations whose contents are not part of the document's running text.
constexpr QByteArrayView kSkippedDestinations[] = {
    "annotation", "atnauthor",         "atnid",     "author",     "colorschememapping",
    "colortbl",   "datastore",         "docvar",    "falt",       "fchars",
    "filetbl",    "fldinst",           "fonttbl",   "footer",     "footerf",
    "footerl",    "footerr",           "footnote",  "generator",  "header",
    "headerf",    "headerl",           "headerr",   "info",       "latentstyles",
    "lchars",     "listoverridetable", "listtable", "nonshppict", "object",
    "operator",   "pgdsctbl",          "pict",      "pntxta",     "pntxtb",
    "revtbl",     "rsidtbl",           "shprslt",   "stylesheet", "tc",
    "template",   "themedata",         "title",     "txe",        "userprops",
    "xe",         "xmlnstbl",
};

struct WordCharacter {
    QByteArrayView word;
    char16_t character;
};

constexpr WordCharacter kWordCharacters[] = {
    {"par", u'\n'},         {"line", u'\n'},          {"sect", u'\n'},
    {"page", u'\n'},        {"row", u'\n'},           {"tab", u'\t'},
    {"cell", u'\t'},        {"nestcell", u'\t'},      {"emdash", u'\u2014'},
    {"endash", u'\u2013'},  {"emspace", u'\u2003'},   {"enspace", u'\u2002'},
    {"qmspace", u'\u2005'}, {"bullet", u'\u2022'},    {"lquote", u'\u2018'},
    {"rquote", u'\u2019'},  {"ldblquote", u'\u201C'}, {"rdblquote", u'\u201D'},
    {"zwj", u'\u200D'},     {"zwnj", u'\u200C'},      {"ltrmark", u'\u200E'},
    {"rtlmark", u'\u200F'},
};

struct WordCodePage {
    QByteArrayView word;
    int codePage;
};

constexpr WordCodePage kCharacterSets[] = {
    {"ansi", CodePageDecoder::kWindowsWestern},
    {"mac", CodePageDecoder::kMacRoman},
    {"pc", 437},
    {"pca", 850},
};

}  // namespace

bool isSkippedDestination(QByteArrayView word) {
    return std::find(std::begin(kSkippedDestinations), std::end(kSkippedDestinations), word) !=
           std::end(kSkippedDestinations);
}

std::optional<char16_t> characterOfWord(QByteArrayView word) {
    for (const WordCharacter& entry : kWordCharacters) {
        if (word == entry.word) return entry.character;
    }
    return std::nullopt;
}

std::optional<int> codePageOfCharacterSet(QByteArrayView word) {
    for (const WordCodePage& set : kCharacterSets) {
        if (word == set.word) return set.codePage;
    }
    return std::nullopt;
}

}  // namespace tarnwick
