#pragma once

#include <QByteArrayView>
#include <QString>

struct UConverter;

namespace tarnwick {

// Decodes bytes of a Windows (or DOS, or Mac) code page through ICU. An unknown code page falls
// back to 1252, the default of RTF documents; bytes a code page does not map become U+FFFD.
class CodePageDecoder {
public:
    static constexpr int kWindowsWestern = 1252;
    static constexpr int kMacRoman = 10000;

    explicit CodePageDecoder(int codePage = kWindowsWestern);
    ~CodePageDecoder();
    CodePageDecoder(const CodePageDecoder&) = delete;
    CodePageDecoder& operator=(const CodePageDecoder&) = delete;

    void setCodePage(int codePage);
    int codePage() const { return m_codePage; }
    // Appends the text of `bytes`, a complete run: a multi-byte character cut at its end is lost.
    void decode(QByteArrayView bytes, QString& out);

private:
    int m_codePage = 0;
    UConverter* m_converter = nullptr;
};

}  // namespace tarnwick
