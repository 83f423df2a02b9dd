#include "CodePageDecoder.h"

#include <unicode/ucnv.h>

#include <string>

namespace tarnwick {

namespace {

UConverter* openConverter(int codePage) {
    std::string names[] = {
        codePage == CodePageDecoder::kMacRoman ? std::string("macintosh")
                                               : "windows-" + std::to_string(codePage),
        "cp" + std::to_string(codePage),
        "ibm-" + std::to_string(codePage),
    };
    for (const std::string& name : names) {
        UErrorCode status = U_ZERO_ERROR;
        UConverter* converter = ucnv_open(name.c_str(), &status);
        if (U_SUCCESS(status) && converter) return converter;
    }
    return nullptr;
}

}  // namespace

CodePageDecoder::CodePageDecoder(int codePage) {
    setCodePage(codePage);
}

CodePageDecoder::~CodePageDecoder() {
    if (m_converter) ucnv_close(m_converter);
}

void CodePageDecoder::setCodePage(int codePage) {
    if (codePage == m_codePage && m_converter) return;
    UConverter* converter = codePage > 0 ? openConverter(codePage) : nullptr;
    if (!converter) {
        if (m_converter && m_codePage == kWindowsWestern) return;
        converter = openConverter(kWindowsWestern);
        codePage = kWindowsWestern;
    }
    if (m_converter) ucnv_close(m_converter);
    m_converter = converter;
    m_codePage = codePage;
}

void CodePageDecoder::decode(QByteArrayView bytes, QString& out) {
    if (bytes.isEmpty()) return;
    if (!m_converter) {
        out.append(QString::fromLatin1(bytes));
        return;
    }
    const char* source = bytes.data();
    const char* sourceEnd = bytes.data() + bytes.size();
    UErrorCode status = U_BUFFER_OVERFLOW_ERROR;
    while (status == U_BUFFER_OVERFLOW_ERROR) {
        const qsizetype offset = out.size();
        out.resize(offset + (sourceEnd - source) * 2 + 16);
        UChar* targetStart = reinterpret_cast<UChar*>(out.data() + offset);
        UChar* target = targetStart;
        status = U_ZERO_ERROR;
        ucnv_toUnicode(m_converter, &target, reinterpret_cast<UChar*>(out.data() + out.size()),
                       &source, sourceEnd, nullptr, true, &status);
        out.resize(offset + (target - targetStart));
    }
    ucnv_reset(m_converter);
}

}  // namespace tarnwick
