#include "Utf8Validation.h"

#include <cstdint>
#include <cstring>

namespace tarnwick {

namespace {

bool isContinuation(uchar b) {
    return (b & 0xC0) == 0x80;
}

// The allowed range of the second byte after a given lead byte; the others are 80..BF.
struct SecondByteRange {
    uchar low;
    uchar high;
};

SecondByteRange secondByteRange(uchar lead) {
    switch (lead) {
        case 0xE0:
            return {0xA0, 0xBF};  // no overlong three-byte forms
        case 0xED:
            return {0x80, 0x9F};  // no surrogates
        case 0xF0:
            return {0x90, 0xBF};  // no overlong four-byte forms
        case 0xF4:
            return {0x80, 0x8F};  // nothing above U+10FFFF
        default:
            return {0x80, 0xBF};
    }
}

int sequenceLength(uchar lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;  // a continuation byte, C0, C1 or F5..FF can never lead
}

bool eightAsciiBytes(const uchar* p) {
    uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return (word & 0x8080808080808080ull) == 0;
}

}  // namespace

Utf8Prefix validUtf8Prefix(QByteArrayView bytes) {
    const uchar* data = reinterpret_cast<const uchar*>(bytes.data());
    const qsizetype size = bytes.size();
    qsizetype i = 0;
    while (i < size) {
        if (i + 8 <= size && eightAsciiBytes(data + i)) {
            i += 8;
            continue;
        }
        const uchar lead = data[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        const int length = sequenceLength(lead);
        if (length == 0) return {i, true};
        const SecondByteRange second = secondByteRange(lead);
        for (int k = 1; k < length; ++k) {
            if (i + k >= size) return {i, false};
            const uchar b = data[i + k];
            const bool fits = k == 1 ? (b >= second.low && b <= second.high) : isContinuation(b);
            if (!fits) return {i, true};
        }
        i += length;
    }
    return {size, false};
}

}  // namespace tarnwick
