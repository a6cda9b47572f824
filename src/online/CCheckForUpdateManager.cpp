#include "online/CCheckForUpdateManager.h"

#include "online/CCheckForUpdateDialog.h"
#include "online/CStatisticSender.h"
#include "online/ServiceAddress.h"
#include "utils/CLanguageManager.h"
#include "utils/CMessageBox.h"
#include "utils/CSettings.h"
#include "utils/Logger.h"
#include "utils/SharedConstants.h"

#include <QDesktopServices>
#include <QNetworkReply>
#include <QWidget>

using namespace NAVIK_tarl1;

namespace {

const QString kGroup = QStringLiteral("CheckForUpdate");
const QString kAutoCheckKey = QStringLiteral("isAutoCheck");
const QString kLastCheckDateKey = QStringLiteral("lastCheckDate");

QString serviceNamespace()
{
    return OnlineServices::kUpdateServiceAddress + QStringLiteral("/CheckForUpdates");
}

} // namespace

CCheckForUpdateManager::CCheckForUpdateManager(QWidget* parent) : QObject(parent), m_parentWidget(parent)
{
    qRegisterMetaType<SCheckForUpdateData>();
    connect(&m_transport, &CSoapHttpTransport::responseReady, this, &CCheckForUpdateManager::responseSuccess);
    connect(this, &CCheckForUpdateManager::checkForUpdateRequestCompleted, this,
            &CCheckForUpdateManager::onCheckForUpdateRequestCompleted);
}

CCheckForUpdateManager::~CCheckForUpdateManager() = default;

bool CCheckForUpdateManager::isAutoCheck() const
{
    CSettings settings;
    settings.beginGroup(kGroup);
    return settings.value(kAutoCheckKey, true).toBool();
}

void CCheckForUpdateManager::setAutoCheck(bool on)
{
    CSettings settings;
    settings.beginGroup(kGroup);
    settings.setValue(kAutoCheckKey, on);
}

void CCheckForUpdateManager::setClock(std::function<QDateTime()> clock)
{
    m_clock = std::move(clock);
}

QDateTime CCheckForUpdateManager::now() const
{
    return m_clock ? m_clock() : QDateTime::currentDateTime();
}

void CCheckForUpdateManager::onCheckForUpdate()
{
    checkForUpdate(false);
}

void CCheckForUpdateManager::onForceCheckForUpdate()
{
    checkForUpdate(true);
}

void CCheckForUpdateManager::onCancelCheckForUpdate()
{
    m_transport.abort();
}

void CCheckForUpdateManager::checkForUpdate(bool forced)
{
    m_showResult = forced;
    QDateTime last;
    bool autoCheck = true;
    {
        CSettings settings;
        settings.beginGroup(kGroup);
        autoCheck = settings.value(kAutoCheckKey, true).toBool();
        last = settings.value(kLastCheckDateKey).toDateTime();
        if (last.isNull() || forced) {
            last = now().addDays(-1);
            settings.setValue(kLastCheckDateKey, last);
        }
    }
    if ((autoCheck || forced) && !(now() < last.addDays(1)))
        sendRequest(QString());
}

void CCheckForUpdateManager::sendRequest(const QString& version)
{
    OnlineServices::setTransportAddress(
        m_transport,
        OnlineServices::serviceAddress(OnlineServices::kUpdateServiceVariable, OnlineServices::kUpdateServiceAddress));
    m_transport.setAction(serviceNamespace() + QStringLiteral("/FindUpdateWithNotes"));

    QString locale = CLanguageManager::instance()->currentLanguageAbbrv();
    if (locale.isEmpty())
        locale = QStringLiteral("en");
    else if (locale == QLatin1String("ja"))
        locale = QStringLiteral("jp");

    CSoapMessage message;
    message.setMethod(CSoapQName(QStringLiteral("FindUpdateWithNotes"), serviceNamespace()));
    message.addMethodArgument(QStringLiteral("locale"), QString(), locale);
    message.addMethodArgument(QStringLiteral("product"), QString(), g_appTitle);
    // The platform this program runs on, so the service offers a build for it.
    message.addMethodArgument(QStringLiteral("platform"), QString(), QStringLiteral("Linux"));
    message.addMethodArgument(QStringLiteral("version"), QString(),
                              version.isEmpty() ? CStatisticSender::productVersion() : version);
    m_transport.submitRequest(message, QString());
}

void CCheckForUpdateManager::responseSuccess()
{
    QNetworkReply* reply = m_transport.networkReply();
    if (!reply || m_transport.isAborted())
        return;

    const CSoapMessage& response = m_transport.getResponse();
    SCheckForUpdateData data;
    if (response.isFault()) {
        data.errorText = response.faultString().text();
        LOG_MESSAGE('D', "Error: " << data.errorText);
        Q_EMIT checkForUpdateRequestCompleted(data);
        return;
    }

    const CSoapStruct& method = response.method();
    const CSoapType* result = &method[QStringLiteral("FindUpdateWithNotesResult")];
    if (result->isValid()) {
        data.resultFound = true;
    } else {
        result = &method[QStringLiteral("FindUpdateResult")];
        ASSERT(result->isValid());
    }
    data.status = result->text();
    if (data.status == QLatin1String("NoError")) {
        m_showResult = true;
        data.newVersion = method[QStringLiteral("newVersion")].text();
        data.downloadUrl = method[QStringLiteral("downloadURL")].text();
        const QString notes = method[QStringLiteral("releaseNotesB64")].text();
        if (!notes.isEmpty())
            data.releaseNotes = QString::fromUtf8(QByteArray::fromBase64(notes.toLatin1()));
    } else {
        ASSERT(data.status == QLatin1String("NoUpdateFound"));
    }
    Q_EMIT checkForUpdateRequestCompleted(data);
}

bool CCheckForUpdateManager::isOpenableDownloadUrl(const QUrl& url)
{
    return OnlineServices::isWebAddress(url);
}

void CCheckForUpdateManager::onCheckForUpdateRequestCompleted(SCheckForUpdateData data)
{
    {
        CSettings settings;
        settings.beginGroup(kGroup);
        settings.setValue(kLastCheckDateKey, now());
    }
    if (!m_showResult)
        return;
    Q_EMIT checkForUpdateStopAnimation();

    // Only web addresses go to the browser: a forged "file:" or other scheme
    // could start a program on this machine.
    const QUrl url(data.downloadUrl, QUrl::StrictMode);
    const bool openable = isOpenableDownloadUrl(url);
    if (!data.downloadUrl.isEmpty() && !openable)
        LOG_MESSAGE('E', "The update service offered a download address that is not a web address: \""
                             << data.downloadUrl << "\"");

    if (!data.newVersion.isEmpty() && !data.downloadUrl.isEmpty() && openable) {
        if (runUpdateNotice(data.releaseNotes, data.newVersion))
            openUrl(url);
    } else if (!data.errorText.isEmpty()) {
        showError(tr("Check for update error: %1").arg(data.errorText));
    } else {
        showLatestVersion(tr("You are using the latest version of %1.").arg(g_appTitle));
    }
}

bool CCheckForUpdateManager::runUpdateNotice(const QString& releaseNotes, const QString& newVersion)
{
    CCheckForUpdateDialog dialog(m_parentWidget, releaseNotes, newVersion);
    return dialog.exec() == QDialog::Accepted;
}

void CCheckForUpdateManager::showError(const QString& text)
{
    CMessageBox::critical(m_parentWidget, g_appTitle, text, QMessageBox::Ok);
}

void CCheckForUpdateManager::showLatestVersion(const QString& text)
{
    CMessageBox::information(m_parentWidget, g_appTitle, text, QMessageBox::Ok);
}

void CCheckForUpdateManager::openUrl(const QUrl& url)
{
    QDesktopServices::openUrl(url);
}
