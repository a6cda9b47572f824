// The engine driver (tools/engine-driver) run as a user runs it, on pictures
// whose orientation tag turns or mirrors them, and at the limit of processes,
// where the system refuses it threads.

#include "EngineTestSupport.h"
#include "TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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
    void refusedThreadsEndTheDriverCleanly_data();
    void refusedThreadsEndTheDriverCleanly();

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

void TestEngineDriver::refusedThreadsEndTheDriverCleanly_data()
{
    QTest::addColumn<int>("processLimit");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said");

    // Not even the render thread: the driver says so and ends.
    QTest::newRow("no thread") << 0 << 1 << "The system refuses the threads the renders need";
    // The render thread starts, the driver's own waiting thread is refused:
    // the driver waits for the renders on its main thread.
    QTest::newRow("the render thread only") << 2 << 0 << "2 pictures, 0 failed renders or writes";
}

void TestEngineDriver::refusedThreadsEndTheDriverCleanly()
{
    QFETCH(int, processLimit);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
#if defined(__SANITIZE_THREAD__)
    QSKIP("ThreadSanitizer starts threads of its own");
#endif
    // The superuser is not held to the limit; a user id of no one else's
    // counts the driver's threads alone.
    if (geteuid() != 0)
        QSKIP("needs the superuser, to run the driver as a user of its own");
    constexpr uid_t kLoneUser = 54321;

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7755)));
    const QString source = dir.filePath("photo.jpg");
    QVERIFY(writePatternJpeg(source, 96, 64));
    const QByteArray outputPath = QFile::encodeName(dir.filePath("output.txt"));
    const int output = open(outputPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    QVERIFY(output >= 0);
    const QByteArray program = QUILLET_BUILD_DIR "/tools/bin/quillet-engine-driver";
    const QByteArray image = QFile::encodeName(source);
    const QByteArray home = QFile::encodeName(dir.path());

    const pid_t child = fork();
    if (child == 0) {
        dup2(output, STDOUT_FILENO);
        dup2(output, STDERR_FILENO);
        const rlimit limit{rlim_t(processLimit), rlim_t(processLimit)};
        if (setgid(kLoneUser) != 0 || setuid(kLoneUser) != 0 || setrlimit(RLIMIT_NPROC, &limit) != 0)
            _exit(20);
        setenv("HOME", home.constData(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        // The leak check at the end of a sanitized run needs a thread too.
        setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
        execl(program.constData(), program.constData(), "--image", image.constData(), "--no-png", nullptr);
        _exit(21);
    }
    close(output);
    QVERIFY(child > 0);
    // Far beyond a run's few seconds: only guards against a driver that
    // never ends.
    int status = 0;
    QElapsedTimer guard;
    guard.start();
    pid_t ended = 0;
    while ((ended = waitpid(child, &status, WNOHANG)) == 0 && !guard.hasExpired(kHangGuardMs))
        QTest::qSleep(50);
    if (ended == 0) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
    }
    const QByteArray text = readFile(dir.filePath("output.txt"));
    QVERIFY2(ended == child, ("the driver did not end:\n" + text).constData());
    QVERIFY2(WIFEXITED(status), ("the driver did not end normally:\n" + text).constData());
    if (WEXITSTATUS(status) == 21)
        QSKIP("the driver is out of reach of another user");
    QCOMPARE(WEXITSTATUS(status) == 20, false);
    if (processLimit == 0 && WEXITSTATUS(status) == 0)
        QSKIP("this system starts threads beyond the process limit");
    QVERIFY2(WEXITSTATUS(status) == exitCode, text.constData());
    QVERIFY2(text.contains(said.toUtf8()), text.constData());
}

QTEST_GUILESS_MAIN(TestEngineDriver)
#include "tst_enginedriver.moc"
