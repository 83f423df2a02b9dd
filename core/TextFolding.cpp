#include "TextFolding.h"

#include "Graphemes.h"

#include <algorithm>

namespace tarnwick {

bool foldsToLowercase(QByteArrayView bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80 && c != '\r'; });
}

QString foldText(QStringView text) {
    return text.toString().toLower().normalized(QString::NormalizationForm_C);
}

bool isSimpleText(QStringView text) {
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
