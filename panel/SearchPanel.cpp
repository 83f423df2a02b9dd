#include "SearchPanel.h"

#include "FileResultCellView.h"
#include "KeyModifiers.h"
#include "PanelAccessibility.h"
#include "PanelChrome.h"
#include "PanelKeys.h"
#include "PanelLabel.h"
#include "PanelLayout.h"
#include "PanelPlacement.h"
#include "PanelStyle.h"
#include "PillButton.h"
#include "PillRow.h"
#include "ResultsModel.h"
#include "ResultsTableView.h"
#include "SearchFieldCommands.h"
#include "platform/ClickOutsideWatcher.h"
#include "platform/DisplayServer.h"
#include "platform/StartupId.h"
#include "platform/WindowTranslucency.h"

#include <QComboBox>
#include <QCursor>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <algorithm>

namespace tarnwick {

SearchPanel::SearchPanel(const QByteArray& folder, SearchSession::Dependencies dependencies,
                         PreviewLoader preview, QWidget* parent)
    : SearchPanel(folder, std::move(dependencies), DesktopServices::forThisDesktop(),
                  std::move(preview), parent) {}

SearchPanel::SearchPanel(const QByteArray& folder, SearchSession::Dependencies dependencies,
                         DesktopServices services, PreviewLoader preview, QWidget* parent)
    : SearchPanel(std::move(dependencies), std::move(services), std::move(preview), parent) {
    open(folder);
}

SearchPanel::SearchPanel(SearchSession::Dependencies dependencies, DesktopServices services,
                         PreviewLoader preview, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_dependencies(std::move(dependencies)),
      m_services(std::move(services)),
      m_previewLoader(std::move(preview)),
      m_panelHeight(kConstructionHeight) {
    if (translucentWindowsAvailable()) {
        setAttribute(Qt::WA_TranslucentBackground);
        m_shadowMargin = kShadowMargin;
    }
    setWindowTitle(QStringLiteral("Tarnwick"));
    installPanelAccessibility();
    buildViews();
    applyColors();
    resize(kPanelWidth + 2 * m_shadowMargin, kConstructionHeight + 2 * m_shadowMargin);
    connectActions();
}

void SearchPanel::open(const QByteArray& folder) {
    if (m_session) return;
    m_session = new SearchSession(folder, std::move(m_dependencies), this);
    m_dependencies = {};
    m_directoryLabel->setText(m_session->directoryText());
    nameSearchField();
    connectSession();
    m_session->startSearch();
}

void SearchPanel::prepareWindow() {
    ensurePolished();
    layoutViews();
    // Elsewhere the window is made on the screen it opens on (Wayland gives a surface its
    // role only when shown).
    if (currentDisplayServer() == DisplayServer::x11) winId();
    // Draws once off screen: fonts are loaded and their glyphs cached before the first show.
    grab();
}

SearchPanel::~SearchPanel() {
    if (m_clickOutside) m_clickOutside->stop();
    m_keys->remove();
}

void SearchPanel::buildViews() {
    m_directoryLabel = new PanelLabel(panelFont(12, QFont::Medium), this);

    m_countLabel = new PanelLabel(panelFont(11), this);
    m_countLabel->setAlignment(Qt::AlignRight);
    m_countLabel->useTabularDigits();

    m_searchField = new QLineEdit(this);
    m_searchField->setPlaceholderText(tr("Filter files…"));
    m_searchField->setFont(panelFont(22, QFont::Light));
    m_searchField->setFrame(false);
    m_searchField->setAttribute(Qt::WA_MacShowFocusRect, false);
    m_searchField->setTextMargins(0, 0, 0, 0);

    m_pillRow = new PillRow(this);
    m_pillRow->setAccessibleName(tr("File types"));

    m_sortButton = new QComboBox(this);
    for (SortMode mode : kAllSortModes) m_sortButton->addItem(sortModeTitle(mode));
    m_sortButton->setCurrentIndex(0);
    m_sortButton->setFont(panelFont(11));
    // Reached by Tab only: a click leaves the keyboard in the search field.
    m_sortButton->setFocusPolicy(Qt::TabFocus);
    // Qt names a pop-up by its current choice on this desktop; the description says what it is.
    m_sortButton->setAccessibleDescription(tr("Sort order"));

    m_separator = new QFrame(this);
    m_separator->setFrameShape(QFrame::HLine);
    m_separator->setFrameShadow(QFrame::Plain);

    m_model = new ResultsModel(
        [this](const FileItem& item) { return m_session->requestSnippet(item); }, this);
    m_results = new ResultsTableView(this);
    m_results->setAccessibleName(tr("Results"));
    m_results->setModel(m_model);
    m_cells = new FileResultCellView(
        [this] { return m_searchField->text(); },
        [this](const FileItem& item) { return m_session->requestSnippet(item); }, this);
    m_results->setItemDelegate(m_cells);

    m_keys = new PanelKeys(*this);
    new SearchFieldCommands(*this, *m_searchField);
}

void SearchPanel::applyColors() {
    const PanelColors colors = panelColors(palette());
    m_directoryLabel->setColor(colors.secondaryLabel);
    m_countLabel->setColor(colors.tertiaryLabel);

    QPalette field = m_searchField->palette();
    field.setColor(QPalette::Base, Qt::transparent);
    field.setColor(QPalette::Text, colors.label);
    m_searchField->setPalette(field);

    QPalette line = m_separator->palette();
    line.setColor(QPalette::WindowText, colors.separator);
    m_separator->setPalette(line);
    update();
}

void SearchPanel::connectSession() {
    connect(m_session, &SearchSession::resultsReplaced, this, &SearchPanel::showResults);
    connect(m_session, &SearchSession::snippetReady, m_model, &ResultsModel::rowChanged);
    connect(m_session, &SearchSession::countTextChanged, this, [this](const QString& text) {
        m_countLabel->setText(text);
        layoutViews();
    });
    connect(m_session, &SearchSession::pillsChanged, this, &SearchPanel::showPills);
    // Stepping in or out empties the query; showing hidden files keeps it.
    connect(m_session, &SearchSession::directoryChanged, this, [this] {
        if (m_searchField->text() != m_session->query()) m_searchField->setText(m_session->query());
        m_directoryLabel->setText(m_session->directoryText());
        nameSearchField();
    });

    // textEdited, not textChanged: only the user's edits are queries.
    connect(m_searchField, &QLineEdit::textEdited, this, [this](const QString& text) {
        m_session->queryChanged(text);
        refreshPreview();
        m_results->returnAccessibleFocus(m_searchField);
    });
    connect(m_pillRow, &PillRow::pillTapped, this, [this](int index) {
        m_session->pillTapped(index);
        showPills();
    });
    connect(m_sortButton, &QComboBox::activated, this, [this](int index) {
        if (index >= 0 && index < int(kAllSortModes.size()))
            m_session->sortChanged(kAllSortModes[size_t(index)]);
    });
    connect(m_results->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_selectingForSession) m_session->selectionChanged(m_results->selectedRow());
        refreshPreview();
    });
}

void SearchPanel::nameSearchField() {
    m_searchField->setAccessibleName(
        tr("Filter files in %1").arg(m_session->scope().displayPath()));
}

void SearchPanel::showPills() {
    m_pillRow->setPills(m_session->pills());
    // New pills join the end of the focus chain: Tab goes field, pills, sort pop-up, list.
    QWidget* previous = m_searchField;
    for (int i = 0; i < m_pillRow->pillCount(); ++i) {
        QWidget::setTabOrder(previous, m_pillRow->pillAt(i));
        previous = m_pillRow->pillAt(i);
    }
    QWidget::setTabOrder(previous, m_sortButton);
    QWidget::setTabOrder(m_sortButton, m_results);
}

void SearchPanel::showResults(int selectRow) {
    m_selectingForSession = true;
    m_model->replaceItems(m_session->filteredItems());
    m_results->selectRow(selectRow);
    m_selectingForSession = false;
    fitPanelHeight();
    refreshPreview();  // a reset list may have lost the selection without a signal
}

void SearchPanel::show() {
    if (m_shown || m_closed || !m_session) return;
    const QList<QScreen*> screens = QGuiApplication::screens();
    QList<ScreenArea> areas;
    for (QScreen* screen : screens) areas.append({screen->geometry(), screen->availableGeometry()});
    const std::optional<int> chosen = screenForPointer(
        areas, int(screens.indexOf(QGuiApplication::primaryScreen())), QCursor::pos());
    if (!chosen) return;  // no screen: the search goes on, unseen

    m_shown = true;
    const QRect available = areas[*chosen].available;
    setScreen(screens[*chosen]);
    setPanelRect(resizedKeepingTop(openingRect(available), m_panelHeight, available));
    if (m_services.makePlacer)
        m_placer = m_services.makePlacer();  // Qt's placement is ignored there
    if (m_placer) {
        m_placer->keepPlaced(windowTitle(),
                             {kPanelWidth, kConstructionHeight, kRiseAboveMiddle, m_shadowMargin});
    } else if (currentDisplayServer() == DisplayServer::wayland) {
        m_unplacedHeight =
            unplacedPanelHeight(available.height() - 2 * m_shadowMargin, kUnplacedMargin);
        setPanelRect(resizedKeepingTop(panelRect(), m_unplacedHeight, available));
    }
    QWidget::show();
    raise();
    activateWindow();
    m_searchField->setFocus(Qt::ActiveWindowFocusReason);

    m_keys->install();
    trackUserInputTime();
    m_clickOutside = ClickOutsideWatcher::create();
    connect(m_clickOutside.get(), &ClickOutsideWatcher::clickedOutside, this, &SearchPanel::close);
    // Listening opens a display connection of its own (tens of milliseconds the first time):
    // started once the event loop has sent the window's map request, not before it.
    QTimer::singleShot(0, this, [this] {
        if (!m_closed && m_clickOutside) m_clickOutside->start();
    });
}

void SearchPanel::fitPanelHeight() {
    m_panelHeight = panelHeightFor(m_model->rowCount());
    const QRect current = panelRect();
    const QRect available =
        m_shown && screen() ? screen()->availableGeometry() : QRect();  // hidden: no limit yet
    const int height = m_unplacedHeight > 0 ? m_unplacedHeight : m_panelHeight;
    setPanelRect(resizedKeepingTop(current, height, available));
}

QRect SearchPanel::panelRect() const {
    const int m = m_shadowMargin;
    return geometry().adjusted(m, m, -m, -m);
}

void SearchPanel::setPanelRect(const QRect& rect) {
    const int m = m_shadowMargin;
    const QRect window = rect.adjusted(-m, -m, m, m);
    // Fixed: a Wayland compositor's configure event may carry a size it saw before the panel grew
    // (GNOME Shell sends one on activation). Qt 6.4 bounds such sizes by these limits; Qt 6.8
    // applies them, and resizeEvent puts the panel's own size back.
    setFixedSize(window.size());
    setGeometry(window);
    m_sizeRestored = false;
    // A hidden window gets its resize event only when shown; its views must fit already.
    if (!isVisible()) layoutViews();
}

void SearchPanel::closeEvent(QCloseEvent* event) {
    if (!m_closed) {
        m_closed = true;
        if (m_clickOutside) m_clickOutside->stop();
        m_keys->remove();
        m_placer.reset();
        closePreview();
        if (m_session) m_session->close();
        Q_EMIT panelClosed();
    }
    QWidget::closeEvent(event);
}

// The last of the three key layers: keys that neither the key monitor nor the focused view took.
void SearchPanel::keyPressEvent(QKeyEvent* event) {
    if (isReturnKey(*event))
        openSelected();
    else if (event->key() == Qt::Key_Escape)
        close();
    else if (event->key() == Qt::Key_Down)
        moveSelectionDown();
    else if (event->key() == Qt::Key_Up)
        moveSelectionUp();
    else
        return QWidget::keyPressEvent(event);
    event->accept();
}

void SearchPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int m = m_shadowMargin;
    paintPanelChrome(painter, rect().adjusted(m, m, -m, -m), panelColors(palette()), m > 0);
}

void SearchPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // A size imposed from outside (see setPanelRect) is undone, once per size set: a window
    // manager that insists is not fought.
    if (isVisible() && !m_sizeRestored && minimumSize() == maximumSize() &&
        size() != minimumSize()) {
        m_sizeRestored = true;
        QTimer::singleShot(0, this, [this] {
            if (!m_closed && size() != minimumSize()) resize(minimumSize());
        });
    }
    layoutViews();
    // Opaque windows get the rounded shape cut out; without a display there is nothing to cut.
    if (m_shadowMargin == 0 && currentDisplayServer() != DisplayServer::none)
        setMask(panelShape(size()));
}

void SearchPanel::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) applyColors();
}

void SearchPanel::layoutViews() {
    const int m = m_shadowMargin;
    const PanelLayout layout = panelLayout(panelRect().size(), m_countLabel->textWidth());
    const QPoint origin(m, m);
    m_directoryLabel->setGeometry(layout.directoryLabel.translated(origin));
    m_countLabel->setGeometry(layout.countLabel.translated(origin));
    m_searchField->setGeometry(layout.searchField.translated(origin));
    m_pillRow->setGeometry(layout.pillRow.translated(origin));
    m_sortButton->setGeometry(layout.sortButton.translated(origin));
    m_separator->setGeometry(layout.separator.translated(origin));
    m_results->setGeometry(layout.results.translated(origin));
}

void SearchPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    // The window manager moves the window where it can (Wayland allows nothing else).
    if (windowHandle() && windowHandle()->startSystemMove()) return;
    m_dragOffset = event->globalPosition().toPoint() - pos();
}

void SearchPanel::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragOffset) return QWidget::mouseMoveEvent(event);
    move(event->globalPosition().toPoint() - *m_dragOffset);
}

void SearchPanel::mouseReleaseEvent(QMouseEvent* event) {
    m_dragOffset.reset();
    QWidget::mouseReleaseEvent(event);
}

}  // namespace tarnwick
