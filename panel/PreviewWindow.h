#pragma once

#include "PreviewContent.h"

#include <QByteArray>
#include <QWidget>

#include <optional>

class QLabel;
class QPlainTextEdit;
class QStackedWidget;

namespace tarnwick {

class IconCache;

// A floating window showing one file: a picture, the first page of a PDF, the start of a text
// file, or the file's icon and facts. It never takes the keyboard (the panel keeps typing) and
// reads files with `loader` on a background thread; a load that a newer one overtook is dropped.
// Without a loader it stays empty.
class PreviewWindow : public QWidget {
    Q_OBJECT
public:
    explicit PreviewWindow(PreviewLoader loader, QWidget* parent = nullptr);
    ~PreviewWindow() override;

    // Loads `path` (native bytes) into the window; nothing (or a folder) empties it.
    void showFile(const std::optional<QByteArray>& path);
    // Puts the window on screen beside `panel` (global coordinates), without activating it.
    void showBeside(const QRect& panel);

    // What is shown now, and for which file.
    const PreviewContent& content() const { return m_content; }
    const std::optional<QByteArray>& shownPath() const { return m_path; }
    bool isLoading() const { return m_loading; }

    static constexpr QSize kSize{520, 600};

Q_SIGNALS:
    // A load finished and its content is on show.
    void contentShown();

private:
    void buildViews();
    void present(quint64 generation, PreviewContent content);
    void showFacts();

    QStackedWidget* m_pages;
    QWidget* m_emptyPage;
    QLabel* m_picture;
    QPlainTextEdit* m_text;
    QWidget* m_factsPage;
    QLabel* m_factsIcon;
    QLabel* m_factsText;
    std::unique_ptr<IconCache> m_icons;

    PreviewLoader m_loader;
    PreviewContent m_content;
    std::optional<QByteArray> m_path;
    quint64 m_generation = 0;
    bool m_loading = false;
};

// Where the preview goes: right of the panel if it fits on the screen, else left of it, else
// over the panel's right part; always inside `available`.
QRect previewRect(const QRect& panel, const QRect& available, QSize size);

}  // namespace tarnwick
