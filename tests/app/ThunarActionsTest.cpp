#include "platform/xdg/ThunarActionsFile.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QFile>
#include <QTest>
#include <QXmlStreamReader>

using namespace tarnwick;
using tarnwick::test::TempTree;

namespace {

// A uca.xml as Thunar writes it, with a comment, an entity, non-ASCII names (one outside the
// Basic Multilingual Plane) and an attribute Thunar does not know.
const QByteArray kUserFile =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<actions>\n"
    "<!-- my own actions -->\n"
    "<action>\n"
    "\t<icon>utilities-terminal</icon>\n"
    "\t<name>Open Terminal Here \xf0\x9f\x96\xa5 \xe7\xab\xaf\xe6\x9c\xab</name>\n"
    "\t<unique-id>1700000000000001-1</unique-id>\n"
    "\t<command>exo-open --working-directory %f --launch TerminalEmulator &amp;&amp; "
    "true</command>\n"
    "\t<description>Example for a custom action</description>\n"
    "\t<patterns>*</patterns>\n"
    "\t<startup-notify/>\n"
    "\t<directories/>\n"
    "</action>\n"
    "<action custom=\"kept\">\n"
    "\t<icon></icon>\n"
    "\t<name>Shrink images</name>\n"
    "\t<unique-id>1700000000000002-2</unique-id>\n"
    "\t<command>mogrify -resize 50% %F</command>\n"
    "\t<patterns>*.png;*.jpg</patterns>\n"
    "\t<image-files/>\n"
    "</action>\n"
    "</actions>\n";

ThunarAction ourAction(const QString& command = QStringLiteral("'/usr/bin/tarnwick' %f")) {
    return {QStringLiteral("org.tarnwick.Tarnwick.search-here"),
            QStringLiteral("Search with Tarnwick"),
            QStringLiteral("Search <here> & now"),
            QStringLiteral("org.tarnwick.Tarnwick"),
            command,
            true};
}

// The text of every <unique-id>, in order.
QStringList uniqueIds(const QByteArray& xml) {
    QStringList ids;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == QLatin1String("unique-id"))
            ids << reader.readElementText();
    }
    return reader.hasError() ? QStringList{QStringLiteral("(malformed)")} : ids;
}

QString commandOf(const QByteArray& xml, const QString& id) {
    QXmlStreamReader reader(xml);
    QString command;
    QString currentId;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement) continue;
        if (reader.name() == QLatin1String("unique-id")) currentId = reader.readElementText();
        if (reader.name() == QLatin1String("command")) {
            const QString text = reader.readElementText();
            if (currentId == id) command = text;
        }
    }
    return command;
}

QByteArray contentOf(const QByteArray& path) {
    QFile file(QString::fromLocal8Bit(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

// Editing Thunar's shared uca.xml: our action goes in and out, everything else stays byte for
// byte, and a file we cannot understand is left alone.
class ThunarActionsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void addingKeepsEveryOtherByte() {
        const ThunarActionsEdit edit =
            editThunarActions(kUserFile, ourAction().uniqueId, ourAction());
        QVERIFY2(edit.ok, qPrintable(edit.error));
        QCOMPARE(uniqueIds(edit.xml), (QStringList{"1700000000000001-1", "1700000000000002-2",
                                                   "org.tarnwick.Tarnwick.search-here"}));
        // The new file is the old one with our action inserted before </actions>.
        const qsizetype at = kUserFile.lastIndexOf("</actions>");
        QVERIFY(edit.xml.startsWith(kUserFile.left(at)));
        QVERIFY(edit.xml.endsWith("</action>\n</actions>\n"));
        QCOMPARE(commandOf(edit.xml, ourAction().uniqueId), ourAction().command);
        QVERIFY(edit.xml.contains("<description>Search &lt;here&gt; &amp; now</description>"));
    }

    void removingRestoresTheOriginal() {
        const ThunarActionsEdit added =
            editThunarActions(kUserFile, ourAction().uniqueId, ourAction());
        const ThunarActionsEdit removed =
            editThunarActions(added.xml, ourAction().uniqueId, std::nullopt);
        QVERIFY2(removed.ok, qPrintable(removed.error));
        QCOMPARE(removed.xml, kUserFile);
    }

    void addingTwiceReplaces() {
        const ThunarActionsEdit once =
            editThunarActions(kUserFile, ourAction().uniqueId, ourAction());
        const ThunarAction moved = ourAction(QStringLiteral("'/opt/tarnwick/bin/tarnwick' %f"));
        const ThunarActionsEdit twice = editThunarActions(once.xml, moved.uniqueId, moved);
        QVERIFY(twice.ok);
        QCOMPARE(uniqueIds(twice.xml).count(moved.uniqueId), 1);
        QCOMPARE(commandOf(twice.xml, moved.uniqueId), moved.command);
        QCOMPARE(twice.xml.size() - once.xml.size(),
                 moved.command.size() - ourAction().command.size());
    }

    void startsAnEmptyFile() {
        const ThunarActionsEdit edit = editThunarActions({}, ourAction().uniqueId, ourAction());
        QVERIFY(edit.ok);
        QCOMPARE(uniqueIds(edit.xml), QStringList{ourAction().uniqueId});
        QVERIFY(hasThunarAction(edit.xml, ourAction().uniqueId));
    }

    void handlesActionsOnOneLine() {
        const QByteArray compact =
            "<actions><action><unique-id>a</unique-id></action><action>"
            "<unique-id>org.tarnwick.Tarnwick.search-here</unique-id></action></actions>";
        const ThunarActionsEdit edit =
            editThunarActions(compact, ourAction().uniqueId, std::nullopt);
        QVERIFY(edit.ok);
        QCOMPARE(edit.xml,
                 QByteArray("<actions><action><unique-id>a</unique-id></action></actions>"));
    }

    void refusesWhatItCannotRead_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("truncated") << kUserFile.left(kUserFile.size() / 2);
        QTest::newRow("other root") << QByteArray("<?xml version=\"1.0\"?><accels/>");
        QTest::newRow("not UTF-8")
            << QByteArray("<actions><action><name>caf\xe9</name></action></actions>");
        QTest::newRow("two roots") << QByteArray("<actions/><actions/>");
    }
    void refusesWhatItCannotRead() {
        QFETCH(QByteArray, content);
        QVERIFY(!editThunarActions(content, ourAction().uniqueId, ourAction()).ok);
        QVERIFY(!editThunarActions(content, ourAction().uniqueId, std::nullopt).ok);
        QVERIFY(!hasThunarAction(content, ourAction().uniqueId));
    }

    void fileEditsKeepACopyAndNeverOverwriteIt() {
        TempTree tree;
        tree.write("config/Thunar/uca.xml", kUserFile);
        const ThunarActionsFile file(QString::fromLocal8Bit(tree.pathOf("config/Thunar/uca.xml")),
                                     {});
        QString error;
        QVERIFY2(file.install(ourAction(), &error), qPrintable(error));
        QVERIFY(file.contains(ourAction().uniqueId));
        QCOMPARE(contentOf(tree.pathOf("config/Thunar/uca.xml.before-tarnwick")), kUserFile);
        QVERIFY(file.remove(ourAction().uniqueId, &error));
        QVERIFY(!file.contains(ourAction().uniqueId));
        QCOMPARE(contentOf(tree.pathOf("config/Thunar/uca.xml")), kUserFile);
        QVERIFY(file.install(ourAction(), &error));
        // The first copy stays what the user had before any change.
        QCOMPARE(contentOf(tree.pathOf("config/Thunar/uca.xml.before-tarnwick")), kUserFile);
    }

    void aBrokenFileIsLeftAlone() {
        TempTree tree;
        const QByteArray broken = kUserFile.left(100);
        tree.write("Thunar/uca.xml", broken);
        const ThunarActionsFile file(QString::fromLocal8Bit(tree.pathOf("Thunar/uca.xml")), {});
        QString error;
        QVERIFY(!file.install(ourAction(), &error));
        QVERIFY2(error.contains(QLatin1String("left unchanged")), qPrintable(error));
        QCOMPARE(contentOf(tree.pathOf("Thunar/uca.xml")), broken);
        QVERIFY(
            !QFile::exists(QString::fromLocal8Bit(tree.pathOf("Thunar/uca.xml.before-tarnwick"))));
    }

    void aNewUserFileStartsFromTheSystemDefaults() {
        TempTree tree;
        tree.write("etc/xdg/Thunar/uca.xml", kUserFile);
        const ThunarActionsFile file(
            QString::fromLocal8Bit(tree.pathOf("home/Thunar/uca.xml")),
            {QString::fromLocal8Bit(tree.pathOf("etc/nothing/Thunar/uca.xml")),
             QString::fromLocal8Bit(tree.pathOf("etc/xdg/Thunar/uca.xml"))});
        QString error;
        QVERIFY2(file.install(ourAction(), &error), qPrintable(error));
        QCOMPARE(uniqueIds(contentOf(tree.pathOf("home/Thunar/uca.xml"))).size(), 3);
        QCOMPARE(contentOf(tree.pathOf("etc/xdg/Thunar/uca.xml")), kUserFile);
    }

    void removingWithoutAUserFileTouchesNothing() {
        TempTree tree;
        const ThunarActionsFile file(QString::fromLocal8Bit(tree.pathOf("Thunar/uca.xml")), {});
        QString error;
        QVERIFY(file.remove(ourAction().uniqueId, &error));
        QVERIFY(!QFile::exists(QString::fromLocal8Bit(tree.pathOf("Thunar/uca.xml"))));
    }
};

TARNWICK_TEST(ThunarActionsTest)
#include "ThunarActionsTest.moc"
