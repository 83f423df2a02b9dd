#include "SettingsView.h"

#include "HotKeyText.h"
#include "SettingsGroup.h"
#include "SettingsKeyCap.h"
#include "SettingsStyle.h"
#include "SettingsSwitch.h"
#include "SettingsText.h"
#include "core/Preferences.h"

#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace tarnwick {

namespace {

constexpr int kWidth = 420;
constexpr int kHeight = 480;
// A kept entry takes about 100 bytes: 64 GB would hold some 600 million.
constexpr int kMinimumKeptMegabytes = 1;
constexpr int kMaximumKeptMegabytes = 65536;

QString joinedNames(const QStringList& names) {
    return names.size() == 2 ? SettingsView::tr("%1 and %2").arg(names[0], names[1])
                             : names.join(QLatin1String(", "));
}

}  // namespace

SettingsView::SettingsView(SettingsServices services, QWidget* parent)
    : QWidget(parent), m_services(std::move(services)) {
    setWindowTitle(tr("Tarnwick Settings"));
    setWindowIcon(QIcon::fromTheme(QStringLiteral("org.tarnwick.Tarnwick"),
                                   QIcon(QStringLiteral(":/tarnwick/org.tarnwick.Tarnwick.svg"))));
    setFixedSize(kWidth, kHeight);

    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(20, 20, 20, 20);
    column->setSpacing(22);
    column->addWidget(buildHeader());
    column->addWidget(buildBehaviour());
    column->addWidget(buildKeyboard());
    column->addWidget(buildFileManagers());
    column->addWidget(buildGnomeShortcut());
    column->addStretch(1);

    auto* scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(content);
    scroll->viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);
    refresh();
}

SettingsView& SettingsView::shared() {
    // Created at the first "Settings…" and kept for the life of the process.
    static SettingsView* view = new SettingsView(SettingsServices::forThisApplication());
    return *view;
}

void SettingsView::showAndRaise() {
    refresh();
    show();
    raise();
    activateWindow();
}

QWidget* SettingsView::buildHeader() {
    auto* header = new QWidget;
    auto* stack = new QVBoxLayout(header);
    stack->setContentsMargins(4, 0, 4, 8);
    stack->setSpacing(12);
    auto* title = new QLabel(tr("Tarnwick"));
    title->setFont(scaledFont(font(), 1.35, QFont::DemiBold));
    m_headerText = new QLabel;
    m_headerText->setTextFormat(Qt::RichText);
    m_headerText->setWordWrap(true);
    m_headerText->setForegroundRole(QPalette::PlaceholderText);
    stack->addWidget(title);
    stack->addWidget(m_headerText);
    return header;
}

SettingsGroup* SettingsView::buildBehaviour() {
    auto* group = new SettingsGroup(tr("Behaviour"));
    m_hiddenFiles = new SettingsSwitch;
    m_hiddenFiles->setAccessibleName(tr("Show hidden files in results"));
    connect(m_hiddenFiles, &SettingsSwitch::toggled, this, &SettingsView::setShowHiddenFiles);
    group->addRow(tr("Show hidden files in results"), m_hiddenFiles);
    m_launchAtLogin = new SettingsSwitch;
    m_launchAtLogin->setAccessibleName(tr("Launch at login"));
    connect(m_launchAtLogin, &SettingsSwitch::toggled, this, &SettingsView::setLaunchAtLogin);
    group->addRow(tr("Launch at login"), m_launchAtLogin);
    m_keepListings = new SettingsSwitch;
    m_keepListings->setAccessibleName(tr("Keep recent folder listings"));
    connect(m_keepListings, &SettingsSwitch::toggled, this, &SettingsView::setKeepListings);
    group->addRow(tr("Keep recent folder listings"), m_keepListings,
                  tr("A folder searched again opens at once; changes are read on opening."));
    m_keptMegabytes = new QSpinBox;
    m_keptMegabytes->setRange(kMinimumKeptMegabytes, kMaximumKeptMegabytes);
    m_keptMegabytes->setSingleStep(64);
    m_keptMegabytes->setSuffix(tr(" MB"));
    m_keptMegabytes->setAccessibleName(tr("Memory for kept listings"));
    // Stored once the number is complete, not at each digit typed.
    m_keptMegabytes->setKeyboardTracking(false);
    connect(m_keptMegabytes, &QSpinBox::valueChanged, this,
            &SettingsView::setKeptListingsMegabytes);
    group->addRow(tr("Memory for kept listings"), m_keptMegabytes);
    return group;
}

SettingsGroup* SettingsView::buildKeyboard() {
    auto* group = new SettingsGroup(tr("Keyboard"));
    for (const PanelKeyRow& row : panelKeyRows(readStoredHotKey())) {
        m_keyCaps << new SettingsKeyCap(row.keys);
        group->addRow(row.action, m_keyCaps.back());
    }
    return group;
}

SettingsGroup* SettingsView::buildFileManagers() {
    m_fileManagerGroup = new SettingsGroup(tr("File Manager"));
    m_fileManagerButton = new QPushButton;
    connect(m_fileManagerButton, &QPushButton::clicked, this,
            &SettingsView::toggleFileManagerActions);
    m_fileManagerStatus =
        m_fileManagerGroup
            ->addRow(tr("“Search with Tarnwick” action"), m_fileManagerButton, QStringLiteral(" "))
            .subtitle;
    return m_fileManagerGroup;
}

SettingsGroup* SettingsView::buildGnomeShortcut() {
    m_gnomeGroup = new SettingsGroup(tr("Shortcut"));
    m_gnomeButton = new QPushButton;
    connect(m_gnomeButton, &QPushButton::clicked, this, &SettingsView::toggleGnomeShortcut);
    const SettingsGroup::Row keybinding = m_gnomeGroup->addRow(tr("Shortcut in GNOME's settings"),
                                                               m_gnomeButton, QStringLiteral(" "));
    m_gnomeRow = keybinding.widget;
    m_gnomeStatus = keybinding.subtitle;
    m_extensionButton = new QPushButton(tr("Enable"));
    connect(m_extensionButton, &QPushButton::clicked, this, &SettingsView::enableGnomeExtension);
    const SettingsGroup::Row extension = m_gnomeGroup->addRow(
        tr("Tarnwick's GNOME Shell extension"), m_extensionButton, QStringLiteral(" "));
    m_extensionRow = extension.widget;
    m_extensionStatus = extension.subtitle;
    return m_gnomeGroup;
}

void SettingsView::refresh() {
    const StoredHotKey hotKey = readStoredHotKey();
    const QString shortcut = hotKeyDisplayText(hotKey);
    m_headerText->setText(settingsHeaderHtml(
        shortcut, m_services.shortcutProblem ? m_services.shortcutProblem() : QString()));
    const QList<PanelKeyRow> rows = panelKeyRows(hotKey);
    for (qsizetype i = 0; i < rows.size() && i < m_keyCaps.size(); ++i) {
        m_keyCaps[i]->setText(rows[i].keys);
        m_keyCaps[i]->updateGeometry();
    }
    m_hiddenFiles->showState(Preferences::showHiddenFiles());
    m_launchAtLogin->showState(m_services.loginItem.isEnabled());
    showKeptListings();
    refreshFileManagers();
    refreshGnomeShortcut(shortcut);
}

void SettingsView::setShowHiddenFiles(bool on) {
    if (const std::optional<QString> failure = Preferences::setShowHiddenFiles(on)) {
        m_hiddenFiles->showState(Preferences::showHiddenFiles());
        showSaveFailure(*failure);
    }
}

void SettingsView::setLaunchAtLogin(bool on) {
    QString failure;
    if (!m_services.loginItem.setEnabled(on, &failure))
        showSaveFailure(tr("Launch at login could not be changed: %1.").arg(failure));
    // Whatever happened, show what the session will do.
    m_launchAtLogin->showState(m_services.loginItem.isEnabled());
}

void SettingsView::setKeepListings(bool on) {
    std::optional<QString> failure = Preferences::setKeepListings(on);
    // Turned on with a budget of none stored by hand: the budget the field shows comes with it.
    if (!failure && on && Preferences::keptListingsMegabytes() <= 0)
        failure = Preferences::setKeptListingsMegabytes(m_keptMegabytes->value());
    if (failure) showSaveFailure(*failure);
    showKeptListings();
}

void SettingsView::setKeptListingsMegabytes(int megabytes) {
    if (megabytes == Preferences::keptListingsMegabytes()) return;  // shown, not changed
    if (const std::optional<QString> failure = Preferences::setKeptListingsMegabytes(megabytes))
        showSaveFailure(*failure);
    showKeptListings();
}

void SettingsView::showKeptListings() {
    const bool keeps = Preferences::keepsListings();
    m_keepListings->showState(keeps);
    const qint64 stored = Preferences::keptListingsMegabytes();
    const QSignalBlocker quiet(m_keptMegabytes);
    m_keptMegabytes->setValue(stored > 0 ? int(std::min<qint64>(stored, kMaximumKeptMegabytes))
                                         : int(Preferences::kDefaultKeptListingsMegabytes));
    m_keptMegabytes->setEnabled(keeps);
}

// One box, not a pile of them: a second failure while the first is shown replaces its text.
void SettingsView::showSaveFailure(const QString& message) {
    if (!m_saveFailure) {
        m_saveFailure =
            new QMessageBox(QMessageBox::Warning, tr("Tarnwick"), {}, QMessageBox::Ok, this);
        m_saveFailure->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_saveFailure->setText(message);
    m_saveFailure->open();
}

void SettingsView::refreshFileManagers() {
    if (!m_services.fileManagerActions) {
        m_fileManagerGroup->hide();
        return;
    }
    const FileManagerActions actions = m_services.fileManagerActions();
    const QStringList names = actions.presentFileManagers();
    m_fileManagerGroup->setVisible(!names.isEmpty());
    if (names.isEmpty()) return;
    const bool installed = actions.isInstalled();
    m_fileManagerButton->setText(installed ? tr("Remove") : tr("Add"));
    m_fileManagerStatus->setText(
        installed ? tr("In the context menu of %1.").arg(joinedNames(names))
                  : tr("Adds it to the context menu of %1.").arg(joinedNames(names)));
}

void SettingsView::toggleFileManagerActions() {
    if (!m_services.fileManagerActions) return;
    const FileManagerActions actions = m_services.fileManagerActions();
    QStringList report;
    QStringList errors;
    const bool done = actions.isInstalled() ? actions.remove(&report, &errors)
                                            : actions.install(&report, &errors);
    refreshFileManagers();
    if (!done) m_fileManagerStatus->setText(errors.join(QLatin1Char('\n')));
}

void SettingsView::refreshGnomeShortcut(const QString& shortcut) {
    refreshGnomeExtension(shortcut);
    const bool offered = m_services.gnomeShortcut.offered();
    m_gnomeRow->setVisible(offered);
    m_gnomeGroup->setVisible(offered || !m_extensionRow->isHidden());
    if (!offered) return;
    const bool installed = m_services.gnomeShortcut.isInstalled();
    m_gnomeButton->setText(installed ? tr("Remove") : tr("Add"));
    m_gnomeStatus->setText(
        installed ? tr("GNOME runs the search when you press %1.").arg(shortcut)
                  : tr("GNOME on Wayland lets only its own settings react to %1 everywhere. "
                       "Add it there?")
                        .arg(shortcut));
}

void SettingsView::toggleGnomeShortcut() {
    const GnomeShortcutOffer& offer = m_services.gnomeShortcut;
    if (!offer.offered()) return;
    QString error;
    const bool done = offer.isInstalled() ? offer.remove(&error) : offer.install(&error);
    refreshGnomeShortcut(hotKeyDisplayText(readStoredHotKey()));
    if (!done) m_gnomeStatus->setText(error);
}

void SettingsView::refreshGnomeExtension(const QString& shortcut) {
    using State = gnomeShellExtension::State;
    const State state =
        m_services.gnomeExtension.state ? m_services.gnomeExtension.state() : State::noShell;
    m_extensionRow->setVisible(state != State::noShell);
    m_extensionButton->setVisible(state == State::disabled);
    switch (state) {
        case State::noShell:
            return;
        case State::enabled:
            return m_extensionStatus->setText(
                tr("On: it finds the front Nautilus window and tab, answers %1 and places the "
                   "panel.")
                    .arg(shortcut));
        case State::disabled:
            return m_extensionStatus->setText(
                tr("Off: with several Nautilus windows Tarnwick cannot tell which is in front, "
                   "and GNOME places the panel. Enable it?"));
        case State::notInstalled:
            return m_extensionStatus->setText(
                tr("Not installed: GNOME Shell finds it in "
                   "/usr/share/gnome-shell/extensions/%1 once Tarnwick's package is installed.")
                    .arg(QString::fromLatin1(gnomeShellExtension::kUuid)));
        case State::failed:
            return m_extensionStatus->setText(
                tr("GNOME Shell could not run it: see the Extensions app."));
    }
}

void SettingsView::enableGnomeExtension() {
    QString error;
    const bool done = m_services.gnomeExtension.enable && m_services.gnomeExtension.enable(&error);
    refresh();
    if (!done) m_extensionStatus->setText(error);
}

void SettingsView::showEvent(QShowEvent* event) {
    refresh();
    QWidget::showEvent(event);
}

void SettingsView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) refresh();
}

}  // namespace tarnwick
