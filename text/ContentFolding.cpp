#include "ContentFolding.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unorm2.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>

#include <array>

namespace tarnwick {

namespace {

const UNormalizer2* nfkd() {
    static const UNormalizer2* instance = [] {
        UErrorCode status = U_ZERO_ERROR;
        const UNormalizer2* n = unorm2_getNFKDInstance(&status);
        return U_SUCCESS(status) ? n : nullptr;
    }();
    return instance;
}

const UChar* uchars(QStringView text) {
    return reinterpret_cast<const UChar*>(text.utf16());
}

QString caseFolded(QStringView text) {
    QString out(text.size() + 8, Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    int32_t length =
        u_strFoldCase(reinterpret_cast<UChar*>(out.data()), int32_t(out.size()), uchars(text),
                      int32_t(text.size()), U_FOLD_CASE_DEFAULT, &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        out.resize(length);
        status = U_ZERO_ERROR;
        length = u_strFoldCase(reinterpret_cast<UChar*>(out.data()), length, uchars(text),
                               int32_t(text.size()), U_FOLD_CASE_DEFAULT, &status);
    }
    if (U_FAILURE(status)) return text.toString();
    out.resize(length);
    return out;
}

QString compatibilityDecomposed(const QString& text) {
    const UNormalizer2* normalizer = nfkd();
    if (!normalizer) return text;
    QString out(text.size() * 2 + 8, Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    int32_t length =
        unorm2_normalize(normalizer, uchars(text), int32_t(text.size()),
                         reinterpret_cast<UChar*>(out.data()), int32_t(out.size()), &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        out.resize(length);
        status = U_ZERO_ERROR;
        length = unorm2_normalize(normalizer, uchars(text), int32_t(text.size()),
                                  reinterpret_cast<UChar*>(out.data()), length, &status);
    }
    if (U_FAILURE(status)) return text;
    out.resize(length);
    return out;
}

void removeCombiningDiacriticalMarks(QString& text) {
    QChar* data = text.data();
    const qsizetype size = text.size();
    qsizetype kept = 0;
    for (qsizetype i = 0; i < size;) {
        char32_t c = data[i].unicode();
        qsizetype width = 1;
        if (QChar::isHighSurrogate(c) && i + 1 < size && data[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(data[i], data[i + 1]);
            width = 2;
        }
        if (!isCombiningDiacriticalMark(c)) {
            for (qsizetype k = 0; k < width; ++k) data[kept++] = data[i + k];
        }
        i += width;
    }
    text.truncate(kept);
}

constexpr std::array<char, 256> asciiLowercaseTable() {
    std::array<char, 256> table{};
    for (int i = 0; i < 256; ++i) table[i] = char(i >= 'A' && i <= 'Z' ? i + ('a' - 'A') : i);
    return table;
}
constexpr std::array<char, 256> kAsciiLower = asciiLowercaseTable();

}  // namespace

bool isCombiningDiacriticalMark(char32_t c) {
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1DC0 && c <= 0x1DFF) ||
           (c >= 0x20D0 && c <= 0x20FF) || (c >= 0xFE20 && c <= 0xFE2F);
}

QString foldForContentMatch(QStringView text) {
    if (text.isEmpty()) return {};
    QString folded = compatibilityDecomposed(caseFolded(text));
    removeCombiningDiacriticalMarks(folded);
    return folded;
}

void appendFoldedUtf8(QByteArrayView utf8, QByteArray& out) {
    const char* data = utf8.data();
    const qsizetype size = utf8.size();
    out.reserve(out.size() + size);
    qsizetype i = 0;
    while (i < size) {
        qsizetype runStart = i;
        while (i < size && uchar(data[i]) < 0x80) ++i;
        if (i > runStart) {
            qsizetype offset = out.size();
            out.resize(offset + (i - runStart));
            char* target = out.data() + offset;
            for (qsizetype k = runStart; k < i; ++k) *target++ = kAsciiLower[uchar(data[k])];
        }
        runStart = i;
        while (i < size && uchar(data[i]) >= 0x80) ++i;
        if (i > runStart) {
            const QString run = QString::fromUtf8(data + runStart, i - runStart);
            out.append(foldForContentMatch(run).toUtf8());
        }
    }
}

QByteArray foldUtf8ForContentMatch(QByteArrayView utf8) {
    QByteArray out;
    appendFoldedUtf8(utf8, out);
    return out;
}

}  // namespace tarnwick
