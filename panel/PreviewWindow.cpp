#include "PreviewWindow.h"

#include "IconCache.h"
#include "core/MainThread.h"
#include "core/WorkQueue.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace tarnwick {

namespace {

constexpr int kMargin = 12;
constexpr int kFactsIconSize = 128;
constexpr int kGapFromPanel = 12;

QLabel* centeredLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setAlignment(Qt::AlignCenter);
    label->setFocusPolicy(Qt::NoFocus);
    return label;
}

}  // namespace

PreviewWindow::PreviewWindow(PreviewLoader loader, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
      m_icons(std::make_unique<IconCache>()),
      m_loader(std::move(loader)) {
    ensureMainThreadMailbox();
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setWindowTitle(tr("Preview"));
    resize(kSize);
    buildViews();
}

PreviewWindow::~PreviewWindow() = default;

void PreviewWindow::buildViews() {
    m_pages = new QStackedWidget(this);
    m_emptyPage = new QWidget(m_pages);
    m_picture = centeredLabel(m_pages);

    m_text = new QPlainTextEdit(m_pages);
    m_text->setReadOnly(true);
    m_text->setFocusPolicy(Qt::NoFocus);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);

    m_factsPage = new QWidget(m_pages);
    m_factsIcon = centeredLabel(m_factsPage);
    m_factsText = centeredLabel(m_factsPage);
    m_factsText->setWordWrap(true);
    m_factsText->setTextFormat(Qt::PlainText);
    auto* facts = new QVBoxLayout(m_factsPage);
    facts->addStretch();
    facts->addWidget(m_factsIcon);
    facts->addWidget(m_factsText);
    facts->addStretch();

    for (QWidget* page : {m_emptyPage, static_cast<QWidget*>(m_picture),
                          static_cast<QWidget*>(m_text), m_factsPage})
        m_pages->addWidget(page);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->addWidget(m_pages);
}

void PreviewWindow::showFile(const std::optional<QByteArray>& path) {
    const quint64 generation = ++m_generation;
    m_path = path;
    if (!path || !m_loader) {
        m_loading = false;
        present(generation, PreviewContent());
        return;
    }
    m_loading = true;
    const QSize bounds = kSize - QSize(2 * kMargin, 2 * kMargin);
    QPointer<PreviewWindow> self(this);
    WorkQueue::shared().start([self, generation, path = *path, bounds, load = m_loader] {
        PreviewContent content = load(path, bounds);
        postToMainThread(self, [generation, content = std::move(content)](PreviewWindow* window) {
            window->present(generation, std::move(content));
        });
    });
}

void PreviewWindow::present(quint64 generation, PreviewContent content) {
    if (generation != m_generation) return;  // the user has moved on
    m_loading = false;
    m_content = std::move(content);
    setWindowTitle(m_content.name.isEmpty() ? tr("Preview") : m_content.name);
    switch (m_content.kind) {
        case PreviewContent::Kind::empty:
            m_pages->setCurrentWidget(m_emptyPage);
            break;
        case PreviewContent::Kind::image:
        case PreviewContent::Kind::pdfPage:
            m_picture->setPixmap(QPixmap::fromImage(m_content.image));
            m_pages->setCurrentWidget(m_picture);
            break;
        case PreviewContent::Kind::text:
            m_text->setPlainText(m_content.text);
            m_pages->setCurrentWidget(m_text);
            break;
        case PreviewContent::Kind::facts:
            showFacts();
            break;
    }
    Q_EMIT contentShown();
}

void PreviewWindow::showFacts() {
    const QIcon icon = m_icons->iconForType(m_content.typeName);
    m_factsIcon->setPixmap(icon.pixmap(kFactsIconSize, kFactsIconSize));
    QStringList lines{m_content.name};
    for (const QString& fact : {m_content.sizeText, m_content.typeComment, m_content.dateText})
        if (!fact.isEmpty()) lines.append(fact);
    m_factsText->setText(lines.join(u'\n'));
    m_pages->setCurrentWidget(m_factsPage);
}

void PreviewWindow::showBeside(const QRect& panel) {
    const QScreen* screen = QGuiApplication::screenAt(panel.center());
    const QRect available = screen ? screen->availableGeometry() : QRect(panel.topLeft(), kSize);
    setGeometry(previewRect(panel, available, kSize));
    show();
}

QRect previewRect(const QRect& panel, const QRect& available, QSize size) {
    const int top = std::clamp(panel.top(), available.top(),
                               std::max(available.top(), available.bottom() + 1 - size.height()));
    QRect rect(QPoint(panel.right() + 1 + kGapFromPanel, top), size);
    if (rect.right() > available.right())
        rect.moveLeft(panel.left() - kGapFromPanel - size.width());
    if (rect.left() < available.left())
        rect.moveLeft(std::max(available.left(), available.right() + 1 - size.width()));
    return rect;
}

}  // namespace tarnwick
