#pragma once

// What the application object and the main window need of the usage-statistics
// sender: counting a launch of a run mode, a saved picture, and the daily
// report. The sender itself belongs to the online services; the application
// class creates it.

class IProcessEngine;

class IStatisticSender
{
public:
    virtual ~IStatisticSender() = default;

    // Counts one launch of the run mode (1 to 4; any other value counts as standalone).
    virtual void countLaunch(int mode) = 0;
    // Counts one picture saved in the run mode (1 to 4; any other value counts
    // no picture) and the corrections that the engine's last rendered
    // parameters carry.
    virtual void countSavedImage(int mode, IProcessEngine* engine) = 0;
    // Sends the usage report when the last one is a day old or older.
    virtual void sendStatistic() = 0;
};
