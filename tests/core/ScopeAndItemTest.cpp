#include "core/FileItem.h"
#include "core/FileUri.h"
#include "core/SearchScope.h"
#include "tests/support/TestRunner.h"

#include <QtTest>

using namespace tarnwick;

class ScopeAndItemTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void freshScopeShowsItsLastComponent() {
        SearchScope scope("/home/u/A");
        QVERIFY(scope.stack().isEmpty());
        QCOMPARE(scope.currentDirectory(), QByteArray("/home/u/A"));
        QCOMPARE(scope.displayPath(), QStringLiteral("A"));
    }

    void pushAndPopWalkTheStack() {
        SearchScope scope("/home/u/A/");
        scope.push("/home/u/A/b");
        scope.push("/home/u/A/b/c");
        QCOMPARE(scope.stack(), (QList<QByteArray>{"/home/u/A", "/home/u/A/b"}));
        QCOMPARE(scope.displayPath(), QStringLiteral("A/b/c"));
        QVERIFY(scope.pop());
        QCOMPARE(scope.displayPath(), QStringLiteral("A/b"));
        QVERIFY(scope.pop());
        QCOMPARE(scope.displayPath(), QStringLiteral("A"));
        QVERIFY(!scope.pop());
        QCOMPARE(scope.currentDirectory(), QByteArray("/home/u/A"));
        QVERIFY(scope.stack().isEmpty());
    }

    void displayPathBelowTheFileSystemRoot() {
        SearchScope scope("/");
        QCOMPARE(scope.displayPath(), QStringLiteral("/"));
        scope.push("/usr/share");
        QCOMPARE(scope.displayPath(), QStringLiteral("/usr/share"));
    }

    void relativePathRule() {
        QCOMPARE(relativePath("/A", "/A"), QByteArray());
        QCOMPARE(relativePath("/A", "/A/b/c"), QByteArray("b/c"));
        QCOMPARE(relativePath("/", "/Users/a"), QByteArray("Users/a"));
        // Text, not file-system objects: no case folding.
        QCOMPARE(relativePath("/A", "/A/B"), QByteArray("B"));
    }

    void itemFieldsDeriveFromItsFolder() {
        FileItem top = FileItem::fromPath("/A/x.txt", "/A", false, 12, 1000);
        QCOMPARE(top.name(), QStringLiteral("x.txt"));
        QCOMPARE(top.relativeDirectory(), QString());
        QCOMPARE(top.path(), QByteArray("/A/x.txt"));
        QCOMPARE(top.fileSize(), 12);
        QCOMPARE(top.modified()->toMSecsSinceEpoch(), 1000);

        FileItem deep = FileItem::fromPath("/A/b/c/y.txt", "/A", false, 0);
        QCOMPARE(deep.relativeDirectory(), QStringLiteral("b/c"));
        QCOMPARE(deep.nativeRelativePath(), QByteArray("b/c/y.txt"));
        QVERIFY(!deep.modified());

        FileItem underRoot = FileItem::fromPath("/Users/a/b.txt", "/", false, 0);
        QCOMPARE(underRoot.relativeDirectory(), QStringLiteral("Users/a"));
        FileItem copy = underRoot;
        QCOMPARE(copy.path(), underRoot.path());
    }

    void urisKeepEveryByteOfTheName() {
        const QByteArray odd(
            "/data/a\xff"
            "b c%d#e\n");
        FileItem item = FileItem::fromPath(odd, "/data", false, 0);
        QCOMPARE(item.url(), QStringLiteral("file:///data/a%FFb%20c%25d%23e%0A"));
        QCOMPARE(pathFromFileUri(item.url().toLatin1()), odd);
        QCOMPARE(item.name(), QString::fromUtf8("a\xef\xbf\xbd"
                                                "b c%d#e\n"));  // shown lossily
        QCOMPARE(pathFromFileUri("file://localhost/x"), QByteArray("/x"));
        QVERIFY(!pathFromFileUri("http://example.org/x"));
        QVERIFY(!pathFromFileUri("file://otherhost/x"));
    }
};

TARNWICK_TEST(ScopeAndItemTest)
#include "ScopeAndItemTest.moc"
