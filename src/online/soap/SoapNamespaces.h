#pragma once

// The namespaces of a SOAP 1.1 envelope and of its XML Schema types.

#include <QString>

namespace Soap {

inline const QString kEnvelopeNamespace = QStringLiteral("http://schemas.xmlsoap.org/soap/envelope/");
inline const QString kEncodingNamespace = QStringLiteral("http://schemas.xmlsoap.org/soap/encoding/");
inline const QString kXsiNamespace = QStringLiteral("http://www.w3.org/2001/XMLSchema-instance");
inline const QString kXsdNamespace = QStringLiteral("http://www.w3.org/2001/XMLSchema");

} // namespace Soap
