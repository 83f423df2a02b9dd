#include "Appcast.h"

#include <QCoreApplication>
#include <QXmlStreamReader>

namespace tarnwick {

namespace {

const QString kSparkle = QStringLiteral("http://www.andymatuschak.org/xml-namespaces/sparkle");

struct RawItem {
    QString title;
    QString version;
    QString shortVersion;
    QString description;
    QString releaseNotesLink;
    QString pubDate;
    QString channel;
    bool hasEnclosure = false;
    QString enclosureUrl;
    QString enclosureLength;
    QString enclosureOs;
};

bool isSparkle(const QXmlStreamReader& reader, const char* name) {
    return reader.namespaceUri() == kSparkle && reader.name() == QLatin1String(name);
}

bool isPlain(const QXmlStreamReader& reader, const char* name) {
    return reader.namespaceUri().isEmpty() && reader.name() == QLatin1String(name);
}

void readEnclosure(QXmlStreamReader& reader, RawItem* item) {
    const QXmlStreamAttributes attributes = reader.attributes();
    item->hasEnclosure = true;
    item->enclosureUrl = attributes.value(QLatin1String("url")).toString().trimmed();
    item->enclosureLength = attributes.value(QLatin1String("length")).toString().trimmed();
    item->enclosureOs = attributes.value(kSparkle, QLatin1String("os")).toString().trimmed();
    if (item->version.isEmpty())
        item->version = attributes.value(kSparkle, QLatin1String("version")).toString().trimmed();
    if (item->shortVersion.isEmpty())
        item->shortVersion =
            attributes.value(kSparkle, QLatin1String("shortVersionString")).toString().trimmed();
    reader.skipCurrentElement();
}

QString text(QXmlStreamReader& reader) {
    return reader.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
}

RawItem readItem(QXmlStreamReader& reader) {
    RawItem item;
    while (reader.readNextStartElement()) {
        if (isPlain(reader, "enclosure"))
            readEnclosure(reader, &item);
        else if (isPlain(reader, "title"))
            item.title = text(reader);
        else if (isPlain(reader, "description"))
            item.description = text(reader);
        else if (isPlain(reader, "pubDate"))
            item.pubDate = text(reader);
        else if (isSparkle(reader, "version"))
            item.version = text(reader);
        else if (isSparkle(reader, "shortVersionString"))
            item.shortVersion = text(reader);
        else if (isSparkle(reader, "releaseNotesLink"))
            item.releaseNotesLink = text(reader);
        else if (isSparkle(reader, "channel"))
            item.channel = text(reader);
        else
            reader.skipCurrentElement();
    }
    return item;
}

bool isForThisPlatform(const RawItem& raw) {
    return raw.channel.isEmpty() &&
           (raw.enclosureOs.isEmpty() ||
            raw.enclosureOs.compare(QLatin1String("linux"), Qt::CaseInsensitive) == 0);
}

std::optional<QUrl> secureUrl(const QString& text) {
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != QLatin1String("https") || url.host().isEmpty())
        return std::nullopt;
    return url;
}

// The item, or the reason it cannot be offered.
std::optional<AppcastItem> toItem(const RawItem& raw, QString* reason) {
    if (raw.version.isEmpty()) {
        *reason = QCoreApplication::translate("Appcast", "no version");
        return std::nullopt;
    }
    const std::optional<AppcastVersion> version = AppcastVersion::parse(raw.version);
    if (!version) {
        *reason = QStringLiteral("\"%1\" is not a version").arg(raw.version.left(40));
        return std::nullopt;
    }
    if (!raw.hasEnclosure) {
        *reason = QCoreApplication::translate("Appcast", "no enclosure");
        return std::nullopt;
    }
    const std::optional<QUrl> download = secureUrl(raw.enclosureUrl);
    if (!download) {
        *reason = QCoreApplication::translate("Appcast", "the download \"%1\" is not an https link")
                      .arg(raw.enclosureUrl.left(80));
        return std::nullopt;
    }
    bool lengthOk = true;
    if (!raw.enclosureLength.isEmpty() &&
        (raw.enclosureLength.toLongLong(&lengthOk) < 0 || !lengthOk)) {
        *reason = QCoreApplication::translate("Appcast", "the length \"%1\" is not a number")
                      .arg(raw.enclosureLength.left(40));
        return std::nullopt;
    }
    AppcastItem item;
    item.version = *version;
    item.displayVersion = raw.shortVersion.isEmpty() ? raw.version : raw.shortVersion;
    item.title = raw.title;
    item.downloadUrl = *download;
    item.releaseNotesHtml = raw.description;
    item.releaseNotesLink = secureUrl(raw.releaseNotesLink).value_or(QUrl());
    item.published = QDateTime::fromString(raw.pubDate, Qt::RFC2822Date);
    return item;
}

void readChannel(QXmlStreamReader& reader, AppcastFeed* feed, int* itemNumber) {
    while (reader.readNextStartElement()) {
        if (!isPlain(reader, "item")) {
            reader.skipCurrentElement();
            continue;
        }
        ++*itemNumber;
        const RawItem raw = readItem(reader);
        if (reader.hasError()) return;
        if (!isForThisPlatform(raw)) continue;
        QString reason;
        if (std::optional<AppcastItem> item = toItem(raw, &reason))
            feed->items.push_back(std::move(*item));
        else
            feed->rejected << QCoreApplication::translate("Appcast", "item %1: %2")
                                  .arg(*itemNumber)
                                  .arg(reason);
    }
}

}  // namespace

AppcastFeed parseAppcast(const QByteArray& xml) {
    AppcastFeed feed;
    QXmlStreamReader reader(xml);
    bool sawChannel = false;
    int itemNumber = 0;
    if (reader.readNextStartElement()) {
        if (!isPlain(reader, "rss")) {
            feed.error =
                QCoreApplication::translate("Appcast", "not an RSS feed (the document is <%1>)")
                    .arg(reader.qualifiedName().toString().left(40));
            return feed;
        }
        while (reader.readNextStartElement()) {
            if (isPlain(reader, "channel")) {
                sawChannel = true;
                readChannel(reader, &feed, &itemNumber);
            } else {
                reader.skipCurrentElement();
            }
        }
    }
    // Reading to the end catches garbage after the root element too.
    while (!reader.atEnd() && !reader.hasError()) reader.readNext();
    if (reader.hasError()) {
        feed = {};
        feed.error = QCoreApplication::translate("Appcast",
                                                 "the appcast is not well-formed XML (line %1: %2)")
                         .arg(reader.lineNumber())
                         .arg(reader.errorString());
    } else if (!sawChannel) {
        feed = {};
        feed.error = QCoreApplication::translate("Appcast", "the appcast has no <channel>");
    }
    return feed;
}

AppcastVerdict judgeAppcast(const AppcastFeed& feed, const AppcastVersion& running) {
    AppcastVerdict verdict;
    if (!feed.error.isEmpty()) {
        verdict.message = feed.error;
        return verdict;
    }
    if (feed.items.empty() && !feed.rejected.isEmpty()) {
        verdict.message =
            QCoreApplication::translate("Appcast", "the appcast has no usable item (%1)")
                .arg(feed.rejected.mid(0, 3).join(QLatin1String("; ")));
        return verdict;
    }
    const AppcastItem* newest = nullptr;
    for (const AppcastItem& item : feed.items)
        if (!newest || item.version > newest->version) newest = &item;
    if (newest && newest->version > running) {
        verdict.outcome = AppcastVerdict::Outcome::updateFound;
        verdict.update = *newest;
    } else {
        verdict.outcome = AppcastVerdict::Outcome::upToDate;
    }
    return verdict;
}

}  // namespace tarnwick
