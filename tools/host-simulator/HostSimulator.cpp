#include "HostSimulator.h"

#include "utils/PSDataStructure.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>

using namespace NAVIK_tarl1;

namespace {

void report(const QString& line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The host's 16-bit samples run from 0 to 32768, not to 65535.
constexpr quint32 kHostMaximum = 32768;

quint16 toHostSample(quint16 sample)
{
    return quint16((sample * kHostMaximum + 0xffff / 2) / 0xffff);
}

quint16 fromHostSample(quint16 sample)
{
    return quint16(std::min<quint32>(0xffff, (sample * 0xffffu + kHostMaximum / 2) / kHostMaximum));
}

} // namespace

QByteArray packPixels(const QImage& source, int depth)
{
    const QImage image = source.convertToFormat(depth == 8 ? QImage::Format_RGB888 : QImage::Format_RGBX64);
    const qsizetype rowBytes = qsizetype(image.width()) * 3 * depth / 8;
    QByteArray pixels(rowBytes * image.height(), Qt::Uninitialized);
    for (int y = 0; y < image.height(); ++y) {
        char* row = pixels.data() + y * rowBytes;
        if (depth == 8) {
            std::memcpy(row, image.constScanLine(y), size_t(rowBytes));
            continue;
        }
        // RGBX64 holds four 16-bit samples a pixel; the exchange has three.
        const auto* from = reinterpret_cast<const quint16*>(image.constScanLine(y));
        auto* to = reinterpret_cast<quint16*>(row);
        for (int x = 0; x < image.width(); ++x)
            for (int c = 0; c < 3; ++c)
                to[x * 3 + c] = toHostSample(from[x * 4 + c]);
    }
    return pixels;
}

QImage unpackPixels(const char* pixels, int width, int height, int depth)
{
    QImage image(width, height, depth == 8 ? QImage::Format_RGB888 : QImage::Format_RGBX64);
    const qsizetype rowBytes = qsizetype(width) * 3 * depth / 8;
    for (int y = 0; y < height; ++y) {
        const char* row = pixels + y * rowBytes;
        if (depth == 8) {
            std::memcpy(image.scanLine(y), row, size_t(rowBytes));
            continue;
        }
        const auto* from = reinterpret_cast<const quint16*>(row);
        auto* to = reinterpret_cast<quint16*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < 3; ++c)
                to[x * 4 + c] = fromHostSample(from[x * 3 + c]);
            to[x * 4 + 3] = 0xffff;
        }
    }
    return image;
}

HostSimulator::HostSimulator(HostSimulatorOptions options)
    : m_options(std::move(options))
{
}

HostSimulatorStatus HostSimulator::run()
{
    QImage image(m_options.imagePath);
    if (image.isNull()) {
        report(QStringLiteral("cannot read the picture %1").arg(m_options.imagePath));
        return UsageError;
    }
    QTemporaryDir exchangeFolder;
    const QString requestPath = m_options.exchangePath.isEmpty()
        ? exchangeFolder.filePath(QStringLiteral("request"))
        : m_options.exchangePath;

    // Declared before the record: the record writes these pixels and must go first.
    const QByteArray pixels = packPixels(image, m_options.depth);
    PSDataStructure record(requestPath);
    if (!writeRequest(record, pixels, image.size())) {
        report(QStringLiteral("cannot write the request %1").arg(requestPath));
        return RoundTripFailed;
    }
    if (m_options.hostGone)
        return waitForEditorWithoutHost(requestPath);
    if (!listen())
        return RoundTripFailed;
    if (!waitForAnswer(requestPath))
        return RoundTripFailed;
    return readAnswer(record);
}

bool HostSimulator::writeRequest(PSDataStructure& record, const QByteArray& pixels, const QSize& size)
{
    // A damaged request describes a picture its pixel file does not hold: one
    // row more, or samples of 12 bits.
    const int height = size.height() + (m_options.damage == QLatin1String("height") ? 1 : 0);
    const int depth = m_options.damage == QLatin1String("depth") ? 12 : m_options.depth;
    record.setInputPicture(const_cast<char*>(pixels.constData()), pixels.size(), size.width(), height, depth);
    record.setShowUI(m_options.showUI);
    record.setImageFileName(QFile::encodeName(QFileInfo(m_options.imagePath).absoluteFilePath()).toStdString());
    if (!m_options.pluginDataPath.isEmpty() && QFile::exists(m_options.pluginDataPath))
        record.setPluginData(readFile(m_options.pluginDataPath));
    return record.serializeMap();
}

bool HostSimulator::listen()
{
    const QString name = QString::fromLatin1(g_photoshopServerName);
    if (m_server.listen(name))
        return true;
    // Probing the name would look like an editor's signal to a host that
    // listens there, so the simulator only says what stands in its way.
    report(QStringLiteral("cannot listen on %1: %2 (another host is running, or a crashed one left its "
                          "socket file in the temporary folder)")
               .arg(name, m_server.errorString()));
    return false;
}

bool HostSimulator::waitForAnswer(const QString& requestPath)
{
    const QByteArray request = readFile(requestPath);
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    connect(&limit, &QTimer::timeout, &loop, [&loop] {
        report(QStringLiteral("no answer in time"));
        loop.exit(1);
    });
    if (m_options.timeoutSeconds > 0)
        limit.start(m_options.timeoutSeconds * 1000);

    const bool startedHere = !m_options.programPath.isEmpty();
    connect(&m_server, &QLocalServer::newConnection, &loop, [&] {
        while (QLocalSocket* socket = m_server.nextPendingConnection()) {
            report(QStringLiteral("editor connected"));
            connect(socket, &QLocalSocket::disconnected, &loop, [&, socket] {
                socket->deleteLater();
                // The editor also connects while it runs, to see that the
                // host is still there; the answer comes with the last one.
                const bool answered = readFile(requestPath) != request;
                report(answered ? QStringLiteral("editor disconnected: answer written")
                                : QStringLiteral("editor disconnected"));
                if (answered && !startedHere)
                    loop.exit(0);
            });
        }
    });

    QProcess editor;
    if (startedHere) {
        editor.setProcessChannelMode(QProcess::ForwardedChannels);
        connect(&editor, &QProcess::finished, &loop, [&loop](int exitCode) {
            report(QStringLiteral("editor ended with %1").arg(exitCode));
            loop.exit(0);
        });
        connect(&editor, &QProcess::errorOccurred, &loop, [&loop, &editor](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart) {
                report(QStringLiteral("cannot start the editor: %1").arg(editor.errorString()));
                loop.exit(1);
            }
        });
        editor.start(m_options.programPath,
                     QStringList{QStringLiteral("--plugin-name=photoshop"),
                                 QStringLiteral("--process-image=") + requestPath}
                         + m_options.programArguments);
    } else {
        report(QStringLiteral("waiting for the editor: start it with --plugin-name=photoshop --process-image=%1")
                   .arg(requestPath));
    }
    const bool answered = loop.exec() == 0;
    if (editor.state() != QProcess::NotRunning) {
        editor.kill();
        editor.waitForFinished();
    }
    return answered;
}

HostSimulatorStatus HostSimulator::waitForEditorWithoutHost(const QString& requestPath)
{
    if (m_options.programPath.isEmpty()) {
        report(QStringLiteral("a host that is gone needs --program"));
        return UsageError;
    }
    QProcess editor;
    editor.setProcessChannelMode(QProcess::ForwardedChannels);
    editor.start(
        m_options.programPath,
        QStringList{QStringLiteral("--plugin-name=photoshop"), QStringLiteral("--process-image=") + requestPath}
            + m_options.programArguments);
    const int limit = m_options.timeoutSeconds > 0 ? m_options.timeoutSeconds * 1000 : -1;
    if (!editor.waitForStarted(limit) || !editor.waitForFinished(limit)) {
        report(QStringLiteral("the editor did not end: %1").arg(editor.errorString()));
        editor.kill();
        editor.waitForFinished();
        return RoundTripFailed;
    }
    const int exitCode = editor.exitStatus() == QProcess::NormalExit ? qint8(editor.exitCode()) : -1000;
    report(QStringLiteral("editor ended with %1").arg(exitCode));
    return exitCode == 3 ? NothingReturned : RoundTripFailed;
}

HostSimulatorStatus HostSimulator::readAnswer(PSDataStructure& record)
{
    const bool read = record.deserializeMap();
    const int exitCode = record.exitCode();
    report(QStringLiteral("exit code: %1").arg(exitCode));
    if (read && exitCode == 3)
        return NothingReturned;
    if (!read || exitCode != NAVIK_QTAPP_EXIT_CODE_SUCCESS)
        return RoundTripFailed;

    const QImage result = unpackPixels(record.inputPicture(), record.pictureWidth(), record.pictureHeight(),
                                       record.pictureDepth());
    report(QStringLiteral("result: %1x%2, %3 bits").arg(result.width()).arg(result.height()).arg(record.pictureDepth()));
    if (!m_options.resultPath.isEmpty() && !result.save(m_options.resultPath)) {
        report(QStringLiteral("cannot save the result to %1").arg(m_options.resultPath));
        return RoundTripFailed;
    }
    if (!m_options.pluginDataPath.isEmpty()) {
        QFile file(m_options.pluginDataPath);
        if (!file.open(QIODevice::WriteOnly) || file.write(record.pluginData()) < 0)
            report(QStringLiteral("cannot store the plug-in data in %1").arg(m_options.pluginDataPath));
    }
    return ResultReturned;
}
