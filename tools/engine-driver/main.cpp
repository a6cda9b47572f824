// Drives the process engine from the console: opens an image, applies the
// parameters given, waits for the renders and writes every picture the
// engine delivered as PNG, to see the engine work without the views; saves
// the corrected picture when asked.
//
//   quillet-engine-driver --image photo.jpg [--out folder | --no-png]
//       [--set Key=value ...] [--points x1,y1,x2,y2,...] [--hires x,y,w,h]
//       [--zoom percent] [--save corrected.jpg|corrected.tif]
//
// A value is read as true/false, an int, a float (with a decimal point) or
// else a string. With --no-png the delivered pictures are counted, not
// written, so the driver can be timed. A TIFF save keeps 16-bit samples when
// the source has them. Exit status 0 when every render was delivered (and
// written, and the save succeeded).

#include "engine/CProcessEngine.h"
#include "engine/ImageConversion.h"
#include "engine/IZoomLevelSource.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>
#include <QThreadPool>

#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <thread>

#include <Navik/Image.h>

namespace {

// The zoom given with --zoom, standing for the views' zoom.
class DriverZoom : public IZoomLevelSource
{
public:
    explicit DriverZoom(int percent) : m_percent(percent) { registerZoomLevelSource(this); }
    ~DriverZoom() override { unregisterZoomLevelSource(this); }
    int currentZoom() const override { return m_percent; }

private:
    const int m_percent;
};

// A thread that the system refuses to Qt's pool (at the limit of processes)
// leaves its task queued for ever, and every wait for the renders with it:
// the driver says so and ends instead. Qt reports the refusal only as this
// warning.
QtMessageHandler g_qtMessages = nullptr;

void endWhenThePoolGetsNoThread(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("QThread::start: Thread creation error"))) {
        std::fprintf(stderr, "%s\nThe system refuses the threads the renders need: the driver ends.\n",
                     qPrintable(message));
        std::fflush(stdout);
        std::_Exit(1);
    }
    if (g_qtMessages)
        g_qtMessages(type, context, message);
}

// Without a display (a console, a CI machine) the driver still runs: it
// shows nothing, so the offscreen platform serves, unless one was chosen.
void useOffscreenWithoutDisplay()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

void applySetting(CProcessEngine& engine, const QString& setting)
{
    const QString key = setting.section('=', 0, 0);
    const QString value = setting.section('=', 1);
    bool isInt = false;
    const int intValue = value.toInt(&isInt);
    bool isFloat = false;
    const float floatValue = value.toFloat(&isFloat);
    if (value == "true" || value == "false")
        engine.onCEPropertyBoolChanged(key, value == "true");
    else if (isInt)
        engine.onCEPropertyIntChanged(key, intValue);
    else if (isFloat)
        engine.onCEPropertyFloatChanged(key, floatValue);
    else
        engine.onCEPropertyStringChanged(key, value);
}

QVector<QPointF> pointsFrom(const QString& text)
{
    const QStringList numbers = text.split(',', Qt::SkipEmptyParts);
    QVector<QPointF> points;
    for (qsizetype i = 0; i + 1 < numbers.size(); i += 2)
        points << QPointF(numbers[i].toDouble(), numbers[i + 1].toDouble());
    return points;
}

} // namespace

int main(int argc, char** argv)
{
    useOffscreenWithoutDisplay();
    g_qtMessages = qInstallMessageHandler(endWhenThePoolGetsNoThread);
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"image", "The photograph to open.", "path"});
    parser.addOption({"out", "Folder for the delivered pictures.", "folder"});
    parser.addOption({"set", "An engine parameter, Key=value (repeatable).", "setting"});
    parser.addOption({"points", "Normalised keystoning points x1,y1,x2,y2,...", "list"});
    parser.addOption({"hires", "A region of the after image to render as a view would: x,y,w,h.", "rect"});
    parser.addOption({"zoom", "The views' zoom in percent for the region render.", "percent", "100"});
    parser.addOption({"save", "Save the corrected picture as JPEG or TIFF, by the suffix.", "path"});
    parser.addOption({"no-png", "Count the delivered pictures without writing them."});
    parser.process(app);
    QTextStream out(stdout);
    const bool writePictures = !parser.isSet("no-png");
    if (!parser.isSet("image") || (writePictures && !parser.isSet("out"))) {
        out << parser.helpText();
        return 2;
    }
    const QDir folder(parser.value("out"));
    if (writePictures)
        QDir().mkpath(folder.path());

    CProcessEngine engine;
    int delivered = 0;
    int errors = 0;
    // A picture that cannot be written counts as a failed render.
    const auto save = [&](const QString& name, const PixelDataPtr& pixels) {
        if (!writePictures) {
            ++delivered;
            if (!pixels)
                ++errors;
            return;
        }
        const QString path = folder.filePath(QString("%1-%2.png").arg(++delivered, 2, 10, QChar('0')).arg(name));
        if (pixels && pixelDataToQImage(pixels).save(path)) {
            out << "wrote " << path << " (" << pixels->GetWidth() << " x " << pixels->GetHeight() << ")\n";
        } else {
            out << "could not write " << path << "\n";
            ++errors;
        }
        out.flush();
    };
    QObject::connect(&engine, &CProcessEngine::loResInitialImageProcessed,
                     [&](PixelDataPtr pixels, QSize) { save("before", pixels); });
    QObject::connect(&engine, &CProcessEngine::loResResultImageProcessed,
                     [&](PixelDataPtr pixels, QSize) { save("after", pixels); });
    QObject::connect(&engine, &CProcessEngine::hiResResultImageProcessed,
                     [&](PixelDataPtr pixels, QRect, QSize) { save("after-region", pixels); });
    QObject::connect(&engine, &CProcessEngine::processingError, [&](int) { ++errors; });

    // Only a regular file is a picture: a FIFO or a device is never read.
    if (!QFileInfo(parser.value("image")).isFile()) {
        out << "cannot open " << parser.value("image") << ": not a file\n";
        return 1;
    }
    if (!engine.openFile(parser.value("image"))) {
        out << "cannot open " << parser.value("image") << "\n";
        return 1;
    }
    // The first previews, as the main window asks for them after an open;
    // keystoning points are checked against the before image's size.
    // Blocks until the engine is idle: until the render timer has started
    // the next queued task ("processingStarted"), then until the pool has no
    // running task. Meanwhile the main thread goes on delivering: a running
    // task waits for it at each delivery, and "processingFinished" need not
    // be its last (a turn renders both sides in one run). A helper thread
    // waits for the pool and ends the main thread's loop; where the system
    // refuses that thread, the main thread waits for the pool itself, a
    // little at a time, delivering in between.
    QEventLoop started;
    QObject::connect(&engine, &CProcessEngine::processingStarted, &started, &QEventLoop::quit);
    QEventLoop poolIdle;
    const auto waitForPool = [&poolIdle] {
        QThreadPool* pool = QThreadPool::globalInstance();
        std::thread waiter;
        try {
            waiter = std::thread([&poolIdle, pool] {
                pool->waitForDone();
                QMetaObject::invokeMethod(&poolIdle, &QEventLoop::quit, Qt::QueuedConnection);
            });
        } catch (const std::system_error&) {
            constexpr int sliceMs = 10;
            while (!pool->waitForDone(sliceMs))
                QCoreApplication::processEvents();
            return;
        }
        poolIdle.exec();
        waiter.join();
    };
    const auto waitForRenders = [&] {
        while (engine.hasTasksForProcessing()) {
            if (!engine.isProcessingActive())
                started.exec();
            waitForPool();
        }
    };
    engine.forceProcessImage();
    waitForRenders();

    for (const QString& setting : parser.values("set"))
        applySetting(engine, setting);
    if (parser.isSet("points"))
        engine.setNormolizedKeystoningPointsOnOriginalImage(pointsFrom(parser.value("points")));
    waitForRenders();

    if (parser.isSet("hires")) {
        const QStringList r = parser.value("hires").split(',');
        const DriverZoom zoom(parser.value("zoom").toInt());
        engine.processHiResImage(
            false, "driver", QRect(r.value(0).toInt(), r.value(1).toInt(), r.value(2).toInt(), r.value(3).toInt()));
        waitForRenders();
    }
    out << delivered << " pictures, " << errors << " failed renders or writes\n";

    bool saved = true;
    if (parser.isSet("save")) {
        const NavikImagePtr source = engine.openedImage();
        const bool sixteenBit = source && source->image() && source->image()->GetPixelFormat().GetSampleSize() == 16;
        const bool tiff = engine.generateFileFormat(parser.value("save")) == Navik::kFileFormatTIFF;
        saved = engine.saveOpenedFileSync(parser.value("save"), 90, true, !(tiff && sixteenBit),
                                          Navik::kFileFormatUnknown);
        out << (saved ? "saved " : "could not save ") << parser.value("save") << "\n";
        waitForRenders();
    }
    return errors == 0 && saved ? 0 : 1;
}
