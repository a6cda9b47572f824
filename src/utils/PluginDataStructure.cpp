#include "utils/PluginDataStructure.h"

#include "utils/Logger.h"

#include <QFileInfo>
#include <QLocalSocket>

namespace NAVIK_tarl1 {

namespace {

constexpr int kHostWaitMs = 30000;

} // namespace

PluginDataStructure::PluginDataStructure() = default;

PluginDataStructure::PluginDataStructure(const QString& path)
    : PhotoshopDataStructure(path)
{
}

PluginDataStructure::~PluginDataStructure()
{
    LOG_TRACE();
    // Standalone, Lightroom and Aperture runs have no host; poking the server
    // would disturb a host that waits for another instance.
    if (m_fileName.isEmpty())
        return;
    if (signalHost()) {
        // The host needs only the parameter file to learn that nothing came back.
        if (exitCode() != NAVIK_QTAPP_EXIT_CODE_SUCCESS)
            clear();
        return;
    }
    QFile::remove(m_fileName);
    clear();
}

bool PluginDataStructure::deserializeMap()
{
    LOG_TRACE();
    if (m_fileName.isEmpty())
        return false;
    m_settingsFile.setFileName(m_fileName);
    if (!m_settingsFile.open(QIODevice::ReadOnly))
        return false;
    // A broken map fails the size checks below.
    readParameterFile();

    const qint64 size = describedPictureSize();
    if (size <= 0 || QFileInfo(m_fileName + QStringLiteral("-image")).size() != size)
        return false;
    if (!moveInputPictureAside())
        return false;
    m_pInputPicture = mapWholeFile(m_inputPictureFile, size);
    return m_pInputPicture != nullptr;
}

bool PluginDataStructure::moveInputPictureAside()
{
    // A copy left by a crashed run would make the rename fail. If the rename
    // fails all the same the input is not used at all: under its own name it
    // would be the file that the result overwrites.
    const QString inUseName = m_fileName + QStringLiteral("-image-tmp");
    QFile::remove(inUseName);
    m_inputPictureFile.setFileName(m_fileName + QStringLiteral("-image"));
    return m_inputPictureFile.rename(inUseName);
}

bool PluginDataStructure::serializeMap()
{
    LOG_TRACE();
    if (m_fileName.isEmpty())
        return false;
    if (!m_settingsFile.open(QIODevice::WriteOnly)) {
        m_settingsFile.remove();
        return false;
    }

    releasePicture(m_inputPictureFile, m_pInputPicture);
    m_inputPictureFile.remove();

    if (!m_pOutputPicture || !m_outputPictureFile.unmap(reinterpret_cast<uchar*>(m_pOutputPicture))) {
        LOG_MESSAGE('D', "if(!m_outputPictureFile.unmap((uchar*)m_pOutputPicture))");
        setExitCode(3);
        m_outputPictureFile.close();
        QFile::remove(m_fileName + QStringLiteral("-image"));
    }
    // The result pixels are in the file through the shared mapping; the file stays for the host.
    m_pOutputPicture = nullptr;
    m_outputPictureFile.close();

    return writeParameterFile();
}

void PluginDataStructure::clear()
{
    LOG_TRACE();
    releasePicture(m_inputPictureFile, m_pInputPicture);
    if (!m_inputPictureFile.fileName().isEmpty())
        m_inputPictureFile.remove();
    releasePicture(m_outputPictureFile, m_pOutputPicture);
    if (!m_outputPictureFile.fileName().isEmpty())
        m_outputPictureFile.remove();
}

bool PluginDataStructure::signalHost()
{
    QLocalSocket socket;
    socket.connectToServer(QString::fromLatin1(g_photoshopServerName), QIODevice::ReadWrite);
    if (!socket.waitForConnected(kHostWaitMs))
        return false;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(kHostWaitMs);
    return true;
}

} // namespace NAVIK_tarl1
