#include "app/AppDelegate.h"
#include "panel/SearchPanel.h"
#include "platform/FrontFolderSource.h"
#include "tests/support/TestRunner.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <deque>

using namespace tarnwick;

namespace {

// A front folder that says what the test queued, at once or when the test releases it.
class ScriptedFrontFolder : public FrontFolderSource {
public:
    void requestFrontFolder(Callback done) override {
        ++questions;
        if (holdAnswers) {
            held.push_back(std::move(done));
            return;
        }
        done(nextAnswer());
    }
    void release() {
        Callback done = std::move(held.front());
        held.pop_front();
        done(nextAnswer());
    }
    std::optional<QByteArray> nextAnswer() {
        if (answers.empty()) return std::nullopt;
        const QByteArray folder = answers.front();
        answers.pop_front();
        if (folder.isEmpty()) return std::nullopt;
        return folder;
    }

    std::deque<QByteArray> answers;  // an empty one: no folder
    std::deque<Callback> held;
    bool holdAnswers = false;
    int questions = 0;
};

// Panels on made-up listings, so nothing is read from disk.
SearchSession::Dependencies emptyListing() {
    SearchSession::Dependencies deps;
    deps.lister = [](const QByteArray& folder, const std::atomic<bool>*) {
        return QList<FileItem>{FileItem::fromPath(folder + "/a.txt", folder, false, 1, 1000)};
    };
    return deps;
}

const QByteArray kFolder = "/srv/projects";
const QByteArray kOther = "/srv/other";

}  // namespace

// The activation flow: no folder beeps and changes nothing; a visible panel is closed; otherwise
// a new panel opens on the folder, never an old one again.
class ActivationFlowTest : public QObject {
    Q_OBJECT
private:
    ScriptedFrontFolder* m_source = nullptr;
    int m_beeps = 0;
    QList<QByteArray> m_panelFolders;
    std::unique_ptr<AppDelegate> m_delegate;

    void answer(std::optional<QByteArray> folder) {
        m_source->answers.push_back(folder.value_or(QByteArray()));
    }

private Q_SLOTS:
    void init() {
        m_beeps = 0;
        m_panelFolders.clear();
        auto source = std::make_unique<ScriptedFrontFolder>();
        m_source = source.get();
        AppDelegate::Dependencies deps;
        deps.frontFolder = std::move(source);
        deps.beep = [this] { ++m_beeps; };
        deps.makePanel = [this](const QByteArray& folder) {
            m_panelFolders.append(folder);
            return std::make_unique<SearchPanel>(folder, emptyListing());
        };
        m_delegate = std::make_unique<AppDelegate>(std::move(deps));
    }
    void cleanup() { m_delegate.reset(); }

    void noFolderOnlyBeeps() {
        answer(std::nullopt);
        m_delegate->activateSearch();
        QCOMPARE(m_beeps, 1);
        QVERIFY(!m_delegate->searchPanel());
        QVERIFY(m_panelFolders.isEmpty());
    }

    void aFolderOpensAPanelOnIt() {
        answer(kFolder);
        m_delegate->activateSearch();
        QCOMPARE(m_beeps, 0);
        QCOMPARE(m_panelFolders, QList<QByteArray>{kFolder});
        QVERIFY(m_delegate->searchPanel());
        QVERIFY(m_delegate->searchPanel()->isVisible());
        QCOMPARE(m_delegate->searchPanel()->session().scope().rootDirectory(), kFolder);
    }

    void secondActivationClosesTheVisiblePanel() {
        answer(kFolder);
        answer(kFolder);
        m_delegate->activateSearch();
        QPointer<SearchPanel> panel = m_delegate->searchPanel();
        m_delegate->activateSearch();
        QVERIFY(!m_delegate->searchPanel());
        QVERIFY(panel.isNull() || !panel->isVisible());
        QTRY_VERIFY(panel.isNull());  // released, not kept
        QCOMPARE(m_panelFolders.size(), 1);
        QCOMPARE(m_beeps, 0);
    }

    void dismissingAlsoNeedsAFolder() {
        answer(kFolder);
        answer(std::nullopt);
        m_delegate->activateSearch();
        m_delegate->activateSearch();
        QCOMPARE(m_beeps, 1);
        QVERIFY(m_delegate->searchPanel());
        QVERIFY(m_delegate->searchPanel()->isVisible());
    }

    void everyOpeningBuildsANewPanel() {
        for (int i = 0; i < 3; ++i) answer(i == 1 ? kFolder : kOther);
        m_delegate->activateSearch();  // opens on kOther
        QPointer<SearchPanel> first = m_delegate->searchPanel();
        m_delegate->activateSearch();  // closes
        m_delegate->activateSearch();  // opens again: a new panel
        QCOMPARE(m_panelFolders, (QList<QByteArray>{kOther, kOther}));
        QVERIFY(m_delegate->searchPanel());
        QVERIFY(m_delegate->searchPanel() != first.data() || first.isNull());
        QTRY_VERIFY(first.isNull());
    }

    void aPanelClosedFromInsideIsReplacedNotReopened() {
        answer(kFolder);
        answer(kOther);
        m_delegate->activateSearch();
        QPointer<SearchPanel> first = m_delegate->searchPanel();
        first->close();                                     // Escape, or a click elsewhere
        QCOMPARE(m_delegate->searchPanel(), first.data());  // still held, hidden
        m_delegate->activateSearch();
        QCOMPARE(m_panelFolders, (QList<QByteArray>{kFolder, kOther}));
        QVERIFY(m_delegate->searchPanel()->isVisible());
        QCOMPARE(m_delegate->searchPanel()->session().scope().rootDirectory(), kOther);
        QTRY_VERIFY(first.isNull());
    }

    void activationsWhileAskingAreAnsweredInTurn() {
        m_source->holdAnswers = true;
        answer(kFolder);
        answer(kFolder);
        m_delegate->activateSearch();
        m_delegate->activateSearch();
        QCOMPARE(m_source->questions, 1);  // one question out at a time
        m_source->release();
        QVERIFY(m_delegate->searchPanel() && m_delegate->searchPanel()->isVisible());
        QCOMPARE(m_source->questions, 2);
        m_source->release();
        QVERIFY(!m_delegate->searchPanel());
        QCOMPARE(m_panelFolders.size(), 1);
    }

    void lateAnswerAfterTheDelegateIsGoneIsDropped() {
        m_source->holdAnswers = true;
        answer(kFolder);
        m_delegate->activateSearch();
        // The source goes with the delegate; what it held must not call into a dead object.
        FrontFolderSource::Callback held = std::move(m_source->held.front());
        m_delegate.reset();
        held(kFolder);
        QVERIFY(m_panelFolders.isEmpty());
    }

    void namedFolderReplacesTheVisiblePanel() {
        answer(kFolder);
        m_delegate->activateSearch();
        QPointer<SearchPanel> first = m_delegate->searchPanel();
        m_delegate->openFolder(kOther);
        QCOMPARE(m_panelFolders, (QList<QByteArray>{kFolder, kOther}));
        QVERIFY(m_delegate->searchPanel()->isVisible());
        QCOMPARE(m_delegate->searchPanel()->session().scope().rootDirectory(), kOther);
        QTRY_VERIFY(first.isNull());
        QCOMPARE(m_source->questions, 1);  // no front folder asked for a named one
    }
};

TARNWICK_TEST(ActivationFlowTest)
#include "ActivationFlowTest.moc"
