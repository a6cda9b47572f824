#include "online/ServiceAddress.h"

#include "online/soap/CSoapHttpTransport.h"
#include "utils/Logger.h"

using namespace NAVIK_tarl1;

namespace OnlineServices {

bool isWebAddress(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        && !url.host().isEmpty();
}

QUrl serviceAddress(const char* variable, const QString& builtIn)
{
    const QString configured = qEnvironmentVariable(variable);
    if (configured.isEmpty())
        return QUrl(builtIn);
    const QUrl url(configured, QUrl::StrictMode);
    if (isWebAddress(url))
        return url;
    LOG_MESSAGE('E', variable << " is not an http or https address: \"" << configured << "\"; using " << builtIn);
    return QUrl(builtIn);
}

void setTransportAddress(CSoapHttpTransport& transport, const QUrl& address)
{
    const bool secure = address.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
    transport.setHost(address.host(), secure, address.port(0));
}

} // namespace OnlineServices
