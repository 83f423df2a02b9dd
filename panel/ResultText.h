#pragma once

#include "core/FileItem.h"

#include <QList>
#include <QLocale>
#include <QString>

#include <optional>

namespace tarnwick {

// A run of UTF-16 positions in a text.
struct TextRange {
    int start = 0;
    int length = 0;
    int end() const { return start + length; }
    bool operator==(const TextRange&) const = default;
};

// What of `name` to mark for `query`: every case-insensitive occurrence (no locale) of every
// word of the query, the query split at U+0020 only (tabs stay inside words), searching on from
// the end of each occurrence. Overlapping occurrences merge (touching ones stay apart); sorted.
QList<TextRange> highlightRanges(const QString& name, const QString& query);

// Where a middle elision cut `original`: how many of its first and last units `elided` kept
// around the ellipsis. Nothing when `elided` is `original` unchanged or not a middle elision.
struct ElisionCut {
    int head = 0;
    int tail = 0;
};
std::optional<ElisionCut> middleElisionCut(const QString& original, const QString& elided);

// `ranges` of the original text carried over to its elided form: parts in the kept head and
// tail move with them, and a range reaching into the cut marks the ellipsis.
QList<TextRange> rangesAfterElision(const QList<TextRange>& ranges, int originalLength,
                                    ElisionCut cut);

// The row's second line: a content passage (brighter), or else, dimmer, where the item lies:
// its folder relative to the searched one, "Folder", the upper-cased extension, or "File".
struct SecondLine {
    enum Tone { snippet, location };
    QString text;
    Tone tone = location;
    bool operator==(const SecondLine&) const = default;
};
SecondLine secondLine(const FileItem& item, const std::optional<QString>& snippet);

// The size as short SI text ("12.3 kB").
QString sizeText(qint64 bytes, const QLocale& locale);

// The row's right-hand text from the size and `age` (empty when the item has no date): a folder
// shows its age alone, a file its size and age joined by "  ·  ", or its size alone.
QString metaText(const FileItem& item, const QString& age, const QLocale& locale);

// What a screen reader says for a row, in the order the eye takes it in: the name, the passage
// or else the folder it lies in ("in Finance", nothing at the top), its kind, the size (files)
// and `age` (when known), joined by commas.
QString rowReading(const FileItem& item, const std::optional<QString>& passage, const QString& kind,
                   const QString& age, const QLocale& locale);

}  // namespace tarnwick
