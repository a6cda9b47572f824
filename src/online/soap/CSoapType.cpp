#include "online/soap/CSoapType.h"

#include "online/soap/SoapNamespaces.h"

#include <QDomElement>
#include <QXmlStreamWriter>

namespace {

class CInvalidSoapType : public CSoapType
{
public:
    bool isValid() const override { return false; }
    void write(QXmlStreamWriter&) const override {}
};

} // namespace

CSoapType::~CSoapType() = default;

const CSoapType& CSoapType::child(const QString&) const
{
    return invalid();
}

const CSoapType& CSoapType::invalid()
{
    static const CInvalidSoapType s_invalid;
    return s_invalid;
}

void CSoapType::writeStartElement(QXmlStreamWriter& writer) const
{
    if (m_name.uri().isEmpty()) {
        writer.writeStartElement(m_name.name());
    } else {
        writer.writeStartElement(m_name.uri(), m_name.name());
    }
}

std::unique_ptr<CSoapType> CSoapType::fromElement(const QDomElement& element)
{
    const CSoapQName name(element.localName().isEmpty() ? element.tagName() : element.localName(),
                          element.namespaceURI());
    bool hasChildElements = false;
    for (QDomNode node = element.firstChild(); !node.isNull(); node = node.nextSibling()) {
        if (node.isElement()) {
            hasChildElements = true;
            break;
        }
    }
    if (!hasChildElements)
        return CSoapSimpleType::fromText(name, element.text());

    auto result = std::make_unique<CSoapStruct>(name);
    for (QDomElement item = element.firstChildElement(); !item.isNull(); item = item.nextSiblingElement())
        result->insert(fromElement(item));
    return result;
}

CSoapSimpleType::CSoapSimpleType(const CSoapQName& name) : CSoapSimpleType(name, NoValue, QString()) {}

CSoapSimpleType::CSoapSimpleType(const CSoapQName& name, int value)
    : CSoapSimpleType(name, Int, QString::number(value))
{
}

CSoapSimpleType::CSoapSimpleType(const CSoapQName& name, const QString& value)
    : CSoapSimpleType(name, String, value)
{
}

CSoapSimpleType::CSoapSimpleType(const CSoapQName& name, bool value)
    : CSoapSimpleType(name, Bool, value ? QStringLiteral("true") : QStringLiteral("false"))
{
}

CSoapSimpleType::CSoapSimpleType(const CSoapQName& name, Kind kind, const QString& text)
    : CSoapType(name), m_kind(kind), m_text(text)
{
}

std::unique_ptr<CSoapSimpleType> CSoapSimpleType::fromText(const CSoapQName& name, const QString& text)
{
    return std::unique_ptr<CSoapSimpleType>(new CSoapSimpleType(name, String, text));
}

void CSoapSimpleType::write(QXmlStreamWriter& writer) const
{
    writeStartElement(writer);
    switch (m_kind) {
    case Int:
        writer.writeAttribute(Soap::kXsiNamespace, QStringLiteral("type"), QStringLiteral("xsd:int"));
        break;
    case String:
        writer.writeAttribute(Soap::kXsiNamespace, QStringLiteral("type"), QStringLiteral("xsd:string"));
        break;
    case Bool:
        writer.writeAttribute(Soap::kXsiNamespace, QStringLiteral("type"), QStringLiteral("xsd:boolean"));
        break;
    case NoValue:
        break;
    }
    if (m_kind != NoValue)
        writer.writeCharacters(m_text);
    writer.writeEndElement();
}

CSoapStruct::CSoapStruct(const CSoapQName& name) : CSoapType(name) {}

CSoapStruct::~CSoapStruct() = default;

void CSoapStruct::insert(std::unique_ptr<CSoapType> item)
{
    if (item)
        m_items.push_back(std::move(item));
}

const CSoapType& CSoapStruct::at(int index) const
{
    if (index < 0 || index >= count())
        return invalid();
    return *m_items[static_cast<size_t>(index)];
}

const CSoapType& CSoapStruct::child(const QString& name) const
{
    for (const auto& item : m_items) {
        if (item->name().name() == name)
            return *item;
    }
    return invalid();
}

void CSoapStruct::write(QXmlStreamWriter& writer) const
{
    writeStartElement(writer);
    for (const auto& item : m_items)
        item->write(writer);
    writer.writeEndElement();
}
