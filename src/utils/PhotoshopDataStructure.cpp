#include "utils/PhotoshopDataStructure.h"

#include "utils/DataStreamFormat.h"
#include "utils/Logger.h"

#include <QDataStream>
#include <QtNumeric>

#include <climits>

namespace NAVIK_tarl1 {

namespace Keys = PhotoshopDataKeys;

namespace {

// A result size goes into the map as an int, as it always has, unless it
// needs more than 32 bits; the host reads it as a 64-bit number either way.
QVariant pictureSizeValue(qint64 size)
{
    if (size <= 0)
        return 0;
    if (size <= INT_MAX)
        return int(size);
    return qlonglong(size);
}

} // namespace

qint64 pictureByteSize(qint64 width, qint64 height, qint64 depth)
{
    if (width <= 0 || height <= 0 || (depth != 8 && depth != 16))
        return -1;
    const qint64 bytesPerPixel = 3 * depth / 8;
    qint64 pixels = 0;
    qint64 bytes = 0;
    if (qMulOverflow(width, height, &pixels) || qMulOverflow(pixels, bytesPerPixel, &bytes))
        return -1;
    return bytes;
}

PhotoshopDataStructure::PhotoshopDataStructure() = default;

PhotoshopDataStructure::PhotoshopDataStructure(const QString& path)
{
    // Not the virtual call: the derived part does not exist yet.
    PhotoshopDataStructure::setFilePath(path);
}

PhotoshopDataStructure::~PhotoshopDataStructure() = default;

void PhotoshopDataStructure::setFilePath(const QString& path)
{
    m_fileName = path;
    m_inputPictureFile.setFileName(path + QStringLiteral("-image"));
    m_settingsFile.setFileName(path);
}

void PhotoshopDataStructure::setInputPicture(char* data, qint64 size, int width, int height, int depth)
{
    m_map[Keys::height] = height;
    m_map[Keys::width] = width;
    m_map[Keys::depth] = depth;
    m_pInputPicture = data;
    m_map[Keys::pictureSize] = qlonglong(size);
}

char* PhotoshopDataStructure::inputPicture()
{
    return m_pInputPicture;
}

char* PhotoshopDataStructure::createOutputPicture(int width, int height)
{
    if (m_fileName.isEmpty())
        return nullptr;
    // A second result replaces the first.
    releasePicture(m_outputPictureFile, m_pOutputPicture);
    m_outputPictureFile.setFileName(m_fileName + QStringLiteral("-image"));
    if (!m_outputPictureFile.open(QIODevice::ReadWrite))
        return nullptr;
    m_map[Keys::height] = height;
    m_map[Keys::width] = width;
    // In 64 bits: a large 16-bit picture overflows 32, and a file sized from
    // the overflowed number would be too small for the pixels copied into it.
    const qint64 size = pictureByteSize(width, height, entry(Keys::depth).toInt());
    m_map[Keys::pictureSize] = pictureSizeValue(size);
    if (size <= 0 || !m_outputPictureFile.resize(size))
        return nullptr;
    m_pOutputPicture = reinterpret_cast<char*>(m_outputPictureFile.map(0, size));
    return m_pOutputPicture;
}

unsigned long long PhotoshopDataStructure::pictureSize()
{
    return requiredEntry(Keys::pictureSize).toULongLong();
}

int PhotoshopDataStructure::pictureHeight()
{
    return requiredEntry(Keys::height).toInt();
}

int PhotoshopDataStructure::pictureWidth()
{
    return requiredEntry(Keys::width).toInt();
}

int PhotoshopDataStructure::pictureDepth()
{
    return requiredEntry(Keys::depth).toInt();
}

void PhotoshopDataStructure::setPluginData(const char* data, unsigned int size)
{
    setPluginData(size == 0 || !data ? QByteArray("") : QByteArray(data, qsizetype(size)));
}

void PhotoshopDataStructure::setPluginData(const QByteArray& data)
{
    m_map[Keys::pluginData] = data;
}

QByteArray PhotoshopDataStructure::pluginData()
{
    return entry(Keys::pluginData).toByteArray();
}

int PhotoshopDataStructure::exitCode()
{
    return requiredEntry(Keys::exitCode).toInt();
}

void PhotoshopDataStructure::setExitCode(int code)
{
    m_map[Keys::exitCode] = code;
}

void PhotoshopDataStructure::setExif(const QString& exif)
{
    m_map[Keys::exif] = exif;
}

QString PhotoshopDataStructure::exif()
{
    return requiredEntry(Keys::exif).toString();
}

void PhotoshopDataStructure::setIccProfile(char* data, int size)
{
    m_map[Keys::iccProfile] = size <= 0 || !data ? QByteArray("") : QByteArray(data, size);
}

QByteArray PhotoshopDataStructure::iccProfile()
{
    return requiredEntry(Keys::iccProfile, false).toByteArray();
}

void PhotoshopDataStructure::setShowUI(bool show)
{
    m_map[Keys::showUI] = show;
}

bool PhotoshopDataStructure::showUI()
{
    return requiredEntry(Keys::showUI).toBool();
}

void PhotoshopDataStructure::setImageFileName(const std::string& name)
{
    m_map[Keys::imageFileName] = QString::fromLatin1(name.data(), qsizetype(name.size()));
}

QString PhotoshopDataStructure::imageFileName() const
{
    ASSERT(m_map.contains(Keys::imageFileName));
    return entry(Keys::imageFileName).toString();
}

QVariant PhotoshopDataStructure::requiredEntry(const QString& key, bool reportAbsence)
{
    if (reportAbsence)
        ASSERT(m_map.contains(key));
    return m_map[key];
}

qint64 PhotoshopDataStructure::describedPictureSize() const
{
    const qint64 size = pictureByteSize(entry(Keys::width).toInt(), entry(Keys::height).toInt(),
                                        entry(Keys::depth).toInt());
    bool isNumber = false;
    const qulonglong stored = entry(Keys::pictureSize).toULongLong(&isNumber);
    return size > 0 && isNumber && stored == qulonglong(size) ? size : -1;
}

char* PhotoshopDataStructure::mapWholeFile(QFile& file, qint64 size)
{
    if (size <= 0 || !file.open(QIODevice::ReadWrite) || file.size() != size)
        return nullptr;
    return reinterpret_cast<char*>(file.map(0, size));
}

void PhotoshopDataStructure::releasePicture(QFile& file, char*& picture)
{
    if (picture)
        file.unmap(reinterpret_cast<uchar*>(picture));
    picture = nullptr;
    file.close();
}

bool PhotoshopDataStructure::readParameterFile()
{
    QDataStream stream(&m_settingsFile);
    stream.setVersion(g_dataStreamVersion);
    m_map = readPlainVariantMap(stream);
    const bool ok = stream.status() == QDataStream::Ok && m_settingsFile.error() == QFile::NoError;
    m_settingsFile.close();
    return ok;
}

bool PhotoshopDataStructure::writeParameterFile()
{
    QDataStream stream(&m_settingsFile);
    stream.setVersion(g_dataStreamVersion);
    writeVariantMap(stream, m_map);
    // A full disk shows only when the buffered bytes are flushed.
    const bool flushed = m_settingsFile.flush();
    const bool ok = flushed && stream.status() == QDataStream::Ok
        && m_settingsFile.error() == QFile::NoError;
    m_settingsFile.close();
    return ok;
}

} // namespace NAVIK_tarl1
