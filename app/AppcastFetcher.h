#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QSslConfiguration>
#include <QTimer>
#include <QUrl>

#include <optional>

namespace tarnwick {

// Downloads an appcast over HTTPS, defensively: plain http (also through a redirect) is
// refused, the body is capped, and the whole transfer has a deadline, so that a hostile or
// broken server costs at most that time and that memory. One download at a time; starting a
// new one drops the running one without a report.
class AppcastFetcher : public QObject {
    Q_OBJECT
public:
    struct Limits {
        qint64 maxBytes = 2 * 1024 * 1024;
        int timeoutMs = 30'000;
        int maxRedirects = 5;
    };

    explicit AppcastFetcher(QObject* parent = nullptr);

    void setLimits(const Limits& limits) { m_limits = limits; }
    // Replaces the system's TLS settings (tests trust a certificate of their own this way).
    void setSslConfiguration(const QSslConfiguration& configuration) { m_ssl = configuration; }

    void fetch(const QUrl& url);
    // Drops the running download without a report.
    void cancel() { drop(); }
    bool isRunning() const { return m_reply != nullptr; }

Q_SIGNALS:
    void fetched(const QByteArray& body);
    void failed(const QString& message);

private:
    void onRedirected(const QUrl& target);
    void onMetaData();
    void onReadyRead();
    void onFinished();
    void fail(const QString& message);
    void drop();

    QNetworkAccessManager m_network;
    Limits m_limits;
    std::optional<QSslConfiguration> m_ssl;
    QPointer<QNetworkReply> m_reply;
    QByteArray m_body;
    int m_redirects = 0;
    QTimer m_deadline;
};

}  // namespace tarnwick
