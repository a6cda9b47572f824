#include "utils/COperationCompletionWaiter.h"

#include "utils/Logger.h"

namespace NAVIK_tarl1 {

namespace {

// A waiter without a connection would wait for ever; the caller is told, and
// the connection is attempted all the same.
void connectCompletion(QObject* sender, const char* signal, QObject* waiter, const char* slot)
{
    ASSERT(sender);
    ASSERT(signal);
    QObject::connect(sender, signal, waiter, slot, Qt::AutoConnection);
}

} // namespace

COperationCompletionWaiter::COperationCompletionWaiter(QObject* parent)
    : QObject(parent)
{
}

COperationCompletionWaiter::COperationCompletionWaiter(QObject* sender, const char* signal, QObject* parent)
    : QObject(parent)
{
    connectCompletion(sender, signal, this, SLOT(onOperationCompleted()));
}

void COperationCompletionWaiter::startWaiting()
{
    if (m_completed)
        return;
    m_loop.exec();
}

void COperationCompletionWaiter::onOperationCompleted()
{
    markCompleted();
}

void COperationCompletionWaiter::markCompleted()
{
    m_completed = true;
    if (m_loop.isRunning())
        m_loop.exit(0);
}

COperationCompletionWaiterWithResult::COperationCompletionWaiterWithResult(QObject* sender, const char* signal,
                                                                           QObject* parent)
    : COperationCompletionWaiter(parent)
{
    connectCompletion(sender, signal, this, SLOT(onOperationCompleted(bool)));
}

bool COperationCompletionWaiterWithResult::isOperationSuccess() const
{
    ASSERT(m_completed);
    return m_result;
}

void COperationCompletionWaiterWithResult::onOperationCompleted(bool success)
{
    m_result = success;
    markCompleted();
}

} // namespace NAVIK_tarl1
