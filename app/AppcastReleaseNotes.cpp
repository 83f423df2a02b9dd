#include "AppcastReleaseNotes.h"

#include "platform/xdg/WebLinkLauncher.h"

#include <cstdio>

namespace tarnwick {

AppcastReleaseNotes::AppcastReleaseNotes(QWidget* parent) : QTextBrowser(parent) {
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, [](const QUrl& link) {
        if (link.scheme() != QLatin1String("https")) return;
        QString error;
        if (openWebLink(link, &error)) return;
        std::printf("Update error: cannot open %s: %s\n", qPrintable(link.toString()),
                    qPrintable(error));
        std::fflush(stdout);
    });
}

void AppcastReleaseNotes::showNotes(const AppcastItem& item) {
    if (!item.releaseNotesHtml.isEmpty()) {
        setHtml(item.releaseNotesHtml);
    } else if (item.releaseNotesLink.isValid()) {
        const QString link = item.releaseNotesLink.toString().toHtmlEscaped();
        setHtml(tr("<p>Read about this version at <a href=\"%1\">%1</a>.</p>").arg(link));
    } else {
        setHtml(tr("<p>No release notes were published with this version.</p>"));
    }
}

QVariant AppcastReleaseNotes::loadResource(int, const QUrl&) {
    return {};
}

}  // namespace tarnwick
