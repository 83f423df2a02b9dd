#include "KWinPanelPlacer.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>

namespace tarnwick {

namespace {

// KWin 5 calls windows clients (clientList, clientAdded) and numbers screens and desktops;
// KWin 6 calls them windows and hands out objects, which clientArea takes just the same.
// A change of size only is ours to follow: a move is the user's.
constexpr const char* kPlacementScript = R"((function () {
    var rule = %1;
    var area = null, placedSize = null;
    function place(w) {
        var frame = w.frameGeometry;
        var size = frame.width + "x" + frame.height;
        if (size === placedSize) return;
        placedSize = size;
        if (!area) area = workspace.clientArea(KWin.MaximizeArea,
                workspace.screenAt(workspace.cursorPos), workspace.currentDesktop);
        var m = rule.shadowMargin, height = frame.height - 2 * m;
        var x = area.x + Math.floor(area.width / 2) - Math.floor(rule.width / 2);
        var top = area.y + Math.floor(area.height / 2) - rule.riseAboveMiddle - rule.openingHeight;
        var bottom = area.y + area.height;
        if (top + height > bottom) top = Math.max(area.y, bottom - height);
        w.frameGeometry = {x: x - m, y: top - m, width: frame.width, height: frame.height};
    }
    function follow(w) {
        if (!w || w.pid !== rule.pid || String(w.caption) !== rule.title) return;
        w.keepAbove = true;
        place(w);
        w.frameGeometryChanged.connect(function () { place(w); });
    }
    var all = workspace.windowList ? workspace.windowList() : workspace.clientList();
    for (var i = 0; i < all.length; ++i) follow(all[i]);
    (workspace.windowAdded || workspace.clientAdded).connect(follow);
})();
)";

}  // namespace

KWinPanelPlacer::KWinPanelPlacer(QDBusConnection bus) : m_script(std::move(bus)) {}

void KWinPanelPlacer::keepPlaced(const QString& title, const PanelRule& rule) {
    static int serial = 0;
    const qint64 pid = QCoreApplication::applicationPid();
    // Without KWin the window stays where the compositor puts it: nothing else to do.
    m_script.start(QStringLiteral("tarnwick-panel-%1-%2").arg(pid).arg(++serial),
                   kwinPanelPlacementScript(pid, title, rule), kCallTimeoutMs, [](bool) {});
}

QString kwinPanelPlacementScript(qint64 pid, const QString& title, const PanelRule& rule) {
    const QJsonObject values{{QLatin1String("pid"), pid},
                             {QLatin1String("title"), title},
                             {QLatin1String("width"), rule.width},
                             {QLatin1String("openingHeight"), rule.openingHeight},
                             {QLatin1String("riseAboveMiddle"), rule.riseAboveMiddle},
                             {QLatin1String("shadowMargin"), rule.shadowMargin}};
    return QString::fromLatin1(kPlacementScript)
        .arg(QString::fromUtf8(QJsonDocument(values).toJson(QJsonDocument::Compact)));
}

}  // namespace tarnwick
