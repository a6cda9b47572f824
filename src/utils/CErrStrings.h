#pragma once

// The texts of the fatal-error alerts (out of memory, unhandled exception, too
// little disk space), translated in advance together with ready-made encoded
// copies, so that showing an alert at the moment of failure builds no string.
// The program keeps one global object and calls Retranslate() once the
// user-interface language is installed; until then the texts are the sources.

#include "utils/UtilsGlobal.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

class QApplication;

namespace NAVIK_tarl1 {

class NAVIK_UTILS_EXPORT CErrStrings
{
public:
    CErrStrings();
    ~CErrStrings();
    CErrStrings(const CErrStrings&) = delete;
    CErrStrings& operator=(const CErrStrings&) = delete;

    // Rebuilds the texts in the current language, then their encoded copies.
    void Retranslate();
    // Drops the encoded copies; the alerts are skipped until Retranslate().
    void ClearData();

    // Each shows its alert and returns when the user has dismissed it: a
    // message box when the program has a window system, otherwise a line on
    // standard error. Nothing is shown while the copies are not built.
    void ShowSmallFreeSpaceDialog() const;
    void ShowOutOfMemoryDialog() const;
    void ShowOutOfMemoryInPhotoshopDialog() const;
    void ShowUnhandledExceptionDialog() const;

private:
    enum Text { Title, SmallFreeSpace, OutOfMemory, OutOfMemoryInHost, UnhandledException, TextCount };

    void showAlert(Text message) const;

    QString m_texts[TextCount];
    // UTF-8 copies of m_texts, null until built.
    QByteArray m_nativeTexts[TextCount];
};

// What ended a program's body early.
enum class FatalError
{
    None,
    OutOfMemory,
    UnhandledException,
};

// Makes the application object with `start`, then runs the program with
// `run`. An out-of-memory error or any other exception that escapes either
// shows its alert of `alerts` while the application object still exists,
// so that the alert is a message box (on standard error when the object
// could not be made); the object goes afterwards.
NAVIK_UTILS_EXPORT FatalError runReportingFatalErrors(const CErrStrings& alerts,
                                                      const std::function<std::unique_ptr<QApplication>()>& start,
                                                      const std::function<void(QApplication&)>& run);

} // namespace NAVIK_tarl1
