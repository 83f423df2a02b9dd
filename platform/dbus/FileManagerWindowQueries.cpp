#include "FileManagerWindowQueries.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QXmlStreamReader>

#include <memory>

namespace tarnwick::fileManagerQueries {

namespace {

constexpr const char* kFileManagerPath = "/org/freedesktop/FileManager1";
constexpr const char* kPropertiesInterface = "org.freedesktop.DBus.Properties";

using ReplyHandler = std::function<void(const QDBusMessage& reply)>;

void callAsync(const QDBusConnection& bus, QDBusMessage message, QObject* context,
               ReplyHandler onReply) {
    message.setAutoStartService(false);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(message, kCallTimeoutMs), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [watcher, onReply = std::move(onReply)] {
                         watcher->deleteLater();
                         onReply(watcher->reply());
                     });
}

QString errorOf(const QDBusMessage& reply) {
    return reply.errorName() + QStringLiteral(": ") + reply.errorMessage();
}

bool isError(const QDBusMessage& reply) {
    return reply.type() != QDBusMessage::ReplyMessage;
}

QVariant firstArgument(const QDBusMessage& reply) {
    return reply.arguments().isEmpty() ? QVariant() : reply.arguments().first();
}

// A complex value arrives as a QDBusArgument; reading it as another shape than it has would
// make QtDBus warn and return nonsense, so the signature is checked first.
template <typename T>
std::optional<T> demarshal(const QVariant& value, const char* signature) {
    if (value.userType() != qMetaTypeId<QDBusArgument>()) return std::nullopt;
    const QDBusArgument argument = value.value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String(signature)) return std::nullopt;
    T result;
    argument >> result;
    return result;
}

QVariant unwrapVariant(const QVariant& value) {
    if (value.userType() == qMetaTypeId<QDBusVariant>())
        return value.value<QDBusVariant>().variant();
    return value;
}

std::optional<QStringList> stringListFrom(const QVariant& value) {
    if (value.userType() == QMetaType::QStringList) return value.toStringList();
    return demarshal<QStringList>(value, "as");
}

QStringList childNodes(const QString& introspection) {
    QStringList nodes;
    QXmlStreamReader xml(introspection);
    int depth = 0;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (depth == 1 && xml.name() == QLatin1String("node"))
                nodes << xml.attributes().value(QLatin1String("name")).toString();
            ++depth;
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
        }
    }
    return nodes;
}

// Gathers isUrlOpen from every Dolphin window: true as soon as one says so.
struct UrlOpenTally {
    int pending = 0;
    bool anyFalse = false;
    QString firstError;
    std::function<void(BusAnswer<bool>)> done;

    void answer(const BusAnswer<bool>& one) {
        if (!done) return;
        if (one.value && *one.value) return finish({true, {}});
        if (one.value) anyFalse = true;
        if (!one.value && firstError.isEmpty()) firstError = one.error;
        if (--pending == 0)
            finish(anyFalse ? BusAnswer<bool>{false, {}} : BusAnswer<bool>{{}, firstError});
    }
    void finish(BusAnswer<bool> result) {
        auto callback = std::move(done);
        done = nullptr;
        callback(std::move(result));
    }
};

void askUrlOpen(const QDBusConnection& bus, const QString& service, const QString& window,
                const QString& uri, QObject* context, const std::shared_ptr<UrlOpenTally>& tally) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        service, QStringLiteral("/dolphin/") + window, QStringLiteral("org.kde.dolphin.MainWindow"),
        QStringLiteral("isUrlOpen"));
    call << uri;
    callAsync(bus, call, context, [tally](const QDBusMessage& reply) {
        const QVariant value = firstArgument(reply);
        if (isError(reply)) return tally->answer({{}, errorOf(reply)});
        if (value.userType() != QMetaType::Bool)
            return tally->answer({{}, QStringLiteral("Dolphin's isUrlOpen answered no boolean")});
        tally->answer({value.toBool(), {}});
    });
}

// Dolphin compares URLs exactly, and keeps a folder reached by going up, going back or typing
// its path with a trailing slash: both spellings are asked for.
QStringList dolphinSpellingsOf(const QString& uri) {
    if (uri.endsWith(QLatin1String(":///"))) return {uri};
    if (uri.endsWith(u'/')) return {uri, uri.chopped(1)};
    return {uri, uri + u'/'};
}

void askUrlOpenIn(const QDBusConnection& bus, const QString& service, const QStringList& windows,
                  const QString& uri, QObject* context, std::function<void(BusAnswer<bool>)> done) {
    if (windows.isEmpty()) return done({{}, QStringLiteral("Dolphin shows no windows on D-Bus")});
    const QStringList spellings = dolphinSpellingsOf(uri);
    auto tally = std::make_shared<UrlOpenTally>();
    tally->pending = int(windows.size() * spellings.size());
    tally->done = std::move(done);
    for (const QString& window : windows) {
        for (const QString& spelling : spellings)
            askUrlOpen(bus, service, window, spelling, context, tally);
    }
}

}  // namespace

void askNameOwner(const QDBusConnection& bus, const QString& name, QObject* context,
                  std::function<void(BusAnswer<QString>)> done) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetNameOwner"));
    call << name;
    callAsync(bus, call, context, [done = std::move(done)](const QDBusMessage& reply) {
        if (isError(reply)) return done({{}, errorOf(reply)});
        const QVariant owner = firstArgument(reply);
        if (owner.userType() != QMetaType::QString)
            return done({{}, QStringLiteral("GetNameOwner answered no name")});
        done({owner.toString(), {}});
    });
}

void askWindowLocations(const QDBusConnection& bus, const QString& service, QObject* context,
                        std::function<void(BusAnswer<WindowLocations>)> done) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        service, QString::fromLatin1(kFileManagerPath), QString::fromLatin1(kPropertiesInterface),
        QStringLiteral("Get"));
    call << QString::fromLatin1(kFileManager1) << QStringLiteral("OpenWindowsWithLocations");
    callAsync(bus, call, context, [done = std::move(done)](const QDBusMessage& reply) {
        if (isError(reply)) return done({{}, errorOf(reply)});
        auto windows = demarshal<WindowLocations>(unwrapVariant(firstArgument(reply)), "a{sas}");
        if (!windows)
            return done({{}, QStringLiteral("OpenWindowsWithLocations is not a map of lists")});
        done({std::move(windows), {}});
    });
}

void askReportedLocations(const QDBusConnection& bus, QObject* context,
                          std::function<void(BusAnswer<ReportedLocations>)> done) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(kFileManager1), QString::fromLatin1(kFileManagerPath),
        QString::fromLatin1(kPropertiesInterface), QStringLiteral("GetAll"));
    call << QString::fromLatin1(kFileManager1);
    callAsync(bus, call, context, [done = std::move(done)](const QDBusMessage& reply) {
        if (isError(reply)) return done({{}, errorOf(reply)});
        const auto properties = demarshal<QVariantMap>(firstArgument(reply), "a{sv}");
        if (!properties) return done({{}, QStringLiteral("GetAll answered no property map")});
        ReportedLocations reported;
        const QVariant windows =
            unwrapVariant(properties->value(QStringLiteral("OpenWindowsWithLocations")));
        if (windows.isValid()) {
            reported.windows = demarshal<WindowLocations>(windows, "a{sas}");
            if (!reported.windows)
                return done({{}, QStringLiteral("OpenWindowsWithLocations is not a map of lists")});
        }
        const QVariant open = unwrapVariant(properties->value(QStringLiteral("OpenLocations")));
        if (open.isValid()) {
            auto list = stringListFrom(open);
            if (!list) return done({{}, QStringLiteral("OpenLocations is not a list of URIs")});
            reported.openLocations = *list;
        }
        done({std::move(reported), {}});
    });
}

void askDolphinUrlOpen(const QDBusConnection& bus, qint64 pid, const QString& uri, QObject* context,
                       std::function<void(BusAnswer<bool>)> done) {
    const QString service = QStringLiteral("org.kde.dolphin-%1").arg(pid);
    QDBusMessage call = QDBusMessage::createMethodCall(
        service, QStringLiteral("/dolphin"), QStringLiteral("org.freedesktop.DBus.Introspectable"),
        QStringLiteral("Introspect"));
    // One process may have several windows, and nothing says which object is which window.
    callAsync(
        bus, call, context,
        [bus, service, uri, context, done = std::move(done)](const QDBusMessage& reply) mutable {
            if (isError(reply)) return done({{}, errorOf(reply)});
            QStringList windows;
            for (const QString& node : childNodes(firstArgument(reply).toString()))
                if (node.startsWith(QLatin1String("Dolphin_"))) windows << node;
            askUrlOpenIn(bus, service, windows, uri, context, std::move(done));
        });
}

}  // namespace tarnwick::fileManagerQueries
