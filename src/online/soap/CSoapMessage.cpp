#include "online/soap/CSoapMessage.h"

#include "online/soap/SoapNamespaces.h"

#include <QDomDocument>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

CSoapMessage::FaultCode faultCodeFromText(const QString& text)
{
    // "SOAP-ENV:Client", "Client.Authentication", ... : the part after the
    // prefix up to the first dot names the class of the fault.
    QString local = text.section(QLatin1Char(':'), -1).section(QLatin1Char('.'), 0, 0).trimmed();
    if (local == QLatin1String("VersionMismatch"))
        return CSoapMessage::VersionMismatch;
    if (local == QLatin1String("MustUnderstand"))
        return CSoapMessage::MustUnderstand;
    if (local == QLatin1String("Client"))
        return CSoapMessage::Client;
    if (local == QLatin1String("Server"))
        return CSoapMessage::Server;
    return CSoapMessage::Other;
}

QDomElement firstChildElementNS(const QDomElement& parent, const QString& uri, const QString& name)
{
    for (QDomElement item = parent.firstChildElement(); !item.isNull(); item = item.nextSiblingElement()) {
        if (item.localName() == name && item.namespaceURI() == uri)
            return item;
    }
    return QDomElement();
}

// Fault children are unqualified in SOAP 1.1, though some services qualify them.
QString faultChildText(const QDomElement& fault, const QString& name)
{
    for (QDomElement item = fault.firstChildElement(); !item.isNull(); item = item.nextSiblingElement()) {
        if (item.localName() == name)
            return item.text();
    }
    return QString();
}

// Whether no element of the text lies deeper than `maximum`. Reading the
// reply, building its tree and freeing the tree all recurse once per level,
// so a deep reply is measured with the stream reader, which keeps no stack,
// before anything is built. Text that breaks off or is no XML passes here;
// the parser says what is wrong with it.
bool isNestedAtMost(const QByteArray& xml, int maximum)
{
    QXmlStreamReader reader(xml);
    int depth = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (++depth > maximum)
                return false;
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
    return true;
}

} // namespace

CSoapMessage::CSoapMessage()
{
    clear();
}

CSoapMessage::~CSoapMessage() = default;

void CSoapMessage::clear()
{
    m_method = std::make_unique<CSoapStruct>();
    m_fault = false;
    m_faultCode = Other;
    m_faultString.reset();
}

void CSoapMessage::setMethod(const CSoapQName& method)
{
    m_method->setName(method);
}

void CSoapMessage::addMethodArgument(std::unique_ptr<CSoapType> argument)
{
    m_method->insert(std::move(argument));
}

void CSoapMessage::addMethodArgument(const QString& name, const QString& uri, const QString& value)
{
    addMethodArgument(std::make_unique<CSoapSimpleType>(CSoapQName(name, uri), value));
}

QByteArray CSoapMessage::toXml() const
{
    QByteArray xml;
    QXmlStreamWriter writer(&xml);
    writer.setAutoFormatting(true);
    writer.setAutoFormattingIndent(1);
    writer.writeStartDocument();
    writer.writeNamespace(Soap::kEnvelopeNamespace, QStringLiteral("SOAP-ENV"));
    writer.writeNamespace(Soap::kXsiNamespace, QStringLiteral("xsi"));
    writer.writeNamespace(Soap::kXsdNamespace, QStringLiteral("xsd"));
    writer.writeStartElement(Soap::kEnvelopeNamespace, QStringLiteral("Envelope"));
    writer.writeAttribute(Soap::kEnvelopeNamespace, QStringLiteral("encodingStyle"), Soap::kEncodingNamespace);
    writer.writeStartElement(Soap::kEnvelopeNamespace, QStringLiteral("Body"));
    if (!m_method->name().uri().isEmpty())
        writer.writeNamespace(m_method->name().uri(), QStringLiteral("m"));
    m_method->write(writer);
    writer.writeEndElement();
    writer.writeEndElement();
    writer.writeEndDocument();
    return xml;
}

bool CSoapMessage::setContent(const QByteArray& xml)
{
    clear();
    if (!isNestedAtMost(xml, kMaximumDepth)) {
        setFault(Client, QStringLiteral("Invalid SOAP response: elements nested deeper than %1").arg(kMaximumDepth));
        return false;
    }
    QDomDocument document;
    QString error;
    int errorLine = 0;
    if (!document.setContent(xml, true, &error, &errorLine)) {
        setFault(Client, QStringLiteral("Invalid SOAP response: %1 at line %2").arg(error).arg(errorLine));
        return false;
    }
    const QDomElement envelope = document.documentElement();
    if (envelope.localName() != QLatin1String("Envelope") || envelope.namespaceURI() != Soap::kEnvelopeNamespace) {
        setFault(VersionMismatch, QStringLiteral("Invalid SOAP response: no SOAP 1.1 envelope"));
        return false;
    }
    const QDomElement body = firstChildElementNS(envelope, Soap::kEnvelopeNamespace, QStringLiteral("Body"));
    if (body.isNull()) {
        setFault(Client, QStringLiteral("Invalid SOAP response: the envelope has no body"));
        return false;
    }
    const QDomElement fault = firstChildElementNS(body, Soap::kEnvelopeNamespace, QStringLiteral("Fault"));
    if (!fault.isNull()) {
        setFault(faultCodeFromText(faultChildText(fault, QStringLiteral("faultcode"))),
                 faultChildText(fault, QStringLiteral("faultstring")));
        return true;
    }
    const QDomElement method = body.firstChildElement();
    if (method.isNull()) {
        setFault(Client, QStringLiteral("Invalid SOAP response: the body is empty"));
        return false;
    }
    m_method = std::make_unique<CSoapStruct>(CSoapQName(method.localName(), method.namespaceURI()));
    for (QDomElement item = method.firstChildElement(); !item.isNull(); item = item.nextSiblingElement())
        m_method->insert(CSoapType::fromElement(item));
    return true;
}

void CSoapMessage::setFault(FaultCode code, const QString& text)
{
    m_fault = true;
    m_faultCode = code;
    m_faultString = std::make_unique<CSoapSimpleType>(CSoapQName(QStringLiteral("faultstring")), text);
}

const CSoapType& CSoapMessage::faultString() const
{
    if (!m_faultString)
        return CSoapType::invalid();
    return *m_faultString;
}
