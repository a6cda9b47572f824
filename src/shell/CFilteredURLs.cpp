#include "shell/CFilteredURLs.h"

#include "shell/IApplicationInterface.h"
#include "utils/Logger.h"

#include <QDir>

CFilteredURLs::CFilteredURLs(const QList<QUrl>& urls)
{
    auto* application = dynamic_cast<IApplicationInterface*>(QCoreApplication::instance());
    if (!application)
        return;
    for (const QUrl& url : urls) {
        const QString path = QDir::toNativeSeparators(url.toLocalFile());
        if (application->isSupportedImageFileType(path))
            m_acceptedFiles.append(path);
    }
    m_isImage = m_evaluated = !m_acceptedFiles.isEmpty();
}

bool CFilteredURLs::isImage() const
{
    ASSERT(m_evaluated);
    return m_isImage;
}
