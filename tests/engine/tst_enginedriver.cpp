// The engine driver (tools/engine-driver) run as a user runs it, on pictures
// whose orientation tag turns or mirrors them.

#include "EngineTestSupport.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Far beyond a run's few seconds: only guards against a driver that never ends.
constexpr int kHangGuardMs = 60000;

} // namespace

class TestEngineDriver : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void everyOrientationEndsUpright_data();
    void everyOrientationEndsUpright();

private:
    QTemporaryDir m_dir;
};

void TestEngineDriver::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestEngineDriver::everyOrientationEndsUpright_data()
{
    QTest::addColumn<unsigned int>("orientation");
    for (unsigned int orientation = 1; orientation <= 8; ++orientation)
        QTest::addRow("%u", orientation) << orientation;
}

void TestEngineDriver::everyOrientationEndsUpright()
{
    QFETCH(unsigned int, orientation);
    const QSize shownSize(96, 64);
    const QString source = m_dir.filePath(QString("oriented-%1.jpg").arg(orientation));
    SPatternFile options;
    options.orientation = orientation;
    const QImage shown = quadrantPicture(shownSize.width(), shownSize.height());
    QVERIFY(writeImageFile(source, storedForOrientation(shown, orientation), options));

    const QString out = m_dir.filePath(QString("out-%1").arg(orientation));
    QProcess driver;
    driver.setProcessChannelMode(QProcess::MergedChannels);
    driver.start(QStringLiteral(QUILLET_BUILD_DIR "/tools/bin/quillet-engine-driver"),
                 {"--image", source, "--out", out});
    const bool ended = driver.waitForFinished(kHangGuardMs);
    if (!ended) {
        driver.kill();
        driver.waitForFinished();
    }
    const QByteArray output = driver.readAll();
    QVERIFY2(ended, ("the driver did not end:\n" + output).constData());
    QCOMPARE(driver.exitStatus(), QProcess::NormalExit);
    QVERIFY2(driver.exitCode() == 0, output.constData());
    // One preview of each side: a turned picture is not rendered twice.
    const QRegularExpression summary("^2 pictures, 0 failed renders or writes$", QRegularExpression::MultilineOption);
    QVERIFY2(summary.match(QString::fromUtf8(output)).hasMatch(), output.constData());

    // Both previews show the picture as a viewer does.
    const QStringList written = QDir(out).entryList({"*.png"}, QDir::Files, QDir::Name);
    QCOMPARE(written.size(), 2);
    for (const QString& name : written) {
        const QImage picture(QDir(out).filePath(name));
        QCOMPARE(picture.size(), shownSize);
        for (int quadrant = 0; quadrant < 4; ++quadrant) {
            const QPoint centre((quadrant % 2 * 2 + 1) * shownSize.width() / 4,
                                (quadrant / 2 * 2 + 1) * shownSize.height() / 4);
            QVERIFY2(
                colorsClose(picture.pixelColor(centre), kQuadrantColors[quadrant], 24),
                qPrintable(
                    QString("%1, quadrant %2 is %3").arg(name).arg(quadrant).arg(picture.pixelColor(centre).name())));
        }
    }
}

QTEST_GUILESS_MAIN(TestEngineDriver)
#include "tst_enginedriver.moc"
