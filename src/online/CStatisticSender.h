#pragma once

// The usage-statistics sender: counts, in the settings group
// "UsageStatistic", the launches of each run mode for the installed product
// version. A start with another stored version clears the counters first.
// The daily report to the statistics service is not built yet: sendStatistic
// sends nothing.

#include "shell/IStatisticSender.h"

#include <QObject>
#include <QString>

class CStatisticSender : public QObject, public IStatisticSender
{
    Q_OBJECT
public:
    CStatisticSender();
    ~CStatisticSender() override;

    // The product version the counters belong to, as the build names it
    // ("1.0.6.9434").
    static QString productVersion();
    // The settings group that holds every counter: "UsageStatistic".
    static QString settingsGroup();

    // Counts one launch of the mode (1 standalone, 2 Photoshop, 3 Lightroom,
    // 4 Aperture; any other value counts as standalone) and one 64-bit launch.
    void countLaunch(int mode) override;

public Q_SLOTS:
    void sendStatistic() override;

protected:
    // Clears the launch counters and the crash counters of every mode.
    virtual void resetCounters();
};
