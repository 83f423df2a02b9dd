#include "core/ContentMatch.h"
#include "panel/FileResultCellView.h"
#include "panel/PanelLayout.h"
#include "panel/PanelPlacement.h"
#include "panel/RelativeDate.h"
#include "panel/ResultText.h"
#include "panel/ResultsModel.h"
#include "panel/TabularDigits.h"
#include "tests/support/TestRunner.h"

#include <QFontDatabase>
#include <QPainter>
#include <QTest>
#include <QTimeZone>

using namespace tarnwick;

namespace {
const QByteArray kRoot = "/home/ada/Work";
// "START,LENGTH START,LENGTH ..."
QList<TextRange> ranges(const QString& text) {
    QList<TextRange> out;
    for (const QString& range : text.split(u' ', Qt::SkipEmptyParts))
        out.append({range.section(u',', 0, 0).toInt(), range.section(u',', 1).toInt()});
    return out;
}
QString text(const QList<TextRange>& ranges) {
    QStringList out;
    for (const TextRange& r : ranges)
        out.append(QStringLiteral("%1,%2").arg(r.start).arg(r.length));
    return out.join(u' ');
}
// A path below kRoot; a trailing '/' makes it a folder.
FileItem itemAt(const QByteArray& relative, qint64 size = 0, qint64 modified = FileItem::kNoDate) {
    const bool folder = relative.endsWith('/');
    return FileItem::fromPath(kRoot + "/" + (folder ? relative.chopped(1) : relative), kRoot,
                              folder, size, modified);
}
}  // namespace

// The panel's pure functions: where it opens and lays out its views, and what a result row says.
// Text rows hold their input and answer, so a failure names the input.
class PanelFunctionsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The taller second screen leaves a gap below the first one, at (640, 1100).
    void screenForPointer() {
        const QList<ScreenArea> screens = {{{0, 0, 1920, 1080}, {0, 32, 1920, 1048}},
                                           {{1920, 0, 1920, 1200}, {1920, 0, 1920, 1136}}};
        const int rows[][4] = {{100, 100, 1, 0},  {2500, 900, 0, 1}, {1920, 0, 0, 1},
                               {640, 1100, 1, 1}, {640, 1100, 0, 0}, {640, 1100, -1, 0}};
        for (const auto& r : rows)
            QCOMPARE(tarnwick::screenForPointer(screens, r[2], {r[0], r[1]}), r[3]);
        QCOMPARE(tarnwick::screenForPointer({}, 0, {}), std::nullopt);
    }
    // Bottom edge 100 above the available middle (960, 556); grown from the top, moved up when low.
    void opensCentredAboveTheMiddleAndGrowsDown() {
        QCOMPARE(openingRect({0, 32, 1920, 1048}), QRect(960 - 320, 556 - 100 - 120, 640, 120));
        const QRect screen(1920, 0, 1920, 1016), small(0, 30, 1024, 570);
        QCOMPARE(openingRect(screen), QRect(2880 - 320, 508 - 100 - 120, 640, 120));
        const struct {
            QRect available, current;
            int height;
            QRect resized;
        } rows[] = {{screen, openingRect(screen), 621, {2560, 288, 640, 621}},
                    {screen, {2560, 288, 640, 621}, 131, {2560, 288, 640, 131}},
                    {small, openingRect(small), 621, {192, 30, 640, 570}},
                    {small, openingRect(small), 523, {192, 77, 640, 523}},
                    {{0, 0, 1920, 1080}, {500, 900, 640, 180}, 621, {500, 459, 640, 621}}};
        for (const auto& r : rows)
            QCOMPARE(resizedKeepingTop(r.current, r.height, r.available), r.resized);
    }
    // Gaps of 10, 4, 4, 6 and 4 from the top down, 8 at the bottom; 16, 14 or 8 from the sides.
    void viewsFollowTheMargins() {
        const PanelLayout l = panelLayout({kPanelWidth, 621}, 80);
        QCOMPARE((QList<QRect>{l.directoryLabel, l.countLabel, l.searchField, l.pillRow,
                               l.sortButton, l.separator, l.results}),
                 (QList<QRect>{{12, 10, 520, 16},
                               {544, 10, 80, 16},
                               {16, 30, 608, 48},
                               {14, 82, 539, 28},
                               {561, 85, 65, 22},
                               {8, 116, 624, 1},
                               {0, 121, 640, 492}}));
        // A longer count narrows the folder label, never overlapping it.
        QCOMPARE(panelLayout({kPanelWidth, 131}, 240).directoryLabel, QRect(12, 10, 360, 16));
        QCOMPARE(panelLayout({kPanelWidth, kConstructionHeight}, 60).results.height(), 0);
    }
    void highlights() {
        for (const char* row :
             {"Banana.txt|an|1,2 3,2", "Report proposal.docx|re po|0,2 2,2 10,2", "banana|ana|1,3",
              "aaaa|aa|0,2 2,2", "banana|an na|1,5", "report|report port|0,6",
              "Report proposal.docx|  re |0,2", "Report proposal.docx|re\tpo|", "a\tb|a\tb|0,3",
              "Report proposal.docx||", "Report proposal.docx|   |", "Müller Bericht.pdf|MÜL|0,3",
              "ОТЧЁТ за год|отчёт|0,5", "fun 😀 times 😀|😀|4,2 13,2"}) {
            const QStringList f = QString::fromUtf8(row).split(u'|');
            QCOMPARE(f[0] + u'|' + f[1] + u'|' + text(highlightRanges(f[0], f[1])), row);
        }
    }
    // "a very long file name.txt" (25) elided to "a very…name.txt": head 6, tail 8.
    void marksFollowTheElidedName() {
        const QString name = QStringLiteral("a very long file name.txt");
        const std::optional<ElisionCut> cut =
            middleElisionCut(name, QStringLiteral("a very\u2026name.txt"));
        QVERIFY(cut && cut->head == 6 && cut->tail == 8);
        QCOMPARE(middleElisionCut(name, name), std::nullopt);
        QCOMPARE(middleElisionCut(name, QStringLiteral("something else")), std::nullopt);
        for (const char* row :
             {"2,4|2,4", "17,4|7,4", "7,4|6,1", "4,16|4,2 6,1 7,3", "7,2 12,3|6,1"}) {
            const QString marked = QString(row).section(u'|', 0, 0);
            QCOMPARE(marked + u'|' + text(rangesAfterElision(ranges(marked), 25, *cut)), row);
        }
    }
    // The snippet (brighter, '*'), else the folder below the opened one, else the type.
    void secondLine() {
        for (const char* row :
             {"notes.TXT||TXT", "Report.Pdf||PDF", "README||File", ".bashrc||File",
              "photos.2024/||Folder", "docs/old/plan.txt||docs/old", "docs/old/||docs",
              "docs/old/plan.txt|…the plan…|*…the plan…"}) {
            const QStringList f = QString::fromUtf8(row).split(u'|');
            const SecondLine got = tarnwick::secondLine(
                itemAt(f[0].toUtf8()), f[1].isEmpty() ? std::nullopt : std::optional(f[1]));
            QCOMPARE(f[0] + u'|' + f[1] + (got.tone == SecondLine::snippet ? "|*" : "|") + got.text,
                     row);
        }
    }
    // A passage marks the query's words as a name does, cut on the left where it is long; the
    // placeholder shown while it is read marks nothing.
    void passagesMarkTheQuery() {
        ResultsModel model;
        model.replaceItems(Results::ofItems({itemAt("notes.txt", 10)}));
        QString query, passage;
        const FileResultCellView view([&] { return query; },
                                      [&](const FileItem&) { return std::optional(passage); });
        const auto secondLine = [&](const QString& q, const QString& p) {
            query = q;
            passage = p;
            QImage row(400, kRowHeight, QImage::Format_ARGB32);
            row.fill(Qt::white);
            QPainter painter(&row);
            QStyleOptionViewItem option;
            option.rect = row.rect();
            view.paint(&painter, option, model.index(0));
            painter.end();
            return row.copy(0, kRowHeight / 2, 300, kRowHeight / 2);
        };
        const QString longPassage =
            QString(u'x').repeated(300) + QStringLiteral(" the budget for May");
        QVERIFY(secondLine("budget", "the budget for May") !=
                secondLine("zz", "the budget for May"));
        QVERIFY(secondLine("budget", longPassage) != secondLine("zz", longPassage));
        QCOMPARE(secondLine("content", contentMatchText()), secondLine("zz", contentMatchText()));
    }
    // path|size|age|meta; size -1: the file vanished before it was read
    void metaText() {
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        for (const char* row :
             {"a|12345||12.3 kB", "a|999||999 bytes", "a|5400000000||5.4 GB",
              "a|12345|2 hr. ago|12.3 kB  ·  2 hr. ago", "a|0|now|0 bytes  ·  now",
              "d/|4096|3 days ago|3 days ago", "d/|4096||", "gone|-1|now|now"}) {
            const QStringList f = QString::fromUtf8(row).split(u'|');
            const FileItem item =
                itemAt(f[0].toUtf8(), f[1].toLongLong(), f[2].isEmpty() ? FileItem::kNoDate : 1);
            QCOMPARE(QStringList(f.mid(0, 3)).join(u'|') + u'|' +
                         tarnwick::metaText(item, f[2], english),
                     row);
        }
    }
    // path|passage|age|what a screen reader hears (the kind given as "kind"): the passage in
    // place of the folder; a folder has no size.
    void rowReading() {
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        for (const char* row : {"Finance/plan.ods||25 minutes ago|plan.ods, in Finance, kind, 12.3 "
                                "kB, 25 minutes ago",
                                "Finance/plan.txt|…the plan…||plan.txt, …the plan…, kind, 12.3 kB",
                                "Finance/||3 days ago|Finance, kind, 3 days ago"}) {
            const QStringList f = QString::fromUtf8(row).split(u'|');
            const std::optional<QString> passage =
                f[1].isEmpty() ? std::nullopt : std::optional(f[1]);
            QCOMPARE(QStringList(f.mid(0, 3)).join(u'|') + u'|' +
                         tarnwick::rowReading(itemAt(f[0].toUtf8(), 12345), passage,
                                              QStringLiteral("kind"), f[2], english),
                     row);
        }
    }
    // Rows "SECONDS|text" from noon on 15 March 2024, a leap year: a month back is 29 days.
    void ageInTheLargestWholeUnit() {
        const RelativeDateFormatter english(QLocale(QLocale::English, QLocale::UnitedStates));
        const QDateTime now(QDate(2024, 3, 15), QTime(12, 0), QTimeZone::utc());
        for (const char* row :
             {"0|now", "-1|1 sec. ago", "-30|30 sec. ago", "-3599|59 min. ago", "-7300|2 hr. ago",
              "-169200|1 day ago", "-518400|6 days ago", "-604800|1 wk. ago", "-1296000|2 wk. ago",
              "-2505540|4 wk. ago", "-2505600|1 mo. ago", "-28944000|11 mo. ago",
              "-31622400|1 yr. ago", "7200|in 2 hr.", "1814400|in 3 wk."}) {
            const QString by = QString(row).section(u'|', 0, 0);
            QCOMPARE(by + u'|' + english.format(now.addSecs(by.toLongLong()), now), row);
        }
        const QDateTime jan31(QDate(2023, 1, 31), QTime(9, 0));
        QCOMPARE(ageBetween(jan31, jan31.addDays(28)), (Age{Age::months, 1}));
        QCOMPARE(ageBetween(jan31, jan31.addDays(28).addSecs(-3600)), (Age{Age::weeks, 3}));
        const RelativeDateFormatter german(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(german.format(Age{Age::hours, 2}), QStringLiteral("vor 2 Std."));
    }
    // In a face whose digits differ in width (Goudy Bookletter 1911, from Debian's package), each
    // digit takes the widest one's width, so a count keeps its width, and the rest keeps its own.
    void tabularDigitsInAProportionalFace() {
        const int id = QFontDatabase::addApplicationFont(
            QStringLiteral("/usr/share/fonts/opentype/sortsmill/GoudyBookletter1911.otf"));
        QVERIFY(id >= 0);
        const QFont font(QFontDatabase::applicationFontFamilies(id).value(0), 10);
        const TabularDigits digits(font);
        QVERIFY(QFontMetrics(font).horizontalAdvance(u'1') < digits.width(QStringLiteral("1")));
        QCOMPARE(digits.width(QStringLiteral("1,118 of 5,467")),
                 digits.width(QStringLiteral("8,888 of 8,888")));
        QCOMPARE(digits.width(QStringLiteral("5467")), 4 * digits.width(QStringLiteral("1")));
        QCOMPARE(digits.width(QStringLiteral(" items")),
                 QFontMetrics(font).horizontalAdvance(QStringLiteral(" items")));
    }
};

TARNWICK_TEST(PanelFunctionsTest)
#include "PanelFunctionsTest.moc"
