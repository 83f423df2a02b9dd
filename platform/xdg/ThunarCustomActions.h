#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace tarnwick {

// One custom action of Thunar (an <action> of ~/.config/Thunar/uca.xml).
struct ThunarAction {
    QString uniqueId;
    QString name;
    QString description;
    QString icon;
    QString command;  // %f is the selected folder, or the shown one
    bool forDirectories = true;
};

struct ThunarActionsEdit {
    bool ok = false;
    QByteArray xml;  // the new file, when ok
    QString error;
};

// Rewrites the text of a uca.xml: drops the actions whose unique id is `uniqueId` and, when
// `replacement` is given, adds it before </actions>. Everything else in the file, the user's
// other actions, comments and spacing included, is kept byte for byte. A file that is not
// well-formed UTF-8 XML with an <actions> root is refused (ok false), never "repaired". An empty
// input stands for a new file.
ThunarActionsEdit editThunarActions(const QByteArray& existing, const QString& uniqueId,
                                    const std::optional<ThunarAction>& replacement);

// Whether the file text holds an action with this unique id (false for unreadable text).
bool hasThunarAction(const QByteArray& xml, const QString& uniqueId);

}  // namespace tarnwick
