#include "app/CApplication.h"

#include "mainwindow/CMainWindow.h"
#include "mainwindow/PSHelper.h"
#include "correction/CCorrectionModuleHost.h"
#include "correction/CUndoController.h"
#include "crash/CrashReporterSetup.h"
#include "engine/CAFModulesManager.h"
#include "engine/CProcessEngine.h"
#include "online/OrvaneStatisticSender.h"
#include "utils/CMessageBox.h"
#include "utils/CScripting.h"
#include "utils/CSettings.h"
#include "utils/DataStreamFormat.h"
#include "utils/Logger.h"
#include "utils/StyleSheets.h"

#include <QDataStream>
#include <QDebug>
#include <QFile>

using namespace NAVIK_tarl1;

namespace {

const QString kCrashForceRegisterKey = QStringLiteral("crashForceRegisterKey");
const QString kBatchTitle = QStringLiteral("LR batch mode");

// While the snapshot is taken the manager is locked and contributes nothing.
void toggleLock(SerializableLockImpl& object)
{
    if (object.isLocked())
        object.unlock();
    else
        object.lock();
}

} // namespace

CApplication::CApplication(int& argc, char** argv)
    : CBaseApplication(argc, argv)
{
    loadFonts();
    registerCrashReporterSwitch(&m_crashReporterSwitch);
}

CApplication::~CApplication()
{
    unregisterCrashReporterSwitch(&m_crashReporterSwitch);
    delete m_processEngine;
    m_processEngine = nullptr;
    CCorrectionModuleHost::resetInstance();
}

IProcessEngine* CApplication::getProcessEngine()
{
    if (!m_processEngine)
        m_processEngine = new CProcessEngine;
    return m_processEngine;
}

QByteArray CApplication::saveApplicationState()
{
    CAFModulesManager& manager = *CAFModulesManager::instance();
    toggleLock(manager);
    CUndoCommand command(QStringLiteral("Fake command"));
    CUndoController::instance()->initializeCommand(&command);

    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(g_dataStreamVersion);
    writeMapInQt4Order(stream, command.afterStates());
    toggleLock(manager);
    return bytes;
}

void CApplication::restoreApplicationState(const QByteArray& state)
{
    SerializedStates states;
    QDataStream stream(state);
    stream.setVersion(g_dataStreamVersion);
    stream >> states;
    if (stream.status() != QDataStream::Ok)
        states.clear();
    CUndoCommand command(QStringLiteral("Fake command"));
    CUndoController::instance()->initializeCommand(&command, states);
    command.undo();
    emit appStateWasRestored();
}

void CApplication::createStatisticSender()
{
    setStatisticSender(std::make_shared<OrvaneStatisticSender>());
}

IApplicationInterface::AppInitCode CApplication::initLRwithMultipleSelection(const QStringList&)
{
    LOG_TRACE();
    LOG_MESSAGE('D', "Lightroom edit in... for multiple files");
    CMessageBox::information(nullptr, tr("Lightroom Batch processing."),
                             tr("Lightroom Batch processing is not supported for this application."),
                             QMessageBox::Ok, QMessageBox::NoButton);
    return AppInitDoneSuccess;
}

IApplicationInterface::AppInitCode CApplication::showSelectPresetDialog(const QString&)
{
    CMessageBox::warning(nullptr, kBatchTitle, QStringLiteral("Select preset dialog"), QMessageBox::Ok,
                         QMessageBox::NoButton);
    return AppInitDoneNoPreset;
}

IApplicationInterface::AppInitCode CApplication::processFileWithPreset(const QStringList&, const QString&)
{
    CMessageBox::warning(nullptr, kBatchTitle, QStringLiteral("File processed with selected preset"),
                         QMessageBox::Ok, QMessageBox::NoButton);
    return AppInitDoneSuccess;
}

void CApplication::onPluginImageLoaded(NavikImagePtr)
{
}

CBaseMainWindow* CApplication::createMainWindow()
{
    auto* window = new CMainWindow(this);
    window->setupControlsState(false);
    if (isCrashForceRegistered())
        window->addMakeCrashAction();
    return window;
}

void CApplication::processCmdParams(const StringsMap& params)
{
    CBaseApplication::processCmdParams(params);
    processScriptParam(params);
    if (CommandLineOptions::isSwitchOn(params, CommandLineOptions::makeCrash))
        m_makeCrash = true;
}

void CApplication::processScriptParam(const StringsMap& params)
{
    const auto script = params.constFind(CommandLineOptions::script);
    if (script == params.constEnd() || !QFile::exists(*script))
        return;
    if (isCrashReportSent())
        disableCrashReporter();
    CScripting::getInstance()->setPathToScript(*script);
}

bool CApplication::isCrashForceRegistered() const
{
    if (m_makeCrash)
        return true;
    const CSettings settings;
    return settings.contains(kCrashForceRegisterKey)
        && settings.value(kCrashForceRegisterKey, QVariant()).toString() == QLatin1String("true");
}

NavikImagePtr CApplication::createInputImage(PhotoshopDataStructure& record)
{
    return PSHelper::createInputImage(record);
}

bool CApplication::copyToOutputBuffer(const PixelDataPtr& pixels, PhotoshopDataStructure& record)
{
    return PSHelper::copyToOutputBuffer(pixels, record);
}
