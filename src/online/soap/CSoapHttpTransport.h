#pragma once

// Posts SOAP 1.1 requests over HTTP and turns whatever comes back into a
// reply message. Every failure becomes a fault reply, so a caller reads one
// outcome: a refused connection or any other network error, an HTTP status
// other than 200 (a 500 carrying a SOAP fault gives that fault), a redirect
// (never followed: the request stays with the host it was meant for), a
// reply too large or not a SOAP envelope. responseReady() follows every
// submitted request once, on the thread of the transport.
//
// One request at a time: submitting drops the previous one.

#include "online/soap/CSoapMessage.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class CSoapHttpTransport : public QObject
{
    Q_OBJECT
public:
    explicit CSoapHttpTransport(QObject* parent = nullptr);
    ~CSoapHttpTransport() override;

    // Port 0 is the scheme's default (80, or 443 when secure).
    void setHost(const QString& host, bool secure = false, int port = 0);
    void setAction(const QString& action);
    // Posts the message to `path` on the host. Returns at once.
    void submitRequest(const CSoapMessage& request, const QString& path);

    // The reply of the last request.
    const CSoapMessage& getResponse() const { return m_response; }
    // The network reply of the last request, null before the first; it stays
    // readable (status, error) until the next request.
    QNetworkReply* networkReply() const { return m_reply; }
    QNetworkAccessManager* networkAccessManager() { return &m_network; }

    // Stops the request in flight; responseReady() still follows, with a
    // network reply whose error is QNetworkReply::OperationCanceledError.
    void abort();
    // The last request was stopped by abort().
    bool isAborted() const { return m_aborted; }

    // Replies longer than this are cut off and reported as a fault.
    static constexpr qint64 kMaximumReplySize = 1 << 20;
    // A request that moves no data for this long fails.
    static constexpr int kTransferTimeoutMs = 30000;

Q_SIGNALS:
    void responseReady();

private Q_SLOTS:
    void onReadyRead();
    void onFinished();

private:
    void dropReply();

    QNetworkAccessManager m_network;
    QString m_host;
    bool m_secure = false;
    int m_port = 0;
    QString m_action;
    QPointer<QNetworkReply> m_reply;
    QByteArray m_body;
    CSoapMessage m_response;
    bool m_aborted = false;
    bool m_tooLarge = false;
};
