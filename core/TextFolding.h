#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace tarnwick {

// The case folding every comparison of names and queries uses: the full Unicode lowercase
// mapping (locale-independent), then canonical composition, so that canonically equivalent
// spellings (a precomposed "é" and "e" + U+0301) compare equal.
QString foldText(QStringView text);

// foldText over UTF-8 bytes, answered in UTF-8; plain ASCII is lowercased byte-wise.
QByteArray foldUtf8(QByteArrayView utf8);

}  // namespace tarnwick
