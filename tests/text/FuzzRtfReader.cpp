// libFuzzer entry for the RTF reader: any bytes, fed whole and then in pieces cut by the input's
// first byte, must give the same text and never crash, hang or grow without bound.

#include "text/RtfReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace tarnwick;

namespace {

QString extract(QByteArrayView data, qsizetype pieceSize) {
    QString text;
    RtfTextExtractor extractor([&text](QStringView piece) {
        text += piece;
        return true;
    });
    for (qsizetype at = 0; at < data.size(); at += pieceSize)
        extractor.feed(data.sliced(at, std::min(pieceSize, data.size() - at)));
    extractor.finish();
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const qsizetype pieceSize = 1 + data[0] % 17;
    const QByteArrayView document(reinterpret_cast<const char*>(data) + 1, qsizetype(size) - 1);
    const QString whole = extract(document, document.size() + 1);
    if (whole.size() > 2 * document.size()) std::abort();
    if (extract(document, pieceSize) != whole) std::abort();
    return 0;
}
