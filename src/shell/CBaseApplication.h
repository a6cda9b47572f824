#pragma once

// The Qt application object of the program: the run mode, the host exchange
// record, the main window, the statistics sender and the start-up of each run
// mode. main() builds one application (of the program's own class), calls
// initialize() and, unless the start already decided the outcome, run().
//
// Run modes: 1 standalone, 2 Photoshop, 3 Lightroom, 4 Aperture, 5 not yet
// chosen. In every mode the outcome of the run is the exchange record's exit
// code: 0 the picture was saved (or handed back), 3 nothing was saved, -1 the
// hand-back to Photoshop failed.

#include "shell/CBaseCorrectionGlobalData.h"
#include "shell/CWindowState.h"
#include "shell/IApplicationInterface.h"
#include "shell/IStatisticSender.h"
#include "shell/PixelDataPtr.h"
#include "utils/PluginDataStructure.h"

#include <QTime>

#include <memory>

class CBaseApplication : public IApplicationInterface
{
    Q_OBJECT
public:
    enum RunMode {
        StandaloneMode = 1,
        PhotoshopMode = 2,
        LightroomMode = 3,
        ApertureMode = 4,
        UndefinedMode = 5,
    };

    CBaseApplication(int& argc, char** argv);
    ~CBaseApplication() override;

    // Throws the text "application mode must be defined at that point" while
    // the mode is undefined.
    int getMode() const override;
    CBaseMainWindow* getMainWindow() override;
    // Shows a minimised main window again.
    void bringMainWindowToFront() override;
    // Parses the command line, chooses the run mode, starts it and counts the
    // launch; the result tells main what to do next.
    AppInitCode initialize() override;
    // ".jpg", ".jpeg", ".tif" or ".tiff" in any letter case.
    bool isSupportedImageFileType(const QString& path) override;
    // Several files from Lightroom or Aperture without batch mode: a notice.
    AppInitCode initLRwithMultipleSelection(const QStringList& files) override;
    void processCmdParams(const StringsMap& params) override;
    QStringList arguments() override;

    // The running application's process engine (created on first use), or
    // null without an application object of this kind.
    static IProcessEngine* processEngine();

    // Throws like getMode while the mode is undefined.
    bool isPluginMode() const;
    // Also records the mode's name as the last launch mode.
    void setMode(int mode);

    // Where main writes the exit-code file; a leading "~" stands for the home folder.
    void setResultXmlFilePath(const QString& path);
    QString resultXmlFilePath() const;

    CWindowState* restoredWindowState();
    // The handle pixmaps the correction modules draw their points with.
    const CBaseCorrectionGlobalData* correctionGlobalData() const { return &m_correctionGlobalData; }
    // False when the host asked not to be asked about saving on close.
    bool isSaveDialogEnabled() const;
    QTime startupTime() const;

    // Whether the run saved its picture; a false flag makes the exit code 3.
    static void setImageSaved(bool saved);
    static bool isImageSaved();

    // The event loop where the mode has one, then the hand-back to a
    // Photoshop host; returns the exit code.
    int run();

    // The correction engine, started once per process and finalised at the end.
    static void initializeEngine();
    static void releaseEngine();
    static bool isEngineStarted();

    // The starts of the run modes.
    AppInitCode initializePS(const StringsMap& params);
    AppInitCode initializeLR(const StringsMap& params, const QStringList& files);
    AppInitCode initializeStandalone(const QStringList& files);

    // Photoshop: the image over the host's pixels, the window state the host
    // kept, and the result the main window hands back.
    NavikImagePtr loadPSImage();
    QByteArray pluginWindowState();
    void setPluginWindowState(const QByteArray& state);
    void setResultPixelDataForPS(PixelDataPtr pixels);
    PixelDataPtr resultPixelDataForPS() const;

    bool event(QEvent* event) override;

    // The usage-statistics sender; null when the application made none.
    IStatisticSender* statisticSender() const { return m_statisticSender.get(); }

protected:
    void setStatisticSender(std::shared_ptr<IStatisticSender> sender);
    // Creates the main window when there is none yet.
    CBaseMainWindow* ensureMainWindow();

    // The conversions between the exchange record's pixels and the engine's
    // images belong to the main window's helpers; the application class
    // provides them.
    virtual NavikImagePtr createInputImage(NAVIK_tarl1::PhotoshopDataStructure& record) = 0;
    virtual bool copyToOutputBuffer(const PixelDataPtr& pixels, NAVIK_tarl1::PhotoshopDataStructure& record) = 0;

private:
    // Writes the Photoshop result into the record and the record back to the host.
    void handBackToPhotoshop();

    CBaseCorrectionGlobalData m_correctionGlobalData;
    bool m_noSaveDialog = false;
    NAVIK_tarl1::PluginDataStructure m_pluginData;
    std::shared_ptr<IStatisticSender> m_statisticSender;
    QString m_resultXmlFilePath;
    CBaseMainWindow* m_mainWindow = nullptr;
    int m_mode = UndefinedMode;
    NavikImagePtr m_psImage;
    CWindowState m_windowState;
    PixelDataPtr m_psResult;
    QStringList m_pendingOpenFiles;
    QTime m_startupTime;
};
