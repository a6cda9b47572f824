// Opening a 24 MP JPEG in the running program: from the Open command to the
// first preview in both views. Each round starts bin/Quillet with a home of
// its own and a test script that opens the photograph through the Open
// command (its file dialog answered by the script) and polls the views every
// millisecond; one untimed round first, so the page cache holds the program
// and the photograph. Prints every round, the median and the target: 500 ms
// plus the engine's coalescing delay before a render (200 ms).
//
//     bench_open_preview [photograph] [rounds] [program]

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QString kProgram = QStringLiteral(QUILLET_BUILD_DIR "/bin/Quillet");
constexpr double kTargetMs = 500.0 + 200.0;

const char kScript[] = R"(
scripting.startTest.connect(function () {
    var start = Date.now();
    nativeDialogs.setOpenFileName(PHOTO);
    if (!mainWindow.saveOldAndOpenNewFile())
        scripting.fail("not opened");
    var opened = Date.now();
    for (var i = 0; i < 60000 && !mainWindow.hasViewImage(); ++i)
        scripting.wait(1);
    if (!mainWindow.hasViewImage())
        scripting.fail("no preview");
    print("open: command returned " + (opened - start) + " ms, first preview " + (Date.now() - start) + " ms");
});
)";

// The figures the program printed: the open command's return and the first
// preview; -1 when it printed none.
std::pair<double, double> oneRound(const QString& photo)
{
    QTemporaryDir root;
    for (const char* folder : {"home/Documents", "config", "tmp"})
        QDir(root.path()).mkpath(QLatin1String(folder));
    const QString script = root.filePath(QStringLiteral("open.js"));
    QFile file(script);
    if (!file.open(QIODevice::WriteOnly))
        return {-1, -1};
    file.write("var PHOTO = \"" + photo.toUtf8() + "\";\n" + kScript);
    file.close();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), root.filePath(QStringLiteral("home")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), root.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("TMPDIR"), root.filePath(QStringLiteral("tmp")));
    if (!environment.contains(QStringLiteral("QT_QPA_PLATFORM")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // Nothing leaves the machine.
    environment.insert(QStringLiteral("QUILLET_STATISTICS_SERVICE"), QStringLiteral("http://127.0.0.1:9/"));
    environment.insert(QStringLiteral("QUILLET_UPDATE_SERVICE"), QStringLiteral("http://127.0.0.1:9/"));

    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(kProgram, {QStringLiteral("--script=") + script});
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return {-1, -1};
    }
    static const QRegularExpression figure(QStringLiteral("open: command returned (\\d+) ms, first preview (\\d+) ms"));
    const QRegularExpressionMatch match = figure.match(QString::fromLocal8Bit(process.readAll()));
    if (!match.hasMatch())
        return {-1, -1};
    return {match.captured(1).toDouble(), match.captured(2).toDouble()};
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const QString photo = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                   : QStringLiteral(QUILLET_FIXTURES_DIR "/photo24.jpg");
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    if (argc > 3)
        kProgram = QString::fromLocal8Bit(argv[3]);
    std::printf("platform: %s, %s\n", qEnvironmentVariable("QT_QPA_PLATFORM", QStringLiteral("offscreen")).toUtf8().constData(),
                photo.toUtf8().constData());
    if (oneRound(photo).second < 0) {
        std::printf("%s printed no open figure\n", kProgram.toUtf8().constData());
        return 1;
    }
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        const auto [opened, preview] = oneRound(photo);
        if (preview < 0) {
            std::printf("round %d: no figure\n", round + 1);
            return 1;
        }
        times.push_back(preview);
        std::printf("round %d: open command %.0f ms, first preview %.0f ms\n", round + 1, opened, preview);
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("open to the first preview: median %.0f ms, fastest %.0f ms, slowest %.0f ms (target %.0f ms): %s\n",
                median, times.front(), times.back(), kTargetMs, median <= kTargetMs ? "met" : "MISSED");
    return 0;
}
