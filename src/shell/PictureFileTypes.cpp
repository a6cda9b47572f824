#include "shell/PictureFileTypes.h"

bool hasPictureFileSuffix(const QString& path)
{
    for (const char* suffix : {".jpg", ".jpeg", ".tif", ".tiff"})
        if (path.endsWith(QLatin1String(suffix), Qt::CaseInsensitive))
            return true;
    return false;
}
