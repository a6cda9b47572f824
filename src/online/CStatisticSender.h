#pragma once

// The usage-statistics sender. It counts, in the settings group
// "UsageStatistic", the launches and saved pictures of each run mode for the
// installed product version (a start with another stored version clears the
// counters first), and once a day reports them with the crash counts and a
// hardware description as a SOAP request to the statistics service.
//
// Consent: a user who has not agreed still sends reports, with blank values,
// until one has been answered without a fault; after that nothing is sent
// until the user agrees. Failures never reach the user.

#include "online/soap/CSoapHttpTransport.h"
#include "shell/IStatisticSender.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class IHardwareInfo;
class IProcessEngine;

namespace NAVIK_tarl1 {
class CSettings;
}

class CStatisticSender : public QObject, public IStatisticSender
{
    Q_OBJECT
public:
    CStatisticSender();
    // Tests hand in their own hardware description.
    explicit CStatisticSender(std::shared_ptr<IHardwareInfo> hardwareInfo);
    ~CStatisticSender() override;

    // "1.0.6.9434".
    static QString productVersion();
    // "UsageStatistic".
    static QString settingsGroup();

    // Counts one launch of the mode (1 standalone, 2 Photoshop, 3 Lightroom,
    // 4 Aperture; any other value counts as standalone) and one 64-bit launch.
    void countLaunch(int mode) override;
    // Counts one picture saved in the mode.
    static void countProcessedImage(int mode);
    // countProcessedImage for the modes 1 to 4.
    void countSavedImage(int mode, IProcessEngine* engine) override;
    // The counter's value in the open group; 0 when absent or not a number.
    static int readCounter(NAVIK_tarl1::CSettings& settings, const QString& key);

    // The clock of the daily rule and of the stamps; the system clock unless set.
    void setClock(std::function<QDateTime()> clock);
    CSoapHttpTransport& transport() { return m_transport; }

public Q_SLOTS:
    // Sends the report when the last answer is a day old or there is none.
    void sendStatistic() override;

protected:
    // Clears the launch counters and the crash counters of every mode.
    virtual void resetCounters();
    virtual QString getSoapAction();
    virtual QString getMethodName();
    virtual QString getMethodNamespace();
    virtual void addProductInfo(CSoapMessage& message, const QString& version, bool consent);
    virtual void addSystemInfo(CSoapMessage& message, int revision, bool consent);
    // Room for a subclass's own struct; nothing here.
    virtual void addExtraInfo(CSoapMessage& message, int revision, bool consent);
    virtual void addPluginInfo(CSoapMessage& message, int revision, bool consent);

    // Simple elements: the value, or the blank of its kind when `blank`.
    static void addIntItem(CSoapStruct& parent, const QString& name, int value, bool blank);
    static void addNumberItem(CSoapStruct& parent, const QString& name, double value, bool blank);
    static void addStringItem(CSoapStruct& parent, const QString& name, const QString& value, bool blank);
    static void addBoolItem(CSoapStruct& parent, const QString& name, bool value, bool blank);

private Q_SLOTS:
    void responseSuccess();

private:
    void send();
    QDateTime now() const;

    CSoapHttpTransport m_transport;
    std::shared_ptr<IHardwareInfo> m_hardwareInfo;
    std::function<QDateTime()> m_clock;
};
