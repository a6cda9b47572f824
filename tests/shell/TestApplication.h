#pragma once

// The application object of the shell's tests: the base behaviour, with the
// command line and the process engine the test gives (none unless set), no
// statistics, no Photoshop pixels, and a main window that records what it is
// asked.

#include "shell/CBaseApplication.h"

#include "RecordingMainWindow.h"

class TestApplication : public CBaseApplication
{
public:
    using CBaseApplication::CBaseApplication;
    using CBaseApplication::setStatisticSender;

    QStringList arguments() override { return commandLine; }
    IProcessEngine* getProcessEngine() override { return engine; }
    QByteArray saveApplicationState() override { return {}; }
    void restoreApplicationState(const QByteArray&) override {}
    void createStatisticSender() override {}
    AppInitCode showSelectPresetDialog(const QString&) override { return AppInitDoneNoPreset; }
    AppInitCode processFileWithPreset(const QStringList&, const QString&) override { return AppInitDoneSuccess; }
    void onPluginImageLoaded(NavikImagePtr) override {}
    CBaseMainWindow* createMainWindow() override { return new RecordingMainWindow(this); }

    RecordingMainWindow* window() { return static_cast<RecordingMainWindow*>(getMainWindow()); }

    QStringList commandLine;
    IProcessEngine* engine = nullptr;

protected:
    NavikImagePtr createInputImage(NAVIK_tarl1::PhotoshopDataStructure&) override { return {}; }
    bool copyToOutputBuffer(const PixelDataPtr&, NAVIK_tarl1::PhotoshopDataStructure&) override { return false; }
};

inline TestApplication* application()
{
    return static_cast<TestApplication*>(qApp);
}
