#include "app/AppDelegate.h"
#include "panel/SearchPanel.h"
#include "platform/FrontFolderSource.h"
#include "tests/support/TestRunner.h"

#include <QPointer>
#include <QTest>

#include <deque>

using namespace tarnwick;

namespace {

// A front folder that answers what the test queued (empty: no folder), at once or when the
// test releases it.
class ScriptedFrontFolder : public FrontFolderSource {
public:
    void requestFrontFolder(Callback done) override {
        ++questions;
        held.push_back(std::move(done));
        if (!holdAnswers) release();
    }
    void release() {
        Callback done = std::move(held.front());
        held.pop_front();
        const QByteArray folder = answers.empty() ? QByteArray() : answers.front();
        if (!answers.empty()) answers.pop_front();
        done(folder.isEmpty() ? std::nullopt : std::optional(folder));
    }
    std::deque<QByteArray> answers;
    std::deque<Callback> held;
    bool holdAnswers = false;
    int questions = 0;
};

const QByteArray kFolder = "/srv/projects";
const QByteArray kOther = "/srv/other";

}  // namespace

// The activation flow: no folder beeps and changes nothing; a visible panel is closed; otherwise
// a new panel opens on the folder, never an old one again.
class ActivationFlowTest : public QObject {
    Q_OBJECT
    ScriptedFrontFolder* m_source = nullptr;
    int m_beeps = 0;
    QList<QByteArray> m_panelFolders;
    std::unique_ptr<AppDelegate> m_delegate;

    // Activates with the front folder `folder` ("" for none).
    void activate(const QByteArray& folder) {
        m_source->answers.push_back(folder);
        m_delegate->activateSearch();
    }
    bool showsPanelOn(const QByteArray& folder) {
        SearchPanel* panel = m_delegate->searchPanel();
        return panel && panel->isVisible() && panel->session().scope().rootDirectory() == folder;
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
            SearchSession::Dependencies listing;  // made up, so that nothing is read from disk
            listing.lister = [](const QByteArray& folder, const std::atomic<bool>*) {
                return QList<FileItem>{FileItem::fromPath(folder + "/a.txt", folder, false, 1, 1)};
            };
            return std::make_unique<SearchPanel>(folder, listing);
        };
        m_delegate = std::make_unique<AppDelegate>(std::move(deps));
    }
    void cleanup() { m_delegate.reset(); }
    void opensClosesAndReplacesPanels() {
        activate("");
        QCOMPARE(m_beeps, 1);
        QVERIFY(!m_delegate->searchPanel());
        activate(kFolder);
        QVERIFY(showsPanelOn(kFolder));
        QPointer<SearchPanel> first = m_delegate->searchPanel();
        activate("");  // closing also needs a folder
        QCOMPARE(m_beeps, 2);
        QVERIFY(showsPanelOn(kFolder));
        activate(kFolder);
        QVERIFY(!m_delegate->searchPanel());
        QVERIFY(first.isNull() || !first->isVisible());
        QTRY_VERIFY(first.isNull());  // released, not kept
        activate(kFolder);            // a new panel each time
        first = m_delegate->searchPanel();
        first->close();  // Escape, or a click elsewhere: still held, hidden
        QCOMPARE(m_delegate->searchPanel(), first.data());
        activate(kOther);
        QVERIFY(showsPanelOn(kOther));
        QTRY_VERIFY(first.isNull());
        // A named folder replaces the visible panel without asking for the front folder.
        const int questions = m_source->questions;
        first = m_delegate->searchPanel();
        m_delegate->openFolder(kFolder);
        QVERIFY(showsPanelOn(kFolder));
        QTRY_VERIFY(first.isNull());
        QCOMPARE(m_source->questions, questions);
        QCOMPARE(m_panelFolders, (QList<QByteArray>{kFolder, kFolder, kOther, kFolder}));
        QCOMPARE(m_beeps, 2);
    }
    void activationsWhileAskingAreAnsweredInTurn() {
        m_source->holdAnswers = true;
        activate(kFolder);
        activate(kFolder);
        QCOMPARE(m_source->questions, 1);  // one question out at a time
        m_source->release();
        QVERIFY(showsPanelOn(kFolder));
        QCOMPARE(m_source->questions, 2);
        m_source->release();
        QVERIFY(!m_delegate->searchPanel());
        QCOMPARE(m_panelFolders.size(), 1);
        // The source goes with the delegate; what it held must not call into a dead object.
        activate(kFolder);
        FrontFolderSource::Callback held = std::move(m_source->held.front());
        m_delegate.reset();
        held(kFolder);
        QCOMPARE(m_panelFolders.size(), 1);
    }
};

TARNWICK_TEST(ActivationFlowTest)
#include "ActivationFlowTest.moc"
