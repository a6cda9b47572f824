#pragma once

// The application class of the program: owns the process engine, creates the
// main window and the statistics sender, takes and restores snapshots of the
// whole application state, handles the options "script" and "mkcrm", and
// answers the Lightroom batch operations with notices (batch work is not
// supported).

#include "crash/CrashReporterSetup.h"
#include "shell/CBaseApplication.h"

class CProcessEngine;

class CApplication : public CBaseApplication
{
    Q_OBJECT
public:
    CApplication(int& argc, char** argv);
    // Deletes the engine and releases the correction-module host, then the
    // base class lets go of the window and the exchange record.
    ~CApplication() override;

    // Creates the engine on the first call.
    IProcessEngine* getProcessEngine() override;
    // The states of every object registered with undo, as a data-streamed
    // map from id to state bytes.
    QByteArray saveApplicationState() override;
    // Hands every registered object its state from such a map, then emits
    // appStateWasRestored(); bytes that are no map restore nothing.
    void restoreApplicationState(const QByteArray& state) override;
    void createStatisticSender() override;
    AppInitCode initLRwithMultipleSelection(const QStringList& files) override;
    AppInitCode showSelectPresetDialog(const QString& session) override;
    AppInitCode processFileWithPreset(const QStringList& files, const QString& session) override;
    void onPluginImageLoaded(NavikImagePtr image) override;
    CBaseMainWindow* createMainWindow() override;
    void processCmdParams(const StringsMap& params) override;

    // An existing test script switches crash reports off and is handed to
    // the script harness.
    void processScriptParam(const StringsMap& params);
    // Whether the main window gets the hidden crash action: "--mkcrm=true",
    // or the setting "crashForceRegisterKey" exactly "true".
    bool isCrashForceRegistered() const;

Q_SIGNALS:
    void appStateWasRestored();

protected:
    NavikImagePtr createInputImage(NAVIK_tarl1::PhotoshopDataStructure& record) override;
    bool copyToOutputBuffer(const PixelDataPtr& pixels, NAVIK_tarl1::PhotoshopDataStructure& record) override;

private:
    CProcessEngine* m_processEngine = nullptr;
    bool m_makeCrash = false;
    // Registered for the preferences while the application exists.
    CCrashReporterSwitch m_crashReporterSwitch;
};
