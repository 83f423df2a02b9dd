#pragma once

#include "FileManagerWindowQueries.h"
#include "platform/FrontFolderSource.h"

#include <QDBusConnection>
#include <QObject>

#include <memory>

namespace tarnwick {

class KWinWindowStack;

// The front folder where no client sees the others' windows (Wayland). On Plasma, KWin is asked
// for the window stack and the topmost file-manager window tells its folder as on X11 (a
// full-path title). Otherwise, or when that says nothing, only what the file manager owning
// org.freedesktop.FileManager1 reports can tell, and only when that is a single window showing
// a single folder.
class ReportedFolderSource : public QObject, public FrontFolderSource {
    Q_OBJECT
public:
    // `askKWin`: whether to ask KWin first (a Plasma session).
    ReportedFolderSource(QDBusConnection bus, bool askKWin, QObject* parent = nullptr);
    ~ReportedFolderSource() override;

    void requestFrontFolder(Callback done) override;

private:
    void askFileManager(FrontFolderRequest* request);

    QDBusConnection m_bus;
    std::unique_ptr<KWinWindowStack> m_kwin;
};

// The one local folder in what was reported: one window with one tab (Nautilus), or one open
// location in all (file managers that do not list windows); nothing otherwise.
std::optional<QByteArray> singleReportedFolder(const ReportedLocations& reported);

}  // namespace tarnwick
