#pragma once

// One SOAP 1.1 message: a request built from a method element and its
// arguments, or a reply parsed from the text a service sent. A reply is
// either a fault (its code and string) or a method element whose children
// are looked up by name.

#include "online/soap/CSoapType.h"

#include <QByteArray>
#include <QString>

class CSoapMessage
{
public:
    enum FaultCode { VersionMismatch, MustUnderstand, Client, Server, Other };

    CSoapMessage();
    ~CSoapMessage();
    CSoapMessage(const CSoapMessage&) = delete;
    CSoapMessage& operator=(const CSoapMessage&) = delete;
    CSoapMessage(CSoapMessage&&) noexcept = default;
    CSoapMessage& operator=(CSoapMessage&&) noexcept = default;

    // Request side.
    void setMethod(const CSoapQName& method);
    // Appends an argument to the method element; the message owns it.
    void addMethodArgument(std::unique_ptr<CSoapType> argument);
    // A string argument.
    void addMethodArgument(const QString& name, const QString& uri, const QString& value);
    // The envelope as UTF-8 XML text.
    QByteArray toXml() const;

    // Reply side. Reads an envelope; false (and the message a Client fault
    // that says why) when the text is not a SOAP 1.1 envelope with a body,
    // or nests its elements deeper than kMaximumDepth.
    bool setContent(const QByteArray& xml);
    // Elements a reply may nest, the envelope included. The services' replies
    // go a handful of levels deep; this leaves them ample room.
    static constexpr int kMaximumDepth = 64;
    // Makes the message a fault with that code and text.
    void setFault(FaultCode code, const QString& text);

    bool isFault() const { return m_fault; }
    FaultCode faultCode() const { return m_faultCode; }
    // The fault's text; an invalid value unless the message is a fault.
    const CSoapType& faultString() const;
    // The method element (request) or the first element of the body (reply).
    const CSoapStruct& method() const { return *m_method; }

    // Back to an empty message.
    void clear();

private:
    std::unique_ptr<CSoapStruct> m_method;
    bool m_fault = false;
    FaultCode m_faultCode = Other;
    std::unique_ptr<CSoapSimpleType> m_faultString;
};
