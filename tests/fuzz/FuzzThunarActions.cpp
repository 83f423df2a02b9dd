// libFuzzer entry for the Thunar actions merge: whatever uca.xml the user has, an accepted edit
// keeps every one of the user's own actions token for token, removes only bytes (ours), installs
// by one insertion into that, and installing twice changes nothing more.
#include "FuzzInput.h"
#include "platform/xdg/ThunarCustomActions.h"

#include <QXmlStreamReader>

#include <cstdlib>

using namespace tarnwick;

namespace {

struct Action {
    QString id;
    QStringList tokens;
    bool operator==(const Action&) const = default;
};

QString token(const QXmlStreamReader& reader) {
    QStringList parts = {reader.tokenString(), reader.namespaceUri().toString(),
                         reader.qualifiedName().toString(), reader.text().toString(),
                         reader.isCDATA() ? QStringLiteral("cdata") : QString()};
    for (const QXmlStreamAttribute& attribute : reader.attributes())
        parts << attribute.qualifiedName().toString() + u'=' + attribute.value().toString();
    return parts.join(u'|');
}

// The root's <action> children, read with a plain walk over the tokens, apart from the editor's
// own way of finding them; the unique id as Thunar takes it (the last one, trimmed).
QList<Action> actionsOf(const QByteArray& xml) {
    QList<Action> actions;
    QString text = QString::fromUtf8(xml);
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    QXmlStreamReader reader(text);
    int depth = 0;  // of the element the token is in or starts: the root's children are at 2
    bool inAction = false;
    QString idText;
    while (!reader.atEnd() && !reader.hasError()) {
        reader.readNext();
        if (reader.isStartElement() && ++depth == 2 && reader.name() == u"action") {
            actions.append(Action());
            inAction = true;
        }
        if (!inAction) {
            depth -= reader.isEndElement();
            continue;
        }
        actions.back().tokens.append(token(reader));
        if (depth == 3 && reader.isStartElement()) idText.clear();
        if (depth >= 3 && reader.isCharacters()) idText += reader.text();
        if (depth == 3 && reader.isEndElement() && reader.name() == u"unique-id")
            actions.back().id = idText.trimmed();
        if (reader.isEndElement() && depth-- == 2) inAction = false;
    }
    return actions;
}

QList<Action> without(QList<Action> actions, const QString& id) {
    actions.removeIf([&](const Action& a) { return a.id == id; });
    return actions;
}

bool isSubsequence(const QByteArray& part, const QByteArray& whole) {
    qsizetype at = 0;
    for (const char c : whole) at += at < part.size() && part[at] == c;
    return at == part.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const QByteArray existing(reinterpret_cast<const char*>(data) + 1, qsizetype(size) - 1);
    const QString ours = QStringLiteral("tarnwick");
    const ThunarAction action{ours,       "Search <here>", "Tarnwick & co",
                              "tarnwick", "tarnwick %f",   bool(data[0] & 1)};
    const ThunarActionsEdit removed = editThunarActions(existing, ours, std::nullopt);
    const ThunarActionsEdit installed = editThunarActions(existing, ours, action);
    if (removed.ok != installed.ok) std::abort();
    if (!removed.ok) return 0;
    const bool isNew = existing.trimmed().isEmpty();
    const QList<Action> users = without(actionsOf(existing), ours);
    const QList<Action> after = actionsOf(installed.xml);
    qsizetype same = 0, tail = 0;  // installed: `removed` with one piece inserted
    const QByteArray &r = removed.xml, &i = installed.xml;
    while (same < r.size() && r[same] == i[same]) ++same;
    while (tail < r.size() - same && r[r.size() - 1 - tail] == i[i.size() - 1 - tail]) ++tail;
    const QByteArray replaced = r.mid(same, r.size() - same - tail);  // "/" of an empty <actions/>
    if (without(actionsOf(removed.xml), ours) != actionsOf(removed.xml) ||
        without(actionsOf(removed.xml), ours) != (isNew ? QList<Action>() : users) ||
        without(after, ours) != users || after.size() != users.size() + 1 ||
        (!isNew && !isSubsequence(removed.xml, existing)) || i.size() <= r.size() ||
        !(replaced.isEmpty() || replaced == "/") ||
        editThunarActions(installed.xml, ours, action).xml != installed.xml ||
        !hasThunarAction(installed.xml, ours) || hasThunarAction(removed.xml, ours))
        std::abort();
    return 0;
}
