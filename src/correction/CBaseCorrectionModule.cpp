#include "correction/CBaseCorrectionModule.h"

#include "correction/CUndoController.h"
#include "correction/ICorrectionModuleHost.h"
#include "shell/IProcessEngine.h"
#include "utils/DataStreamFormat.h"
#include "utils/Logger.h"
#include "view/COutsidePanelWidget.h"

#include <QDataStream>
#include <QIODevice>

namespace {

IProcessEngine* engineOf(const ICorrectionModuleHost* host)
{
    IProcessEngine* engine = host ? const_cast<ICorrectionModuleHost*>(host)->processEngine() : nullptr;
    ASSERT(engine);
    return engine;
}

} // namespace

CBaseCorrectionModule::CBaseCorrectionModule(int order)
    : m_moduleOrder(order)
{
}

CBaseCorrectionModule::~CBaseCorrectionModule() = default;

ICorrectionModuleHost* CBaseCorrectionModule::host() const
{
    return m_host;
}

void CBaseCorrectionModule::setCEProperty(const QString& key, int value)
{
    if (IProcessEngine* engine = engineOf(m_host))
        engine->onCEPropertyFloatChanged(key, static_cast<float>(value));
}

void CBaseCorrectionModule::setCEProperty(const QString& key, double value)
{
    if (IProcessEngine* engine = engineOf(m_host))
        engine->onCEPropertyFloatChanged(key, static_cast<float>(value));
}

void CBaseCorrectionModule::setCEProperty(const QString& key, const QString& value)
{
    if (IProcessEngine* engine = engineOf(m_host))
        engine->onCEPropertyStringChanged(key, value);
}

void CBaseCorrectionModule::setCEProperty(const QString& key, bool value)
{
    if (IProcessEngine* engine = engineOf(m_host))
        engine->onCEPropertyBoolChanged(key, value);
}

void CBaseCorrectionModule::setHost(ICorrectionModuleHost* host)
{
    m_host = host;
    doInitialize();
    if (host && host->hostObject())
        connect(host->hostObject(), SIGNAL(correctionOrModuleStateIsChanged()), this,
                SIGNAL(correctionOrModuleStateIsChanged()));
}

QObject* CBaseCorrectionModule::moduleObject()
{
    return this;
}

QWidget* CBaseCorrectionModule::createPanelWidget(QWidget* parent)
{
    // The frame sends its undo requests to the controller it is given here.
    setUndoControllerProvider([] { return static_cast<QObject*>(CUndoController::instance().get()); });
    return new COutsidePanelWidget(parent, Qt::WindowFlags());
}

int CBaseCorrectionModule::moduleOrder()
{
    return m_moduleOrder;
}

bool CBaseCorrectionModule::isModuleActive()
{
    return m_isModuleActive;
}

void CBaseCorrectionModule::resetForNewImage()
{
    emit resetForNewImageSignal();
}

QByteArray CBaseCorrectionModule::serializeBaseState() const
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(NAVIK_tarl1::g_dataStreamVersion);
    stream << m_isModuleActive;
    return bytes;
}

void CBaseCorrectionModule::deserializeBaseState(const QByteArray& bytes)
{
    QDataStream stream(bytes);
    stream.setVersion(NAVIK_tarl1::g_dataStreamVersion);
    bool active = false;
    stream >> active;
    m_isModuleActive = stream.status() == QDataStream::Ok && active;
}

bool CBaseCorrectionModule::setModuleState(bool active)
{
    if (active == m_isModuleActive)
        return false;
    m_isModuleActive = active;
    return true;
}
