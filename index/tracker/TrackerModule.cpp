// The module that the desktop index is loaded from (see DesktopIndex.h): the Tracker backend
// and the libraries it links, behind one entry point.
#include "TrackerIndex.h"

namespace tarnwick {

extern "C" __attribute__((visibility("default"))) void tarnwick_connect_tracker(
    QObject* context, const DesktopIndexReady& ready) {
    TrackerIndex::connectAsync(
        context, [ready](std::unique_ptr<TrackerIndex> index) { ready(std::move(index)); });
}

}  // namespace tarnwick
