#include "utils/PSDataStructure.h"

#include "utils/Logger.h"

namespace NAVIK_tarl1 {

namespace Keys = PhotoshopDataKeys;

PSDataStructure::PSDataStructure()
{
    LOG_TRACE();
}

PSDataStructure::PSDataStructure(const QString& path)
    : PhotoshopDataStructure(path)
{
    LOG_TRACE();
}

PSDataStructure::~PSDataStructure()
{
    LOG_TRACE();
    clear();
}

bool PSDataStructure::serializeMap()
{
    LOG_TRACE();
    if (m_fileName.isEmpty())
        return false;
    if (!m_settingsFile.open(QIODevice::WriteOnly))
        return false;
    // Without a complete parameter file the pixels are of no use to the editor.
    if (!writeParameterFile())
        return false;

    const qint64 size = qint64(entry(Keys::pictureSize).toULongLong());
    if (m_inputPictureFile.open(QIODevice::WriteOnly)) {
        const qint64 written = size > 0 && m_pInputPicture ? m_inputPictureFile.write(m_pInputPicture, size) : 0;
        if (size < 0 || written < size) {
            m_inputPictureFile.close();
            return false;
        }
    }
    if (m_inputPictureFile.error() != QFile::NoError) {
        m_inputPictureFile.close();
        return false;
    }
    const bool flushed = m_inputPictureFile.flush();
    m_inputPictureFile.close();
    return flushed;
}

bool PSDataStructure::deserializeMap()
{
    LOG_TRACE();
    if (m_fileName.isEmpty())
        return false;
    LOG_MESSAGE('D', " if(!m_fileName.isEmpty())");
    m_settingsFile.setFileName(m_fileName);
    if (!m_settingsFile.open(QIODevice::ReadOnly)) {
        LOG_MESSAGE('D', "return false;");
        return false;
    }
    LOG_MESSAGE('D', "if(m_settingsFile.open(QIODevice::ReadOnly))");
    if (!readParameterFile()) {
        LOG_MESSAGE('D', "return false;");
        return false;
    }

    LOG_MESSAGE('D', "if(exitCode() == NAVIK_QTAPP_EXIT_CODE_SUCCESS)");
    // The editor always writes an exit code; without one the parameter file
    // is still the request, and reading the host's own pixels back as the
    // result would report a failed run as a success.
    const bool answered = m_map.contains(Keys::exitCode);
    if (answered && exitCode() != NAVIK_QTAPP_EXIT_CODE_SUCCESS) {
        LOG_MESSAGE('D', "return true;");
        return true;
    }
    LOG_MESSAGE('D', "NAVIK_QTAPP_EXIT_CODE_SUCCESS");
    const bool retVal = answered && mapResultPicture();
    if (retVal) {
        LOG_MESSAGE('D', "if(QFile::NoError == m_inputPictureFile.error())");
    } else {
        m_pInputPicture = nullptr;
        m_map[Keys::pictureSize] = 0;
        m_map[Keys::exitCode] = -1;
    }
    LOG_MESSAGE('D', "return retVal;");
    return retVal;
}

bool PSDataStructure::mapResultPicture()
{
    m_inputPictureFile.setFileName(m_fileName + QStringLiteral("-image"));
    m_pInputPicture = mapWholeFile(m_inputPictureFile, describedPictureSize());
    return m_pInputPicture && m_inputPictureFile.error() == QFile::NoError;
}

void PSDataStructure::clear()
{
    LOG_TRACE();
    if (!m_fileName.isEmpty())
        QFile::remove(m_fileName);
    if (m_inputPictureFile.isOpen())
        releasePicture(m_inputPictureFile, m_pInputPicture);
    if (!m_inputPictureFile.fileName().isEmpty() && m_inputPictureFile.remove())
        m_pInputPicture = nullptr;
    m_map.clear();
}

} // namespace NAVIK_tarl1
