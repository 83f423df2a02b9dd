#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace tarnwick {

// The case folding every comparison of names and queries uses: the full Unicode lowercase
// mapping (locale-independent), then canonical composition, so that canonically equivalent
// spellings (a precomposed "é" and "e" + U+0301) compare equal.
QString foldText(QStringView text);

// True when every code point of `text` is a user-perceived character of its own (no combining
// marks left after composition, no joined emoji, flags, Hangul jamo or CR LF). Such texts can be
// matched code point by code point, and byte by byte in UTF-8.
bool isSimpleText(QStringView text);

// Plain ASCII without a carriage return: its fold is its lowercase, and simple.
bool foldsToLowercase(QByteArrayView utf8);
// The fold of one byte of such a text.
inline char asciiLowercase(char c) {
    return c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c;
}

struct FoldedText {
    QByteArray utf8;
    bool simple = false;
};

// foldText over UTF-8 bytes, answered in UTF-8 (plain ASCII is lowercased byte-wise), with
// whether the result stays simple between two slashes. Bytes that are not UTF-8 fold as U+FFFD,
// as they are shown.
FoldedText foldUtf8(QByteArrayView utf8);

}  // namespace tarnwick
