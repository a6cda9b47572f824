#include "utils/CustomStyleSheet.h"

#include "utils/Logger.h"

#include <QFile>
#include <QWidget>

namespace NAVIK_tarl1 {

namespace {

// The sheet's bytes up to the first NUL as 8-bit text; empty (and reported)
// when the sheet cannot be opened.
QString readSheet(const QString& path)
{
    QFile file(path);
    const bool opened = file.open(QIODevice::ReadOnly);
    ASSERT(opened);
    if (!opened)
        return QString();
    const QByteArray bytes = file.readAll();
    const qsizetype end = bytes.indexOf('\0');
    return QString::fromLatin1(end < 0 ? bytes : bytes.left(end));
}

} // namespace

void setCustomStyleSheet(QWidget* widget, bool appendCurrent, const QString& styleSheetPath)
{
    if (!widget)
        return;
    const QString base = readSheet(styleSheetPath.isEmpty() ? QStringLiteral(":/qss/custom.qss") : styleSheetPath);
    QString platform = readSheet(QStringLiteral(":/qss/mac.qss"));
    if (appendCurrent)
        platform += widget->styleSheet();
    widget->setStyleSheet(base + platform);
}

} // namespace NAVIK_tarl1
