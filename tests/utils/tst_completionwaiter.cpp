#include "utils/COperationCompletionWaiter.h"
#include "utils/Logger.h"

#include "RecordingLogger.h"

#include <QRegularExpression>
#include <QTest>
#include <QThread>
#include <QTimer>

using namespace NAVIK_tarl1;

// Stands for an engine that reports the end of an operation.
class Operation : public QObject
{
    Q_OBJECT

Q_SIGNALS:
    void fileOpenCompleated(bool success);
    void finished();
};

class TestCompletionWaiter : public QObject
{
    Q_OBJECT

private:
    RecordingLogger m_logger;
    Operation m_operation;

    int errorLines() const { return m_logger.linesAt('E').size(); }

private Q_SLOTS:
    void initTestCase() { initLogger(&m_logger, "test"); }
    void init() { m_logger.lines.clear(); }

    // The operation ends while it is being started: the wait must not block,
    // and must not run the event loop either.
    void completionBeforeTheWait()
    {
        COperationCompletionWaiterWithResult waiter(&m_operation, SIGNAL(fileOpenCompleated(bool)), nullptr);
        emit m_operation.fileOpenCompleated(true);
        bool loopRan = false;
        QTimer::singleShot(0, this, [&loopRan] { loopRan = true; });
        waiter.startWaiting();
        QVERIFY(!loopRan);
        QVERIFY(waiter.isOperationSuccess());
        QCOMPARE(errorLines(), 0);
        QCoreApplication::processEvents();
    }

    void completionDuringTheWait_data()
    {
        QTest::addColumn<bool>("fromOtherThread");
        QTest::addColumn<bool>("success");
        QTest::newRow("same thread, success") << false << true;
        QTest::newRow("same thread, failure") << false << false;
        QTest::newRow("worker thread, success") << true << true;
        QTest::newRow("worker thread, failure") << true << false;
    }

    void completionDuringTheWait()
    {
        QFETCH(bool, fromOtherThread);
        QFETCH(bool, success);
        COperationCompletionWaiterWithResult waiter(&m_operation, SIGNAL(fileOpenCompleated(bool)), nullptr);
        std::unique_ptr<QThread> worker;
        if (fromOtherThread) {
            worker.reset(QThread::create([this, success] {
                QThread::msleep(20);
                emit m_operation.fileOpenCompleated(success);
            }));
            worker->start();
        } else {
            QTimer::singleShot(20, this, [this, success] { emit m_operation.fileOpenCompleated(success); });
        }
        waiter.startWaiting();
        QCOMPARE(waiter.isOperationSuccess(), success);
        if (worker)
            QVERIFY(worker->wait(5000));
        QCOMPARE(errorLines(), 0);
    }

    // The first signal ends the wait; a later one still sets the outcome.
    void lastFlagWinsAndASecondWaitReturnsAtOnce()
    {
        COperationCompletionWaiterWithResult waiter(&m_operation, SIGNAL(fileOpenCompleated(bool)), nullptr);
        QTimer::singleShot(0, this, [this] {
            emit m_operation.fileOpenCompleated(true);
            emit m_operation.fileOpenCompleated(false);
        });
        waiter.startWaiting();
        QVERIFY(!waiter.isOperationSuccess());

        bool loopRan = false;
        QTimer::singleShot(0, this, [&loopRan] { loopRan = true; });
        waiter.startWaiting();
        QVERIFY(!loopRan);
        QCoreApplication::processEvents();
    }

    void waiterWithoutResult()
    {
        COperationCompletionWaiter waiter(&m_operation, SIGNAL(finished()), nullptr);
        QTimer::singleShot(10, &m_operation, &Operation::finished);
        waiter.startWaiting();
        QCOMPARE(errorLines(), 0);
    }

    void misuseIsReported()
    {
        COperationCompletionWaiterWithResult early(&m_operation, SIGNAL(fileOpenCompleated(bool)), nullptr);
        QVERIFY(!early.isOperationSuccess());
        QCOMPARE(errorLines(), 1);

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Cannot connect"));
        COperationCompletionWaiter noSender(nullptr, SIGNAL(finished()), nullptr);
        QCOMPARE(errorLines(), 2);

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Cannot connect"));
        COperationCompletionWaiterWithResult noSignal(&m_operation, nullptr, nullptr);
        QCOMPARE(errorLines(), 3);
    }
};

QTEST_GUILESS_MAIN(TestCompletionWaiter)
#include "tst_completionwaiter.moc"
