#pragma once

// The application object as the rest of the program sees it through qApp:
// the run mode, the process engine, the main window, state snapshots and the
// start-up steps. CBaseApplication gives the common behaviour; the
// application class of the program fills in the rest.
//
// The order of the operations is part of the interface; add new ones at the end.

#include "shell/CommandLineOptions.h"
#include "shell/NavikImagePtr.h"

#include <QApplication>
#include <QByteArray>
#include <QString>
#include <QStringList>

class CBaseMainWindow;
class IProcessEngine;

class IApplicationInterface : public QApplication
{
    Q_OBJECT
public:
    // The outcome of the start-up; main turns it into an exit code or runs
    // the event loop.
    enum AppInitCode {
        AppInitNone = 0,
        AppInitImagesOpened = 1,  // standalone: the file argument(s) were opened
        AppInitDoneSuccess = 2,   // host batch work done, nothing to show
        AppInitDoneNoPreset = 3,  // host batch work stopped at the preset choice
        AppInitDoneFailure = 4,
        AppInitRunInterface = 5,  // the window is up (possibly empty)
        AppInitFailed = 7,        // the start cannot go on
    };

    IApplicationInterface(int& argc, char** argv);
    ~IApplicationInterface() override;

    virtual int getMode() const = 0;
    virtual IProcessEngine* getProcessEngine() = 0;
    virtual CBaseMainWindow* getMainWindow() = 0;
    virtual QByteArray saveApplicationState() = 0;
    virtual void restoreApplicationState(const QByteArray& state) = 0;
    virtual void createStatisticSender() = 0;
    virtual void bringMainWindowToFront() = 0;
    virtual AppInitCode initialize() = 0;
    virtual bool isSupportedImageFileType(const QString& path) = 0;
    virtual AppInitCode initLRwithMultipleSelection(const QStringList& files) = 0;
    virtual AppInitCode showSelectPresetDialog(const QString& session) = 0;
    virtual AppInitCode processFileWithPreset(const QStringList& files, const QString& session) = 0;
    virtual void onPluginImageLoaded(NavikImagePtr image) = 0;
    virtual CBaseMainWindow* createMainWindow() = 0;
    virtual void processCmdParams(const StringsMap& params) = 0;
    virtual QStringList arguments() = 0;
};
