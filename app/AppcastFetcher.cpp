#include "AppcastFetcher.h"

#include <QLocale>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace tarnwick {

namespace {

bool isSecure(const QUrl& url) {
    return url.isValid() && url.scheme() == QLatin1String("https");
}

QString sizeText(qint64 bytes) {
    return QLocale::system().formattedDataSize(bytes);
}

}  // namespace

AppcastFetcher::AppcastFetcher(QObject* parent) : QObject(parent) {
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        fail(tr("the update server did not answer within %1 seconds")
                 .arg(m_limits.timeoutMs / 1000.0));
    });
}

void AppcastFetcher::fetch(const QUrl& url) {
    drop();
    if (!isSecure(url)) {
        // Reported from the event loop, as every other outcome is.
        const QString message =
            tr("refusing to read updates from %1: only https addresses are accepted")
                .arg(url.toDisplayString());
        QTimer::singleShot(0, this, [this, message] { Q_EMIT failed(message); });
        return;
    }
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    // One more than ours, so that our own count, with its clearer message, stops a loop.
    request.setMaximumRedirectsAllowed(m_limits.maxRedirects + 1);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Tarnwick update check"));
    request.setRawHeader("Accept", "application/rss+xml, application/xml;q=0.9, */*;q=0.1");
    if (m_ssl) request.setSslConfiguration(*m_ssl);

    m_body.clear();
    m_redirects = 0;
    m_reply = m_network.get(request);
    connect(m_reply, &QNetworkReply::redirected, this, &AppcastFetcher::onRedirected);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &AppcastFetcher::onMetaData);
    connect(m_reply, &QNetworkReply::readyRead, this, &AppcastFetcher::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &AppcastFetcher::onFinished);
    m_deadline.start(m_limits.timeoutMs);
}

void AppcastFetcher::onRedirected(const QUrl& target) {
    if (++m_redirects > m_limits.maxRedirects) {
        fail(tr("the update server redirected more than %1 times").arg(m_limits.maxRedirects));
        return;
    }
    if (!isSecure(target)) {
        fail(tr("refusing the redirect to %1: updates are only read over https")
                 .arg(target.toDisplayString()));
        return;
    }
    Q_EMIT m_reply->redirectAllowed();
}

void AppcastFetcher::onMetaData() {
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > m_limits.maxBytes)
        fail(tr("the appcast is %1, more than the %2 an appcast may be")
                 .arg(sizeText(length.toLongLong()), sizeText(m_limits.maxBytes)));
}

void AppcastFetcher::onReadyRead() {
    m_body += m_reply->read(m_limits.maxBytes + 1 - m_body.size());
    if (m_body.size() > m_limits.maxBytes)
        fail(tr("the appcast is larger than the %1 an appcast may be")
                 .arg(sizeText(m_limits.maxBytes)));
}

void AppcastFetcher::onFinished() {
    if (!m_reply) return;
    QNetworkReply* reply = m_reply;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool httpFailure = status >= 300 || (status > 0 && status < 200);
    if (reply->error() != QNetworkReply::NoError && !httpFailure) {
        fail(tr("cannot read the appcast: %1").arg(reply->errorString()));
        return;
    }
    if (httpFailure || status == 0) {
        const QString reason =
            reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        fail(tr("the update server answered HTTP %1 %2").arg(status).arg(reason).trimmed());
        return;
    }
    onReadyRead();
    if (!m_reply) return;  // over the cap
    const QByteArray body = std::exchange(m_body, {});
    drop();
    Q_EMIT fetched(body);
}

void AppcastFetcher::fail(const QString& message) {
    if (!m_reply) return;
    drop();
    Q_EMIT failed(message);
}

void AppcastFetcher::drop() {
    m_deadline.stop();
    m_body.clear();
    if (!m_reply) return;
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

}  // namespace tarnwick
