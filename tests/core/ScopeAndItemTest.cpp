#include "core/FileItem.h"
#include "core/FileUri.h"
#include "core/SearchScope.h"
#include "tests/support/TestRunner.h"

#include <QtTest>

using namespace tarnwick;

class ScopeAndItemTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void theScopeIsAStackOfFolders() {
        SearchScope scope("/home/u/A/"), root("/");
        scope.push("/home/u/A/b");
        scope.push("/home/u/A/b/c/");
        root.push("/usr/share");
        QCOMPARE(scope.stack(), (QByteArrayList{"/home/u/A", "/home/u/A/b"}));
        QCOMPARE(scope.displayPath() + u' ' + root.displayPath(), "A/b/c /usr/share");
        QVERIFY(scope.pop() && scope.pop() && !scope.pop());
        QCOMPARE(scope.currentDirectory() + ' ' + scope.displayPath().toUtf8(), "/home/u/A A");
    }

    // Every path is split into the searched folder, a relative folder and a name, and put
    // together again byte for byte.
    void itemsKeepEveryByteOfTheirPath() {
        const QByteArray odd(
            "/d/a\xff"
            "b c%d#e\n");
        for (auto [path, searched, relative] : {std::tuple{"/A/x", "/A", ""},
                                                {"/A/b/c/y", "/A", "b/c"},
                                                {"/U/a/b", "/", "U/a"},
                                                {"/b", "/", ""},
                                                {odd.constData(), "/", "d"}}) {
            const FileItem item = FileItem::fromPath(path, searched, false, 12, 1000);
            QCOMPARE(item.path(), QByteArray(path));
            QCOMPARE(item.nativeRelativeDirectory().toByteArray(), QByteArray(relative));
            QCOMPARE(item.nativeRelativePath(), relativePath(searched, path));
            QCOMPARE(item.name(), QString::fromUtf8(lastPathComponent(path)));  // shown lossily
            QCOMPARE(pathFromFileUri(item.url().toLatin1()), QByteArray(path));
            QVERIFY(item.hasPath(path) && !item.hasPath(QByteArray(path) + "x") &&
                    !item.hasPath(path + 1));
            for (qsizetype i = 0; i < QByteArrayView(path).size(); ++i) {
                QByteArray other = path;  // the '/' counts as much as any other byte
                other[i] = other[i] == '/' ? 'x' : '/';
                QVERIFY(!item.hasPath(other));
            }
        }
        QCOMPARE(FileItem::fromPath(odd, "/d", false, 0).url(), "file:///d/a%FFb%20c%25d%23e%0A");
        QCOMPARE(FileItem::fromPath(odd, "/d", false, 0, 1000).modified()->toMSecsSinceEpoch(),
                 1000);
        QVERIFY(!FileItem::fromPath(odd, "/d", false, 0).modified());
        QCOMPARE(pathFromFileUri("file://localhost/x"), QByteArray("/x"));
        QVERIFY(!pathFromFileUri("http://example.org/x") && !pathFromFileUri("file://otherhost/x"));
    }
};

TARNWICK_TEST(ScopeAndItemTest)
#include "ScopeAndItemTest.moc"
