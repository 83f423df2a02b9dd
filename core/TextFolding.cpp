#include "TextFolding.h"

#include "Graphemes.h"

#include <unicode/uchar.h>

#include <algorithm>

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
        for (char& c : out.utf8) {
            if (c >= 'A' && c <= 'Z') c = char(c + ('a' - 'A'));
        }
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
