#include "TextFolding.h"

#include "Graphemes.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <optional>

namespace tarnwick {

namespace {

// Whether no two neighbouring code points of `text` can be one user-perceived character, read
// off each one's grapheme break class: the rules only ever join a pair when one side is an
// extending, joining, prepended or spacing mark, a regional indicator, a Hangul jamo or CR
// before LF. A table lookup per code point, where the break iterator costs far more; names of
// letters alone (most names in most scripts) are settled here.
bool breaksEverywhere(QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        if (c < 0x300 && c != u'\r') continue;  // no mark or joiner below the combining marks
        switch (u_getIntPropertyValue(UChar32(c), UCHAR_GRAPHEME_CLUSTER_BREAK)) {
            case U_GCB_OTHER:
            case U_GCB_CONTROL:
            case U_GCB_LF:
            case U_GCB_LV:  // a syllable joins only jamo after it
            case U_GCB_LVT:
                continue;
            case U_GCB_CR:
                if (i + 1 < text.size() && text[i + 1] == u'\n') return false;
                continue;
            default:
                return false;
        }
    }
    return true;
}

// Code points whose fold is their simple lowercase, alone, with nothing to compose or join:
// the Latin letters before the IPA block (less "İ", whose lowercase is two code points), kana
// (less the combining sound marks) and the common CJK ideographs, which have no case. Most
// names outside ASCII are made of these and the ASCII rest.
bool foldsAlone(char32_t c) {
    return (c >= 0x80 && c < 0x250 && c != 0x130) || (c >= 0x3041 && c <= 0x3096) ||
           (c >= 0x309b && c <= 0x30ff) || (c >= 0x4e00 && c <= 0x9fff);
}

// A code point of the Basic Multilingual Plane.
void appendUtf8(QByteArray& out, char32_t c) {
    if (c < 0x80) {
        out.append(char(c));
    } else if (c < 0x800) {
        out.append(char(0xc0 | c >> 6)).append(char(0x80 | (c & 0x3f)));
    } else {
        out.append(char(0xe0 | c >> 12))
            .append(char(0x80 | (c >> 6 & 0x3f)))
            .append(char(0x80 | (c & 0x3f)));
    }
}

// The fold of a name of such code points and ASCII (no CR), made without the string functions'
// round trip through UTF-16; nothing for any other name, and for bytes that are not UTF-8.
std::optional<QByteArray> foldedAlone(QByteArrayView utf8) {
    QByteArray out;
    out.reserve(utf8.size());
    for (qsizetype i = 0; i < utf8.size();) {
        const uchar lead = uchar(utf8[i]);
        if (lead < 0x80) {
            if (lead == '\r') return std::nullopt;
            out.append(asciiLowercase(char(lead)));
            ++i;
            continue;
        }
        const qsizetype length = lead >= 0xe0 ? 3 : 2;
        if (lead < 0xc2 || lead >= 0xf0 || i + length > utf8.size()) return std::nullopt;
        char32_t c = lead & (length == 2 ? 0x1f : 0x0f);
        for (qsizetype k = 1; k < length; ++k) {
            const uchar next = uchar(utf8[i + k]);
            if ((next & 0xc0) != 0x80) return std::nullopt;
            c = c << 6 | (next & 0x3f);
        }
        // An overlong form is not UTF-8; surrogates fall outside the ranges taken here.
        if ((length == 3 && c < 0x800) || !foldsAlone(c)) return std::nullopt;
        appendUtf8(out, QChar::toLower(c));
        i += length;
    }
    return out;
}

}  // namespace

bool foldsToLowercase(QByteArrayView bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80 && c != '\r'; });
}

QString foldText(QStringView text) {
    return text.toString().toLower().normalized(QString::NormalizationForm_C);
}

bool isSimpleText(QStringView text) {
    if (breaksEverywhere(text)) return true;
    qsizetype codePoints = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!(text[i].isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate())) ++codePoints;
    }
    return graphemeCount(text) == codePoints;
}

FoldedText foldUtf8(QByteArrayView utf8) {
    FoldedText out;
    if (foldsToLowercase(utf8)) {
        out.utf8 = QByteArray(utf8.data(), utf8.size());
        for (char& c : out.utf8) c = asciiLowercase(c);
        out.simple = true;
        return out;
    }
    if (std::optional<QByteArray> alone = foldedAlone(utf8)) {
        out.utf8 = std::move(*alone);
        out.simple = true;
        return out;
    }
    const QString folded = foldText(QString::fromUtf8(utf8));
    out.utf8 = folded.toUtf8();
    // Between slashes, because paths are matched as folder + "/" + name: a mark at the start of
    // a name, or a prepended sign at the end of a folder, would join the slash.
    out.simple = isSimpleText(u'/' + folded + u'/');
    return out;
}

}  // namespace tarnwick
