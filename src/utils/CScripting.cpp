#include "utils/CScripting.h"

#include "utils/SharedConstants.h"

#include <QDir>
#include <QFileInfo>
#include <QMetaMethod>

#include <csignal>
#include <unistd.h>

namespace NAVIK_tarl1 {

std::shared_ptr<CScripting> CScripting::sp_instance;

namespace {

const char kReportSuffix[] = "Report.txt";

QMetaMethod hookSignal(CScripting::jsSignal signal)
{
    switch (signal) {
    case CScripting::jsSignal::initializeTest:
        return QMetaMethod::fromSignal(&CScripting::initializeTest);
    case CScripting::jsSignal::startTest:
        return QMetaMethod::fromSignal(&CScripting::startTest);
    case CScripting::jsSignal::cleanupTest:
        return QMetaMethod::fromSignal(&CScripting::cleanupTest);
    }
    return QMetaMethod();
}

// The script text is the file's bytes up to the first NUL, read as Latin-1.
QString scriptText(const QByteArray& bytes)
{
    const qsizetype end = bytes.indexOf('\0');
    return QString::fromLatin1(end < 0 ? bytes : bytes.left(end));
}

} // namespace

std::shared_ptr<CScripting> CScripting::getInstance()
{
    if (!sp_instance)
        sp_instance.reset(new CScripting());
    return sp_instance;
}

CScripting::CScripting() = default;

CScripting::~CScripting()
{
    closeReport();
}

void CScripting::setPathToScript(const QString& path)
{
    QFile scriptFile(path);
    if (!scriptFile.open(QIODevice::ReadOnly))
        return;
    m_script = scriptText(scriptFile.readAll());
    if (m_script.isEmpty())
        return;

    closeReport();
    const QFileInfo scriptInfo(path);
    m_testName = scriptInfo.completeBaseName();
    const QString reportPath =
        scriptInfo.path() + QDir::separator() + m_testName + QLatin1String(kReportSuffix);
    QFile::remove(reportPath);
    m_reportFile.setFileName(reportPath);
    if (!m_reportFile.open(QIODevice::WriteOnly | QIODevice::Text))
        return; // The run goes on; every report write is dropped.
    m_reportStream.setDevice(&m_reportFile);
    writeReportLine(QStringLiteral("Build number: ") + QStringLiteral(QUILLET_VERSION_STRING));
    writeReportLine(QStringLiteral("Product name: ") + g_appTitle);
}

bool CScripting::isScriptingMode() const
{
    return !m_script.isEmpty();
}

void CScripting::makeObjectScriptable(const QString& name, QObject* object)
{
    if (!object) {
        m_engine.globalObject().setProperty(name, QJSValue(QJSValue::NullValue));
        return;
    }
    // Set before wrapping: a wrapped object without a parent would otherwise
    // belong to the engine, which deletes it when it collects garbage.
    QJSEngine::setObjectOwnership(object, QJSEngine::CppOwnership);
    m_engine.globalObject().setProperty(name, m_engine.newQObject(object));
}

void CScripting::invokeSignalForScript(jsSignal signal)
{
    const QMetaMethod method = hookSignal(signal);
    if (!isSignalConnected(method))
        return;
    const QString name = QString::fromLatin1(method.name());
    writeReportLine(QStringLiteral("[%1] start of execute").arg(name));
    method.invoke(this, Qt::DirectConnection);
    writeReportLine(QStringLiteral("[%1] finish of execute").arg(name));
}

QString CScripting::testName() const
{
    return m_testName;
}

void CScripting::sendSignal(QObject* object)
{
    Q_EMIT resendSignal(object);
}

void CScripting::log(const QString& text)
{
    writeReportLine(text);
}

void CScripting::fail(const QString& reason)
{
    if (!m_cleanupRunningForFailure) {
        m_cleanupRunningForFailure = true;
        invokeSignalForScript(jsSignal::cleanupTest);
    }
    if (!reason.isEmpty())
        writeReportLine(reason);
    writeReportLine(QStringLiteral("FAIL"));
    // SIGKILL: no handler, no clean-up, no exit code; the report is already flushed.
    ::kill(::getpid(), SIGKILL);
    for (;;)
        ::pause();
}

void CScripting::addShownMessageBox(const QString& text)
{
    m_shownMessageBoxes.append(text);
}

bool CScripting::isMessageBoxShown(const QString& text, int index) const
{
    if (index == -1)
        return m_shownMessageBoxes.contains(text);
    return index >= 0 && index < m_shownMessageBoxes.size() && m_shownMessageBoxes.at(index) == text;
}

bool CScripting::isMessageBoxShown(const QString& text) const
{
    return isMessageBoxShown(text, -1);
}

void CScripting::closeReport()
{
    m_reportStream.setDevice(nullptr);
    m_testName.clear();
    if (m_reportFile.isOpen())
        m_reportFile.close();
}

void CScripting::writeReportLine(const QString& line)
{
    if (!m_reportStream.device())
        return;
    m_reportStream << line << '\n';
    m_reportStream.flush();
}

} // namespace NAVIK_tarl1
