// libFuzzer entry for plain text: strict UTF-8 validation checked against ICU's decoder; a file
// read as a document (straddling a read chunk when the first byte asks) gives exactly its
// well-formed prefix; bytes decoded in a code page, an unknown one falling back to 1252.
#include "FuzzInput.h"
#include "text/CodePageDecoder.h"
#include "text/DocumentText.h"
#include "text/Utf8Validation.h"

#include <cstdlib>

#include <sys/mman.h>
#include <unicode/ustring.h>
#include <unistd.h>

using namespace tarnwick;

namespace {

bool icuAccepts(QByteArrayView bytes) {
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = 0;
    u_strFromUTF8(nullptr, 0, &length, bytes.data(), int32_t(bytes.size()), &status);
    return status != U_INVALID_CHAR_FOUND;
}

// Whether some continuation of the bytes makes them well-formed.
bool completable(QByteArrayView tail) {
    for (const char next : {'\x80', '\x90', '\xA0', '\xBF'})
        for (int more = 0; more < 3; ++more)
            if (icuAccepts(tail.toByteArray() + next + QByteArray(more, '\x80'))) return true;
    return false;
}

void checkValidation(QByteArrayView bytes) {
    const Utf8Prefix prefix = validUtf8Prefix(bytes);
    const QByteArrayView tail = bytes.sliced(prefix.validLength);
    if (!icuAccepts(bytes.first(prefix.validLength)) || icuAccepts(bytes) != tail.isEmpty() ||
        (!tail.isEmpty() &&
         completable(tail.first(std::min<qsizetype>(tail.size(), 4))) == prefix.illFormed) ||
        (!prefix.illFormed && tail.size() > 3))
        std::abort();
}

void checkFileRead(const QByteArray& content) {
    static const int fd = memfd_create("plain-text", 0);
    if (ftruncate(fd, 0) != 0 ||
        pwrite(fd, content.data(), size_t(content.size()), 0) != content.size())
        std::abort();
    NativeFile file =
        NativeFile::open("/proc/self/fd/" + QByteArray::number(fd), LinkPolicy::follow);
    QByteArray read;
    const ReadStatus status = readDocumentUtf8(
        file, DocumentFormat::plainText, 0,
        [&](QByteArrayView piece) { return read += piece, piece.size() <= kReadChunkBytes; });
    const QByteArrayView body =
        QByteArrayView(content).sliced(content.startsWith("\xEF\xBB\xBF") ? 3 : 0);
    const bool whole = isWellFormedUtf8(body);
    if (read != body.first(validUtf8Prefix(body).validLength) ||
        status != (whole ? ReadStatus::complete : ReadStatus::failed))
        std::abort();
}

void checkCodePage(int codePage, QByteArrayView bytes) {
    CodePageDecoder decoder(codePage), western;
    QString text, fallback;
    decoder.decode(bytes, text);
    western.decode(bytes, fallback);
    if ((decoder.codePage() != codePage && (decoder.codePage() != 1252 || text != fallback)) ||
        text.size() > 2 * bytes.size())
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const QByteArrayView bytes(reinterpret_cast<const char*>(data) + 3, qsizetype(size) - 3);
    checkValidation(bytes);
    const QByteArray padding(data[0] & 1 ? kReadChunkBytes - (data[0] >> 1) % 8 : 0, 'x');
    checkFileRead(padding + bytes.toByteArray());
    checkCodePage(data[1] << 8 | data[2], bytes);
    return 0;
}
