#pragma once

// Turns an asynchronous operation that reports its end by a signal into a
// synchronous call. Build the waiter before starting the operation, so that a
// completion signalled during the start is not missed, then startWaiting():
//
//     COperationCompletionWaiterWithResult waiter(engine, SIGNAL(fileSaveCompleated(bool)), nullptr);
//     engine->saveImage(...);
//     waiter.startWaiting();
//     const bool saved = waiter.isOperationSuccess();
//
// The wait runs a local event loop, so the interface stays live, and other
// handlers may run, until the signal comes. There is no time-out: the emitter
// must signal every outcome, failures included.

#include "utils/UtilsGlobal.h"

#include <QEventLoop>
#include <QObject>

namespace NAVIK_tarl1 {

class NAVIK_UTILS_EXPORT COperationCompletionWaiter : public QObject
{
    Q_OBJECT

public:
    explicit COperationCompletionWaiter(QObject* parent);
    // Connects `signal` (a SIGNAL() text) of `sender` to onOperationCompleted().
    COperationCompletionWaiter(QObject* sender, const char* signal, QObject* parent);

    // Returns at once when the operation has already completed.
    void startWaiting();
    // Whether the signal came; for a caller that waits in a loop of its own.
    bool isCompleted() const { return m_completed; }

protected Q_SLOTS:
    void onOperationCompleted();

protected:
    void markCompleted();

    bool m_completed = false;

private:
    QEventLoop m_loop;
};

class NAVIK_UTILS_EXPORT COperationCompletionWaiterWithResult : public COperationCompletionWaiter
{
    Q_OBJECT

public:
    // `signal` must carry one bool: the operation's success.
    COperationCompletionWaiterWithResult(QObject* sender, const char* signal, QObject* parent);

    // The flag of the last completion signal; false, with an assertion
    // report, when asked before any came.
    bool isOperationSuccess() const;

private Q_SLOTS:
    void onOperationCompleted(bool success);

private:
    bool m_result = false;
};

} // namespace NAVIK_tarl1
