#include "app/TrayMenu.h"
#include "app/TrayMenuIcon.h"
#include "tests/support/TestRunner.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QPalette>
#include <QTest>

using namespace tarnwick;
using namespace Qt::StringLiterals;

// The tray menu's items and what they do (their titles and keys as the desktop reads them are
// checked end to end), and the icon that suits the theme.
class TrayMenuTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void eachItemDoesItsOwnThing() {
        QStringList done;
        TrayMenuActions actions;
        actions.search = [&done] { done << "search"; };
        actions.openSettings = [&done] { done << "settings"; };
        actions.checkForUpdates = [&done] { done << "updates"; };
        actions.quit = [&done] { done << "quit"; };
        auto menu = buildTrayMenu(u"x"_s, actions);
        for (QAction* action : menu->actions()) action->trigger();
        QCOMPARE(done, (QStringList{"search", "settings", "updates", "quit"}));
    }
    void iconFollowsTheTheme() {
        QPalette light, dark;
        light.setColor(QPalette::Window, QColor(246, 245, 244));
        light.setColor(QPalette::WindowText, QColor(46, 52, 54));
        dark.setColor(QPalette::Window, QColor(36, 36, 36));
        dark.setColor(QPalette::WindowText, QColor(238, 238, 236));
        QVERIFY(!themeIsDark(light));
        QVERIFY(themeIsDark(dark));
        TrayMenuIcon icon(buildTrayMenu(QString(), {}));  // registers the resources
        QApplication::setPalette(dark);
        QTRY_COMPARE(icon.iconResource(), u":/tray/magnifier-light.svg"_s);
        QApplication::setPalette(light);
        QTRY_COMPARE(icon.iconResource(), u":/tray/magnifier-dark.svg"_s);
        for (bool isDark : {false, true}) {
            const QImage image = QIcon(trayIconResource(isDark)).pixmap(22, 22).toImage();
            // Drawn in one colour: light on dark themes, dark on light ones.
            int ink = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const QColor pixel = image.pixelColor(x, y);
                    if (pixel.alpha() < 200) continue;
                    ++ink;
                    QCOMPARE(pixel.lightness() > 128, isDark);
                }
            QVERIFY(ink > 20);
        }
    }
};

TARNWICK_TEST(TrayMenuTest)
#include "TrayMenuTest.moc"
