#include "RecordingLogger.h"

#include "shell/CPerformanceLogger.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

using namespace NAVIK_tarl1;

namespace {

const char kReportHead[] = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
                           "<PerfomanceTestingReport BuildNumber=\"1.0.6.0\">\n";
const char kReportTail[] = "</PerfomanceTestingReport>";

// A performance logger on a clock the test moves by hand.
class ClockedLogger final : public CPerformanceLogger
{
public:
    void advance(int ms) { m_now = m_now.addMSecs(ms); }
    void setNow(const QDateTime& now) { m_now = now; }

    // Lets the quiet period end now instead of in three seconds.
    void endQuietPeriod()
    {
        QTimer* timer = findChild<QTimer*>();
        QVERIFY(timer->isActive());
        timer->setInterval(0);
        QTRY_VERIFY(!timer->isActive());
        timer->setInterval(3000);
    }

    QString report()
    {
        const QString path = QDir::temp().filePath("report.xml");
        saveReport(path);
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

protected:
    QDateTime currentTime() const override { return m_now; }

private:
    QDateTime m_now{QDate(2024, 3, 1), QTime(12, 0), Qt::UTC};
};

QString testElement(const QString& name, const QString& result, const QString& time,
                    const QString& picture = QString(), const QSize& size = QSize())
{
    return QStringLiteral("<Test Name=\"%1\">\n\t<Picture width=\"%2\" Height=\"%3\">%4</Picture>\n"
                          "\t<Result>%5</Result>\n\t<Time>%6</Time>\n</Test>\n")
        .arg(name, QString::number(size.width()), QString::number(size.height()), picture, result, time);
}

QString reportOf(const QString& elements)
{
    return kReportHead + elements + kReportTail;
}

} // namespace

class TestPerformanceLogger : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void oneSharedInstanceWithAThreeSecondQuietPeriod()
    {
        const auto instance = CPerformanceLogger::instance();
        QCOMPARE(CPerformanceLogger::instance(), instance);
        const QTimer* timer = instance->findChild<QTimer*>();
        QVERIFY(timer);
        QVERIFY(timer->isSingleShot());
        QCOMPARE(timer->interval(), 3000);
    }

    void actionPassesAtTheLastFinishBeforeAQuietPeriod()
    {
        ClockedLogger logger;
        logger.startUserAction("Open");
        logger.advance(100);
        logger.onProcessingStarted();
        logger.advance(50);
        logger.onProcessingFiniched();
        logger.advance(100);
        logger.onProcessingStarted(); // more work within the quiet period
        logger.advance(200);
        logger.onProcessingFiniched();
        logger.endQuietPeriod();
        QCOMPARE(logger.report(), reportOf(testElement("Open", "passed", "450")));

        // A processing started in the quiet period keeps the action open when
        // the timer fires; its next finish ends it.
        logger.startUserAction("Crop");
        logger.advance(100);
        logger.onProcessingFiniched();
        logger.advance(100);
        logger.onProcessingStarted();
        logger.endQuietPeriod();
        QCOMPARE(logger.report(), reportOf(testElement("Open", "passed", "450")));
        logger.advance(500);
        logger.onProcessingFiniched();
        logger.endQuietPeriod();
        QCOMPARE(logger.report(), reportOf(testElement("Open", "passed", "450")
                                           + testElement("Crop", "passed", "700")));
    }

    void anActionNotDoneWhenTheNextStartsFails_data()
    {
        QTest::addColumn<bool>("finishedOnce");
        QTest::newRow("no processing") << false;
        QTest::newRow("waiting for the quiet period") << true;
    }

    void anActionNotDoneWhenTheNextStartsFails()
    {
        QFETCH(bool, finishedOnce);
        ClockedLogger logger;
        logger.startUserAction("Rotate");
        logger.advance(40);
        if (finishedOnce)
            logger.onProcessingFiniched();
        logger.startUserAction("Zoom");
        logger.advance(60);
        logger.onProcessingFiniched();
        logger.endQuietPeriod();
        QCOMPARE(logger.report(), reportOf(testElement("Rotate", "failed", "unknown")
                                           + testElement("Zoom", "passed", "60")));
    }

    void anEmptyActionNameMeasuresNothing()
    {
        ClockedLogger logger;
        logger.startUserAction("");
        logger.onProcessingFiniched();
        QVERIFY(!logger.findChild<QTimer*>()->isActive());
        logger.startUserAction("Next");
        QCOMPARE(logger.report(), reportOf(QString()));
    }

    void anActionAcrossMidnightKeepsItsTrueLength()
    {
        ClockedLogger logger;
        logger.setNow(QDateTime(QDate(2024, 3, 1), QTime(23, 59, 59, 500), Qt::UTC));
        logger.startUserAction("Save");
        logger.advance(1200);
        logger.onProcessingFiniched();
        logger.endQuietPeriod();
        QCOMPARE(logger.report(), reportOf(testElement("Save", "passed", "1200")));
    }

    void namesAreWrittenAsGivenInWellFormedXml_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QString>("writtenName");
        QTest::addColumn<QString>("writtenPicture");
        QTest::newRow("plain") << "Open" << "/photos/a.jpg" << "Open" << "/photos/a.jpg";
        QTest::newRow("markers") << "Zoom %2 %4" << "/photos/%1.jpg" << "Zoom %2 %4" << "/photos/%1.jpg";
        QTest::newRow("markup") << "a<b> \"c\"" << "/photos/Tom & Jerry.jpg"
                                << "a&lt;b&gt; &quot;c&quot;" << "/photos/Tom &amp; Jerry.jpg";
        QTest::newRow("non-ASCII") << QString::fromUtf8("B\u00e4der") << QString::fromUtf8("/fotos/\u65e5.jpg")
                                   << QString::fromUtf8("B\u00e4der") << QString::fromUtf8("/fotos/\u65e5.jpg");
    }

    void namesAreWrittenAsGivenInWellFormedXml()
    {
        QFETCH(QString, name);
        QFETCH(QString, picture);
        QFETCH(QString, writtenName);
        QFETCH(QString, writtenPicture);
        ClockedLogger logger;
        logger.setPictureName(picture);
        logger.setPictureSize(QSize(4000, 3000));
        logger.addUserAction(name, 42);
        QCOMPARE(logger.report(),
                 reportOf(testElement(writtenName, "passed", "42", writtenPicture, QSize(4000, 3000))));
    }

    void reportsKeepTheirLinesAndDefaultToNoPictureSize()
    {
        ClockedLogger logger;
        QCOMPARE(logger.report(), reportOf(QString()));
        logger.addUserAction("Apply", 7);
        const QString expected = reportOf(testElement("Apply", "passed", "7", QString(), QSize(-1, -1)));
        QCOMPARE(logger.report(), expected);
        QCOMPARE(logger.report(), expected); // written again, not cleared
    }

    void objectLifeTimesGoToTheTaskActivity()
    {
        ClockedLogger logger;
        QObject first;
        QObject second;
        logger.registerObject("Render", &first);
        logger.registerObject("Zoom %1", &second);
        logger.advance(10);
        logger.markObjectTime(&first, " tiles");
        logger.advance(15);
        logger.unregisterObject(&first);
        logger.unregisterObject(&second);

        const QString path = QDir::temp().filePath("activity.txt");
        logger.saveTaskActivity(path);
        logger.saveTaskActivity(path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()),
                 QString("Render tiles(10) live time: 25\nZoom %1 live time: 25\n"));
    }

    void misuseIsReportedAsAssertions()
    {
        RecordingLogger& log = RecordingLogger::install();
        log.lines.clear();
        QObject stranger;
        {
            ClockedLogger logger;
            logger.markObjectTime(&stranger, "x");
            logger.unregisterObject(&stranger);
            logger.saveReport(QDir::temp().filePath("no/such/folder/report.xml"));
            logger.saveTaskActivity(QDir::temp().filePath("no/such/folder/activity.txt"));
            logger.registerObject("left behind", &stranger);
        }
        const QStringList asserts = log.lines.filter(QRegularExpression("^E ASSERT in \\S*CPerformanceLogger\\.cpp \\d+$"));
        QCOMPARE(asserts.size(), 5);
        QCOMPARE(log.lines.size(), 5);
    }
};

QTEST_GUILESS_MAIN(TestPerformanceLogger)
#include "tst_performancelogger.moc"
