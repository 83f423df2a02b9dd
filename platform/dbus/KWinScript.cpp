#include "KWinScript.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDir>

namespace tarnwick {

namespace {

constexpr const char* kKWin = "org.kde.KWin";
constexpr const char* kScriptingInterface = "org.kde.kwin.Scripting";

}  // namespace

KWinScript::KWinScript(QDBusConnection bus, QObject* parent)
    : QObject(parent), m_bus(std::move(bus)) {}

KWinScript::~KWinScript() {
    unload();
}

void KWinScript::start(const QString& pluginName, const QString& source, int timeoutMs,
                       Started started) {
    unload();
    m_started = std::move(started);
    m_timeoutMs = timeoutMs;
    // KWin reads the file when it runs the script, not when it loads it: kept until unloaded.
    m_file = std::make_unique<QTemporaryFile>(QDir::tempPath() +
                                              QStringLiteral("/tarnwick-kwin-XXXXXX.js"));
    if (!m_file->open() || m_file->write(source.toUtf8()) < 0 || !m_file->flush())
        return report(false);
    m_pluginName = pluginName;
    const int generation = m_generation;
    call(QStringLiteral("/Scripting"), QString::fromLatin1(kScriptingInterface),
         QStringLiteral("loadScript"), {m_file->fileName(), pluginName},
         [this, generation](const QDBusMessage& reply) {
             if (generation != m_generation) return;
             // -1: a script of that name is loaded already.
             if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty() ||
                 reply.arguments().first().toInt() < 0)
                 return report(false);
             runLoaded();
         });
}

void KWinScript::runLoaded() {
    // Not the script's own "run": KWin numbers a script by how many are loaded when it comes,
    // so once another client has unloaded an earlier script, ours can get the number of one
    // still loaded, and "run" sent to that number reaches the other script and does nothing.
    // "start" runs every loaded script that is not yet running, ours whatever its number; to
    // KWin it is what a change of its own settings does.
    const int generation = m_generation;
    call(QStringLiteral("/Scripting"), QString::fromLatin1(kScriptingInterface),
         QStringLiteral("start"), {}, [this, generation](const QDBusMessage& reply) {
             if (generation == m_generation) report(reply.type() == QDBusMessage::ReplyMessage);
         });
}

void KWinScript::unload() {
    ++m_generation;
    m_started = nullptr;
    if (!m_pluginName.isEmpty())
        call(QStringLiteral("/Scripting"), QString::fromLatin1(kScriptingInterface),
             QStringLiteral("unloadScript"), {m_pluginName}, nullptr);
    m_pluginName.clear();
    m_file.reset();
}

void KWinScript::report(bool running) {
    if (!m_started) return;
    Started started = std::move(m_started);
    m_started = nullptr;
    started(running);
}

void KWinScript::call(const QString& path, const QString& interface, const QString& method,
                      const QVariantList& arguments,
                      std::function<void(const QDBusMessage&)> then) {
    QDBusMessage message =
        QDBusMessage::createMethodCall(QString::fromLatin1(kKWin), path, interface, method);
    message.setArguments(arguments);
    message.setAutoStartService(false);
    if (!then) {
        m_bus.send(message);
        return;
    }
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(message, m_timeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [watcher, then = std::move(then)] {
        watcher->deleteLater();
        then(watcher->reply());
    });
}

}  // namespace tarnwick
