// The SOAP layer: the envelope a message writes, the replies it reads, and
// the transport's rules for every way a request can end, against a fake
// service on 127.0.0.1.

#include "FakeHttpService.h"

#include "online/ServiceAddress.h"
#include "online/soap/CSoapHttpTransport.h"
#include "online/soap/CSoapMessage.h"

#include <QDomDocument>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTest>

class TestSoap : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void requestEnvelope();
    void replyParsing();
    void nestingDepth_data();
    void nestingDepth();
    void requestHeaders();
    void transportOutcomes_data();
    void transportOutcomes();
    void refusedConnection();
    void redirectIsNotFollowed();
    void abortKeepsTheReply();
    void serviceAddresses_data();
    void serviceAddresses();
};

namespace {

const QString kEnvelopeNs = QStringLiteral("http://schemas.xmlsoap.org/soap/envelope/");
const QString kXsiNs = QStringLiteral("http://www.w3.org/2001/XMLSchema-instance");

CSoapMessage sampleRequest()
{
    CSoapMessage message;
    message.setMethod(CSoapQName(QStringLiteral("Ping"), QStringLiteral("http://service.invalid/Ns")));
    message.addMethodArgument(QStringLiteral("name"), QString(), QStringLiteral("a < b & \"c\""));
    auto info = std::make_unique<CSoapStruct>(CSoapQName(QStringLiteral("info")));
    info->insert(QStringLiteral("count"), 42);
    info->insert(QStringLiteral("flag"), true);
    info->insert(std::make_unique<CSoapSimpleType>(CSoapQName(QStringLiteral("blank"))));
    auto inner = std::make_unique<CSoapStruct>(CSoapQName(QStringLiteral("inner")));
    inner->insert(QStringLiteral("text"), QStringLiteral("日本"));
    info->insert(std::move(inner));
    message.addMethodArgument(std::move(info));
    return message;
}

void waitForResponse(CSoapHttpTransport& transport)
{
    QSignalSpy ready(&transport, &CSoapHttpTransport::responseReady);
    QVERIFY(ready.wait(10000));
    QCOMPARE(ready.count(), 1);
}

} // namespace

void TestSoap::requestEnvelope()
{
    QDomDocument document;
    QVERIFY(document.setContent(sampleRequest().toXml(), true));
    const QDomElement envelope = document.documentElement();
    QCOMPARE(envelope.localName(), QStringLiteral("Envelope"));
    QCOMPARE(envelope.namespaceURI(), kEnvelopeNs);
    const QDomElement body = envelope.firstChildElement();
    QCOMPARE(body.localName(), QStringLiteral("Body"));
    QCOMPARE(body.namespaceURI(), kEnvelopeNs);

    const QDomElement method = body.firstChildElement();
    QCOMPARE(method.localName(), QStringLiteral("Ping"));
    QCOMPARE(method.namespaceURI(), QStringLiteral("http://service.invalid/Ns"));

    // Arguments are unqualified, typed, and their text survives escaping.
    const QDomElement name = method.firstChildElement();
    QCOMPARE(name.localName(), QStringLiteral("name"));
    QVERIFY(name.namespaceURI().isEmpty());
    QCOMPARE(name.attributeNS(kXsiNs, QStringLiteral("type")), QStringLiteral("xsd:string"));
    QCOMPARE(name.text(), QStringLiteral("a < b & \"c\""));

    const QDomElement info = name.nextSiblingElement();
    QCOMPARE(info.localName(), QStringLiteral("info"));
    QVERIFY(info.namespaceURI().isEmpty());
    const QDomElement count = info.firstChildElement();
    QCOMPARE(count.attributeNS(kXsiNs, QStringLiteral("type")), QStringLiteral("xsd:int"));
    QCOMPARE(count.text(), QStringLiteral("42"));
    const QDomElement flag = count.nextSiblingElement();
    QCOMPARE(flag.attributeNS(kXsiNs, QStringLiteral("type")), QStringLiteral("xsd:boolean"));
    QCOMPARE(flag.text(), QStringLiteral("true"));
    const QDomElement blank = flag.nextSiblingElement();
    QCOMPARE(blank.localName(), QStringLiteral("blank"));
    QVERIFY(!blank.hasAttributeNS(kXsiNs, QStringLiteral("type")));
    QVERIFY(!blank.hasChildNodes());
    QCOMPARE(blank.nextSiblingElement().firstChildElement().text(), QStringLiteral("日本"));
}

void TestSoap::replyParsing()
{
    // A message reads its own envelope back.
    CSoapMessage echo;
    QVERIFY(echo.setContent(sampleRequest().toXml()));
    QVERIFY(!echo.isFault());
    QCOMPARE(echo.method().name().name(), QStringLiteral("Ping"));
    QCOMPARE(echo.method()[QStringLiteral("info")][QStringLiteral("count")].text(), QStringLiteral("42"));
    QCOMPARE(echo.method()[QStringLiteral("info")][QStringLiteral("inner")][QStringLiteral("text")].text(),
             QStringLiteral("日本"));
    // Missing children chain into an invalid value, never a crash.
    QVERIFY(!echo.method()[QStringLiteral("nothing")][QStringLiteral("deeper")].isValid());
    QVERIFY(!echo.faultString().isValid());

    CSoapMessage fault;
    QVERIFY(fault.setContent(FakeHttpService::faultEnvelope("Server", "Database down")));
    QVERIFY(fault.isFault());
    QCOMPARE(fault.faultCode(), CSoapMessage::Server);
    QCOMPARE(fault.faultString().text(), QStringLiteral("Database down"));

    // Not an envelope: a Client fault that says why.
    const QByteArray broken[] = {"", "<html><body>hello</body></html>", "<soap:Envelope", 
                                 "<Envelope><Body><x/></Body></Envelope>",
                                 FakeHttpService::envelope("")};
    for (const QByteArray& text : broken) {
        CSoapMessage message;
        QVERIFY2(!message.setContent(text), text.constData());
        QVERIFY(message.isFault());
        QVERIFY(message.faultString().text().startsWith(QLatin1String("Invalid SOAP response")));
    }
}

void TestSoap::nestingDepth_data()
{
    QTest::addColumn<int>("depth");   // elements nested inside the reply's method element
    QTest::addColumn<bool>("closed"); // false: the reply breaks off inside the deepest element
    QTest::addColumn<bool>("accepted");
    QTest::newRow("deeper than any real reply, still fine") << 20 << true << true;
    QTest::newRow("1000") << 1000 << true << false;
    QTest::newRow("150000") << 150000 << true << false;
    QTest::newRow("150000 broken off") << 150000 << false << false;
}

// Reading a reply must not take stack in proportion to its nesting.
void TestSoap::nestingDepth()
{
    QFETCH(int, depth);
    QFETCH(bool, closed);
    QFETCH(bool, accepted);
    QByteArray nested = QByteArray("<a>").repeated(depth) + "ok";
    if (closed)
        nested += QByteArray("</a>").repeated(depth);
    QByteArray reply = FakeHttpService::envelope("<PingResponse>" + nested + "</PingResponse>");
    if (!closed)
        reply.truncate(reply.indexOf("ok") + 2);

    CSoapMessage message;
    QCOMPARE(message.setContent(reply), accepted);
    QCOMPARE(message.isFault(), !accepted);
    if (accepted) {
        const CSoapType* item = &message.method()[QStringLiteral("a")];
        for (int level = 1; level < depth; ++level)
            item = &(*item)[QStringLiteral("a")];
        QCOMPARE(item->text(), QStringLiteral("ok"));
    } else {
        QVERIFY(message.faultString().text().startsWith(QLatin1String("Invalid SOAP response")));
    }
}

void TestSoap::requestHeaders()
{
    FakeHttpService service([](const FakeRequest&) {
        FakeResponse response;
        response.body = FakeHttpService::envelope("<PingResponse><PingResult>7</PingResult></PingResponse>");
        return response;
    });
    const QUrl url(QString::fromLatin1(service.url()));
    CSoapHttpTransport transport;
    transport.setHost(url.host(), false, url.port());
    transport.setAction(QStringLiteral("http://service.invalid/Ns/Ping"));
    transport.submitRequest(sampleRequest(), QStringLiteral("/Service/Ws.asmx"));
    waitForResponse(transport);

    QCOMPARE(service.requests().size(), 1);
    const FakeRequest& request = service.requests().first();
    QCOMPARE(request.method, QByteArray("POST"));
    QCOMPARE(request.path, QByteArray("/Service/Ws.asmx"));
    QCOMPARE(request.headers.value("content-type"), QByteArray("text/xml;charset=utf-8"));
    QCOMPARE(request.headers.value("soapaction"), QByteArray("\"http://service.invalid/Ns/Ping\""));
    QCOMPARE(request.body, sampleRequest().toXml());

    QVERIFY(!transport.getResponse().isFault());
    QCOMPARE(transport.getResponse().method()[QStringLiteral("PingResult")].text(), QStringLiteral("7"));
    QVERIFY(transport.networkReply());
    QCOMPARE(transport.networkReply()->error(), QNetworkReply::NoError);
}

void TestSoap::transportOutcomes_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("fault");
    QTest::addColumn<QString>("faultText");

    const QByteArray good = FakeHttpService::envelope("<PingResponse><PingResult>ok</PingResult></PingResponse>");
    QTest::newRow("200 with an envelope") << 200 << good << false << QString();
    QTest::newRow("200 with a fault") << 200 << FakeHttpService::faultEnvelope("Client", "Bad user") << true
                                      << QStringLiteral("Bad user");
    QTest::newRow("500 with a fault") << 500 << FakeHttpService::faultEnvelope("Server", "Try later") << true
                                      << QStringLiteral("Try later");
    QTest::newRow("500 with a page") << 500 << QByteArray("<html>oops</html>") << true << QStringLiteral("*");
    QTest::newRow("500 with a non-fault envelope") << 500 << good << true << QStringLiteral("*");
    QTest::newRow("404") << 404 << QByteArray("not here") << true << QStringLiteral("*");
    QTest::newRow("200 not XML") << 200 << QByteArray("hello") << true << QStringLiteral("Invalid SOAP response*");
    const QByteArray deep = QByteArray("<a>").repeated(1000) + QByteArray("</a>").repeated(1000);
    QTest::newRow("200 nested too deep") << 200
                                         << FakeHttpService::envelope("<PingResponse>" + deep + "</PingResponse>")
                                         << true << QStringLiteral("Invalid SOAP response*");
    QTest::newRow("200 too large") << 200 << QByteArray(CSoapHttpTransport::kMaximumReplySize + 10, 'x') << true
                                   << QStringLiteral("The reply is larger than*");
}

void TestSoap::transportOutcomes()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(bool, fault);
    QFETCH(QString, faultText);

    FakeHttpService service([&](const FakeRequest&) {
        FakeResponse response;
        response.status = status;
        response.reason = status == 200 ? "OK" : "Error";
        response.body = body;
        return response;
    });
    const QUrl url(QString::fromLatin1(service.url()));
    CSoapHttpTransport transport;
    transport.setHost(url.host(), false, url.port());
    transport.submitRequest(sampleRequest(), QStringLiteral("/ws"));
    waitForResponse(transport);

    const CSoapMessage& response = transport.getResponse();
    QCOMPARE(response.isFault(), fault);
    if (fault) {
        const QString text = response.faultString().text();
        QVERIFY2(!text.isEmpty(), "a fault always says something");
        if (faultText != QLatin1String("*"))
            QVERIFY2(QRegularExpression(QRegularExpression::wildcardToRegularExpression(
                                            faultText, QRegularExpression::UnanchoredWildcardConversion))
                         .match(text)
                         .hasMatch(),
                     qPrintable(text));
    } else {
        QCOMPARE(response.method()[QStringLiteral("PingResult")].text(), QStringLiteral("ok"));
    }
    QVERIFY(!transport.isAborted());
}

void TestSoap::refusedConnection()
{
    const QUrl url(QString::fromLatin1(FakeHttpService::refusingUrl()));
    CSoapHttpTransport transport;
    transport.setHost(url.host(), false, url.port());
    transport.submitRequest(sampleRequest(), QStringLiteral("/ws"));
    waitForResponse(transport);
    QVERIFY(transport.getResponse().isFault());
    QCOMPARE(transport.getResponse().faultCode(), CSoapMessage::Client);
    QCOMPARE(transport.networkReply()->error(), QNetworkReply::ConnectionRefusedError);
    QVERIFY(!transport.getResponse().faultString().text().isEmpty());
}

void TestSoap::redirectIsNotFollowed()
{
    FakeHttpService elsewhere;
    FakeHttpService service([&](const FakeRequest&) {
        FakeResponse response;
        response.status = 302;
        response.reason = "Found";
        response.headers.append({"Location", elsewhere.url() + "/ws"});
        return response;
    });
    const QUrl url(QString::fromLatin1(service.url()));
    CSoapHttpTransport transport;
    transport.setHost(url.host(), false, url.port());
    transport.submitRequest(sampleRequest(), QStringLiteral("/ws"));
    waitForResponse(transport);

    QVERIFY(transport.getResponse().isFault());
    QVERIFY(transport.getResponse().faultString().text().contains(QString::fromLatin1(elsewhere.url())));
    QCOMPARE(service.requests().size(), 1);
    QCOMPARE(elsewhere.requests().size(), 0);
}

void TestSoap::abortKeepsTheReply()
{
    FakeHttpService service([](const FakeRequest&) {
        FakeResponse response;
        response.body = FakeHttpService::envelope("<R/>");
        response.heldAfter = 5;
        return response;
    });
    const QUrl url(QString::fromLatin1(service.url()));
    CSoapHttpTransport transport;
    transport.setHost(url.host(), false, url.port());
    transport.submitRequest(sampleRequest(), QStringLiteral("/ws"));
    QSignalSpy received(&service, &FakeHttpService::requestReceived);
    QVERIFY(received.wait(10000));

    QSignalSpy ready(&transport, &CSoapHttpTransport::responseReady);
    transport.abort();
    QCOMPARE(ready.count(), 1);
    QVERIFY(transport.isAborted());
    QVERIFY(transport.networkReply());
    QCOMPARE(transport.networkReply()->error(), QNetworkReply::OperationCanceledError);
    QVERIFY(transport.getResponse().isFault());
    service.release();
}

void TestSoap::serviceAddresses_data()
{
    QTest::addColumn<QByteArray>("variable"); // "-" when unset
    QTest::addColumn<QString>("address");
    const QString builtIn = QStringLiteral("http://ws.example.invalid");
    QTest::newRow("unset") << QByteArray("-") << builtIn;
    QTest::newRow("empty") << QByteArray() << builtIn;
    QTest::newRow("loopback with a port") << QByteArray("http://127.0.0.1:8080") << "http://127.0.0.1:8080";
    QTest::newRow("https") << QByteArray("https://stats.example.invalid") << "https://stats.example.invalid";
    QTest::newRow("file scheme") << QByteArray("file:///etc/passwd") << builtIn;
    QTest::newRow("no host") << QByteArray("http://") << builtIn;
    QTest::newRow("not an address") << QByteArray("127.0.0.1:80") << builtIn;
}

void TestSoap::serviceAddresses()
{
    QFETCH(QByteArray, variable);
    QFETCH(QString, address);
    const char* name = "QUILLET_TEST_SOME_SERVICE";
    if (variable == "-")
        qunsetenv(name);
    else
        qputenv(name, variable);
    QCOMPARE(OnlineServices::serviceAddress(name, QStringLiteral("http://ws.example.invalid")), QUrl(address));
}

QTEST_GUILESS_MAIN(TestSoap)
#include "tst_soap.moc"
