#pragma once

// The script test harness. While a test script is loaded the whole program is
// in script mode: message boxes and file dialogs take the answers the script
// predefined instead of asking the user, and a missing answer fails the test.
// The report ("<script folder>/<script name>Report.txt") is written line by
// line and flushed at once, so that a killed process still leaves it complete.

#include "utils/UtilsGlobal.h"

#include <QFile>
#include <QJSEngine>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <memory>

namespace NAVIK_tarl1 {

class NAVIK_UTILS_EXPORT CScripting : public QObject
{
    Q_OBJECT
public:
    // The hook signals a script attaches its functions to.
    enum class jsSignal { initializeTest = 0, startTest = 1, cleanupTest = 2 };

    static std::shared_ptr<CScripting> getInstance();
    ~CScripting() override;

    // Loads the script and, when it is not empty, recreates its report with
    // the two header lines. An unreadable path changes nothing.
    void setPathToScript(const QString& path);
    bool isScriptingMode() const;

    // Makes the object a global of the script engine under that name. The
    // engine never owns it: the object lives as long as its owner wants.
    void makeObjectScriptable(const QString& name, QObject* object);

    // Runs one hook when anything is connected to it, framed by report lines.
    void invokeSignalForScript(jsSignal signal);

Q_SIGNALS:
    void initializeTest();
    void cleanupTest();
    void startTest();
    void testFinished();
    // A dialog that has just been shown, so that a script can operate it.
    void resendSignal(QObject* object);

public Q_SLOTS:
    QString testName() const;
    void sendSignal(QObject* object);
    // Writes the text as one report line.
    void log(const QString& text);
    // Runs the cleanup hook, writes the reason (when there is one) and "FAIL",
    // then ends the process with SIGKILL. Never returns.
    [[noreturn]] void fail(const QString& reason = QString());
    // The texts of the notices that script mode did not show, in order.
    void addShownMessageBox(const QString& text);
    // Index -1: was the text shown at all; otherwise: is it the notice at
    // that position (0 = the first).
    bool isMessageBoxShown(const QString& text, int index) const;
    bool isMessageBoxShown(const QString& text) const;

private:
    CScripting();
    void closeReport();
    void writeReportLine(const QString& line);

    static std::shared_ptr<CScripting> sp_instance;

    QFile m_reportFile;
    QTextStream m_reportStream;
    QJSEngine m_engine;
    QString m_testName;
    QString m_script;
    QStringList m_shownMessageBoxes;
    // A failing check inside the cleanup hook calls fail() again; the hook
    // runs only once per failure so that the report still ends with the
    // reason and "FAIL".
    bool m_cleanupRunningForFailure = false;
};

} // namespace NAVIK_tarl1
