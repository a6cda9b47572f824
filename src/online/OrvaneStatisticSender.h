#pragma once

// The statistics sender of this application: adds the counters of correction
// use (which corrections the saved pictures carried) to the common ones.

#include "online/CStatisticSender.h"

class OrvaneStatisticSender : public CStatisticSender
{
    Q_OBJECT
public:
    OrvaneStatisticSender();

protected:
    // The common counters, then the twelve correction counters set to 0.
    void resetCounters() override;
};
