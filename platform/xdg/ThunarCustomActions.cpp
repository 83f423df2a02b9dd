#include "ThunarCustomActions.h"

#include <QCoreApplication>
#include <QStringDecoder>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <utility>
#include <vector>

namespace tarnwick {

namespace {

const QString kEmptyFile = QStringLiteral(
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<actions>\n"
    "</actions>\n");

// Where the top-level parts of the file lie, as offsets into its decoded text.
struct ActionsLayout {
    std::vector<std::pair<qsizetype, qsizetype>> matchingActions;  // [begin, end)
    qsizetype closingTag = -1;                                     // where </actions> begins
    qsizetype emptyRootEnd = -1;  // where "/>" of an empty <actions/> begins
    QString error;
};

QString actionUniqueId(QXmlStreamReader& reader) {
    QString id;
    while (reader.readNextStartElement()) {
        if (reader.name() == QLatin1String("unique-id"))
            id = reader.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        else
            reader.skipCurrentElement();
    }
    return id;
}

bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_') ||
           c == QLatin1Char('.') || c == QLatin1Char(':');
}

// The reader's offsets run a few characters ahead of the token just read (it looks ahead), so
// tag boundaries are found in the text, searching back from them for the whole tag name
// ("<action" is not "<actions").
qsizetype tagStart(const QString& text, const QXmlStreamReader& reader, QLatin1String tag) {
    qsizetype at = text.lastIndexOf(tag, reader.characterOffset());
    while (at >= 0 && at + tag.size() < text.size() && isNameChar(text[at + tag.size()]))
        at = at > 0 ? text.lastIndexOf(tag, at - 1) : -1;
    return at;
}

ActionsLayout scanActions(const QString& text, const QString& uniqueId) {
    ActionsLayout layout;
    QXmlStreamReader reader(text);
    bool inRoot = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && !inRoot) {
            if (reader.name() != QLatin1String("actions")) {
                layout.error = QCoreApplication::translate(
                                   "ThunarCustomActions", "the root element is <%1>, not <actions>")
                                   .arg(reader.name().toString());
                return layout;
            }
            inRoot = true;
        } else if (reader.isStartElement() && reader.name() == QLatin1String("action")) {
            const qsizetype begin = tagStart(text, reader, QLatin1String("<action"));
            if (actionUniqueId(reader) != uniqueId || reader.hasError()) continue;
            const qsizetype close = tagStart(text, reader, QLatin1String("</action"));
            const qsizetype end = text.indexOf(QLatin1Char('>'), close) + 1;
            if (begin < 0 || close < begin || end <= close) {
                layout.error = QCoreApplication::translate("ThunarCustomActions",
                                                           "cannot find the bounds of an action");
                return layout;
            }
            layout.matchingActions.emplace_back(begin, end);
        } else if (reader.isStartElement()) {
            reader.skipCurrentElement();
        } else if (reader.isEndElement() && inRoot) {
            layout.closingTag = tagStart(text, reader, QLatin1String("</actions"));
            // An empty list written as <actions/> has no closing tag; it is still a list.
            if (layout.closingTag < 0)
                layout.emptyRootEnd =
                    text.lastIndexOf(QLatin1String("/>"), reader.characterOffset());
            inRoot = false;
        }
    }
    if (reader.hasError()) {
        layout.error = QCoreApplication::translate("ThunarCustomActions", "line %1: %2")
                           .arg(reader.lineNumber())
                           .arg(reader.errorString());
    } else if (layout.closingTag < 0 && layout.emptyRootEnd < 0) {
        layout.error = QCoreApplication::translate("ThunarCustomActions", "no <actions> element");
    }
    return layout;
}

QString actionXml(const ThunarAction& action) {
    QString xml;
    QXmlStreamWriter writer(&xml);
    writer.setAutoFormatting(true);
    writer.setAutoFormattingIndent(-1);  // one tab, as Thunar writes it
    writer.writeStartElement(QStringLiteral("action"));
    writer.writeTextElement(QStringLiteral("icon"), action.icon);
    writer.writeTextElement(QStringLiteral("name"), action.name);
    writer.writeTextElement(QStringLiteral("submenu"), QString());
    writer.writeTextElement(QStringLiteral("unique-id"), action.uniqueId);
    writer.writeTextElement(QStringLiteral("command"), action.command);
    writer.writeTextElement(QStringLiteral("description"), action.description);
    writer.writeTextElement(QStringLiteral("range"), QString());
    writer.writeTextElement(QStringLiteral("patterns"), QStringLiteral("*"));
    if (action.forDirectories) writer.writeEmptyElement(QStringLiteral("directories"));
    writer.writeEndElement();
    return xml.trimmed() + QLatin1Char('\n');
}

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// Widens [begin, end) to whole lines when the element stands on lines of its own, so that
// removing it leaves no blank lines behind.
std::pair<qsizetype, qsizetype> wholeLines(const QString& text, qsizetype begin, qsizetype end) {
    qsizetype lineStart = begin;
    while (lineStart > 0 && isBlank(text[lineStart - 1])) --lineStart;
    qsizetype lineEnd = end;
    while (lineEnd < text.size() && isBlank(text[lineEnd])) ++lineEnd;
    const bool startsLine = lineStart == 0 || text[lineStart - 1] == QLatin1Char('\n');
    const bool endsLine = lineEnd < text.size() && text[lineEnd] == QLatin1Char('\n');
    if (startsLine && endsLine) return {lineStart, lineEnd + 1};
    return {begin, end};
}

std::optional<QString> decodeUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) return std::nullopt;
    return text;
}

}  // namespace

ThunarActionsEdit editThunarActions(const QByteArray& existing, const QString& uniqueId,
                                    const std::optional<ThunarAction>& replacement) {
    ThunarActionsEdit edit;
    const bool isNew = existing.trimmed().isEmpty();
    const std::optional<QString> decoded = isNew ? kEmptyFile : decodeUtf8(existing);
    if (!decoded) {
        edit.error =
            QCoreApplication::translate("ThunarCustomActions", "the file is not UTF-8 text");
        return edit;
    }
    QString text = *decoded;
    const ActionsLayout layout = scanActions(text, uniqueId);
    if (!layout.error.isEmpty()) {
        edit.error = layout.error;
        return edit;
    }
    // Measured before the insertion: the line break it may put before </actions> is not the
    // user's, and must not let the removal of an action take the blanks ahead of it.
    std::vector<std::pair<qsizetype, qsizetype>> cuts;
    for (const auto& [begin, end] : layout.matchingActions)
        cuts.push_back(wholeLines(text, begin, end));
    if (replacement && layout.closingTag < 0) {
        text.replace(layout.emptyRootEnd, 2,
                     QLatin1String(">\n") + actionXml(*replacement) + QLatin1String("</actions>"));
    } else if (replacement) {
        QString insertion = actionXml(*replacement);
        const qsizetype at = layout.closingTag;
        if (at > 0 && text[at - 1] != QLatin1Char('\n')) insertion.prepend(QLatin1Char('\n'));
        text.insert(at, insertion);
    }
    // Back to front, so that earlier offsets stay valid; all lie before the insertion point.
    for (auto it = cuts.rbegin(); it != cuts.rend(); ++it)
        text.remove(it->first, it->second - it->first);
    edit.ok = true;
    edit.xml = text.toUtf8();
    return edit;
}

bool hasThunarAction(const QByteArray& xml, const QString& uniqueId) {
    const std::optional<QString> text = decodeUtf8(xml);
    if (!text || xml.trimmed().isEmpty()) return false;
    const ActionsLayout layout = scanActions(*text, uniqueId);
    return layout.error.isEmpty() && !layout.matchingActions.empty();
}

}  // namespace tarnwick
