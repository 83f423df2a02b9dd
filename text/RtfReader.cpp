#include "RtfReader.h"

#include "RtfControlWords.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace tarnwick {

namespace {

constexpr int kLongestWord = 32;
constexpr qint64 kLargestParameter = 1'000'000'000;
constexpr qsizetype kMaxRecordedDepth = 1024;
constexpr qsizetype kTextChunk = 8 * 1024;
constexpr qsizetype kByteRunLimit = 64 * 1024;
constexpr int kLargestUnicodeSkip = 16;

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

RtfTextExtractor::RtfTextExtractor(TextChunkSink sink) : m_sink(std::move(sink)) {}

bool RtfTextExtractor::feed(QByteArrayView bytes) {
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (m_notRtf || m_stopped || m_documentEnded) break;
        const char c = bytes[i];
        if (m_headerMatched < 5) {
            if (!checkHeader(c)) continue;
        }
        switch (m_lexer) {
            case Lexer::text:
                handleText(c);
                break;
            case Lexer::escape:
                handleEscape(c);
                break;
            case Lexer::word:
                handleWordChar(c);
                break;
            case Lexer::parameter:
                handleParameterChar(c);
                break;
            case Lexer::hexHigh:
            case Lexer::hexLow:
                handleHex(c);
                break;
            case Lexer::binary: {
                const qint64 take = std::min<qint64>(m_binaryLeft, bytes.size() - i);
                m_binaryLeft -= take;
                i += take - 1;
                if (m_binaryLeft == 0) m_lexer = Lexer::text;
                break;
            }
        }
    }
    return !m_notRtf && !m_stopped;
}

// Leading blanks are tolerated; then the bytes must spell "{\rtf". Answers whether `c` is
// parsed as part of the document.
bool RtfTextExtractor::checkHeader(char c) {
    static constexpr char kHeader[] = "{\\rtf";
    if (m_headerMatched == 0 && (c == ' ' || c == '\t' || c == '\r' || c == '\n')) return false;
    if (c != kHeader[m_headerMatched]) {
        m_notRtf = true;
        return false;
    }
    ++m_headerMatched;
    return true;
}

void RtfTextExtractor::handleText(char c) {
    switch (c) {
        case '\\':
            m_lexer = Lexer::escape;
            return;
        case '{':
            openGroup();
            return;
        case '}':
            closeGroup();
            return;
        case '\r':
        case '\n':
        case '\0':
            return;
        default:
            if (consumesSkippedCharacter() || m_group.skip) return;
            addByte(c);
    }
}

void RtfTextExtractor::handleEscape(char c) {
    m_lexer = Lexer::text;
    if (isLetter(c)) {
        m_word[0] = c;
        m_wordLength = 1;
        m_hasParameter = false;
        m_parameterNegative = false;
        m_parameter = 0;
        m_lexer = Lexer::word;
        return;
    }
    if (c == '\'') {
        m_lexer = Lexer::hexHigh;
        return;
    }
    if (consumesSkippedCharacter()) return;
    if (c == '*') {
        m_group.skip = true;
        return;
    }
    if (m_group.skip) return;
    switch (c) {
        case '\r':
        case '\n':
            addCharacter(u'\n');
            return;
        case '\\':
        case '{':
        case '}':
            addByte(c);
            return;
        case '~':
            addCharacter(u'\u00A0');
            return;
        case '_':
            addCharacter(u'\u2011');
            return;
        default:
            return;  // \- optional hyphen, \: index entry, \| formula, unknown symbols
    }
}

void RtfTextExtractor::handleWordChar(char c) {
    if (isLetter(c)) {
        if (m_wordLength < kLongestWord) m_word[m_wordLength++] = c;
        return;
    }
    if (isDigit(c) || c == '-') {
        m_lexer = Lexer::parameter;
        m_parameterNegative = c == '-';
        m_hasParameter = c != '-';
        m_parameter = c == '-' ? 0 : c - '0';
        return;
    }
    m_lexer = Lexer::text;
    dispatchWord();
    if (c != ' ') handleText(c);
}

void RtfTextExtractor::handleParameterChar(char c) {
    if (isDigit(c)) {
        m_hasParameter = true;
        m_parameter = std::min(m_parameter * 10 + (c - '0'), kLargestParameter);
        return;
    }
    m_lexer = Lexer::text;
    dispatchWord();
    if (c != ' ') handleText(c);
}

void RtfTextExtractor::handleHex(char c) {
    const int value = hexValue(c);
    if (value < 0) {  // not an escape after all: drop it and read `c` as text
        m_lexer = Lexer::text;
        handleText(c);
        return;
    }
    if (m_lexer == Lexer::hexHigh) {
        m_hexHigh = value;
        m_lexer = Lexer::hexLow;
        return;
    }
    m_lexer = Lexer::text;
    if (consumesSkippedCharacter() || m_group.skip) return;
    addByte(char(m_hexHigh * 16 + value));
}

void RtfTextExtractor::openGroup() {
    m_skipAfterUnicode = 0;
    if (qsizetype(m_outer.size()) >= kMaxRecordedDepth) {
        ++m_unrecordedDepth;  // keeps the innermost recorded state
        return;
    }
    m_outer.push_back(m_group);
}

void RtfTextExtractor::closeGroup() {
    m_skipAfterUnicode = 0;
    if (m_unrecordedDepth > 0) {
        --m_unrecordedDepth;
        return;
    }
    if (m_outer.empty()) return;
    m_group = m_outer.back();
    m_outer.pop_back();
    // What follows the brace that closes the document is not part of it.
    if (m_outer.empty()) m_documentEnded = true;
}

// After \uN the next characters stand in for it in readers without Unicode; each of them (a
// byte, an escape, a control word) is dropped.
bool RtfTextExtractor::consumesSkippedCharacter() {
    if (m_skipAfterUnicode == 0) return false;
    --m_skipAfterUnicode;
    return true;
}

void RtfTextExtractor::dispatchWord() {
    const QByteArrayView word(m_word, m_wordLength);
    const qint64 parameter = m_parameterNegative ? -m_parameter : m_parameter;
    if (word == "bin") {  // raw bytes follow, whatever the state
        m_binaryLeft = std::max<qint64>(parameter, 0);
        if (m_binaryLeft > 0) m_lexer = Lexer::binary;
        consumesSkippedCharacter();
        return;
    }
    if (consumesSkippedCharacter()) return;
    if (isSkippedDestination(word)) {
        m_group.skip = true;
        return;
    }
    if (!m_group.skip) applyWord(word, m_hasParameter, parameter);
}

void RtfTextExtractor::applyWord(QByteArrayView word, bool hasParameter, qint64 parameter) {
    if (word == "u" && hasParameter) {
        const qint64 unit = parameter < 0 ? parameter + 65536 : parameter;
        if (unit > 0 && unit <= 0xFFFF) addCharacter(char16_t(unit));
        m_skipAfterUnicode = m_group.unicodeSkip;
        return;
    }
    if (word == "uc") {
        m_group.unicodeSkip =
            hasParameter ? int(std::clamp<qint64>(parameter, 0, kLargestUnicodeSkip)) : 1;
        return;
    }
    if (word == "ansicpg" && hasParameter) {
        flushBytes();
        m_decoder.setCodePage(int(parameter));
        return;
    }
    if (const std::optional<int> codePage = codePageOfCharacterSet(word)) {
        flushBytes();
        m_decoder.setCodePage(*codePage);
        return;
    }
    if (const std::optional<char16_t> character = characterOfWord(word)) addCharacter(*character);
}

void RtfTextExtractor::addByte(char byte) {
    m_bytes.append(byte);
    if (m_bytes.size() >= kByteRunLimit) flushBytes();
}

void RtfTextExtractor::addCharacter(char16_t c) {
    flushBytes();
    m_text.append(QChar(c));
    flushText(false);
}

void RtfTextExtractor::flushBytes() {
    if (m_bytes.isEmpty()) return;
    m_decoder.decode(m_bytes, m_text);
    m_bytes.clear();
    flushText(false);
}

void RtfTextExtractor::flushText(bool force) {
    if (m_stopped || m_text.isEmpty() || (!force && m_text.size() < kTextChunk)) return;
    // A surrogate pair is never cut between two pieces.
    qsizetype cut = m_text.size();
    if (!force && m_text.back().isHighSurrogate()) --cut;
    if (cut == 0) return;
    if (!m_sink(QStringView(m_text).first(cut))) m_stopped = true;
    m_text.remove(0, cut);
}

ReadStatus RtfTextExtractor::finish() {
    if (m_notRtf || m_headerMatched < 5) return ReadStatus::failed;
    if (!m_stopped && (m_lexer == Lexer::word || m_lexer == Lexer::parameter)) {
        m_lexer = Lexer::text;
        dispatchWord();
    }
    flushBytes();
    flushText(true);
    return m_stopped ? ReadStatus::stopped : ReadStatus::complete;
}

bool looksLikeRtf(QByteArrayView head) {
    qsizetype i = 0;
    while (i < head.size() &&
           (head[i] == ' ' || head[i] == '\t' || head[i] == '\r' || head[i] == '\n'))
        ++i;
    return head.sliced(i).startsWith("{\\rtf");
}

ReadStatus readRtfFile(NativeFile& file, const TextChunkSink& sink) {
    if (!file.isOpen()) return ReadStatus::failed;
    RtfTextExtractor extractor(sink);
    std::vector<char> buffer(static_cast<size_t>(kReadChunkBytes));
    for (;;) {
        const qint64 got = file.read(buffer.data(), kReadChunkBytes);
        if (got < 0) return ReadStatus::failed;
        if (got == 0) break;
        if (!extractor.feed(QByteArrayView(buffer.data(), got))) break;
    }
    return extractor.finish();
}

}  // namespace tarnwick
