#include "app/HotKeyText.h"
#include "platform/GlobalShortcut.h"
#include "tests/support/TestRunner.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace tarnwick;

namespace {

constexpr quint32 kCommand = StoredHotKey::kCommandBit;
constexpr quint32 kShift = StoredHotKey::kShiftBit;
constexpr quint32 kOption = StoredHotKey::kOptionBit;
constexpr quint32 kControl = StoredHotKey::kControlBit;

}  // namespace

// The stored shortcut as shown to the user, and how its code and mask become an X key.
class HotKeyTextTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void displayText_data() {
        QTest::addColumn<quint32>("keyCode");
        QTest::addColumn<quint32>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::newRow("default") << 49u << 0x1200u << "Ctrl+Shift+Space";
        QTest::newRow("option command return") << 36u << (kOption | kCommand) << "Alt+Super+Return";
        QTest::newRow("control command, code 12")
            << 12u << (kControl | kCommand) << "Ctrl+Super+Key 12";
        QTest::newRow("tab alone") << 48u << kShift << "Shift+Tab";
        QTest::newRow("all four, whatever the order of the bits")
            << 49u << (kCommand | kShift | kControl | kOption) << "Ctrl+Alt+Shift+Super+Space";
        QTest::newRow("caps lock bit adds nothing") << 49u << (0x0400u | kControl) << "Ctrl+Space";
        QTest::newRow("no known bit at all") << 0x7au << 0x0400u << "Key 122";
    }
    void displayText() {
        QFETCH(quint32, keyCode);
        QFETCH(quint32, modifiers);
        QFETCH(QString, text);
        QCOMPARE(hotKeyDisplayText(StoredHotKey{keyCode, modifiers}), text);
    }

    void storedValuesFallBackToTheDefault_data() {
        QTest::addColumn<std::optional<qint64>>("code");
        QTest::addColumn<std::optional<qint64>>("mask");
        QTest::addColumn<quint32>("expectedCode");
        QTest::addColumn<quint32>("expectedMask");
        const std::optional<qint64> absent;
        QTest::newRow("absent") << absent << absent << 49u << 0x1200u;
        QTest::newRow("zero counts as absent")
            << std::optional<qint64>(0) << std::optional<qint64>(0) << 49u << 0x1200u;
        QTest::newRow("stored values kept")
            << std::optional<qint64>(36) << std::optional<qint64>(0x0900) << 36u << 0x0900u;
        QTest::newRow("negative is the unsigned value")
            << std::optional<qint64>(-1) << std::optional<qint64>(-4096) << 0xFFFFFFFFu
            << 0xFFFFF000u;
    }
    void storedValuesFallBackToTheDefault() {
        QFETCH(std::optional<qint64>, code);
        QFETCH(std::optional<qint64>, mask);
        QFETCH(quint32, expectedCode);
        QFETCH(quint32, expectedMask);
        QCOMPARE(hotKeyFromStored(code, mask), (StoredHotKey{expectedCode, expectedMask}));
    }

    void settingsFileIsReadAnew() {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        QSettings settings(QStringLiteral("Tarnwick"), QStringLiteral("Tarnwick"));
        QCOMPARE(readStoredHotKey(), StoredHotKey{});
        settings.setValue(QStringLiteral("hotKeyCode"), 36);
        settings.setValue(QStringLiteral("hotKeyModifiers"), 0x0900);
        settings.sync();
        QCOMPARE(readStoredHotKey(), (StoredHotKey{36, 0x0900}));
        // Outside 32 bits, or not a number: as if absent.
        settings.setValue(QStringLiteral("hotKeyCode"), Q_INT64_C(0x100000031));
        settings.setValue(QStringLiteral("hotKeyModifiers"), QStringLiteral("control"));
        settings.sync();
        QCOMPARE(readStoredHotKey(), StoredHotKey{});
    }

    void keyCodesMapToTheKeysOfAUsLayout_data() {
        QTest::addColumn<quint32>("keyCode");
        QTest::addColumn<quint32>("keysym");
        QTest::addColumn<QString>("name");
        QTest::newRow("space") << 49u << 0x20u << "space";
        QTest::newRow("return") << 36u << 0xff0du << "Return";
        QTest::newRow("tab") << 48u << 0xff09u << "Tab";
        QTest::newRow("a is code 0") << 0u << 0x61u << "a";
        QTest::newRow("q") << 12u << 0x71u << "q";
        QTest::newRow("digits are not in order: 5") << 0x17u << 0x35u << "5";
        QTest::newRow("F1") << 0x7au << 0xffbeu << "F1";
        QTest::newRow("F5") << 0x60u << 0xffc2u << "F5";
        QTest::newRow("escape") << 0x35u << 0xff1bu << "Escape";
        QTest::newRow("keypad enter") << 0x4cu << 0xff8du << "KP_Enter";
        QTest::newRow("up arrow") << 0x7eu << 0xff52u << "Up";
        QTest::newRow("forward delete") << 0x75u << 0xffffu << "Delete";
    }
    void keyCodesMapToTheKeysOfAUsLayout() {
        QFETCH(quint32, keyCode);
        QFETCH(quint32, keysym);
        QFETCH(QString, name);
        const std::optional<KeySymbol> symbol = keySymbolForKeyCode(keyCode);
        QVERIFY(symbol);
        QCOMPARE(symbol->keysym, keysym);
        QCOMPARE(QString::fromLatin1(symbol->name), name);
    }

    void codesWithoutAPcKeyMapToNothing() {
        QVERIFY(!keySymbolForKeyCode(0x0a));  // ISO section: depends on the layout
        QVERIFY(!keySymbolForKeyCode(0x37));  // command itself
        QVERIFY(!keySymbolForKeyCode(0x3b));  // control itself
        QVERIFY(!keySymbolForKeyCode(0x47));  // keypad clear
        QVERIFY(!keySymbolForKeyCode(0x7f));
        QVERIFY(!keySymbolForKeyCode(0xFFFFFFFF));
    }

    void tableHasOneKeyPerCode() {
        QSet<quint32> keysyms;
        for (quint32 code = 0; code < 0x80; ++code)
            if (auto symbol = keySymbolForKeyCode(code)) {
                QVERIFY2(!keysyms.contains(symbol->keysym), qPrintable(QString::number(code)));
                keysyms.insert(symbol->keysym);
            }
        QCOMPARE(keysyms.size(), 99);
    }

    void modifierBitsBecomePcModifiers() {
        QCOMPARE(modifierKeysFor(0x1200), (ModifierKeys{true, false, true, false}));
        QCOMPARE(modifierKeysFor(kOption | kCommand), (ModifierKeys{false, true, false, true}));
        QCOMPARE(modifierKeysFor(0x0400 | 0x0080), ModifierKeys{});
    }

    void shortcutNotations() {
        ShortcutKey key;
        key.keysymName = QStringLiteral("space");
        key.control = key.shift = true;
        QCOMPARE(portalTrigger(key), QStringLiteral("CTRL+SHIFT+space"));
        QCOMPARE(gnomeAccelerator(key), QStringLiteral("<Control><Shift>space"));
        key = ShortcutKey{};
        key.keysymName = QStringLiteral("Return");
        key.alt = key.super = true;
        QCOMPARE(portalTrigger(key), QStringLiteral("ALT+LOGO+Return"));
        QCOMPARE(gnomeAccelerator(key), QStringLiteral("<Alt><Super>Return"));
    }

    void panelKeysAsThisDesktopNamesThem() {
        const QList<PanelKeyRow> rows = panelKeyRows(StoredHotKey{36, kOption | kCommand});
        QStringList actions, keys;
        for (const PanelKeyRow& row : rows) {
            actions << row.action;
            keys << row.keys;
        }
        QCOMPARE(actions, (QStringList{"Activate search", "Navigate results", "Open selected file",
                                       "Reveal in File Manager", "Copy path", "QuickLook preview",
                                       "Dismiss"}));
        QCOMPARE(keys, (QStringList{"Alt+Super+Return", "\u2191 \u2193", "Return", "Ctrl+Return",
                                    "Ctrl+C", "Space", "Esc"}));
    }
};

TARNWICK_TEST(HotKeyTextTest)
#include "HotKeyTextTest.moc"
