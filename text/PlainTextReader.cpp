#include "PlainTextReader.h"

#include "Utf8Validation.h"

#include <QString>

#include <cstring>
#include <vector>

namespace tarnwick {

namespace {

constexpr qsizetype kLongestSequence = 4;

bool startsWithByteOrderMark(const char* data, qsizetype size) {
    return size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0;
}

}  // namespace

ReadStatus readUtf8File(NativeFile& file, const Utf8ChunkSink& sink) {
    if (!file.isOpen()) return ReadStatus::failed;
    std::vector<char> buffer(size_t(kReadChunkBytes + kLongestSequence));
    qsizetype carried = 0;  // bytes of a sequence cut by the previous read
    bool atStart = true;
    for (;;) {
        qint64 got = file.read(buffer.data() + carried, kReadChunkBytes);
        if (got < 0) return ReadStatus::failed;
        if (got == 0) return carried == 0 ? ReadStatus::complete : ReadStatus::failed;
        qsizetype filled = carried + qsizetype(got);
        qsizetype begin = 0;
        if (atStart && filled < 3 &&
            std::memcmp(buffer.data(), "\xEF\xBB\xBF", size_t(filled)) == 0) {
            carried = filled;  // could still become a byte order mark
            continue;
        }
        if (atStart && startsWithByteOrderMark(buffer.data(), filled)) begin = 3;
        atStart = false;
        const Utf8Prefix prefix =
            validUtf8Prefix(QByteArrayView(buffer.data() + begin, filled - begin));
        if (prefix.illFormed) {
            if (prefix.validLength > 0)
                sink(QByteArrayView(buffer.data() + begin, prefix.validLength));
            return ReadStatus::failed;
        }
        if (prefix.validLength > 0 &&
            !sink(QByteArrayView(buffer.data() + begin, prefix.validLength)))
            return ReadStatus::stopped;
        carried = filled - begin - prefix.validLength;
        std::memmove(buffer.data(), buffer.data() + begin + prefix.validLength, size_t(carried));
    }
}

}  // namespace tarnwick
