// libFuzzer entry for the RTF reader: any bytes, fed whole and then in pieces cut by the input's
// first byte, must give the same text and never crash, hang or grow without bound.
#include "text/RtfReader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const QByteArrayView document(reinterpret_cast<const char*>(data) + 1, qsizetype(size) - 1);
    QString texts[2];
    for (int i = 0; i < 2; ++i) {
        const qsizetype piece = i == 0 ? document.size() + 1 : 1 + data[0] % 17;
        tarnwick::RtfTextExtractor extractor(
            [&](QStringView part) { return texts[i] += part, true; });
        for (qsizetype at = 0; at < document.size(); at += piece)
            extractor.feed(document.sliced(at, std::min(piece, document.size() - at)));
        extractor.finish();
    }
    if (texts[0].size() > 2 * document.size() || texts[1] != texts[0]) std::abort();
    return 0;
}
