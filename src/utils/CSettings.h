#pragma once

#include "utils/UtilsGlobal.h"

#include <QSettings>
#include <QString>
#include <QVariant>

class QColor;

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

// For a setting used as an index, an enum or a size: a stored value that is
// not a whole number within minimum..maximum gives the default, so that a
// hand-edited or damaged file cannot reach past a table.
NAVIK_UTILS_EXPORT int getSettingsInt(const QString& key, int defaultValue, int minimum, int maximum);
// A colour stored by name ("#0000ff"): a name that is no colour gives the default.
NAVIK_UTILS_EXPORT QColor getSettingsColor(const QString& key, const QColor& defaultValue);

NAVIK_UTILS_EXPORT QString getLogLevel();
NAVIK_UTILS_EXPORT void setLogLevel(const QString& level);
NAVIK_UTILS_EXPORT bool isLoggerEnabled();
NAVIK_UTILS_EXPORT void setLoggerEnabled(bool on);
NAVIK_UTILS_EXPORT bool isStatisticSent();
NAVIK_UTILS_EXPORT void setStatisticSent(bool on);
NAVIK_UTILS_EXPORT bool isCrashReportSent();
NAVIK_UTILS_EXPORT void setCrashReportSent(bool on);

} // namespace NAVIK_tarl1
