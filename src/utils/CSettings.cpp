#include "utils/CSettings.h"

#include <QColor>
#include <QDir>
#include <QStandardPaths>

namespace NAVIK_tarl1 {

namespace {

const char kSettingsFileName[] = "Navik Labs/tarl1/Data.plist";

// Flags are stored as "1" and "0"; anything but exactly "0" reads as on.
bool readFlag(const QString& key, const char* defaultText)
{
    return getSettingsValue(key, QString::fromLatin1(defaultText)).toString() != QLatin1String("0");
}

void writeFlag(const QString& key, bool on)
{
    setSettingsValue(key, on ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace

CSettings::CSettings(QObject* parent)
    : QSettings(filePath(), QSettings::NativeFormat, parent)
{
}

CSettings::CSettings(QSettings::Scope, QObject* parent)
    : CSettings(parent)
{
}

CSettings::~CSettings() = default;

QString CSettings::filePath()
{
    // Anchored in the user's configuration folder, never in the current folder:
    // a host may start the program from anywhere.
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QLatin1Char('/') + QLatin1String(kSettingsFileName);
}

QVariant getSettingsValue(const QString& key, const QVariant& defaultValue)
{
    CSettings settings;
    return settings.value(key, defaultValue);
}

void setSettingsValue(const QString& key, const QVariant& value)
{
    CSettings settings;
    settings.setValue(key, value);
}

int getSettingsInt(const QString& key, int defaultValue, int minimum, int maximum)
{
    bool ok = false;
    const int value = getSettingsValue(key, defaultValue).toInt(&ok);
    return ok && value >= minimum && value <= maximum ? value : defaultValue;
}

QColor getSettingsColor(const QString& key, const QColor& defaultValue)
{
    const QColor color(getSettingsValue(key, defaultValue.name()).toString());
    return color.isValid() ? color : defaultValue;
}

QString getLogLevel()
{
    return getSettingsValue(QStringLiteral("loggerLevel"), QStringLiteral("D")).toString();
}

void setLogLevel(const QString& level)
{
    setSettingsValue(QStringLiteral("loggerLevel"), level);
}

bool isLoggerEnabled()
{
    return readFlag(QStringLiteral("loggerEnabled"), "1");
}

void setLoggerEnabled(bool on)
{
    writeFlag(QStringLiteral("loggerEnabled"), on);
}

bool isStatisticSent()
{
    return readFlag(QStringLiteral("NavikSendStat"), "0");
}

void setStatisticSent(bool on)
{
    writeFlag(QStringLiteral("NavikSendStat"), on);
}

bool isCrashReportSent()
{
    return readFlag(QStringLiteral("NavikSentCrashReport"), "0");
}

void setCrashReportSent(bool on)
{
    writeFlag(QStringLiteral("NavikSentCrashReport"), on);
}

} // namespace NAVIK_tarl1
