#pragma once

#include <QByteArray>
#include <QStringList>

namespace tarnwick::test {

// A PDF of one page per entry, each holding its text (an empty entry makes a blank page).
// Needs a QGuiApplication.
QByteArray makePdf(const QStringList& pageTexts);

// "{\rtf1\ansi " + body + "}"
QByteArray rtfDocument(const QByteArray& body);

// Writes `content` to a file at a native path (which need not be UTF-8).
void writeFileBytes(const QByteArray& path, const QByteArray& content);

}  // namespace tarnwick::test
