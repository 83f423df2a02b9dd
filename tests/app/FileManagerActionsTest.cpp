#include "app/FileManagerActions.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

using namespace tarnwick;
using tarnwick::test::TempTree;

namespace {

QByteArray contentOf(const QByteArray& path) {
    QFile file(QString::fromLocal8Bit(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

// The Nautilus script as Nautilus runs it: in the shown folder, with the selection as arguments.
// The program it starts is a stand-in that records its arguments.
class NautilusScriptTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TempTree> m_tree;
    QByteArray m_program;
    QString m_script;

    QByteArray runScript(const QByteArray& workingFolder, const QStringList& selection) {
        QFile::remove(QString::fromLocal8Bit(m_tree->pathOf("args")));
        QProcess process;
        process.setWorkingDirectory(QString::fromLocal8Bit(workingFolder));
        process.start(m_script, selection);
        if (!process.waitForFinished(10000)) return "(did not finish)";
        return contentOf(m_tree->pathOf("args"));
    }

private Q_SLOTS:
    void init() {
        m_tree = std::make_unique<TempTree>();
        // A program path with a space and a quote, which the script must quote.
        m_program = m_tree->pathOf("bin dir/it's tarnwick");
        m_tree->write("bin dir/it's tarnwick",
                      "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"" +
                          m_tree->pathOf("args") + "\"\n");
        QFile::setPermissions(QString::fromLocal8Bit(m_program), QFileDevice::ReadOwner |
                                                                     QFileDevice::ExeOwner |
                                                                     QFileDevice::WriteOwner);
        m_tree->mkdir("shown/sub folder");
        m_tree->write("shown/file.txt");
        m_script = QString::fromLocal8Bit(m_tree->pathOf("scripts/Search with Tarnwick"));
        QString error;
        QVERIFY2(NautilusScriptAction(m_script, m_program).install(&error), qPrintable(error));
    }

    void isExecutableAndInstalled() {
        QVERIFY(QFileInfo(m_script).isExecutable());
        QVERIFY(NautilusScriptAction(m_script, m_program).isInstalled());
    }

    void searchesTheSelectedFolder() {
        QCOMPARE(runScript(m_tree->pathOf("shown"), {"file.txt", "sub folder"}),
                 m_tree->pathOf("shown/sub folder") + '\n');
    }

    void searchesTheShownFolderWithoutAFolderSelected() {
        QCOMPARE(runScript(m_tree->pathOf("shown"), {"file.txt"}), m_tree->pathOf("shown") + '\n');
        QCOMPARE(runScript(m_tree->pathOf("shown"), {}), m_tree->pathOf("shown") + '\n');
    }

    void leavesAForeignScriptOfTheSameNameAlone() {
        const QByteArray mine = "#!/bin/sh\necho mine\n";
        m_tree->write("scripts/Search with Tarnwick", mine);
        const NautilusScriptAction action(m_script, m_program);
        QVERIFY(!action.isInstalled());
        QString error;
        QVERIFY(!action.install(&error));
        QVERIFY(action.remove(&error));
        QCOMPARE(contentOf(m_tree->pathOf("scripts/Search with Tarnwick")), mine);
    }

    void removes() {
        QString error;
        QVERIFY(NautilusScriptAction(m_script, m_program).remove(&error));
        QVERIFY(!QFile::exists(m_script));
    }
};

// `tarnwick --install-file-manager-actions [--remove]` for a user with Nautilus and Thunar,
// whose uca.xml has an action of its own.
class FileManagerActionsTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TempTree> m_tree;
    const QByteArray kOtherAction =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n<action>\n\t<name>Mine</name>\n"
        "\t<unique-id>123-1</unique-id>\n\t<command>true %f</command>\n</action>\n</actions>\n";

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
        QCOMPARE(installFileManagerActions({"tarnwick", "--install-file-manager-actions"}), 0);
        const FileManagerActions actions = FileManagerActions::forThisUser();
        QCOMPARE(actions.presentFileManagers(), (QStringList{"Nautilus", "Thunar"}));
        QVERIFY(actions.isInstalled());
        QVERIFY(QFileInfo(QString::fromLocal8Bit(
                              m_tree->pathOf("data/nautilus/scripts/Search with Tarnwick")))
                    .isExecutable());
        const QByteArray uca = contentOf(m_tree->pathOf("config/Thunar/uca.xml"));
        QVERIFY(uca.contains("<unique-id>123-1</unique-id>"));
        QVERIFY(uca.contains("<unique-id>org.tarnwick.Tarnwick.search-here</unique-id>"));

        QCOMPARE(
            installFileManagerActions({"tarnwick", "--install-file-manager-actions", "--remove"}),
            0);
        QVERIFY(!FileManagerActions::forThisUser().isInstalled());
        QCOMPARE(contentOf(m_tree->pathOf("config/Thunar/uca.xml")), kOtherAction);
        QVERIFY(!QFile::exists(
            QString::fromLocal8Bit(m_tree->pathOf("data/nautilus/scripts/Search with Tarnwick"))));
    }

    void onlyPresentFileManagersAreTouched() {
        QVERIFY(QFile::remove(QString::fromLocal8Bit(m_tree->pathOf("config/Thunar/uca.xml"))));
        QVERIFY(QDir(QString::fromLocal8Bit(m_tree->pathOf("config/Thunar"))).removeRecursively());
        QCOMPARE(installFileManagerActions({"tarnwick", "--install-file-manager-actions"}), 0);
        QCOMPARE(FileManagerActions::forThisUser().presentFileManagers(), QStringList{"Nautilus"});
        QVERIFY(!QFile::exists(QString::fromLocal8Bit(m_tree->pathOf("config/Thunar"))));
    }

    void aBrokenUcaFileFailsButNautilusStillGetsItsScript() {
        m_tree->write("config/Thunar/uca.xml", "<actions><action>");
        QCOMPARE(installFileManagerActions({"tarnwick", "--install-file-manager-actions"}), 1);
        QCOMPARE(contentOf(m_tree->pathOf("config/Thunar/uca.xml")),
                 QByteArray("<actions><action>"));
        QVERIFY(QFile::exists(
            QString::fromLocal8Bit(m_tree->pathOf("data/nautilus/scripts/Search with Tarnwick"))));
    }

    void rejectsUnknownOptions() {
        QCOMPARE(
            installFileManagerActions({"tarnwick", "--install-file-manager-actions", "--force"}),
            2);
        QVERIFY(!QFile::exists(QString::fromLocal8Bit(m_tree->pathOf("data/nautilus/scripts"))));
    }
};

TARNWICK_TEST(NautilusScriptTest)
TARNWICK_TEST(FileManagerActionsTest)
#include "FileManagerActionsTest.moc"
