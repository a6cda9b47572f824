#pragma once

// The statistics sender of this application: reports its requests as
// "SendOrvaneUserInfo" and adds twelve counters of correction use (which
// corrections the saved pictures carried) in a struct of their own.
//
// The save flows call countProcessedImage, then updateCorrectionStatistics
// with the engine the picture was saved from.

#include "online/CStatisticSender.h"

#include <QStringList>

class IProcessEngine;

namespace Navik {
class Dictionary;
}

class OrvaneStatisticSender : public CStatisticSender
{
    Q_OBJECT
public:
    OrvaneStatisticSender();
    explicit OrvaneStatisticSender(std::shared_ptr<IHardwareInfo> hardwareInfo);

    // The settings keys of the twelve correction counters, in report order.
    static QStringList correctionCounterKeys();

    // The picture, then the corrections it carries.
    void countSavedImage(int mode, IProcessEngine* engine) override;

protected:
    // The common counters, then the twelve correction counters set to 0.
    void resetCounters() override;
    QString getSoapAction() override;
    QString getMethodName() override;
    // The struct "orvaneInfo" with the correction counters.
    void addExtraInfo(CSoapMessage& message, int revision, bool consent) override;
};

// Adds one to the counter in the open group "UsageStatistic".
void incrementStatisticCounter(NAVIK_tarl1::CSettings& settings, const QString& key);

// Counts the corrections the last rendered parameters of the engine carry,
// one per correction kind that holds.
void updateCorrectionStatistics(IProcessEngine* engine);
// The same rules over a parameter dictionary (with the keystoning points in
// place) and whether EXIF data were taken from another file.
void updateCorrectionStatistics(const Navik::Dictionary& parameters, bool exifFromOtherFile);
