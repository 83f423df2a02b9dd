#include "CandidateClassifier.h"

#include <QMimeType>
#include <QString>

#include <algorithm>

namespace tarnwick {

namespace {

constexpr QByteArrayView kPlainTextExtensions[] = {"txt", "md", "csv", "json", "xml", "html"};

constexpr QLatin1StringView kTextApplicationTypes[] = {
    QLatin1StringView("application/json"),
    QLatin1StringView("application/xml"),
    QLatin1StringView("application/javascript"),
    QLatin1StringView("application/x-shellscript"),
    QLatin1StringView("application/x-yaml"),
    QLatin1StringView("application/toml"),
    QLatin1StringView("application/sql"),
    QLatin1StringView("application/x-perl"),
    QLatin1StringView("application/x-php"),
    QLatin1StringView("application/x-ruby"),
    QLatin1StringView("application/x-desktop"),
    QLatin1StringView("application/x-subrip"),
    QLatin1StringView("application/x-wine-extension-ini"),
};

// The lowercased ASCII extension of a name, or nothing when there is none or it is not ASCII.
std::optional<QByteArray> asciiExtension(QByteArrayView name) {
    const qsizetype dot = name.lastIndexOf('.');
    if (dot <= 0 || dot == name.size() - 1) return std::nullopt;
    QByteArray extension = name.sliced(dot + 1).toByteArray();
    for (char& c : extension) {
        if (uchar(c) >= 0x80 || c == ' ') return std::nullopt;
        if (c >= 'A' && c <= 'Z') c = char(c + ('a' - 'A'));
    }
    return extension;
}

}  // namespace

bool isTextMimeType(const QMimeType& type) {
    if (!type.isValid()) return false;
    const QString name = type.name();
    if (name.startsWith(QLatin1String("text/")) || type.inherits(QStringLiteral("text/plain")))
        return true;
    return std::any_of(std::begin(kTextApplicationTypes), std::end(kTextApplicationTypes),
                       [&name](QLatin1StringView text) { return name == text; });
}

bool looksLikeText(QByteArrayView firstBytes) {
    if (firstBytes.isEmpty() || firstBytes.contains('\0')) return false;
    return isTextMimeType(QMimeDatabase().mimeTypeForData(firstBytes.toByteArray()));
}

std::optional<CandidateFormat> CandidateClassifier::classify(QByteArrayView fileName) {
    const std::optional<QByteArray> extension = asciiExtension(fileName);
    if (!extension) return classifyByMimeType(fileName);
    auto known = m_byExtension.constFind(*extension);
    if (known != m_byExtension.constEnd()) return *known;
    std::optional<CandidateFormat> format;
    if (std::find(std::begin(kPlainTextExtensions), std::end(kPlainTextExtensions),
                  QByteArrayView(*extension)) != std::end(kPlainTextExtensions))
        format = CandidateFormat::plainText;
    else if (*extension == "pdf")
        format = CandidateFormat::pdf;
    else if (*extension == "rtf")
        format = CandidateFormat::rtf;
    else
        format = classifyByMimeType(fileName);
    m_byExtension.insert(*extension, format);
    return format;
}

std::optional<CandidateFormat> CandidateClassifier::classifyByMimeType(
    QByteArrayView fileName) const {
    const QList<QMimeType> types = m_mimeDatabase.mimeTypesForFileName(QString::fromUtf8(fileName));
    if (types.isEmpty()) return CandidateFormat::sniffed;
    for (const QMimeType& type : types) {
        if (type.inherits(QStringLiteral("application/pdf"))) return CandidateFormat::pdf;
        if (type.inherits(QStringLiteral("text/rtf"))) return CandidateFormat::rtf;
    }
    if (std::any_of(types.begin(), types.end(), isTextMimeType)) return CandidateFormat::plainText;
    return std::nullopt;
}

}  // namespace tarnwick
