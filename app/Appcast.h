#pragma once

#include "AppcastVersion.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>
#include <vector>

namespace tarnwick {

// One release announced by an appcast: an RSS <item> with an <enclosure> and a version, written
// as Sparkle feeds do (sparkle:version, sparkle:shortVersionString, sparkle:releaseNotesLink,
// sparkle:os on the enclosure).
struct AppcastItem {
    AppcastVersion version;
    QString displayVersion;  // shortVersionString, else the version
    QString title;
    QUrl downloadUrl;  // the enclosure, always https
    QString releaseNotesHtml;
    QUrl releaseNotesLink;  // https only
    QDateTime published;
};

struct AppcastFeed {
    std::vector<AppcastItem> items;  // usable items for this platform, in feed order
    QStringList rejected;            // why other items were left out ("item 2: ...")
    QString error;                   // set when the document as a whole is unusable
};

// Reads an appcast. Items for other platforms or other update channels are left out silently;
// items without a version or a secure download, or with values of the wrong kind, are left out
// with a reason. A document that is not a well-formed RSS feed gives an error and no items.
AppcastFeed parseAppcast(const QByteArray& xml);

// What a check concludes from a feed and the running version.
struct AppcastVerdict {
    enum class Outcome { upToDate, updateFound, failed };
    Outcome outcome = Outcome::failed;
    std::optional<AppcastItem> update;  // the newest item, when newer than the running version
    QString message;                    // for failed: what was wrong with the feed
};

AppcastVerdict judgeAppcast(const AppcastFeed& feed, const AppcastVersion& running);

}  // namespace tarnwick
