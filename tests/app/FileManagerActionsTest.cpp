#include "app/FileManagerActions.h"
#include "platform/xdg/ThunarCustomActions.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <QXmlStreamReader>

using namespace tarnwick;
using tarnwick::test::TempTree;
using namespace Qt::StringLiterals;

namespace {

// A uca.xml as Thunar writes it, with a comment, an entity, non-ASCII names (one outside the
// Basic Multilingual Plane) and an attribute Thunar does not know.
const QByteArray kUserFile =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n<!-- my own actions -->\n<action>\n"
    "\t<icon>utilities-terminal</icon>\n"
    "\t<name>Open Terminal Here \xf0\x9f\x96\xa5 \xe7\xab\xaf\xe6\x9c\xab</name>\n"
    "\t<unique-id>1700000000000001-1</unique-id>\n"
    "\t<command>exo-open --working-directory %f &amp;&amp; true</command>\n"
    "\t<patterns>*</patterns>\n\t<startup-notify/>\n\t<directories/>\n</action>\n"
    "<action custom=\"kept\">\n\t<icon></icon>\n\t<name>Shrink images</name>\n"
    "\t<unique-id>1700000000000002-2</unique-id>\n\t<command>mogrify -resize 50% %F</command>\n"
    "\t<patterns>*.png;*.jpg</patterns>\n\t<image-files/>\n</action>\n</actions>\n";
const QString kId = u"org.tarnwick.Tarnwick.search-here"_s;
const QByteArray kScript = "data/nautilus/scripts/Search with Tarnwick";

ThunarAction ourAction(const QString& command = u"'/usr/bin/tarnwick' %f"_s) {
    return {kId, u"Search with Tarnwick"_s, u"Search <here> & now"_s, u"x"_s, command, true};
}

QStringList texts(const QByteArray& xml, const char* name) {
    QStringList found;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd())
        if (reader.readNext() == QXmlStreamReader::StartElement &&
            reader.name() == QLatin1String(name))
            found << reader.readElementText();
    return reader.hasError() ? QStringList{u"(malformed)"_s} : found;
}

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString pathIn(const TempTree& tree, const QByteArray& relative) {
    return QString::fromLocal8Bit(tree.pathOf(relative));
}

}  // namespace

// Editing Thunar's shared uca.xml: our action goes in and out, everything else stays byte for
// byte, and a file we cannot understand is left alone.
class ThunarActionsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void editsOnlyOurAction() {
        const ThunarActionsEdit added = editThunarActions(kUserFile, kId, ourAction());
        QVERIFY2(added.ok, qPrintable(added.error));
        QCOMPARE(texts(added.xml, "unique-id"),
                 (QStringList{"1700000000000001-1", "1700000000000002-2", kId}));
        // The old file with our action inserted before </actions>.
        QVERIFY(added.xml.startsWith(kUserFile.left(kUserFile.lastIndexOf("</actions>"))) &&
                added.xml.endsWith("</action>\n</actions>\n"));
        QCOMPARE(texts(added.xml, "command").last(), ourAction().command);
        QVERIFY(added.xml.contains("<description>Search &lt;here&gt; &amp; now</description>"));
        const ThunarAction moved = ourAction(u"'/opt/tarnwick/bin/tarnwick' %f"_s);
        const ThunarActionsEdit twice = editThunarActions(added.xml, kId, moved);
        QVERIFY(twice.ok && texts(twice.xml, "unique-id").count(kId) == 1);
        QCOMPARE(texts(twice.xml, "command").last(), moved.command);
        QCOMPARE(twice.xml.size() - added.xml.size(),
                 moved.command.size() - ourAction().command.size());
        const ThunarActionsEdit removed = editThunarActions(twice.xml, kId, std::nullopt);
        QVERIFY(removed.ok && removed.xml == kUserFile);
        const ThunarActionsEdit fresh = editThunarActions({}, kId, ourAction());
        QVERIFY(fresh.ok && hasThunarAction(fresh.xml, kId));
        QCOMPARE(texts(fresh.xml, "unique-id"), QStringList{kId});
        const ThunarActionsEdit compact = editThunarActions(
            "<actions><action><unique-id>a</unique-id></action><action><unique-id>" + kId.toUtf8() +
                "</unique-id></action></actions>",
            kId, std::nullopt);
        QCOMPARE(compact.xml,
                 QByteArray("<actions><action><unique-id>a</unique-id></action></actions>"));
        // An empty list written as one tag is opened up to take our action, and left as it is
        // when there is nothing to remove.
        const QByteArray empty = "<?xml version=\"1.0\"?>\n<actions />\n";
        const ThunarActionsEdit opened = editThunarActions(empty, kId, ourAction());
        QVERIFY2(opened.ok, qPrintable(opened.error));
        QCOMPARE(texts(opened.xml, "unique-id"), QStringList{kId});
        QVERIFY(opened.xml.startsWith("<?xml version=\"1.0\"?>\n<actions >\n<action>") &&
                opened.xml.endsWith("</action>\n</actions>\n"));
        QCOMPARE(editThunarActions(empty, kId, std::nullopt).xml, empty);
    }
    void refusesWhatItCannotRead() {
        for (const QByteArray& content :
             {kUserFile.left(kUserFile.size() / 2), QByteArray("<?xml version=\"1.0\"?><accels/>"),
              QByteArray("<actions><action><name>caf\xe9</name></action></actions>"),
              QByteArray("<actions/><actions/>")}) {
            QVERIFY(!editThunarActions(content, kId, ourAction()).ok &&
                    !editThunarActions(content, kId, std::nullopt).ok &&
                    !hasThunarAction(content, kId));
        }
    }
    // A file edit keeps the first copy; a broken file is left alone, without a copy; a new
    // user file starts from the system defaults.
    void fileEdits() {
        TempTree tree;
        auto at = [&tree](const char* relative) { return pathIn(tree, relative); };
        tree.write("Thunar/uca.xml", kUserFile);
        const ThunarActionsFile file(at("Thunar/uca.xml"), {});
        QString error;
        QVERIFY2(file.install(ourAction(), &error), qPrintable(error));
        QVERIFY(file.contains(kId) && file.remove(kId, &error) && !file.contains(kId));
        QCOMPARE(contentOf(at("Thunar/uca.xml")), kUserFile);
        tree.write("Thunar/uca.xml", "<actions>\n</actions>\n");
        QVERIFY2(file.install(ourAction(), &error), qPrintable(error));
        QCOMPARE(contentOf(at("Thunar/uca.xml.before-tarnwick")), kUserFile);
        tree.write("broken/uca.xml", kUserFile.left(100));
        QVERIFY(!ThunarActionsFile(at("broken/uca.xml"), {}).install(ourAction(), &error));
        QVERIFY2(error.contains("left unchanged"_L1), qPrintable(error));
        QCOMPARE(contentOf(at("broken/uca.xml")), kUserFile.left(100));
        QVERIFY(!QFile::exists(at("broken/uca.xml.before-tarnwick")));
        tree.write("etc/xdg/Thunar/uca.xml", kUserFile);
        const ThunarActionsFile user(at("home/Thunar/uca.xml"),
                                     {at("etc/no/Thunar/uca.xml"), at("etc/xdg/Thunar/uca.xml")});
        QVERIFY(user.remove(kId, &error));  // nothing to remove: nothing written
        QVERIFY(!QFile::exists(at("home/Thunar/uca.xml")));
        QVERIFY2(user.install(ourAction(), &error), qPrintable(error));
        QCOMPARE(texts(contentOf(at("home/Thunar/uca.xml")), "unique-id").size(), 3);
        QCOMPARE(contentOf(at("etc/xdg/Thunar/uca.xml")), kUserFile);
    }
};

// `tarnwick --install-file-manager-actions [--remove]` for a user with Nautilus and Thunar,
// whose uca.xml has an action of its own; the Nautilus script as Nautilus runs it.
class FileManagerActionsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TempTree> m_tree;
    const QByteArray kOtherAction =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n<action>\n\t<name>Mine</name>\n"
        "\t<unique-id>123-1</unique-id>\n\t<command>true %f</command>\n</action>\n</actions>\n";
    static int command(QStringList options) {
        return installFileManagerActions(QStringList{"tarnwick", "--install-file-manager-actions"} +
                                         options);
    }
    QString at(const QByteArray& relative) const { return pathIn(*m_tree, relative); }

private Q_SLOTS:
    void init() {
        m_tree = std::make_unique<TempTree>();
        qputenv("XDG_DATA_HOME", m_tree->pathOf("data"));
        qputenv("XDG_CONFIG_HOME", m_tree->pathOf("config"));
        qputenv("XDG_CONFIG_DIRS", m_tree->pathOf("etc-xdg"));
        m_tree->mkdir("data/nautilus");
        m_tree->write("config/Thunar/uca.xml", kOtherAction);
        // No file manager programs on PATH: the folders above are what makes them present.
        qputenv("PATH", m_tree->pathOf("empty-bin"));
    }
    void installsAndRemovesForBoth() {
        QCOMPARE(command({}), 0);
        const FileManagerActions actions = FileManagerActions::forThisUser();
        QCOMPARE(actions.presentFileManagers(), (QStringList{"Nautilus", "Thunar"}));
        QVERIFY(actions.isInstalled() && QFileInfo(at(kScript)).isExecutable());
        QCOMPARE(texts(contentOf(at("config/Thunar/uca.xml")), "unique-id"),
                 (QStringList{"123-1", kId}));
        QCOMPARE(command({"--remove"}), 0);
        QVERIFY(!FileManagerActions::forThisUser().isInstalled() && !QFile::exists(at(kScript)));
        QCOMPARE(contentOf(at("config/Thunar/uca.xml")), kOtherAction);
    }
    void onlyWhatCanBeChangedIsChanged() {
        QCOMPARE(command({"--force"}), 2);
        QVERIFY(!QFile::exists(at("data/nautilus/scripts")));
        m_tree->write("config/Thunar/uca.xml", "<actions><action>");
        QCOMPARE(command({}), 1);  // Nautilus still gets its script
        QCOMPARE(contentOf(at("config/Thunar/uca.xml")), QByteArray("<actions><action>"));
        QVERIFY(QFile::exists(at(kScript)) && QDir(at("config/Thunar")).removeRecursively());
        QCOMPARE(command({}), 0);
        QCOMPARE(FileManagerActions::forThisUser().presentFileManagers(), QStringList{"Nautilus"});
        QVERIFY(!QFile::exists(at("config/Thunar")));
    }
    // Run in the shown folder with the selection as arguments, the script hands the selected
    // folder, or else the shown one, to a stand-in that records its arguments.
    void nautilusScriptSearchesTheSelectedOrShownFolder() {
        const QByteArray program = m_tree->pathOf("bin dir/it's tarnwick");  // must be quoted
        m_tree->write("bin dir/it's tarnwick",
                      "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + m_tree->pathOf("args") + "\"\n");
        QFile::setPermissions(at("bin dir/it's tarnwick"),
                              QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        m_tree->mkdir("shown/sub folder");
        m_tree->write("shown/file.txt");
        const QString script = at("scripts/Search");
        const NautilusScriptAction action(script, program);
        QString error;
        QVERIFY2(action.install(&error) && action.isInstalled(), qPrintable(error));
        for (const auto& [selection, folder] :
             {std::pair<QStringList, QByteArray>{{"file.txt", "sub folder"}, "shown/sub folder"},
              {{"file.txt"}, "shown"},
              {{}, "shown"}}) {
            QProcess process;
            process.setWorkingDirectory(at("shown"));
            process.start(script, selection);
            QVERIFY(process.waitForFinished(10000));
            QCOMPARE(contentOf(at("args")), m_tree->pathOf(folder) + '\n');
        }
        QVERIFY(action.remove(&error) && !QFile::exists(script));
        // A user's own script of that name is never overwritten or deleted.
        m_tree->write("scripts/Search", "#!/bin/sh\necho mine\n");
        QVERIFY(!action.isInstalled() && !action.install(&error) && action.remove(&error));
        QCOMPARE(contentOf(script), QByteArray("#!/bin/sh\necho mine\n"));
    }
};

TARNWICK_TEST(ThunarActionsTest)
TARNWICK_TEST(FileManagerActionsTest)
#include "FileManagerActionsTest.moc"
