#include "app/AppcastVersion.h"
#include "tests/support/TestRunner.h"

#include <QTest>

using tarnwick::AppcastVersion;

// Version order as the update checker needs it: numeric components, trailing zeros ignored,
// pre-releases before their release.
class AppcastVersionTest : public QObject {
    Q_OBJECT
private:
    static AppcastVersion version(const char* text) {
        const auto parsed = AppcastVersion::parse(QString::fromLatin1(text));
        if (!parsed) qFatal("not a version: %s", text);
        return *parsed;
    }

private Q_SLOTS:
    void orders_data() {
        QTest::addColumn<QString>("older");
        QTest::addColumn<QString>("newer");
        QTest::newRow("numeric, not textual") << "1.9"
                                              << "1.10";
        QTest::newRow("more components") << "1.0"
                                         << "1.0.1";
        QTest::newRow("major wins") << "1.99.99"
                                    << "2.0";
        QTest::newRow("beta before release") << "1.0-beta"
                                             << "1.0";
        QTest::newRow("beta before release, short") << "1.0b2"
                                                    << "1.0";
        QTest::newRow("beta before rc") << "1.0b2"
                                        << "1.0rc1";
        QTest::newRow("alpha before beta") << "2.0-alpha.3"
                                           << "2.0-beta.1";
        QTest::newRow("dev before alpha") << "2.0dev"
                                          << "2.0a1";
        QTest::newRow("numbered betas, numerically") << "1.0-beta.2"
                                                     << "1.0-beta.10";
        QTest::newRow("beta of next release") << "1.0"
                                              << "1.1-beta";
        QTest::newRow("tilde tag") << "1.2~rc1"
                                   << "1.2";
        QTest::newRow("bare tag before numbered") << "1.0-beta"
                                                  << "1.0-beta.1";
        QTest::newRow("huge components") << "1.999999999999"
                                         << "1.1000000000000";
    }
    void orders() {
        QFETCH(QString, older);
        QFETCH(QString, newer);
        const AppcastVersion a = version(qPrintable(older));
        const AppcastVersion b = version(qPrintable(newer));
        QVERIFY(a < b);
        QVERIFY(b > a);
        QVERIFY(!(a == b));
    }

    void equals_data() {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::newRow("trailing zero") << "1.0"
                                       << "1.0.0";
        QTest::newRow("all zeros") << "0"
                                   << "0.0.0";
        QTest::newRow("leading v") << "v2.1"
                                   << "2.1.0";
        QTest::newRow("build metadata ignored") << "1.4+20240101"
                                                << "1.4";
        QTest::newRow("tag spelling") << "1.0-beta.2"
                                      << "1.0beta2";
        QTest::newRow("tag case") << "1.0-RC1"
                                  << "1.0rc1";
        QTest::newRow("leading zeros") << "1.02"
                                       << "1.2";
    }
    void equals() {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QVERIFY(version(qPrintable(a)) == version(qPrintable(b)));
    }

    void rejectsWhatIsNoVersion_data() {
        QTest::addColumn<QString>("text");
        for (const char* text : {"", "latest", "v", "1..2", "1.", "1.0-", "1.0 beta", "1.0-beta..1",
                                 "-1.0", "1.0/2", "12345678901234567890", "１.０"})
            QTest::newRow(text) << QString::fromUtf8(text);
    }
    void rejectsWhatIsNoVersion() {
        QFETCH(QString, text);
        QVERIFY(!AppcastVersion::parse(text));
    }
};

TARNWICK_TEST(AppcastVersionTest)
#include "AppcastVersionTest.moc"
