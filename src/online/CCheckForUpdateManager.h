#pragma once

// Asks the update service whether a newer version exists: by itself at most
// once a day (when automatic checks are on), or at once when forced. A new
// version is offered in the update notice, whose Update opens the download
// address in the browser (http and https addresses only); a forced check
// without news says so, or shows the error.
//
// Nothing in the program creates it yet: it is a service for a caller.

#include "online/soap/CSoapHttpTransport.h"

#include <QDateTime>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QUrl>
#include <QVariantMap>

#include <functional>

class QWidget;

struct SCheckForUpdateData
{
    bool resultFound = false; // the reply carried "FindUpdateWithNotesResult"
    QString releaseNotes;
    QString newVersion;
    QString downloadUrl;
    QString errorText;        // the fault's text
    QString status;           // "NoError" or "NoUpdateFound"
};
Q_DECLARE_METATYPE(SCheckForUpdateData)

class CCheckForUpdateManager : public QObject
{
    Q_OBJECT
public:
    explicit CCheckForUpdateManager(QWidget* parent);
    ~CCheckForUpdateManager() override;

    bool isAutoCheck() const;
    void setAutoCheck(bool on);

    // The clock of the daily rule and of the stamps; the system clock unless set.
    void setClock(std::function<QDateTime()> clock);
    CSoapHttpTransport& transport() { return m_transport; }

    // Whether an address from the service may be handed to the browser.
    static bool isOpenableDownloadUrl(const QUrl& url);

public Q_SLOTS:
    void onCheckForUpdate();
    void onForceCheckForUpdate();
    // Drops the request in flight: no message, no signal, no stamp.
    void onCancelCheckForUpdate();

Q_SIGNALS:
    // A check whose outcome is shown has finished.
    void checkForUpdateStopAnimation();
    // Every answered check.
    void checkForUpdateRequestCompleted(SCheckForUpdateData data);
    void checkForUpdateResponse(QVariantMap response);

protected:
    // What the user sees; tests put recorders in their place.
    // Runs the update notice; true when the user chose Update.
    virtual bool runUpdateNotice(const QString& releaseNotes, const QString& newVersion);
    virtual void showError(const QString& text);
    virtual void showLatestVersion(const QString& text);
    virtual void openUrl(const QUrl& url);

private Q_SLOTS:
    void responseSuccess();
    void onCheckForUpdateRequestCompleted(SCheckForUpdateData data);

private:
    void checkForUpdate(bool forced);
    void sendRequest(const QString& version);
    QDateTime now() const;

    CSoapHttpTransport m_transport;
    bool m_showResult = false;
    QWidget* m_parentWidget = nullptr;
    std::function<QDateTime()> m_clock;
};
