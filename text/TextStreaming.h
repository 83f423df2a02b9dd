#pragma once

#include <QByteArrayView>
#include <QStringView>

#include <functional>

namespace tarnwick {

// How a streaming read ended.
enum class ReadStatus {
    complete,  // the whole text was handed over
    stopped,   // the receiver asked to stop
    failed,    // unreadable, not well-formed, or not of the expected format
};

// Receivers of a text piece by piece, in order. Each answers false to stop the read.
using TextChunkSink = std::function<bool(QStringView text)>;
using Utf8ChunkSink = std::function<bool(QByteArrayView utf8)>;

}  // namespace tarnwick
