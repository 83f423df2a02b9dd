#include "CandidateClassifier.h"

namespace tarnwick {

namespace {

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

std::optional<CandidateFormat> candidateByName(QByteArrayView fileName) {
    const std::optional<ReadableFormat> format = formatOfName(fileName);
    if (!format) return CandidateFormat{};
    if (!format->reader) return std::nullopt;
    return CandidateFormat{format->reader};
}

}  // namespace

std::optional<CandidateFormat> CandidateClassifier::classify(QByteArrayView fileName) {
    const std::optional<QByteArray> extension = asciiExtension(fileName);
    if (!extension) return candidateByName(fileName);
    auto known = m_byExtension.constFind(*extension);
    if (known != m_byExtension.constEnd()) return *known;
    const std::optional<CandidateFormat> format = candidateByName(fileName);
    m_byExtension.insert(*extension, format);
    return format;
}

}  // namespace tarnwick
