#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

namespace {

QString productFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + "/Navik Quillet";
}

QString pendingReport()
{
    return productFolder() + "/CrashReports/temp/Navik Quillet.nqcrash";
}

QString outbox()
{
    return productFolder() + "/CrashReports/outbox";
}

// Saves a report where a crashed process leaves it, dated as given.
void leaveReport(const QByteArray& bytes, const QDateTime& crashTime)
{
    QDir().mkpath(QFileInfo(pendingReport()).absolutePath());
    QFile file(pendingReport());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    QVERIFY(file.flush());
    QVERIFY(file.setFileTime(crashTime, QFileDevice::FileModificationTime));
}

QStringList outboxFiles()
{
    return QDir(outbox()).entryList(QDir::Files, QDir::Name);
}

// Runs the sender as a crashed process starts it: no arguments.
int runCourier()
{
    QProcess courier;
    courier.setProcessChannelMode(QProcess::ForwardedChannels);
    courier.start(QStringLiteral(QUILLET_BUILD_DIR "/bin/FaultCourier"), {});
    if (!courier.waitForFinished(30000) || courier.exitStatus() != QProcess::NormalExit)
        return -1;
    return courier.exitCode();
}

QString lastLog()
{
    return QString::fromUtf8(readFile(productFolder() + "/log/FaultCourier.log"));
}

} // namespace

class TestFaultCourier : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QDir(productFolder()).removeRecursively();
    }

    void filesEachReportInTheOutboxWithoutReplacingAny()
    {
        const QDateTime crashTime(QDate(2024, 5, 6), QTime(7, 8, 9), Qt::UTC);
        leaveReport(QByteArray("nqcrash\x01 first", 15), crashTime);
        QCOMPARE(runCourier(), 0);
        QVERIFY(!QFile::exists(pendingReport()));
        QCOMPARE(outboxFiles(), QStringList({"Navik Quillet 20240506-070809.nqcrash"}));
        QVERIFY2(lastLog().contains(" I [") && lastLog().contains(
                     "Crash report moved to the outbox: " + outbox() + "/Navik Quillet 20240506-070809.nqcrash (not sent)"),
                 qPrintable(lastLog()));

        // A second crash within the same second keeps the first report.
        leaveReport(QByteArray("nqcrash\x01 second", 16), crashTime);
        QCOMPARE(runCourier(), 0);
        QCOMPARE(outboxFiles(), QStringList({"Navik Quillet 20240506-070809-2.nqcrash",
                                             "Navik Quillet 20240506-070809.nqcrash"}));
        QCOMPARE(readFile(outbox() + "/Navik Quillet 20240506-070809.nqcrash"), QByteArray("nqcrash\x01 first", 15));
        QCOMPARE(readFile(outbox() + "/Navik Quillet 20240506-070809-2.nqcrash"), QByteArray("nqcrash\x01 second", 16));
    }

    void withoutAReportNothingHappens()
    {
        QCOMPARE(runCourier(), 1);
        QVERIFY(!QFileInfo::exists(outbox()));
        QVERIFY2(lastLog().contains("No crash report waiting at " + pendingReport()), qPrintable(lastLog()));
    }

    void aReportThatCannotBeFiledStaysWhereItWas()
    {
        leaveReport("nqcrash", QDateTime::currentDateTimeUtc());
        QFile blocker(outbox()); // a file where the outbox folder should be
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();

        QCOMPARE(runCourier(), 2);
        QCOMPARE(readFile(pendingReport()), QByteArray("nqcrash"));
        QVERIFY2(lastLog().contains(" E [") && lastLog().contains("Could not create the outbox folder " + outbox()),
                 qPrintable(lastLog()));
    }
};

QTEST_GUILESS_MAIN(TestFaultCourier)
#include "tst_faultcourier.moc"
