#include "GnomeShellExtension.h"

#include "platform/DisplayServer.h"

#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusReply>
#include <QJsonObject>

namespace tarnwick {

namespace gnomeShellExtension {

namespace {

constexpr const char* kShell = "org.gnome.Shell";
constexpr const char* kShellExtensionsPath = "/org/gnome/Shell";
constexpr const char* kShellExtensions = "org.gnome.Shell.Extensions";

QDBusMessage methodCall(const QString& method, const QVariantList& arguments) {
    QDBusMessage message =
        QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                       QString::fromLatin1(kInterface), method);
    message.setArguments(arguments);
    message.setAutoStartService(false);
    return message;
}

QDBusMessage callShell(const QDBusConnection& bus, const QString& method, const QString& uuid) {
    QDBusMessage message = QDBusMessage::createMethodCall(
        QString::fromLatin1(kShell), QString::fromLatin1(kShellExtensionsPath),
        QString::fromLatin1(kShellExtensions), method);
    message.setArguments({uuid});
    message.setAutoStartService(false);
    return bus.call(message, QDBus::Block, 2000);
}

QByteArray jsonText(const QJsonObject& window, const char* key) {
    return window.value(QLatin1String(key)).toString().toUtf8();
}

}  // namespace

bool isGnomeWaylandSession() {
    return currentDisplayServer() == DisplayServer::wayland &&
           qEnvironmentVariable("XDG_CURRENT_DESKTOP").contains(QLatin1String("GNOME"));
}

bool isRunning(const QDBusConnection& bus) {
    if (!bus.isConnected() || !bus.interface()) return false;
    return bus.interface()->isServiceRegistered(QString::fromLatin1(kService)).value();
}

void send(const QDBusConnection& bus, const QString& method, const QVariantList& arguments) {
    bus.send(methodCall(method, arguments));
}

bool callAndWait(const QDBusConnection& bus, const QString& method, const QVariantList& arguments) {
    return bus.call(methodCall(method, arguments), QDBus::Block, kCallTimeoutMs).type() ==
           QDBusMessage::ReplyMessage;
}

void call(const QDBusConnection& bus, const QString& method, const QVariantList& arguments,
          QObject* context, std::function<void(const QDBusMessage&)> done) {
    auto* watcher = new QDBusPendingCallWatcher(
        bus.asyncCall(methodCall(method, arguments), kCallTimeoutMs), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [watcher, done = std::move(done)] {
                         watcher->deleteLater();
                         done(watcher->reply());
                     });
}

std::optional<WindowStack> windowStackFromShellReport(const QByteArray& json) {
    return windowStackFromJson(json, [](const QJsonObject& window) {
        WindowFacts facts;
        facts.title = jsonText(window, "title");
        // On Wayland the class is the application id ("org.gnome.Nautilus").
        facts.className = jsonText(window, "wmClass");
        facts.instanceName = jsonText(window, "wmClassInstance");
        facts.gtkObjectPath = jsonText(window, "gtkObjectPath");
        facts.gtkUniqueBusName = jsonText(window, "gtkUniqueBusName");
        const QJsonValue pid = window.value(QLatin1String("pid"));
        if (pid.isDouble() && pid.toDouble() > 0) facts.pid = qint64(pid.toDouble());
        facts.hidden = window.value(QLatin1String("minimized")).toBool() ||
                       !window.value(QLatin1String("onWorkspace")).toBool(true);
        return facts;
    });
}

State state(const QDBusConnection& bus) {
    const QDBusMessage reply =
        callShell(bus, QStringLiteral("GetExtensionInfo"), QString::fromLatin1(kUuid));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return State::noShell;
    const QVariantMap info = qdbus_cast<QVariantMap>(reply.arguments().first());
    if (info.isEmpty()) return State::notInstalled;
    // The shell's ExtensionState: 1 enabled, 2 disabled, 6 initialized (loaded, not enabled).
    switch (info.value(QStringLiteral("state")).toInt()) {
        case 1:
            return isRunning(bus) ? State::enabled : State::failed;
        case 2:
        case 6:
            return State::disabled;
        default:
            return State::failed;
    }
}

bool enable(const QDBusConnection& bus, QString* error) {
    const QDBusMessage reply =
        callShell(bus, QStringLiteral("EnableExtension"), QString::fromLatin1(kUuid));
    if (reply.type() != QDBusMessage::ReplyMessage) {
        if (error) *error = reply.errorMessage();
        return false;
    }
    if (!reply.arguments().value(0).toBool()) {
        if (error) *error = QStringLiteral("GNOME Shell did not enable the extension");
        return false;
    }
    return true;
}

}  // namespace gnomeShellExtension

}  // namespace tarnwick
