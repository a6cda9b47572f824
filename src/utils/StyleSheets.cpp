#include "utils/StyleSheets.h"

#include "utils/CLanguageManager.h"
#include "utils/Logger.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QWidget>

namespace NAVIK_tarl1 {

namespace {

const char kDefaultSheet[] = ":/qss/custom.qss";
const char kPlatformSheet[] = ":/qss/mac.qss";
const char kLanguageSheet[] = ":/qss/extra-mac-%1.qss";

// The sheet's text up to its first NUL byte, or nothing when it cannot be read.
bool readSheet(const QString& path, QString& text)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    const qsizetype end = bytes.indexOf('\0');
    text = QString::fromLatin1(end < 0 ? bytes : bytes.left(end));
    return true;
}

// A sheet the program ships must be there; its absence is a build fault.
QString requiredSheet(const QString& path)
{
    QString text;
    const bool read = readSheet(path, text);
    ASSERT(read);
    return text;
}

} // namespace

void setCustomStyleSheet(QWidget* widget, bool appendCurrent, const QString& styleSheetPath)
{
    const QString base =
        requiredSheet(styleSheetPath.isEmpty() ? QString::fromLatin1(kDefaultSheet) : styleSheetPath);
    QString platform = requiredSheet(QString::fromLatin1(kPlatformSheet));
    if (appendCurrent)
        platform += widget->styleSheet();
    // Few languages have a sheet of their own; a missing one is normal.
    QString language;
    readSheet(QString::fromLatin1(kLanguageSheet).arg(CLanguageManager::instance()->currentLanguageAbbrv()),
              language);
    widget->setStyleSheet(base + platform + language);
}

bool loadAppLogoIcon()
{
    static const int sizes[] = {16, 32, 48, 96, 128, 256, 512, 1024};
    QIcon icon;
    for (const int size : sizes)
        icon.addFile(QStringLiteral(":/icons/app_icon/logo_%1.png").arg(size));
    if (icon.availableSizes(QIcon::Normal, QIcon::Off).isEmpty())
        return false;
    QApplication::setWindowIcon(icon);
    return true;
}

void loadFonts()
{
}

} // namespace NAVIK_tarl1
