#pragma once

#include <QFile>
#include <QHash>
#include <QProcess>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

namespace tarnwick::test {

// An HTTPS server on 127.0.0.1 with a certificate the openssl command makes for it, answering
// each path as the test scripted it: a normal response, headers and then silence, or an endless
// body. Only a client given clientConfiguration() trusts it.
class LocalHttpsServer : public QObject {
public:
    struct Response {
        enum class Body { complete, silent, endless };
        QByteArray statusLine = "200 OK";
        QByteArray headers;  // each ending in "\r\n"
        QByteArray body;
        Body kind = Body::complete;
    };

    // Makes the certificate and listens; an empty string, or why it could not.
    QString start() {
        const QString key = m_dir.filePath("key.pem"), cert = m_dir.filePath("cert.pem");
        QProcess openssl;
        openssl.start("openssl",
                      {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                       "-nodes", "-days", "2", "-subj", "/CN=127.0.0.1", "-addext",
                       "subjectAltName=IP:127.0.0.1", "-keyout", key, "-out", cert});
        if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0)
            return "openssl made no certificate: " + QString(openssl.readAllStandardError());
        m_certificate = QSslCertificate(read(cert), QSsl::Pem);
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.setLocalCertificate(m_certificate);
        configuration.setPrivateKey(QSslKey(read(key), QSsl::Ec, QSsl::Pem));
        m_server.setSslConfiguration(configuration);
        connect(&m_server, &QTcpServer::pendingConnectionAvailable, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) serve(socket);
        });
        return m_server.listen(QHostAddress::LocalHost, 0) ? QString() : m_server.errorString();
    }
    void route(const QByteArray& path, const QByteArray& statusLine, const QByteArray& headers = {},
               const QByteArray& body = {}, Response::Body kind = Response::Body::complete) {
        m_routes[path] = {statusLine, headers, body, kind};
    }
    QUrl url(const QByteArray& path) const {
        return QUrl("https://127.0.0.1:" + QString::number(m_server.serverPort()) +
                    QString::fromLatin1(path));
    }
    QSslConfiguration clientConfiguration() const {
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.setCaCertificates({m_certificate});
        return configuration;
    }
    // The paths asked for so far, in order.
    QList<QByteArray> requests;

private:
    static QByteArray read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void serve(QTcpSocket* socket) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QObject::destroyed, this, [this, socket] { m_pending.remove(socket); });
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            QByteArray& request = m_pending[socket];
            request += socket->readAll();
            if (!request.contains("\r\n\r\n")) return;
            const QByteArray path = request.left(request.indexOf("\r\n")).split(' ').value(1);
            m_pending.remove(socket);
            requests << path;
            respond(socket, m_routes.value(path, {"404 Not Found", {}, "no such page", {}}));
        });
    }
    static void respond(QTcpSocket* socket, const Response& response) {
        QByteArray head = "HTTP/1.1 " + response.statusLine + "\r\nConnection: close\r\n";
        if (response.kind == Response::Body::complete && !response.headers.contains("Length"))
            head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
        socket->write(head + response.headers + "\r\n");
        if (response.kind == Response::Body::complete) {
            socket->write(response.body);
            socket->disconnectFromHost();
        } else if (response.kind == Response::Body::endless) {
            auto* pump = new QTimer(socket);
            connect(pump, &QTimer::timeout, socket, [socket] {
                if (socket->bytesToWrite() < (1 << 20)) socket->write(QByteArray(64 * 1024, 'x'));
            });
            pump->start(2);
        }
    }
    QTemporaryDir m_dir;
    QSslServer m_server;
    QSslCertificate m_certificate;
    QHash<QByteArray, Response> m_routes;
    QHash<QTcpSocket*, QByteArray> m_pending;
};

}  // namespace tarnwick::test
