#pragma once

#include <QDBusContext>
#include <QObject>
#include <QStringList>

namespace tarnwick::test {

// org.freedesktop.FileManager1 for tests: records ShowItems, and answers it, refuses it with an
// error, or never answers.
class FakeFileManager : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    enum class Answer { reply, error, silence };
    Answer answer = Answer::reply;
    QList<QStringList> shownUris;
    QStringList startupIds;

public Q_SLOTS:
    void ShowItems(const QStringList& uris, const QString& startupId) {
        shownUris.append(uris);
        startupIds.append(startupId);
        if (answer == Answer::error)
            sendErrorReply(QDBusError::Failed, QStringLiteral("cannot show that"));
        else if (answer == Answer::silence)
            setDelayedReply(true);  // and never reply
    }
};

}  // namespace tarnwick::test
