#pragma once

// Where the online services send their requests. The shipped addresses lie
// under the reserved ".invalid" domain, so no request of an unconfigured
// build reaches a real host; an environment variable holding an http or
// https address ("http://127.0.0.1:8080") points a service elsewhere.

#include <QString>
#include <QUrl>

class CSoapHttpTransport;

namespace OnlineServices {

// The variables that move the statistics and the update services.
inline constexpr char kStatisticsServiceVariable[] = "QUILLET_STATISTICS_SERVICE";
inline constexpr char kUpdateServiceVariable[] = "QUILLET_UPDATE_SERVICE";

// The host that names the statistics namespace, and the host requests go to.
inline const QString kStatisticsNamespaceHost = QStringLiteral("statistics.navik-labs.invalid");
inline const QString kStatisticsServiceAddress = QStringLiteral("http://ws.navik-labs.invalid");
// The update service's base address: names its namespace and takes its requests.
inline const QString kUpdateServiceAddress = QStringLiteral("http://update.navik-labs.invalid");

// An http or https address with a host: the only kind of address that comes
// from a service and may be handed to the browser.
bool isWebAddress(const QUrl& url);

// The address in the variable when it is an http or https address with a
// host, otherwise the built-in one (a bad value is logged).
QUrl serviceAddress(const char* variable, const QString& builtIn);
// Sends the transport's requests to that address.
void setTransportAddress(CSoapHttpTransport& transport, const QUrl& address);

} // namespace OnlineServices
