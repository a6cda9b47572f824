// A soak of the whole process engine: a frantic user who never waits for a
// render (sliders, keystoning points and modes, crop, turns, high-resolution
// and loupe requests, snapshots, saves, undo, another picture) while renders
// run on the thread pool. It checks that every request ends, that nothing
// arrives for a picture once it is closed, that memory comes back when the
// picture is closed, and that the last previews are what a fresh render of
// the final parameters gives.
//
// The run is seeded: the seed is printed, and QUILLET_SOAK_SEED replays it.
// QUILLET_SOAK_STEPS and QUILLET_SOAK_SECONDS bound it; the steps taken are
// printed, so that a time-bounded run can be replayed step for step.
// Without QUILLET_SOAK_SEED (or with "random") the seed is random, unless
// QUILLET_SOAK_CI_SEEDS names a list of seeds (comma-separated), each run in
// turn for QUILLET_SOAK_CI_SECONDS: CTest gates on such a fixed list.

#include "EngineTestSupport.h"

#include "engine/CProcessEngine.h"
#include "engine/EngineParameterKeys.h"
#include "engine/ImageConversion.h"
#include "engine/ParameterGroups.h"

#include <Navik/Engine.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <unistd.h>

namespace Keys = EngineParameterKeys;

namespace {

// ---------------------------------------------------------------- settings and measures

struct SoakSettings
{
    quint64 seed = 0;
    int steps = 0;
    int seconds = 0;
};

// The runs to make: the seed given, the fixed list, or one random seed.
QList<SoakSettings> soakRuns()
{
    bool given = false;
    int steps = qEnvironmentVariableIntValue("QUILLET_SOAK_STEPS", &given);
    if (!given)
        steps = 6000;
    int seconds = qEnvironmentVariableIntValue("QUILLET_SOAK_SECONDS", &given);

    const QString seed = qEnvironmentVariable("QUILLET_SOAK_SEED");
    const QStringList fixedSeeds = qEnvironmentVariable("QUILLET_SOAK_CI_SEEDS").split(',', Qt::SkipEmptyParts);
    QList<SoakSettings> runs;
    if (seed.isEmpty() && !fixedSeeds.isEmpty()) {
        if (!given)
            seconds = qEnvironmentVariableIntValue("QUILLET_SOAK_CI_SECONDS", &given);
        for (const QString& fixed : fixedSeeds)
            runs << SoakSettings{fixed.trimmed().toULongLong(), steps, 0};
    } else {
        quint64 value = seed.toULongLong(&given);
        if (!given)
            value = QRandomGenerator::system()->generate64();
        runs << SoakSettings{value, steps, 0};
    }
    if (!given || seconds <= 0)
        seconds = 60;
    for (SoakSettings& run : runs)
        run.seconds = seconds;
    return runs;
}

// The caches of the correction engine: small enough for the soak to fill them.
constexpr std::uint64_t tilePoolBytes = std::uint64_t(24) << 20;
constexpr std::uint64_t algorithmPoolBytes = std::uint64_t(16) << 20;

// What the process holds.
struct MemoryMeasure
{
    // As heapBytes() counts it.
    qint64 heapBytes = 0;
    qint64 residentBytes = 0;
    Navik::Engine::MemoryUsage pools;
};

MemoryMeasure measureMemory()
{
    MemoryMeasure measure;
    measure.heapBytes = heapBytes();
    QFile statm("/proc/self/statm");
    if (statm.open(QIODevice::ReadOnly))
        measure.residentBytes = statm.readAll().split(' ').value(1).toLongLong() * sysconf(_SC_PAGESIZE);
    measure.pools = Navik::Engine::GetMemoryUsage();
    return measure;
}

// ---------------------------------------------------------------- pictures

// A photograph the soak opens: red grows to the right, green downwards, and
// its blue is its own, so that any picture the engine delivers tells which
// photograph it shows.
struct SoakPicture
{
    QImage pixels;
    QString path; // empty: opened from memory
    int blue = 0;
};

QImage soakPixels(const QSize& size, int blue)
{
    QImage image(size, QImage::Format_RGB888);
    for (int y = 0; y < size.height(); ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < size.width(); ++x) {
            line[x * 3] = uchar(x * 255 / (size.width() - 1));
            line[x * 3 + 1] = uchar(y * 255 / (size.height() - 1));
            line[x * 3 + 2] = uchar(blue);
        }
    }
    return image;
}

// Whether `picture` shows the photograph whose blue is `blue`: more of its
// pixels carry that blue than any other photograph's. Too few pixels of any
// photograph (a region of border only) say nothing.
bool showsPhotograph(const QImage& picture, int blue, const QList<int>& blues)
{
    constexpr int tolerance = 8;
    constexpr int enough = 64;
    QList<int> counts(blues.size(), 0);
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar* line = rgb.constScanLine(y);
        for (int x = 0; x < rgb.width(); ++x) {
            for (qsizetype i = 0; i < blues.size(); ++i)
                counts[i] += qAbs(line[x * 3 + 2] - blues[i]) <= tolerance;
        }
    }
    int total = 0;
    for (const int count : counts)
        total += count;
    if (total < enough)
        return true;
    const int own = counts[blues.indexOf(blue)];
    return std::all_of(counts.begin(), counts.end(), [own](int count) { return count <= own; });
}

// ---------------------------------------------------------------- what the engine says

// Listens to every signal of the engine and keeps what the checks need.
class EngineWatch : public QObject
{
public:
    EngineWatch(CProcessEngine& engine, const QList<int>& blues) : m_blues(blues)
    {
        const auto arrival = [this](const char* name) { return [this, name] { arrived(name); }; };
        connect(&engine, &CProcessEngine::processingStarted, this, [this] {
            arrived("processingStarted");
            if (m_rendering)
                problem("a render started while another ran");
            m_rendering = true;
        });
        connect(&engine, &CProcessEngine::processingFinished, this, [this] {
            arrived("processingFinished");
            if (!m_rendering)
                problem("a render finished that had not started");
            m_rendering = false;
        });
        connect(&engine, &CProcessEngine::processingError, this, arrival("processingError"));
        connect(&engine, &CProcessEngine::initialImageSizeChanged, this, arrival("initialImageSizeChanged"));
        connect(&engine, &CProcessEngine::resultImageSizeChanged, this, arrival("resultImageSizeChanged"));
        connect(&engine, &CProcessEngine::transformOutParamsChanged, this, arrival("transformOutParamsChanged"));
        connect(&engine, &CProcessEngine::fileBatchCompleated, this, arrival("fileBatchCompleated"));
        connect(&engine, &CProcessEngine::fileSaveCompleated, this, [this] {
            arrived("fileSaveCompleated");
            m_savesWaiting = 0;
        });
        connect(&engine, &CProcessEngine::rotationCompleated, this, [this] {
            arrived("rotationCompleated");
            m_turnsWaiting = 0;
        });
        connect(&engine, &CProcessEngine::loResInitialImageProcessed, this,
                [this](PixelDataPtr pixels) { preview(true, pixels); });
        connect(&engine, &CProcessEngine::loResResultImageProcessed, this,
                [this](PixelDataPtr pixels) { preview(false, pixels); });
        for (const auto signal : {&CProcessEngine::hiResInitialImageProcessed, &CProcessEngine::hiResResultImageProcessed})
            connect(&engine, signal, this, [this](PixelDataPtr pixels) { delivered("hiRes", pixels); });
        for (const auto signal : {&CProcessEngine::loupeInitialImageProcessed, &CProcessEngine::loupeResultImageProcessed})
            connect(&engine, signal, this, [this](PixelDataPtr pixels) { delivered("loupe", pixels); });
        connect(&engine, &CProcessEngine::imageForSnapshotCreated, this,
                [this](const QString&, const QImage& picture) { delivered("snapshotPicture", picture); });
        connect(&engine, &CProcessEngine::printImageCreated, this,
                [this](const QImage& picture) { delivered("printPicture", picture); });
    }

    // The picture whose blue the deliveries must show from now on.
    void pictureOpened(int blue)
    {
        m_open = true;
        m_blue = blue;
        m_turnsWaiting = 0;
    }
    // A closed picture hears nothing more; its turns are answered by the closing.
    void pictureClosed()
    {
        m_open = false;
        m_turnsWaiting = 0;
    }
    void saveRequested() { ++m_savesWaiting; }
    // After `what` emptied the queue, every save asked for before it has an
    // answer: it ran, or it was dropped and said so.
    void checkSavesAnswered(const char* what)
    {
        if (m_savesWaiting != 0)
            problem(QString("a save dropped by %1 was never answered").arg(what));
        m_savesWaiting = 0;
    }
    void turnRequested() { ++m_turnsWaiting; }
    void checkHostRender(const PixelDataPtr& pixels)
    {
        if (pixels)
            checkPhotograph("hostRender", pixelDataToQImage(pixels));
    }

    // Requests of these kinds still without an answer.
    int savesWaiting() const { return m_savesWaiting; }
    int turnsWaiting() const { return m_turnsWaiting; }
    bool isRendering() const { return m_rendering; }
    const QImage& lastPreview(bool initial) const { return m_lastPreview[initial ? 1 : 0]; }
    void forgetPreviews() { m_lastPreview[0] = m_lastPreview[1] = QImage(); }
    const QStringList& problems() const { return m_problems; }
    void problem(const QString& text)
    {
        // The first ones tell the story; a fault repeats itself.
        if (m_problems.size() < 20)
            m_problems << text;
    }
    QString summary() const
    {
        QStringList counts;
        for (auto count = m_counts.cbegin(); count != m_counts.cend(); ++count)
            counts << QString("%1 %2").arg(count.key()).arg(count.value());
        return counts.join(", ");
    }

private:
    void arrived(const char* name)
    {
        ++m_counts[name];
        if (!m_open)
            problem(QString("%1 arrived for a closed picture").arg(name));
    }

    void preview(bool initial, const PixelDataPtr& pixels)
    {
        const char* name = initial ? "loResInitial" : "loResResult";
        const QImage picture = pixelDataToQImage(pixels).copy();
        delivered(name, picture);
        m_lastPreview[initial ? 1 : 0] = picture;
    }

    void delivered(const char* name, const PixelDataPtr& pixels) { delivered(name, pixelDataToQImage(pixels)); }

    void delivered(const char* name, const QImage& picture)
    {
        arrived(name);
        checkPhotograph(name, picture);
    }

    void checkPhotograph(const char* name, const QImage& picture)
    {
        if (m_open && !showsPhotograph(picture, m_blue, m_blues))
            problem(QString("%1 showed another photograph than the one open").arg(name));
    }

    QList<int> m_blues;
    bool m_open = false;
    int m_blue = 0;
    bool m_rendering = false;
    int m_savesWaiting = 0;
    int m_turnsWaiting = 0;
    QImage m_lastPreview[2];
    QMap<QString, int> m_counts;
    QStringList m_problems;
};

// ---------------------------------------------------------------- the user

class FranticUser : public QObject
{
public:
    FranticUser(CProcessEngine& engine, EngineWatch& watch, const QList<SoakPicture>& pictures,
                const SoakSettings& settings, const QString& folder)
        : m_engine(engine),
          m_watch(watch),
          m_pictures(pictures),
          m_random(settings.seed),
          m_steps(settings.steps),
          m_deadline(settings.seconds * 1000),
          m_folder(folder)
    {
        m_next.setSingleShot(true);
        connect(&m_next, &QTimer::timeout, this, &FranticUser::step);
        connect(&engine, &CProcessEngine::processingStarted, this, &FranticUser::onRenderStarted);
    }

    void start()
    {
        open(0, true);
        m_next.start(0);
    }

    bool isDone() const { return m_done && m_depth == 0; }
    int stepsTaken() const { return m_stepsTaken; }
    int savesSucceeded() const { return m_savesSucceeded; }
    int savesFailed() const { return m_savesFailed; }
    int opens() const { return m_opens; }
    // How many steps ran one inside the other at most.
    int deepestNesting() const { return m_deepest; }
    const SoakPicture& openPicture() const { return m_pictures[m_picture]; }

    // The last change of the session: keystoning points the renderer
    // refuses, on either side, are taken away, as a user would after a
    // render that showed nothing. Then both previews are asked for.
    void settle()
    {
        for (const bool initial : {false, true}) {
            QSize size;
            const Navik::Dictionary keystoning = m_engine.getKeystoningDictionary(m_engine.parameters(initial), &size);
            if (!isKeystoningPointsConfigurationValid(keystoning, size))
                m_engine.setNormolizedKeystoningPointsOnOriginalImage({});
        }
        m_engine.processLoResInitialImage();
        m_engine.processLoResResultImage();
    }

private:
    enum class Action
    {
        Slider,
        KeystoningSwitch,
        KeystoningPoints,
        KeystoningDictionary,
        Crop,
        Turn,
        TurnTo,
        HiRes,
        Loupe,
        Snapshot,
        SnapshotPicture,
        Print,
        Save,
        SaveAndWait,
        HostRender,
        Undo,
        Projection,
        Histogram,
        Refresh,
        OpenAnother,
    };

    // How often each action comes, out of the sum of the weights.
    static const QList<QPair<Action, int>>& weights()
    {
        static const QList<QPair<Action, int>> table = {
            {Action::Slider, 200},       {Action::KeystoningSwitch, 40}, {Action::KeystoningPoints, 120},
            {Action::KeystoningDictionary, 40}, {Action::Crop, 80},     {Action::Turn, 30},
            {Action::TurnTo, 20},        {Action::HiRes, 150},           {Action::Loupe, 60},
            {Action::Snapshot, 80},      {Action::SnapshotPicture, 30},  {Action::Print, 15},
            {Action::Save, 40},          {Action::SaveAndWait, 10},      {Action::HostRender, 10},
            {Action::Undo, 50},          {Action::Projection, 50},       {Action::Histogram, 20},
            {Action::Refresh, 20},       {Action::OpenAnother, 12},
        };
        return table;
    }

    void step()
    {
        if (m_stepsTaken >= m_steps || m_deadline.hasExpired()) {
            m_done = true;
            return;
        }
        // Nothing to click on while a picture opens.
        if (m_opening) {
            m_next.start(1);
            return;
        }
        ++m_stepsTaken;
        // The next step is due whether or not this one waits: the user does
        // not stop while a save or a turn is under way.
        scheduleNext(pause());
        m_deepest = qMax(m_deepest, ++m_depth);
        act(pickAction());
        --m_depth;
        if (m_stepsTaken % 5 == 0 && m_history.size() < 16)
            m_history << m_engine.serialize();
    }

    // A pause of 0 ms or "until the next render starts", or a delay in ms.
    static constexpr int untilRenderStarts = -1;

    void scheduleNext(int delay)
    {
        m_nextAtRender = delay == untilRenderStarts;
        if (m_nextAtRender) {
            // Should no render start, the user goes on all the same.
            m_next.start(1000);
        } else if (delay == 0) {
            // Without a pause the step comes as a queued call, the way many
            // of a window's own requests reach the engine.
            QMetaObject::invokeMethod(this, [this] { step(); }, Qt::QueuedConnection);
        } else {
            m_next.start(delay);
        }
    }

    // Steps that land while a render runs: the next one comes right after
    // the render announced itself.
    void onRenderStarted()
    {
        if (!m_nextAtRender)
            return;
        m_next.stop();
        scheduleNext(below(2) == 0 ? 0 : 1 + below(20));
    }

    // Steps also run while another step waits (in a synchronous save, or
    // for a running render to end): there a step may turn the picture or
    // open another, but not wait for a save itself, and a step inside that
    // one only makes requests that do not wait.
    Action pickAction()
    {
        for (;;) {
            int total = 0;
            for (const auto& [action, weight] : weights())
                total += weight;
            int pick = below(total);
            Action chosen = weights().constFirst().first;
            for (const auto& [action, weight] : weights()) {
                if (pick < weight) {
                    chosen = action;
                    break;
                }
                pick -= weight;
            }
            const bool waitsForSave = chosen == Action::SaveAndWait || chosen == Action::HostRender;
            const bool waitsForRender = chosen == Action::Turn || chosen == Action::TurnTo || chosen == Action::OpenAnother;
            if ((!waitsForSave || m_depth == 1) && (!waitsForRender || m_depth <= 2))
                return chosen;
        }
    }

    // Bursts of changes with no or short pauses, as in a drag, then now and
    // then a rest: long enough for the queued renders to run, or until the
    // next render starts, so that the user acts while it runs.
    int pause()
    {
        const int kind = below(10);
        if (kind < 1)
            return 200 + below(500);
        if (kind < 3)
            return untilRenderStarts;
        if (kind < 5)
            return 0;
        return 1 + below(40);
    }

    void act(Action action)
    {
        switch (action) {
        case Action::Slider: moveSlider(); break;
        case Action::KeystoningSwitch: switchKeystoning(); break;
        case Action::KeystoningPoints: m_engine.setNormolizedKeystoningPointsOnOriginalImage(randomPoints()); break;
        case Action::KeystoningDictionary: setKeystoningDictionary(); break;
        case Action::Crop: crop(); break;
        case Action::Turn: turn(); break;
        case Action::TurnTo: turnTo(); break;
        case Action::HiRes: askHiRes(); break;
        case Action::Loupe: m_engine.processLoupeRect(chance(0.5), randomRect(QSize(200, 200))); break;
        case Action::Snapshot: snapshot(); break;
        case Action::SnapshotPicture: m_engine.createImageForSnapshot(snapshotName(true)); break;
        case Action::Print: m_engine.processResultImageForPrinting(uniform(1, 3), uniform(1, 3), "in", 50 + below(100)); break;
        case Action::Save: save(); break;
        case Action::SaveAndWait: saveAndWait(); break;
        case Action::HostRender: hostRender(); break;
        case Action::Undo: undo(); break;
        case Action::Projection: project(); break;
        case Action::Histogram: m_engine.getHistogramData(chance(0.5)); break;
        case Action::Refresh: m_engine.forceProcessImage(); break;
        case Action::OpenAnother: openAnother(); break;
        }
    }

    // ---- parameters

    void moveSlider()
    {
        struct Slider
        {
            const char* key;
            double low;
            double high;
        };
        static const Slider sliders[] = {
            {Keys::KeystoningUpDown, -125, 125}, {Keys::KeystoningLeftRight, -125, 125},
            {Keys::KeystoningHorizon, -30, 30},  {Keys::KeystoningScale, 60, 140},
            {Keys::KeystoningHVRatio, -100, 100}, {Keys::KeystoningBlendingIntensity, 0, 100},
        };
        const Slider& slider = sliders[below(int(std::size(sliders)))];
        const double value = uniform(slider.low, slider.high);
        // Integer properties travel as floats too; now and then one comes as an int.
        if (chance(0.2))
            m_engine.onCEPropertyIntChanged(slider.key, int(value));
        else
            m_engine.onCEPropertyFloatChanged(slider.key, float(value));
    }

    QString keystoningMode()
    {
        static const char* modes[] = {"Parallel", "Rectangle", "FourLines", ""};
        return modes[below(4)];
    }

    void switchKeystoning()
    {
        if (chance(0.5))
            m_engine.onCEPropertyBoolChanged(Keys::KeystoningActive, chance(0.8));
        else
            m_engine.onCEPropertyStringChanged(Keys::KeystoningMode, keystoningMode());
    }

    // Mostly handles dragged around a rectangle, sometimes anywhere (off the
    // picture and on one line included), sometimes none.
    QVector<QPointF> randomPoints()
    {
        if (chance(0.05))
            return {};
        const int count = chance(0.3) ? 8 : 4;
        const QList<QVector<QPointF>>& defaults = CProcessEngine::defaultKeystoningPointSets();
        const QVector<QPointF>& base = count == 8 ? defaults.at(5) : defaults.at(below(5));
        const bool wild = chance(0.1);
        QVector<QPointF> points;
        for (const QPointF& point : base) {
            if (wild)
                points << QPointF(uniform(-0.1, 1.1), uniform(-0.1, 1.1));
            else
                points << point + QPointF(uniform(-0.15, 0.15), uniform(-0.15, 0.15));
        }
        return points;
    }

    void setKeystoningDictionary()
    {
        Navik::Dictionary parameters;
        parameters.SetValueForKey(Keys::KeystoningActive, true);
        parameters.SetValueForKey(Keys::KeystoningMode, keystoningMode().toStdString());
        parameters.SetValueForKey(Keys::KeystoningUpDown, uniform(-60, 60));
        m_engine.addCEDictionaryParameters(parameters);
    }

    void crop()
    {
        const double left = uniform(0, 0.5);
        const double top = uniform(0, 0.5);
        const QRectF rect(left, top, uniform(0.05, 1 - left), uniform(0.05, 1 - top));
        switch (below(4)) {
        case 0: m_engine.setCropRect(rect); break;
        case 1:
            m_engine.onCEPropertyValueArrayChanged(Keys::CropRect,
                                                   Navik::ValueArray{rect.x(), rect.y(), rect.width(), rect.height()});
            break;
        case 2: m_engine.onCEPropertyBoolChanged(Keys::CropActive, chance(0.7)); break;
        default: m_engine.onCEPropertyBoolChanged(Keys::CropAuto, chance(0.5)); break;
        }
    }

    void turn()
    {
        m_watch.turnRequested();
        m_engine.rotateImageFromCurrentState(chance(0.5) ? RotationDirections::Rotation90 : RotationDirections::Rotation270);
        m_watch.checkSavesAnswered("a turn");
    }

    void turnTo()
    {
        const auto direction = RotationDirections::RotationDirectionsEnum(below(4));
        // Turning to the current direction does nothing.
        const bool turns = direction != m_engine.getCurrentRotation();
        if (turns)
            m_watch.turnRequested();
        m_engine.rotateImageFromInitialState(direction);
        if (turns)
            m_watch.checkSavesAnswered("a turn");
    }

    // ---- requests

    QRect randomRect(const QSize& largest)
    {
        QSize size = m_engine.getCashedSizeOfProcessedResultImage();
        if (!size.isValid())
            size = QSize(m_pictures[m_picture].pixels.size());
        // Now and then a region off the picture, which renders nothing.
        if (chance(0.05))
            return QRect(size.width() + 10, size.height() + 10, 50, 50);
        const int width = 1 + below(qMin(largest.width(), size.width()));
        const int height = 1 + below(qMin(largest.height(), size.height()));
        return QRect(below(qMax(1, size.width() - width)), below(qMax(1, size.height() - height)), width, height);
    }

    void askHiRes()
    {
        static const int zooms[] = {10, 30, 50, 100, 200};
        m_zoom.set(zooms[below(5)]);
        m_engine.processHiResImage(chance(0.5), chance(0.5) ? "left" : "right", randomRect(QSize(800, 800)));
    }

    QString snapshotName(bool emptyToo)
    {
        static const char* names[] = {"A", "B", "C", ""};
        return names[below(emptyToo ? 4 : 3)];
    }

    void snapshot()
    {
        switch (below(6)) {
        case 0: m_engine.createSnaphot(snapshotName(true)); break;
        case 1: m_engine.updateSnapshot(snapshotName(false), chance(0.5)); break;
        case 2: m_engine.recallSnapshot(snapshotName(true)); break;
        case 3: m_engine.renameSnapshot(snapshotName(false), snapshotName(false)); break;
        case 4: m_engine.deleteSnapshot(snapshotName(false)); break;
        default: m_engine.createSnaphot(snapshotName(false)); break;
        }
    }

    QString savePath()
    {
        return QString("%1/saved-%2.%3").arg(m_folder).arg(below(3)).arg(chance(0.7) ? "jpg" : "tif");
    }

    void save()
    {
        const QString path = savePath();
        m_watch.saveRequested();
        m_engine.saveOpenedFile(path, 85, false, true, m_engine.generateFileFormat(path));
    }

    void saveAndWait()
    {
        const QString path = savePath();
        m_watch.saveRequested();
        const bool saved = m_engine.saveOpenedFileSync(path, 85, chance(0.5), true, m_engine.generateFileFormat(path));
        ++(saved ? m_savesSucceeded : m_savesFailed);
    }

    void hostRender()
    {
        m_watch.saveRequested();
        m_watch.checkHostRender(m_engine.processOpenedImageForPS());
    }

    void undo()
    {
        if (m_history.isEmpty())
            return;
        // As an undo step does: a render only when the states render differently.
        const QByteArray state = m_history.at(below(int(m_history.size())));
        m_engine.deserialize(state, m_engine.isImageProcessingNeeded(m_engine.serialize(), state));
    }

    void project()
    {
        const QVector<QPointF> points = {QPointF(uniform(0, 1), uniform(0, 1)), QPointF(uniform(0, 1), uniform(0, 1))};
        m_engine.projectPoints(points, below(6));
        m_engine.getImageBorderIntersection(points.first());
        m_engine.getKeystoningDictionary(m_engine.parameters(false));
        m_engine.getSizeOfProcessedResultImage();
    }

    // ---- pictures

    void openAnother()
    {
        int next = below(int(m_pictures.size()) - 1);
        if (next >= m_picture)
            ++next;
        // Files are sometimes opened without a reset first: the open clears
        // the queue itself.
        const bool reset = m_pictures[next].path.isEmpty() || chance(0.7);
        open(next, reset);
    }

    void open(int picture, bool reset)
    {
        m_opening = true;
        const SoakPicture& chosen = m_pictures[picture];
        if (reset) {
            m_engine.resetBeforeOpen();
            m_watch.checkSavesAnswered("closing the picture");
            m_watch.pictureClosed();
            // Whatever is still on its way for the closed picture arrives now.
            if (chance(0.5))
                QTest::qWait(below(30));
            // From here on what arrives is the new picture's.
            m_watch.pictureOpened(chosen.blue);
        }
        const bool opened = chosen.path.isEmpty()
                                ? m_engine.openImage(std::make_shared<CNavikImageProxy>(chosen.pixels, true, false))
                                : m_engine.openFile(chosen.path);
        if (!opened)
            m_watch.problem("a picture did not open");
        if (!chosen.path.isEmpty())
            m_watch.checkSavesAnswered("opening a file");
        m_watch.pictureOpened(chosen.blue);
        m_picture = picture;
        m_history.clear();
        ++m_opens;
        m_opening = false;
        // What the main window asks for once a picture is open.
        m_engine.processLoResInitialImage();
        m_engine.processLoResResultImage();
    }

    // ---- chance

    int below(int bound) { return bound <= 0 ? 0 : int(m_random.bounded(quint32(bound))); }
    bool chance(double probability) { return m_random.generateDouble() < probability; }
    double uniform(double low, double high) { return low + (high - low) * m_random.generateDouble(); }

    CProcessEngine& m_engine;
    TestZoom m_zoom;
    EngineWatch& m_watch;
    const QList<SoakPicture>& m_pictures;
    QRandomGenerator m_random;
    const int m_steps;
    const QDeadlineTimer m_deadline;
    const QString m_folder;
    QTimer m_next;
    int m_stepsTaken = 0;
    int m_depth = 0;
    int m_deepest = 0;
    bool m_done = false;
    bool m_opening = false;
    bool m_nextAtRender = false;
    int m_picture = 0;
    int m_opens = 0;
    int m_savesSucceeded = 0;
    int m_savesFailed = 0;
    QList<QByteArray> m_history;
};

// ---------------------------------------------------------------- the last render

// A lo-res preview of one side for the engine's parameters as they stand,
// rendered anew through an agent of its own.
QImage freshPreview(CProcessEngine& engine, bool initial, QSize* fullSize)
{
    const NavikImagePtr image = engine.openedImage();
    Navik::Agent agent(*image->image());
    const Navik::Dictionary parameters = engine.getKeystoningDictionary(engine.parameters(initial));
    Navik::Target* target = agent.AddTarget(Navik::kCorrectionModePreview, parameters, engine.filter());
    int width = 0;
    int height = 0;
    if (!target || !target->ComputeScaledOutputSize(0, &width, &height))
        return {};
    *fullSize = QSize(width, height);
    const unsigned int level = Navik::LowScaleForImage(*image->image());
    target->ComputeScaledOutputSize(level, &width, &height);
    const PixelDataPtr pixels(
        Navik::PixelData::Create(Navik::kSampleTypeUInt8, Navik::kSampleLayoutRGBInterleaved, width, height));
    if (!target->ComputeScaledOutputImage(pixels.get(), level, nullptr))
        return {};
    return pixelDataToQImage(pixels).copy();
}

// The largest difference of one channel between two pictures of one size.
int largestDifference(const QImage& first, const QImage& second)
{
    int largest = 0;
    for (int y = 0; y < first.height(); ++y) {
        const uchar* a = first.constScanLine(y);
        const uchar* b = second.constScanLine(y);
        for (int x = 0; x < first.width() * 3; ++x)
            largest = qMax(largest, qAbs(a[x] - b[x]));
    }
    return largest;
}

QString megabytes(qint64 bytes)
{
    return QString::number(double(bytes) / (1 << 20), 'f', 1) + " MB";
}

} // namespace

class TestProcessEngineSoak : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void franticUser_data();
    void franticUser();

private:
    // Opens a small picture, asks once for every kind of render and closes
    // it again: what the program keeps after its first picture (threads,
    // caches of Qt and of the framework) is there before the soak measures.
    void warmUp(CProcessEngine& engine);

    QTemporaryDir m_dir;
    QList<SoakPicture> m_pictures;
};

void TestProcessEngineSoak::initTestCase()
{
    QVERIFY(m_dir.isValid());
    Navik::Engine::Configuration configuration;
    configuration.tilePoolMaxBytes = tilePoolBytes;
    configuration.algorithmPoolMaxBytes = algorithmPoolBytes;
    QVERIFY(Navik::Engine::Initialize(configuration));

    // Each photograph is larger than the memory the checks let pass, and
    // smaller than the buffers the framework maps outside the heap.
    m_pictures << SoakPicture{soakPixels(QSize(900, 700), 60), QString(), 60};
    const struct
    {
        QSize size;
        int blue;
        Navik::FileFormat format;
        unsigned int orientation;
        const char* name;
    } files[] = {
        {QSize(840, 720), 130, Navik::kFileFormatJPEG, 6, "turned.jpg"},
        {QSize(720, 900), 200, Navik::kFileFormatTIFF, 8, "upright.tif"},
    };
    for (const auto& file : files) {
        SPatternFile options;
        options.format = file.format;
        options.orientation = file.orientation;
        const QImage pixels = soakPixels(file.size, file.blue);
        const QString path = m_dir.filePath(file.name);
        QVERIFY(writeImageFile(path, pixels, options));
        m_pictures << SoakPicture{pixels, path, file.blue};
    }
}

void TestProcessEngineSoak::cleanupTestCase()
{
    Navik::Engine::Finalize();
}

void TestProcessEngineSoak::warmUp(CProcessEngine& engine)
{
    QVERIFY(engine.openImage(imageInMemory(320, 240)));
    engine.forceProcessImage();
    engine.processHiResImage(false, "left", QRect(0, 0, 300, 300));
    engine.processLoupeRect(true, QRect(10, 10, 100, 100));
    engine.createSnaphot("A");
    engine.createImageForSnapshot("A");
    engine.processResultImageForPrinting(2, 2, "in", 100);
    engine.getHistogramData(false);
    QVERIFY(engine.saveOpenedFileSync(m_dir.filePath("warm-up.jpg"), 85, false, true, Navik::kFileFormatJPEG));
    QVERIFY(engine.processOpenedImageForPS());
    QVERIFY(waitUntilEngineIdle(engine));
    engine.resetBeforeOpen();
    QVERIFY(waitUntilEngineIdle(engine));
}

void TestProcessEngineSoak::franticUser_data()
{
    QTest::addColumn<quint64>("seed");
    QTest::addColumn<int>("steps");
    QTest::addColumn<int>("seconds");
    for (const SoakSettings& run : soakRuns())
        QTest::addRow("seed %llu", run.seed) << run.seed << run.steps << run.seconds;
}

void TestProcessEngineSoak::franticUser()
{
    QFETCH(quint64, seed);
    QFETCH(int, steps);
    QFETCH(int, seconds);
    const SoakSettings settings{seed, steps, seconds};
    qInfo("Seed %llu (QUILLET_SOAK_SEED replays it), at most %d steps in %d s", settings.seed, settings.steps,
          settings.seconds);

    CProcessEngine engine;
    warmUp(engine);
    const MemoryMeasure closed = measureMemory();

    // Should a wait never end, the test would hang inside it: fail instead.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, this, [&settings] {
        qFatal("The soak did not come to an end: a request never ended (seed %llu)", settings.seed);
    });
    watchdog.start((settings.seconds + 2 * renderTimeout / 1000) * 1000);

    QList<int> blues;
    for (const SoakPicture& picture : std::as_const(m_pictures))
        blues << picture.blue;
    {
        EngineWatch watch(engine, blues);
        FranticUser user(engine, watch, m_pictures, settings, m_dir.path());
        user.start();
        QVERIFY(QTest::qWaitFor([&user] { return user.isDone(); }, (settings.seconds + 60) * 1000));

        // Every request ends: the queue empties, the pool goes idle, and every
        // save and turn asked for has been answered.
        QVERIFY(waitUntilEngineIdle(engine));
        qInfo("%d steps (QUILLET_SOAK_STEPS replays them), %d nested at most, %d pictures opened, synchronous "
              "saves: %d saved, %d not; the engine said: %s",
              user.stepsTaken(), user.deepestNesting(), user.opens(), user.savesSucceeded(), user.savesFailed(),
              qPrintable(watch.summary()));
        QVERIFY(!watch.isRendering());
        QCOMPARE(watch.savesWaiting(), 0);
        QCOMPARE(watch.turnsWaiting(), 0);

        // The last previews are those of the final parameters, once the
        // engine rests (a preview of one side may change the size the other
        // side's keystoning points are checked against: twice).
        for (int round = 0; round < 2; ++round) {
            user.settle();
            QVERIFY(waitUntilEngineIdle(engine));
        }
        for (const bool initial : {false, true}) {
            QSize fullSize;
            const QImage fresh = freshPreview(engine, initial, &fullSize);
            const QImage& last = watch.lastPreview(initial);
            QVERIFY(!fresh.isNull());
            QCOMPARE(last.size(), fresh.size());
            QCOMPARE(initial ? engine.getCashedSizeOfProcessedInitialImage()
                             : engine.getCashedSizeOfProcessedResultImage(),
                     fullSize);
            QVERIFY2(largestDifference(last, fresh) <= 1, initial ? "before image" : "after image");
        }
        watch.forgetPreviews();

        // Closed, the picture hears nothing more.
        engine.resetBeforeOpen();
        watch.pictureClosed();
        QTest::qWait(300);
        QVERIFY2(watch.problems().isEmpty(), qPrintable(watch.problems().join("\n")));
    }
    QVERIFY(waitUntilEngineIdle(engine));

    // What the pictures took is given back. The framework's large buffers
    // are mapped outside the heap: those kept for reuse are its own cache,
    // bounded by its limit. The resident size is only told: under
    // AddressSanitizer it holds freed memory in quarantine.
    const MemoryMeasure after = measureMemory();
    const qint64 heapGrowth = after.heapBytes - closed.heapBytes;
    qInfo("Closed: heap %s, resident %s, tile pool %s, recycled buffers %s; after the soak: heap %s, resident %s, "
          "tile pool %s, recycled buffers %s",
          qPrintable(megabytes(closed.heapBytes)), qPrintable(megabytes(closed.residentBytes)),
          qPrintable(megabytes(qint64(closed.pools.tilePoolBytes))),
          qPrintable(megabytes(qint64(closed.pools.algorithmPoolBytes))), qPrintable(megabytes(after.heapBytes)),
          qPrintable(megabytes(after.residentBytes)), qPrintable(megabytes(qint64(after.pools.tilePoolBytes))),
          qPrintable(megabytes(qint64(after.pools.algorithmPoolBytes))));
    QCOMPARE(after.pools.tilePoolBytes, closed.pools.tilePoolBytes);
    QVERIFY(after.pools.algorithmPoolBytes <= algorithmPoolBytes);
    // Less than the smallest photograph.
    constexpr qint64 heapTolerance = qint64(1) << 20;
    QVERIFY2(heapGrowth < heapTolerance, qPrintable("the heap grew by " + megabytes(heapGrowth)));
}

QTEST_MAIN(TestProcessEngineSoak)
#include "tst_processenginesoak.moc"
