#include "utils/Compression.h"

#include "utils/Logger.h"

#include <JlCompress.h>
#include <QDir>

namespace NAVIK_tarl1 {

bool CompressFiles(const QStringList& files, const QString& zipFile)
{
    return JlCompress::compressFiles(zipFile, files);
}

void DecompressFiles(const QString& zipFile, const QString& destinationDir)
{
    QDir destination(destinationDir);
    if (!destination.exists())
        destination.mkpath(QStringLiteral("."));
    if (JlCompress::extractDir(zipFile, destinationDir).isEmpty())
        LOG_MESSAGE('E', "Nothing extracted from " << zipFile << " to " << destinationDir);
}

void DecompressFiles(const std::wstring& zipFile, const std::wstring& destinationDir)
{
    DecompressFiles(QString::fromWCharArray(zipFile.c_str(), static_cast<qsizetype>(zipFile.size())),
                    QString::fromWCharArray(destinationDir.c_str(),
                                            static_cast<qsizetype>(destinationDir.size())));
}

} // namespace NAVIK_tarl1
