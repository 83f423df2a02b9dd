#include "LocalHttpsServer.h"

#include <QFile>
#include <QProcess>
#include <QSslKey>
#include <QSslSocket>
#include <QTimer>

namespace tarnwick::test {

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

bool LocalHttpsServer::start(QString* error) {
    const QString key = m_dir.filePath(QStringLiteral("key.pem"));
    const QString cert = m_dir.filePath(QStringLiteral("cert.pem"));
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                   "-nodes", "-days", "2", "-subj", "/CN=127.0.0.1", "-addext",
                   "subjectAltName=IP:127.0.0.1", "-keyout", key, "-out", cert});
    if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0) {
        *error =
            QStringLiteral("the openssl command could not make a certificate: %1 %2")
                .arg(openssl.errorString(), QString::fromLocal8Bit(openssl.readAllStandardError()));
        return false;
    }
    m_certificate = QSslCertificate(readFile(cert), QSsl::Pem);
    const QSslKey privateKey(readFile(key), QSsl::Ec, QSsl::Pem);
    if (m_certificate.isNull() || privateKey.isNull()) {
        *error = QStringLiteral("Qt cannot read the certificate or key openssl made");
        return false;
    }
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(m_certificate);
    configuration.setPrivateKey(privateKey);
    m_server.setSslConfiguration(configuration);
    connect(&m_server, &QTcpServer::pendingConnectionAvailable, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection())
            serve(qobject_cast<QSslSocket*>(socket));
    });
    if (!m_server.listen(QHostAddress::LocalHost, 0)) {
        *error = m_server.errorString();
        return false;
    }
    return true;
}

QUrl LocalHttpsServer::url(const QByteArray& path) const {
    return QUrl(QStringLiteral("https://127.0.0.1:%1%2")
                    .arg(m_server.serverPort())
                    .arg(QString::fromLatin1(path)));
}

QSslConfiguration LocalHttpsServer::clientConfiguration() const {
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setCaCertificates({m_certificate});
    return configuration;
}

void LocalHttpsServer::serve(QSslSocket* socket) {
    auto* request = new QByteArray;
    connect(socket, &QObject::destroyed, this, [request] { delete request; });
    connect(socket, &QSslSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QSslSocket::readyRead, this, [this, socket, request] {
        *request += socket->readAll();
        if (!request->contains("\r\n\r\n")) return;
        const QList<QByteArray> requestLine = request->left(request->indexOf("\r\n")).split(' ');
        request->clear();
        respond(socket, requestLine.value(1));
    });
}

void LocalHttpsServer::respond(QSslSocket* socket, const QByteArray& path) {
    m_requests << path;
    const Response response = m_routes.value(
        path, Response{404, "Not Found", {}, "no such page", Response::Body::complete});
    QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + response.reason +
                      "\r\nConnection: close\r\n";
    bool hasLength = false;
    for (const auto& [name, value] : response.headers) {
        head += name + ": " + value + "\r\n";
        hasLength = hasLength || name.compare("Content-Length", Qt::CaseInsensitive) == 0;
    }
    if (response.kind == Response::Body::complete && !hasLength)
        head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    socket->write(head + "\r\n");
    switch (response.kind) {
        case Response::Body::complete:
            socket->write(response.body);
            socket->disconnectFromHost();
            break;
        case Response::Body::silent:
            break;
        case Response::Body::endless: {
            auto* pump = new QTimer(socket);
            connect(pump, &QTimer::timeout, socket, [socket] {
                if (socket->bytesToWrite() < (1 << 20)) socket->write(QByteArray(64 * 1024, 'x'));
            });
            pump->start(2);
            break;
        }
    }
}

}  // namespace tarnwick::test
