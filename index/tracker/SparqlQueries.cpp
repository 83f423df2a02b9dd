#include "SparqlQueries.h"

#include "core/FileUri.h"

namespace tarnwick::sparql {

// GRAPH is named everywhere: documents live in two graphs and would come back twice.
// STRSTARTS narrows by index but ignores case; tracker:uri-is-descendant compares exactly.
#define TARNWICK_BELOW_SCOPE "STRSTARTS (?u, ~prefix) && tracker:uri-is-descendant (~folder, ?u)"
#define TARNWICK_FOLDED(x) "CONTAINS (tracker:unaccent (tracker:case-fold (" x ")), ~q)"
#define TARNWICK_ITEM_COLUMNS                                                           \
    "  GRAPH tracker:FileSystem {\n"                                                    \
    "    OPTIONAL { ?f nfo:fileSize ?size }\n"                                          \
    "    OPTIONAL { ?f nfo:fileLastModified ?modified } }\n"                            \
    "  OPTIONAL { GRAPH tracker:Documents {\n"                                          \
    "    ?document nie:isStoredAs ?f ; nie:contentLastModified ?documentModified } }\n" \
    "  BIND (EXISTS { GRAPH tracker:FileSystem {\n"                                     \
    "    ?f nie:interpretedAs ?d . ?d a nfo:Folder } } AS ?isFolder)\n"

const char* const kCountBelow =
    "SELECT (COUNT(DISTINCT ?f) AS ?n) WHERE {\n"
    "  GRAPH tracker:FileSystem { ?f a nfo:FileDataObject ; nie:url ?u }\n"
    "  FILTER (" TARNWICK_BELOW_SCOPE ") }";

// Kept flat, with no optional parts: the extra joins cost a third more time over a content
// scan. A file with text always has its size and modification time in the file-system graph,
// and no folder has text.
const char* const kContentContains =
    "SELECT ?u ?size ?modified ?documentModified (false AS ?isFolder) WHERE {\n"
    "  GRAPH tracker:FileSystem {\n"
    "    ?f nie:url ?u ; nfo:fileSize ?size ; nfo:fileLastModified ?modified }\n"
    "  GRAPH tracker:Documents { ?ie nie:isStoredAs ?f ; nie:plainTextContent ?c }\n"
    "  FILTER (" TARNWICK_BELOW_SCOPE " && %SHARE% && " TARNWICK_FOLDED("?c") ") }";

const char* const kNameOrContentContains =
    "SELECT ?u ?size ?modified ?documentModified ?isFolder WHERE {\n"
    "  { SELECT DISTINCT ?f ?u WHERE {\n"
    "    { GRAPH tracker:FileSystem { ?f a nfo:FileDataObject ; nie:url ?u ; nfo:fileName ?name }\n"
    "      FILTER (" TARNWICK_BELOW_SCOPE " && %SHARE% && " TARNWICK_FOLDED("?name") ") }\n"
    "    UNION\n"
    "    { GRAPH tracker:FileSystem { ?f nie:url ?u }\n"
    "      GRAPH tracker:Documents { ?ie nie:isStoredAs ?f ; nie:plainTextContent ?c }\n"
    "      FILTER (" TARNWICK_BELOW_SCOPE " && %SHARE% && " TARNWICK_FOLDED("?c") ") } } }\n"
    TARNWICK_ITEM_COLUMNS "}";

const char* const kNormalisedText = "SELECT (tracker:unaccent (tracker:case-fold (~q)) AS ?n) { }";

#undef TARNWICK_BELOW_SCOPE
#undef TARNWICK_FOLDED
#undef TARNWICK_ITEM_COLUMNS

namespace {

// The endpoint will not take a parameter in arithmetic; both numbers are our own.
QByteArray shareCondition(Share share) {
    if (share.count <= 1) return "true";
    const QByteArray count = QByteArray::number(share.count);
    return "tracker:id (?f) - FLOOR (tracker:id (?f) / " + count + ") * " + count + " = " +
           QByteArray::number(share.index);
}

QByteArray withShare(const char* statement, Share share) {
    return QByteArray(statement).replace("%SHARE%", shareCondition(share));
}

}  // namespace

QByteArray contentContains(Share share) {
    return withShare(kContentContains, share);
}

QByteArray nameOrContentContains(Share share) {
    return withShare(kNameOrContentContains, share);
}

QByteArray escapeGlob(const QByteArray& text) {
    QByteArray escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        if (c == '*' || c == '?' || c == '[') {
            escaped += '[';
            escaped += c;
            escaped += ']';
        } else {
            escaped += c;
        }
    }
    return escaped;
}

ScopeUris scopeUris(const QByteArray& indexPath) {
    const QByteArray folder = fileUriFromPath(indexPath).toLatin1();
    return {folder, folder.endsWith('/') ? folder : folder + '/'};
}

}  // namespace tarnwick::sparql
