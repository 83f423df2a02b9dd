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

namespace {

QStringList titles(const QMenu& menu) {
    QStringList result;
    for (const QAction* action : menu.actions())
        result << (action->isSeparator() ? QStringLiteral("---") : action->text());
    return result;
}

QAction* item(const QMenu& menu, const QString& title) {
    for (QAction* action : menu.actions())
        if (action->text() == title) return action;
    return nullptr;
}

}  // namespace

// The tray menu's items, their keys and what they do, and the icon that suits the theme.
class TrayMenuTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void itemsInOrder() {
        auto menu = buildTrayMenu(QStringLiteral("Ctrl+Shift+Space"), {});
        QCOMPARE(titles(*menu), (QStringList{"Search File Manager Window", "---",
                                             "Shortcut: Ctrl+Shift+Space", "---", "Settings\u2026",
                                             "Check for Updates\u2026", "---", "Quit Tarnwick"}));
    }

    void shortcutLineIsDisabledAndTheOthersAreNot() {
        auto menu = buildTrayMenu(QStringLiteral("Alt+Super+Return"), {});
        QVERIFY(!item(*menu, QStringLiteral("Shortcut: Alt+Super+Return"))->isEnabled());
        for (const QString& title :
             {QStringLiteral("Search File Manager Window"), QStringLiteral("Settings\u2026"),
              QStringLiteral("Check for Updates\u2026"), QStringLiteral("Quit Tarnwick")})
            QVERIFY2(item(*menu, title)->isEnabled(), qPrintable(title));
    }

    void keyEquivalents() {
        auto menu = buildTrayMenu(QString(), {});
        QCOMPARE(item(*menu, QStringLiteral("Settings\u2026"))->shortcut(),
                 QKeySequence(Qt::CTRL | Qt::Key_Comma));
        QCOMPARE(item(*menu, QStringLiteral("Quit Tarnwick"))->shortcut(),
                 QKeySequence(Qt::CTRL | Qt::Key_Q));
        QVERIFY(item(*menu, QStringLiteral("Search File Manager Window"))->shortcut().isEmpty());
        QVERIFY(item(*menu, QStringLiteral("Check for Updates\u2026"))->shortcut().isEmpty());
    }

    void eachItemDoesItsOwnThing() {
        QStringList done;
        TrayMenuActions actions;
        actions.search = [&done] { done << "search"; };
        actions.openSettings = [&done] { done << "settings"; };
        actions.checkForUpdates = [&done] { done << "updates"; };
        actions.quit = [&done] { done << "quit"; };
        auto menu = buildTrayMenu(QStringLiteral("x"), actions);
        item(*menu, QStringLiteral("Check for Updates\u2026"))->trigger();
        item(*menu, QStringLiteral("Search File Manager Window"))->trigger();
        item(*menu, QStringLiteral("Quit Tarnwick"))->trigger();
        item(*menu, QStringLiteral("Settings\u2026"))->trigger();
        QCOMPARE(done, (QStringList{"updates", "search", "quit", "settings"}));
    }

    void iconStandsOutOnTheTheme() {
        QPalette light;
        light.setColor(QPalette::Window, QColor(246, 245, 244));
        light.setColor(QPalette::WindowText, QColor(46, 52, 54));
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(36, 36, 36));
        dark.setColor(QPalette::WindowText, QColor(238, 238, 236));
        QVERIFY(!themeIsDark(light));
        QVERIFY(themeIsDark(dark));
        QCOMPARE(trayIconResource(false), QStringLiteral(":/tray/magnifier-dark.svg"));
        QCOMPARE(trayIconResource(true), QStringLiteral(":/tray/magnifier-light.svg"));
    }

    void bothSymbolsAreDrawable() {
        TrayMenuIcon icon(buildTrayMenu(QString(), {}));  // registers the resources
        for (bool dark : {false, true}) {
            const QImage image = QIcon(trayIconResource(dark)).pixmap(22, 22).toImage();
            QVERIFY(!image.isNull());
            // The symbol is drawn in one colour: light on dark themes, dark on light ones.
            int ink = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const QColor pixel = image.pixelColor(x, y);
                    if (pixel.alpha() < 200) continue;
                    ++ink;
                    QCOMPARE(pixel.lightness() > 128, dark);
                }
            QVERIFY(ink > 20);
        }
    }

    void iconFollowsAPaletteChange() {
        QPalette original = QApplication::palette();
        TrayMenuIcon icon(buildTrayMenu(QString(), {}));
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(20, 20, 20));
        dark.setColor(QPalette::WindowText, QColor(240, 240, 240));
        QApplication::setPalette(dark);
        QTRY_COMPARE(icon.iconResource(), trayIconResource(true));
        QPalette light;
        light.setColor(QPalette::Window, QColor(250, 250, 250));
        light.setColor(QPalette::WindowText, QColor(10, 10, 10));
        QApplication::setPalette(light);
        QTRY_COMPARE(icon.iconResource(), trayIconResource(false));
        QApplication::setPalette(original);
    }
};

TARNWICK_TEST(TrayMenuTest)
#include "TrayMenuTest.moc"
