#pragma once

#include <QByteArrayView>

#include <optional>

namespace tarnwick {

// The RTF control words whose meaning the text reader needs.

// Destinations whose contents are not part of the document's running text: tables of fonts,
// colours and styles, document information, pictures, objects, headers, footers, footnotes,
// annotations, fields' instructions, index entries.
bool isSkippedDestination(QByteArrayView word);

// The character a control word stands for (\par a line feed, \tab a tab, \emdash "—", ...).
std::optional<char16_t> characterOfWord(QByteArrayView word);

// The code page of a character-set word (\ansi, \mac, \pc, \pca).
std::optional<int> codePageOfCharacterSet(QByteArrayView word);

}  // namespace tarnwick
