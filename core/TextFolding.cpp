#include "TextFolding.h"

#include "FileItem.h"

namespace tarnwick {

QString foldText(QStringView text) {
    return text.toString().toLower().normalized(QString::NormalizationForm_C);
}

QByteArray foldUtf8(QByteArrayView utf8) {
    if (isPlainAscii(utf8)) {
        QByteArray out(utf8.data(), utf8.size());
        for (char& c : out) {
            if (c >= 'A' && c <= 'Z') c = char(c + ('a' - 'A'));
        }
        return out;
    }
    return foldText(QString::fromUtf8(utf8)).toUtf8();
}

}  // namespace tarnwick
