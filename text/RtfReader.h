#pragma once

#include "CodePageDecoder.h"
#include "NativeFile.h"
#include "TextStreaming.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace tarnwick {

// The plain text of an RTF document, as its bytes arrive, with bounded memory whatever the input
// (deep nesting, endless control words, huge binary blobs). Paragraph and line breaks become
// line feeds, tabs and table cells tabs; text in the document's code page (\ansicpg, 1252 by
// default) and \uN escapes become Unicode; fonts, colours, styles, pictures, objects, headers,
// footers, footnotes, fields' instructions and every \* destination are left out. A document
// whose first bytes are not "{\rtf" is refused.
class RtfTextExtractor {
public:
    explicit RtfTextExtractor(TextChunkSink sink);

    // False once the receiver asked to stop or the data is not RTF; feeding more is harmless.
    bool feed(QByteArrayView bytes);
    // Hands over the text still held and tells how the read ended.
    ReadStatus finish();

private:
    enum class Lexer { text, escape, word, parameter, hexHigh, hexLow, binary };
    struct Group {
        bool skip = false;
        int unicodeSkip = 1;  // characters that stand in for each \uN (\ucN)
    };

    bool checkHeader(char c);
    void handleText(char c);
    void handleEscape(char c);
    void handleWordChar(char c);
    void handleParameterChar(char c);
    void handleHex(char c);
    void openGroup();
    void closeGroup();
    void dispatchWord();
    bool consumesSkippedCharacter();
    void applyWord(QByteArrayView word, bool hasParameter, qint64 parameter);
    void addByte(char byte);
    void addCharacter(char16_t c);
    void flushBytes();
    void flushText(bool force);

    TextChunkSink m_sink;
    CodePageDecoder m_decoder;
    Lexer m_lexer = Lexer::text;
    int m_headerMatched = 0;
    bool m_notRtf = false;
    bool m_stopped = false;
    bool m_documentEnded = false;
    char m_word[33] = {};
    int m_wordLength = 0;
    bool m_parameterNegative = false;
    bool m_hasParameter = false;
    qint64 m_parameter = 0;
    int m_hexHigh = 0;
    qint64 m_binaryLeft = 0;
    int m_skipAfterUnicode = 0;
    Group m_group;
    std::vector<Group> m_outer;
    qint64 m_unrecordedDepth = 0;  // nesting beyond what is recorded
    QByteArray m_bytes;            // code-page text not yet decoded
    QString m_text;                // decoded text not yet handed over
};

// Whether a document's first bytes announce RTF ("{\rtf" after optional blanks).
bool looksLikeRtf(QByteArrayView head);

ReadStatus readRtfFile(NativeFile& file, const TextChunkSink& sink);

}  // namespace tarnwick
