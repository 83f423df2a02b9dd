#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslServer>
#include <QTemporaryDir>
#include <QUrl>

namespace tarnwick::test {

// An HTTPS server on 127.0.0.1 with a certificate made for it by the openssl command, answering
// each path as the test scripted it: a normal response, headers and then silence, or an endless
// body. Only a client given clientConfiguration() trusts it.
class LocalHttpsServer : public QObject {
    Q_OBJECT
public:
    struct Response {
        enum class Body { complete, silent, endless };
        int status = 200;
        QByteArray reason = "OK";
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;
        Body kind = Body::complete;
    };

    // Makes the certificate and listens; on failure returns false with the reason.
    bool start(QString* error);

    void route(const QByteArray& path, const Response& response) { m_routes[path] = response; }
    QUrl url(const QByteArray& path) const;
    QSslConfiguration clientConfiguration() const;
    // The paths asked for so far, in order.
    QList<QByteArray> requests() const { return m_requests; }

private:
    void serve(QSslSocket* socket);
    void respond(QSslSocket* socket, const QByteArray& path);

    QTemporaryDir m_dir;
    QSslServer m_server;
    QSslCertificate m_certificate;
    QHash<QByteArray, Response> m_routes;
    QList<QByteArray> m_requests;
};

}  // namespace tarnwick::test
