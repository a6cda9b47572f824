#pragma once

#include "utils/UtilsGlobal.h"

#include <QSettings>
#include <QString>
#include <QVariant>

namespace NAVIK_tarl1 {

// The one settings store of the product. Construct one on the stack for each
// access and let it go: instances share state within the process, and the file
// is written no later than the destruction of the writing instance.
class NAVIK_UTILS_EXPORT CSettings : public QSettings
{
    Q_OBJECT
public:
    explicit CSettings(QObject* parent = nullptr);
    // The scope is ignored: every instance opens the same per-user file.
    explicit CSettings(QSettings::Scope scope, QObject* parent = nullptr);
    ~CSettings() override;

    // Absolute path of the settings file:
    // "<user configuration folder>/Navik Labs/tarl1/Data.plist".
    static QString filePath();
};

NAVIK_UTILS_EXPORT QVariant getSettingsValue(const QString& key, const QVariant& defaultValue);
NAVIK_UTILS_EXPORT void setSettingsValue(const QString& key, const QVariant& value);

NAVIK_UTILS_EXPORT QString getLogLevel();
NAVIK_UTILS_EXPORT void setLogLevel(const QString& level);
NAVIK_UTILS_EXPORT bool isLoggerEnabled();
NAVIK_UTILS_EXPORT void setLoggerEnabled(bool on);
NAVIK_UTILS_EXPORT bool isStatisticSent();
NAVIK_UTILS_EXPORT void setStatisticSent(bool on);
NAVIK_UTILS_EXPORT bool isCrashReportSent();
NAVIK_UTILS_EXPORT void setCrashReportSent(bool on);

} // namespace NAVIK_tarl1
