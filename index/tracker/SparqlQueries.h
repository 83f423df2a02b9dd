#pragma once

#include <QByteArray>

namespace tarnwick::sparql {

// The statements this backend prepares. Every value is a ~parameter bound as a string; nothing
// the user typed is ever part of the text. The parameters:
//   ~folder  the scope's file:// URI (percent-encoded bytes, as the miner stores nie:url)
//   ~prefix  the same followed by '/'
//   ~q       the query text after kNormalisedText and escapeGlob
// Rows of the item statements: ?u (nie:url), ?size, ?modified (file-system modification
// time), ?documentModified (the document's own modification time, when an extractor found
// one; content statements leave it unbound, as they always have the file time) and ?isFolder.
extern const char* const kCountBelow;

// Folding the documents' text costs nearly all of a content statement's time, and the endpoint
// runs statements on several threads: a statement in shares, each over the files whose row id
// leaves `index` when divided by `count`, answers in parts that together make the whole.
struct Share {
    int count = 1;
    int index = 0;
};
QByteArray contentContains(Share share = {});
QByteArray nameOrContentContains(Share share = {});
// One row, one column: ~q case-folded and stripped of accents by the index's own functions,
// so that the text and the indexed data are normalised alike.
extern const char* const kNormalisedText;

// CONTAINS compiles to a GLOB, where *, ? and [ stay wildcards even in a bound value.
QByteArray escapeGlob(const QByteArray& text);

// ~folder and ~prefix for a scope given as native path bytes.
struct ScopeUris {
    QByteArray folder;
    QByteArray prefix;
};
ScopeUris scopeUris(const QByteArray& indexPath);

}  // namespace tarnwick::sparql
