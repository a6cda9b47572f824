#pragma once

// A fake web service on 127.0.0.1 (a free port chosen by the system) for the
// tests of the online services. It reads each HTTP request whole, records
// it, and answers what the test's handler returns: a status with a body, a
// body without a length (ended by closing), or a held answer whose headers
// and first bytes go out at once while the rest waits for trickle() and
// release().

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <functional>

struct FakeRequest
{
    QByteArray method;
    QByteArray path;
    QMap<QByteArray, QByteArray> headers; // names in lower case
    QByteArray body;
};

struct FakeResponse
{
    int status = 200;
    QByteArray reason = "OK";
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    bool withLength = true; // without: the end of the body is the closed connection
    qint64 heldAfter = -1;  // >= 0: send the headers and this many body bytes, then wait
};

class FakeHttpService : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<FakeResponse(const FakeRequest&)>;

    explicit FakeHttpService(Handler handler = {}) : m_handler(std::move(handler))
    {
        connect(&m_server, &QTcpServer::newConnection, this, &FakeHttpService::onNewConnection);
        QVERIFY(m_server.listen(QHostAddress::LocalHost, 0));
    }

    void setHandler(Handler handler) { m_handler = std::move(handler); }
    QByteArray url() const { return "http://127.0.0.1:" + QByteArray::number(m_server.serverPort()); }
    quint16 port() const { return m_server.serverPort(); }
    const QList<FakeRequest>& requests() const { return m_requests; }

    // Sends the rest of every held answer and closes their connections.
    void release()
    {
        for (auto it = m_held.begin(); it != m_held.end(); ++it) {
            if (it->socket) {
                it->socket->write(it->rest);
                it->socket->disconnectFromHost();
            }
        }
        m_held.clear();
    }
    // Sends the next bytes of the held answer to `path`; the connection stays.
    void trickle(const QByteArray& path, int bytes = 1)
    {
        Held& held = m_held[path];
        if (held.socket && !held.rest.isEmpty()) {
            held.socket->write(held.rest.left(bytes));
            held.rest.remove(0, qMin<qsizetype>(bytes, held.rest.size()));
        }
    }

    // An address where nothing listens: a port that was just free.
    static QByteArray refusingUrl()
    {
        QTcpServer server;
        if (!server.listen(QHostAddress::LocalHost, 0))
            return QByteArray();
        const quint16 port = server.serverPort();
        server.close();
        return "http://127.0.0.1:" + QByteArray::number(port);
    }

    // A SOAP 1.1 envelope around `body`.
    static QByteArray envelope(const QByteArray& body)
    {
        return "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
               "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body>" +
               body + "</soap:Body></soap:Envelope>";
    }
    static QByteArray faultEnvelope(const QByteArray& code, const QByteArray& text)
    {
        return envelope("<soap:Fault><faultcode>soap:" + code + "</faultcode><faultstring>" + text +
                        "</faultstring></soap:Fault>");
    }

Q_SIGNALS:
    void requestReceived();

private Q_SLOTS:
    void onNewConnection()
    {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onData(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

private:
    void onData(QTcpSocket* socket)
    {
        QByteArray& buffer = m_buffers[socket];
        buffer += socket->readAll();
        const int headerEnd = buffer.indexOf("\r\n\r\n");
        if (headerEnd < 0)
            return;
        FakeRequest request;
        const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        request.method = first.value(0);
        request.path = first.value(1);
        for (int i = 1; i < lines.size(); ++i) {
            const int colon = lines[i].indexOf(':');
            if (colon > 0)
                request.headers.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
        }
        const int length = request.headers.value("content-length", "0").toInt();
        if (buffer.size() < headerEnd + 4 + length)
            return;
        request.body = buffer.mid(headerEnd + 4, length);
        m_buffers.remove(socket);
        m_requests.append(request);
        Q_EMIT requestReceived();

        const FakeResponse response = m_handler ? m_handler(request) : FakeResponse();
        QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + response.reason + "\r\n";
        for (const auto& [name, value] : response.headers)
            head += name + ": " + value + "\r\n";
        if (response.withLength)
            head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
        head += "Connection: close\r\n\r\n";
        if (response.heldAfter >= 0) {
            socket->write(head + response.body.left(response.heldAfter));
            m_held[request.path] = Held{socket, response.body.mid(response.heldAfter)};
            return;
        }
        socket->write(head + response.body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    Handler m_handler;
    QList<FakeRequest> m_requests;
    QMap<QTcpSocket*, QByteArray> m_buffers;
    struct Held
    {
        QPointer<QTcpSocket> socket;
        QByteArray rest;
    };
    QMap<QByteArray, Held> m_held; // by request path
};
