#pragma once

#include <QByteArrayView>

namespace tarnwick {

// How much of a piece of a UTF-8 stream is whole, well-formed text.
struct Utf8Prefix {
    // Bytes from the start that form complete, well-formed sequences.
    qsizetype validLength = 0;
    // True when the bytes after validLength can never become well-formed (an ill-formed sequence,
    // an overlong form, a surrogate, a value above U+10FFFF); false when they are only the start
    // of a sequence that the next bytes of the stream may complete.
    bool illFormed = false;
};

// Strict validation as the Unicode standard defines well-formed UTF-8 (its table 3-7).
Utf8Prefix validUtf8Prefix(QByteArrayView bytes);

inline bool isWellFormedUtf8(QByteArrayView bytes) {
    return validUtf8Prefix(bytes).validLength == bytes.size();
}

}  // namespace tarnwick
