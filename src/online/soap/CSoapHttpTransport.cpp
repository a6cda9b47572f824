#include "online/soap/CSoapHttpTransport.h"

#include <QNetworkReply>
#include <QNetworkRequest>

CSoapHttpTransport::CSoapHttpTransport(QObject* parent) : QObject(parent) {}

CSoapHttpTransport::~CSoapHttpTransport()
{
    dropReply();
}

void CSoapHttpTransport::setHost(const QString& host, bool secure, int port)
{
    m_host = host;
    m_secure = secure;
    m_port = port;
}

void CSoapHttpTransport::setAction(const QString& action)
{
    m_action = action;
}

void CSoapHttpTransport::dropReply()
{
    if (!m_reply)
        return;
    m_reply->disconnect(this);
    if (m_reply->isRunning())
        m_reply->abort();
    m_reply->deleteLater();
    m_reply = nullptr;
}

void CSoapHttpTransport::submitRequest(const CSoapMessage& request, const QString& path)
{
    dropReply();
    m_body.clear();
    m_response.clear();
    m_aborted = false;
    m_tooLarge = false;

    QUrl url;
    url.setScheme(m_secure ? QStringLiteral("https") : QStringLiteral("http"));
    url.setHost(m_host);
    if (m_port > 0)
        url.setPort(m_port);
    url.setPath(path.startsWith(QLatin1Char('/')) ? path : QLatin1Char('/') + path);

    QNetworkRequest httpRequest(url);
    httpRequest.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("text/xml;charset=utf-8"));
    httpRequest.setRawHeader("SOAPAction", '"' + m_action.toUtf8() + '"');
    httpRequest.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    httpRequest.setTransferTimeout(kTransferTimeoutMs);

    m_reply = m_network.post(httpRequest, request.toXml());
    connect(m_reply, &QNetworkReply::readyRead, this, &CSoapHttpTransport::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &CSoapHttpTransport::onFinished);
}

void CSoapHttpTransport::abort()
{
    if (!m_reply || !m_reply->isRunning())
        return;
    m_aborted = true;
    m_reply->abort();
}

void CSoapHttpTransport::onReadyRead()
{
    if (!m_reply || m_tooLarge)
        return;
    m_body += m_reply->read(kMaximumReplySize + 1 - m_body.size());
    if (m_body.size() > kMaximumReplySize) {
        m_tooLarge = true;
        m_reply->abort();
    }
}

void CSoapHttpTransport::onFinished()
{
    QNetworkReply* reply = m_reply;
    if (!reply)
        return;
    if (!m_tooLarge && !m_aborted)
        onReadyRead();

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QNetworkReply::NetworkError error = reply->error();
    if (m_tooLarge) {
        m_response.setFault(CSoapMessage::Server,
                            QStringLiteral("The reply is larger than %1 bytes").arg(kMaximumReplySize));
    } else if (m_aborted) {
        m_response.setFault(CSoapMessage::Client, QStringLiteral("The request was cancelled"));
    } else if (status >= 300 && status < 400) {
        m_response.setFault(CSoapMessage::Client,
                            QStringLiteral("The service redirected the request to \"%1\"; it was not followed")
                                .arg(QString::fromUtf8(reply->rawHeader("Location"))));
    } else if (error == QNetworkReply::OperationCanceledError) {
        m_response.setFault(CSoapMessage::Client, QStringLiteral("The service did not answer in time"));
    } else if (error != QNetworkReply::NoError && status != 500) {
        m_response.setFault(CSoapMessage::Client, reply->errorString());
    } else if (!m_response.setContent(m_body)) {
        // Not an envelope: on an HTTP error, say what the server said.
        if (status == 500)
            m_response.setFault(CSoapMessage::Server, reply->errorString());
    } else if (status == 500 && !m_response.isFault()) {
        m_response.setFault(CSoapMessage::Server, reply->errorString());
    } else if ((status < 200 || status >= 300) && !m_response.isFault()) {
        m_response.setFault(CSoapMessage::Server, QStringLiteral("Unexpected HTTP status %1").arg(status));
    }
    m_body.clear();
    Q_EMIT responseReady();
}
