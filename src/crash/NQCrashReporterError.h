#pragma once

// Errors of crash capture: a code in the domain "NQCrashReporterErrorDomain"
// with a description, and for system calls the errno that caused them.

#include <QString>

inline const QString NQCrashReporterErrorDomain = QStringLiteral("NQCrashReporterErrorDomain");

enum NQCrashReporterErrorCode {
    NQCrashReporterErrorGeneric = 0,
    NQCrashReporterErrorSystemCall = 1,
    NQCrashReporterErrorInvalidReport = 2,
};

struct NQCrashReporterError
{
    QString domain;
    int code = 0;
    QString description;
    // The errno behind a system-call error, else 0.
    int posixError = 0;
};

// Fills *error when the caller asked for one.
inline void nqPopulateError(NQCrashReporterError* error, int code, const QString& description, int posixError = 0)
{
    if (error)
        *error = NQCrashReporterError{NQCrashReporterErrorDomain, code, description, posixError};
}
