#include <gio/gio.h>

#include "ExtractedText.h"

#include <QByteArray>

#include <array>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace tarnwick {

namespace {

// What the text extractor's rule accepts (exact types: text/x-csrc and other children of
// text/plain are never sent to it).
constexpr std::array<const char*, 2> kPlainTextTypes{"text/plain", "text/markdown"};

// Formats whose extractor stores the document's text (nie:plainTextContent). Checked on
// tracker-extract 3.4 with real files: HTML, XHTML, PDF, ODF text/spreadsheet/presentation,
// OOXML word/sheet/slides, AbiWord and EPUB. The binary MS Office formats come from the
// extractor rules of the same version. PostScript, XPS, SVG and comics get metadata only.
constexpr std::array<const char*, 14> kDocumentTypes{
    "text/html",
    "application/xhtml+xml",
    "application/pdf",
    "application/vnd.oasis.opendocument.text",
    "application/vnd.oasis.opendocument.spreadsheet",
    "application/vnd.oasis.opendocument.presentation",
    "application/vnd.openxmlformats-officedocument.wordprocessingml.document",
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet",
    "application/vnd.openxmlformats-officedocument.presentationml.presentation",
    "application/msword",
    "application/vnd.ms-excel",
    "application/vnd.ms-powerpoint",
    "application/x-abiword",
    "application/epub+zip",
};

// The size of the extractor's first read; its line-break test looks at this chunk.
constexpr qint64 kFirstChunk = 65535;

template <std::size_t N>
bool contains(const std::array<const char*, N>& types, const char* type) {
    for (const char* candidate : types)
        if (std::strcmp(candidate, type) == 0) return true;
    return false;
}

// The type the name alone gives, or nothing when shared-mime-info would have to look inside
// (the miner does; we do not guess what it finds). GIO calls every *.html name uncertain, yet
// the miner types such files text/html even when they hold plain text.
QByteArray certainTypeOf(const QByteArray& name) {
    gboolean uncertain = FALSE;
    gchar* contentType = g_content_type_guess(name.constData(), nullptr, 0, &uncertain);
    gchar* mime = contentType ? g_content_type_get_mime_type(contentType) : nullptr;
    const bool trusted = mime && (!uncertain || std::strcmp(mime, "text/html") == 0);
    QByteArray type = trusted ? QByteArray(mime) : QByteArray();
    g_free(mime);
    g_free(contentType);
    return type;
}

}  // namespace

ExtractedText::ExtractedText(NamePatterns textAllowlist)
    : m_textAllowlist(std::move(textAllowlist)) {}

ExtractedText::Kind ExtractedText::kindOf(QByteArrayView name) const {
    const QByteArray type = certainTypeOf(name.toByteArray());
    if (type.isEmpty()) return Kind::none;
    if (contains(kPlainTextTypes, type.constData()))
        return m_textAllowlist.matches(name) ? Kind::plainText : Kind::none;
    return contains(kDocumentTypes, type.constData()) ? Kind::document : Kind::none;
}

bool ExtractedText::plainTextHeadIsReadable(const QByteArray& path, qint64 size) {
    if (size == 0) return true;
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return false;
    QByteArray head(qMin(size, kFirstChunk), Qt::Uninitialized);
    qsizetype filled = 0;
    while (filled < head.size()) {
        const ssize_t got = ::read(fd, head.data() + filled, head.size() - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        filled += got;
    }
    ::close(fd);
    head.truncate(filled);
    if (head.contains('\0')) return false;
    return filled < kFirstChunk || head.contains('\n');
}

}  // namespace tarnwick
