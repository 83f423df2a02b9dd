#include "PanelFixture.h"

#include "panel/PanelLabel.h"
#include "panel/PillButton.h"
#include "panel/PillRow.h"
#include "panel/PreviewWindow.h"
#include "tests/support/gui/XServer.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>

namespace tarnwick::test {

static QString tilde(const QList<QByteArray>& paths) {
    QStringList texts;
    for (const QByteArray& path : paths) texts.append(QString::fromUtf8(path));
    return texts.join(u',').replace(QString::fromUtf8(PanelFixture::kRoot), QStringLiteral("~"));
}
PreviewContent PanelFixture::previewOf(const QByteArray& path, QSize) {
    PreviewContent content;
    content.kind = PreviewContent::Kind::text;
    content.text = QStringLiteral("preview of ") + QString::fromUtf8(path);
    return content;
}
SearchSession::Dependencies PanelFixture::madeUpTree(const QList<QByteArray>& entries) {
    SearchSession::Dependencies deps;
    deps.filterDebounceMs = 0;
    deps.lister = [entries](const QByteArray& folder, const ListingOptions& options) {
        QList<FileItem> items;
        for (const QByteArray& entry : entries) {
            if (!options.showHiddenFiles && (entry.startsWith('.') || entry.contains("/.")))
                continue;
            const bool isFolder = entry.endsWith('/');
            const QByteArray path =
                PanelFixture::kRoot + "/" + (isFolder ? entry.chopped(1) : entry);
            if (path.startsWith(folder + "/"))
                items.append(FileItem::fromPath(path, folder, isFolder, isFolder ? 0 : 100, 1000));
        }
        return items;
    };
    return deps;
}
bool PanelFixture::open(const QList<QByteArray>& entries) {
    panel.reset();
    opener = std::make_shared<RecordingOpener>();
    reveal = std::make_shared<RecordingReveal>();
    trash = std::make_shared<ScriptedTrash>();
    panel = std::make_unique<SearchPanel>(kRoot, madeUpTree(entries),
                                          DesktopServices{opener, reveal, trash, {}}, &previewOf);
    panel->show();
    return QTest::qWaitForWindowExposed(panel.get()) && settle();
}
void PanelFixture::run(const QString& steps) {
    QLineEdit* field = panel->searchField();
    for (const QString& step : steps.split(u' ', Qt::SkipEmptyParts)) {
        const QString verb = step.section(u':', 0, 0);
        QString arg = step.section(u':', 1);
        if (verb != u"x") arg.replace(u'_', u' ');  // xdotool names keys with '_' (Caps_Lock)
        const QKeyCombination key = QKeySequence(arg)[0];
        const auto press = [&](QWidget* to) {
            QTest::keyClick(to, key.key(), key.keyboardModifiers());
        };
        bool isRow = false;
        const int row = arg.toInt(&isRow);
        if (verb == u"other" && !other) {
            other = std::make_unique<QLineEdit>();
            other->show();
            QVERIFY(QTest::qWaitForWindowExposed(other.get()));
        }
        if (verb == u"menu") {  // a right click on the row, or (menu:-) below the rows
            const QPoint at = arg == u"-" ? centreOfRow(rowNames().size() - 1) + QPoint(0, 60)
                                          : centreOfRow(rowOf(arg));
            QWidget* viewport = panel->resultsView()->viewport();
            QContextMenuEvent click(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
            QApplication::sendEvent(viewport, &click);
        }
        for (QAction* action : verb == u"entry" && panel->contextMenu()
                                   ? panel->contextMenu()->actions()
                                   : QList<QAction*>())
            if (action->text() == arg) action->trigger();
        if (verb == u"x") QVERIFY(xserver::keys(arg.split(u',')));
        if (verb == u"x") xserver::settle();
        if (verb == u"type") QTest::keyClicks(field, arg);
        if (verb == u"set") field->setText(arg);
        if (verb == u"pill") QTest::mouseClick(panel->pillRow()->pillAt(row), Qt::LeftButton);
        if (verb == u"select") panel->resultsView()->selectRow(isRow ? row : rowOf(arg));
        if (verb == u"key") press(field);
        if (verb == u"list") press(panel->resultsView());
        if (verb == u"panel") press(panel.get());
        if (verb == u"other") press(other.get());
        if (verb == u"caret") field->setCursorPosition(row);
        if (verb == u"mark") field->setSelection(arg.front().digitValue(), arg.back().digitValue());
        if (verb == u"clip") QApplication::clipboard()->setText(arg);
        if (verb == u"sort") Q_EMIT panel->sortButton()->activated(row);
        if (verb == u"refuse") opener->refusal = arg;
        if (step == u"show") panel->show();
        if (step == u"open") panel->openSelected();
        if (step == u"reveal") panel->revealSelected();
        if (step == u"revealclose") panel->revealSelectedAndClose(987654);
        if (step == u"copypath") panel->copySelectedPath();
        if (step == u"copyfile") panel->copySelectedFile();
        if (step == u"trash") panel->trashSelected();
        if (step == u"close") panel->close();
        QVERIFY(settle());
    }
}
void PanelFixture::expect(const QString& expected) const {
    const auto state = [&] {
        QStringList pairs;
        for (const QString& pair : expected.split(u' ', Qt::SkipEmptyParts)) {
            const QString name = pair.section(u'=', 0, 0);
            pairs.append(name + u'=' + value(name).replace(u' ', u'_'));
        }
        return pairs.join(u' ');
    };
    QTRY_COMPARE_WITH_TIMEOUT(state(), expected, 3000);
}
void PanelFixture::playRow() {
    QFETCH(QString, steps);
    QFETCH(QString, expected);
    run(steps);
    expect(expected);
}
QString PanelFixture::value(const QString& name) const {
    const QLineEdit* field = panel->searchField();
    const PreviewWindow* preview = panel->previewWindow();
    const QMenu* menu = panel->contextMenu();
    const int at = panel->resultsView()->selectedRow();
    const QMimeData* clip = QApplication::clipboard()->mimeData();
    const SearchSession& session = panel->session();
    const auto pick = [](bool first, const char* one, const char* other) {
        return QString::fromLatin1(first ? one : other);
    };
    QStringList list;  // pills (checked ones marked '*') or menu entries ('-' a separator)
    for (int i = 0; name == u"pills" && i < panel->pillRow()->pillCount(); ++i)
        list.append(pick(panel->pillRow()->pillAt(i)->isChecked(), "*", "") +
                    panel->pillRow()->pillAt(i)->text());
    for (const QAction* action : name == u"entries" && menu ? menu->actions() : QList<QAction*>())
        list.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    if (name == u"pills" || name == u"entries") return list.join(u',');
    if (name == u"dir") return tilde({session.scope().currentDirectory()});
    if (name == u"row") return at < 0 ? QStringLiteral("-") : rowNames().value(at);
    if (name == u"at") return QString::number(at);
    if (name == u"rows") return QString::number(panel->resultsModel()->rowCount());
    if (name == u"names") return rowNames().join(u',');
    if (name == u"field") return field->text();
    if (name == u"caret") return QString::number(field->cursorPosition());
    if (name == u"marked") return field->selectedText();
    if (name == u"label") return panel->directoryLabel()->text().trimmed();
    if (name == u"sort") return rawValue(session.sortMode());
    if (name == u"count") return panel->countLabel()->text();
    if (name == u"opened") return tilde(opener->opened);
    if (name == u"revealed") return tilde(reveal->revealed);
    if (name == u"time") return reveal->startupIds.join(u',').section(QStringLiteral("_TIME"), 1);
    if (name == u"usertime")
        return pick(value(QStringLiteral("time")).toULongLong(), "set", "none");
    if (name == u"focus")
        return pick(panel->isActiveWindow() && QApplication::focusWidget() == field, "field",
                    "elsewhere");
    if (name == u"trashed") return tilde(trash->trashed);
    if (name == u"closed")  // the panel and its search, or only one of them
        return pick(panel->isClosed() && session.isClosed(), "yes",
                    panel->isClosed() || session.isClosed() ? "half" : "no");
    if (name == u"visible") return pick(panel->isVisible(), "yes", "no");
    if (name == u"height") return QString::number(panel->panelRect().height());
    if (name == u"query") return session.query();
    if (name == u"preview" && (!preview || !preview->isVisible())) return QStringLiteral("hidden");
    if (name == u"preview")
        return preview->shownPath() ? tilde({*preview->shownPath()}) : QStringLiteral("-");
    if (name == u"content" && (!preview || preview->content().kind == PreviewContent::Kind::empty))
        return QStringLiteral("empty");
    if (name == u"content") return tilde({preview->content().text.toUtf8()});
    if (name == u"clip") return tilde({clip->data(QStringLiteral("text/plain"))});
    if (name == u"formats") return clip->formats().join(u',');
    if (name == u"menu") return pick(menu, "open", "none");
    if (name == u"other") return other ? other->text() : QString();
    return QStringLiteral("(unknown)");
}
}  // namespace tarnwick::test
