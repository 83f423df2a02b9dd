#include "KWinWindowStack.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QTimer>

namespace tarnwick {

namespace {

// KWin 5 calls windows clients (activeClient, clientList); KWin 6 calls them windows.
constexpr const char* kScriptTemplate = R"((function () {
    var active = workspace.activeWindow || workspace.activeClient;
    var stack = workspace.stackingOrder;
    var windows = [];
    if (stack) {
        for (var i = stack.length - 1; i >= 0; --i) windows.push(stack[i]);
    } else {
        var all = workspace.windowList ? workspace.windowList() : workspace.clientList();
        if (active) windows.push(active);
        for (var j = 0; j < all.length; ++j) if (all[j] !== active) windows.push(all[j]);
    }
    var report = [];
    for (var k = 0; k < windows.length; ++k) {
        var w = windows[k];
        if (!w.normalWindow) continue;
        report.push({caption: String(w.caption), resourceClass: String(w.resourceClass),
                     resourceName: String(w.resourceName), pid: w.pid, minimized: !!w.minimized});
    }
    callDBus("%1", "%2", "org.tarnwick.KWinWindowStack", "report", "%3", JSON.stringify(report));
})();
)";

}  // namespace

KWinWindowStack::KWinWindowStack(QDBusConnection bus, QObject* parent)
    : QObject(parent), m_bus(std::move(bus)) {
    m_exported = m_bus.registerObject(QString::fromLatin1(kObjectPath), this,
                                      QDBusConnection::ExportScriptableSlots);
}

KWinWindowStack::~KWinWindowStack() {
    if (m_exported) m_bus.unregisterObject(QString::fromLatin1(kObjectPath));
}

bool KWinWindowStack::isPlasmaSession() {
    return qEnvironmentVariable("XDG_CURRENT_DESKTOP").contains(QLatin1String("KDE"));
}

void KWinWindowStack::request(std::function<void(std::optional<WindowStack>)> done) {
    finish(std::nullopt);
    m_done = std::move(done);
    if (!m_exported) return finish(std::nullopt);
    const int number = ++m_requests;
    m_token = QStringLiteral("%1-%2").arg(QCoreApplication::applicationPid()).arg(number);
    QTimer::singleShot(kBudgetMs, this, [this, number] {
        if (number == m_requests) finish(std::nullopt);
    });
    m_script = std::make_unique<KWinScript>(m_bus);
    m_script->start(QStringLiteral("tarnwick-window-stack-") + m_token,
                    kwinWindowStackScript(m_bus.baseService(), m_token), kBudgetMs,
                    [this, number](bool running) {
                        // Running, the script answers through report.
                        if (!running && number == m_requests) finish(std::nullopt);
                    });
}

void KWinWindowStack::report(const QString& token, const QString& windows) {
    if (token != m_token || !m_done) return;
    finish(windowStackFromKWinReport(windows.toUtf8()));
}

void KWinWindowStack::finish(std::optional<WindowStack> stack) {
    m_script.reset();
    m_token.clear();
    if (!m_done) return;
    auto done = std::move(m_done);
    m_done = nullptr;
    done(std::move(stack));
}

QString kwinWindowStackScript(const QString& service, const QString& token) {
    return QString::fromLatin1(kScriptTemplate)
        .arg(service, QString::fromLatin1(KWinWindowStack::kObjectPath), token);
}

std::optional<WindowStack> windowStackFromKWinReport(const QByteArray& json) {
    return windowStackFromJson(json, [](const QJsonObject& window) {
        WindowFacts facts;
        facts.title = window.value(QLatin1String("caption")).toString().toUtf8();
        facts.className = window.value(QLatin1String("resourceClass")).toString().toUtf8();
        facts.instanceName = window.value(QLatin1String("resourceName")).toString().toUtf8();
        if (window.value(QLatin1String("pid")).isDouble())
            facts.pid = qint64(window.value(QLatin1String("pid")).toDouble());
        facts.hidden = window.value(QLatin1String("minimized")).toBool();
        return facts;
    });
}

}  // namespace tarnwick
