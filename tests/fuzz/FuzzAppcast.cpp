// libFuzzer entry for update feeds: any document and running version give a feed whose items
// all download over https, and a verdict that offers only the newest item, only when newer.
#include "FuzzInput.h"
#include "app/Appcast.h"

#include <cstdlib>

using namespace tarnwick;

namespace {

bool isSecure(const QUrl& url) {
    return url.scheme() == u"https" && !url.host().isEmpty();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<QByteArray> parts = fuzz::fields(data, size, 2);
    const AppcastVersion running =
        AppcastVersion::parse(QString::fromUtf8(parts[0])).value_or(AppcastVersion());
    const AppcastFeed feed = parseAppcast(parts[1]);
    if (!feed.error.isEmpty() && (!feed.items.empty() || !feed.rejected.isEmpty())) std::abort();
    for (const AppcastItem& item : feed.items)
        if (!isSecure(item.downloadUrl) ||
            (!item.releaseNotesLink.isEmpty() && !isSecure(item.releaseNotesLink)))
            std::abort();
    const AppcastVerdict verdict = judgeAppcast(feed, running);
    const bool anyNewer =
        std::any_of(feed.items.begin(), feed.items.end(),
                    [&](const AppcastItem& item) { return item.version > running; });
    const bool found = verdict.outcome == AppcastVerdict::Outcome::updateFound;
    if (found != anyNewer || found != bool(verdict.update) ||
        (verdict.outcome == AppcastVerdict::Outcome::failed) !=
            (!feed.error.isEmpty() || (feed.items.empty() && !feed.rejected.isEmpty())) ||
        (found && std::any_of(feed.items.begin(), feed.items.end(), [&](const AppcastItem& item) {
             return item.version > verdict.update->version;
         })))
        std::abort();
    return 0;
}
