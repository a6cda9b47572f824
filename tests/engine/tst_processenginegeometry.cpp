// Point projection between the opened photograph and the rendered before and
// after pictures, the border point, the keystoning on pictures that their
// orientation tag turns, and the camera's field of view.

#include "EngineTestSupport.h"
#include "RecordingLogger.h"

#include "engine/CProcessEngine.h"
#include "engine/EngineParameterKeys.h"
#include "engine/ImageConversion.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <functional>

namespace Keys = EngineParameterKeys;

namespace {

enum Space
{
    Input,
    Before,
    After,
};

// Dots of pure red, green and blue on grey, 7 pixels wide, centred here.
const std::array<QPointF, 3> dotCentres = {QPointF(100.5, 80.5), QPointF(450.5, 90.5), QPointF(140.5, 300.5)};
const std::array<QColor, 3> dotColors = {QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255)};

QImage dotsImage()
{
    QImage image(600, 400, QImage::Format_RGB888);
    image.fill(QColor(128, 128, 128));
    QPainter painter(&image);
    for (std::size_t i = 0; i < dotCentres.size(); ++i)
        painter.fillRect(QRectF(dotCentres[i] - QPointF(3.5, 3.5), QSizeF(7, 7)), dotColors[i]);
    return image;
}

// The centre of a rendered dot: the centroid of how much each pixel is of
// the dot's colour rather than the grey (which blends linearly).
QPointF dotCentre(const QImage& picture, int dot)
{
    const auto strength = [dot](const QColor& color) {
        const int channels[] = {color.red(), color.green(), color.blue()};
        const int own = channels[dot];
        const int others = channels[(dot + 1) % 3] + channels[(dot + 2) % 3];
        return std::max(0.0, own - others / 2.0);
    };
    double sum = 0.0;
    QPointF weighted;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const double s = strength(picture.pixelColor(x, y));
            sum += s;
            weighted += s * QPointF(x + 0.5, y + 0.5);
        }
    }
    return sum > 0 ? weighted / sum : QPointF(-1, -1);
}

bool pointsClose(const QPointF& a, const QPointF& b, double tolerance)
{
    return std::abs(a.x() - b.x()) <= tolerance && std::abs(a.y() - b.y()) <= tolerance;
}

QString text(const QPointF& point)
{
    return QString("(%1, %2)").arg(point.x()).arg(point.y());
}

// The after picture of a keystoning correction: the preview and the size of
// the full-resolution result.
struct SKeystoned
{
    QImage preview;
    QSize size;
};

// Opens a photograph and corrects it as the keystoning module and its sliders
// do: the points are given on the picture as shown (fractions of it, in the
// module's order) and projected onto the opened pixels; without points the
// sliders tilt the camera.
SKeystoned keystoned(const QString& path, const QString& mode, const QVector<QPointF>& shownPoints)
{
    CProcessEngine engine;
    if (!engine.openFile(path))
        return {};
    QImage after;
    QObject::connect(&engine, &CProcessEngine::loResResultImageProcessed,
                     [&](PixelDataPtr pixels) { after = pixelDataToQImage(pixels).copy(); });
    engine.forceProcessImage();
    if (!waitUntilEngineIdle(engine))
        return {};
    const QSize shown = engine.getSizeOfProcessedInitialImage();
    const QSize original = engine.getOriginalImageSize();
    QVector<QPointF> onShown;
    for (const QPointF& point : shownPoints)
        onShown << QPointF(point.x() * shown.width(), point.y() * shown.height());
    QVector<QPointF> normalised;
    for (const QPointF& point : engine.projectPoints(onShown, 2))
        normalised << QPointF(point.x() / original.width(), point.y() / original.height());

    engine.onCEPropertyBoolChanged(Keys::KeystoningActive, true);
    if (shownPoints.isEmpty()) {
        engine.onCEPropertyIntChanged(Keys::KeystoningUpDown, 60);
        engine.onCEPropertyIntChanged(Keys::KeystoningLeftRight, -40);
        engine.onCEPropertyIntChanged(Keys::KeystoningHVRatio, 30);
    } else {
        engine.onCEPropertyStringChanged(Keys::KeystoningMode, mode);
        engine.setNormolizedKeystoningPointsOnOriginalImage(normalised);
    }
    if (!waitUntilEngineIdle(engine))
        return {};
    return {after, engine.getSizeOfProcessedResultImage()};
}

// The mean difference of two pictures of one size, in levels per channel.
double meanDifference(const QImage& a, const QImage& b)
{
    qint64 sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar* rowA = a.constScanLine(y);
        const uchar* rowB = b.constScanLine(y);
        for (int i = 0; i < a.width() * 3; ++i)
            sum += std::abs(int(rowA[i]) - int(rowB[i]));
    }
    return double(sum) / (3.0 * a.width() * a.height());
}

} // namespace

class TestProcessEngineGeometry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void projectionMatchesRenderedDots_data();
    void projectionMatchesRenderedDots();
    void projectionWithoutATargetOrAMode();
    void projectionWithAndWithoutCorrections();
    void projectionOnAMirroredPicture_data();
    void projectionOnAMirroredPicture();
    void borderIntersection_data();
    void borderIntersection();
    void keystoningOnATurnedPicture_data();
    void keystoningOnATurnedPicture();
    void fieldOfView_data();
    void fieldOfView();

private:
    QTemporaryDir m_dir;
    RecordingLogger* m_logger = nullptr;
    // The dots turned a quarter and tilted, with where they were drawn in
    // each space.
    std::unique_ptr<CProcessEngine> m_corrected;
    std::array<std::array<QPointF, 3>, 3> m_dots;
    // The keystoning of the upright picture, by correction.
    QHash<QString, SKeystoned> m_uprightKeystoned;
};

void TestProcessEngineGeometry::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_logger = &RecordingLogger::install();

    m_corrected = std::make_unique<CProcessEngine>();
    CProcessEngine& engine = *m_corrected;
    QVERIFY(engine.openImage(std::make_shared<CNavikImageProxy>(dotsImage(), true, false)));
    engine.rotateImageFromInitialState(RotationDirections::Rotation90);
    engine.onCEPropertyBoolChanged(Keys::KeystoningActive, true);
    engine.onCEPropertyFloatChanged(Keys::KeystoningUpDown, 60.0f);
    engine.onCEPropertyFloatChanged(Keys::KeystoningHorizon, 4.0f);
    QImage before;
    QImage after;
    connect(&engine, &CProcessEngine::loResInitialImageProcessed, this,
            [&](PixelDataPtr pixels) { before = pixelDataToQImage(pixels).copy(); });
    connect(&engine, &CProcessEngine::loResResultImageProcessed, this,
            [&](PixelDataPtr pixels) { after = pixelDataToQImage(pixels).copy(); });
    QVERIFY(waitUntilEngineIdle(engine));
    disconnect(&engine, nullptr, this, nullptr);
    QCOMPARE(before.size(), QSize(400, 600));
    QVERIFY(after.size() != before.size());

    for (int dot = 0; dot < 3; ++dot) {
        m_dots[Input][dot] = dotCentres[dot];
        m_dots[Before][dot] = dotCentre(before, dot);
        m_dots[After][dot] = dotCentre(after, dot);
    }
}

void TestProcessEngineGeometry::cleanupTestCase()
{
    m_corrected.reset();
}

void TestProcessEngineGeometry::init()
{
    m_logger->clear();
}

// ---------------------------------------------------------------- projection

void TestProcessEngineGeometry::projectionMatchesRenderedDots_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("inverse");

    QTest::newRow("0 before to after") << 0 << int(Before) << int(After) << 1;
    QTest::newRow("1 after to before") << 1 << int(After) << int(Before) << 0;
    QTest::newRow("2 before to input") << 2 << int(Before) << int(Input) << 3;
    QTest::newRow("3 input to before") << 3 << int(Input) << int(Before) << 2;
    QTest::newRow("4 after to input") << 4 << int(After) << int(Input) << 5;
    QTest::newRow("5 input to after") << 5 << int(Input) << int(After) << 4;
}

void TestProcessEngineGeometry::projectionMatchesRenderedDots()
{
    QFETCH(int, mode);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, inverse);
    CProcessEngine& engine = *m_corrected;

    const QVector<QPointF> given(m_dots[from].begin(), m_dots[from].end());
    const QVector<QPointF> projected = engine.projectPoints(given, mode);
    QCOMPARE(projected.size(), given.size());
    for (int dot = 0; dot < 3; ++dot) {
        // A handle drawn at the projected point sits on the rendered dot.
        QVERIFY2(pointsClose(projected[dot], m_dots[to][dot], 0.2),
                 qPrintable(QString("dot %1: %2, drawn at %3").arg(dot).arg(text(projected[dot]), text(m_dots[to][dot]))));
        QCOMPARE(engine.projectPoint(given[dot], mode), projected[dot]);
        // And back where it came from.
        const QPointF back = engine.projectPoint(projected[dot], inverse);
        QVERIFY2(pointsClose(back, given[dot], 0.01), qPrintable(text(back) + " from " + text(given[dot])));
    }
}

void TestProcessEngineGeometry::projectionWithoutATargetOrAMode()
{
    const QVector<QPointF> points = {{10.0, 20.0}, {-5.0, 300.0}};
    CProcessEngine engine;
    QCOMPARE(engine.getOriginalImageSize(), QSize(-1, -1));
    QCOMPARE(engine.projectPoints(points, 4), points);
    QCOMPARE(engine.getImageBorderIntersection(QPointF(-30, 40)), QPointF(-30, 40));

    // Before the first render of a side there is nothing to project through.
    QVERIFY(engine.openImage(imageInMemory(120, 80)));
    QCOMPARE(engine.getOriginalImageSize(), QSize(120, 80));
    engine.onCEPropertyBoolChanged(Keys::CropActive, true);
    engine.onCEPropertyBoolChanged(Keys::CropAuto, false);
    engine.onCEPropertyValueArrayChanged(Keys::CropRect, Navik::ValueArray{0.25, 0.25, 0.5, 0.5});
    QCOMPARE(engine.projectPoints(points, 4), points);
    QCOMPARE(engine.projectPoints({}, 5), QVector<QPointF>());

    // A mode that names no projection leaves the points and reports the mistake.
    QVERIFY(waitUntilEngineIdle(engine));
    QCOMPARE(engine.projectPoint(points[0], 4), points[0] + QPointF(30, 20));
    for (const int mode : {-1, 6}) {
        m_logger->clear();
        QCOMPARE(engine.projectPoints(points, mode), points);
        QCOMPARE(engine.projectPoint(points[0], mode), points[0]);
        QVERIFY(m_logger->linesAt('E').value(0).startsWith("ASSERT_X in "));
    }
}

void TestProcessEngineGeometry::projectionOnAMirroredPicture_data()
{
    QTest::addColumn<unsigned int>("orientation");
    for (const unsigned int orientation : {2u, 4u, 5u, 7u})
        QTest::addRow("%u", orientation) << orientation;
}

void TestProcessEngineGeometry::projectionOnAMirroredPicture()
{
    QFETCH(unsigned int, orientation);
    const QString path = m_dir.filePath(QString("mirrored-%1.tif").arg(orientation));
    SPatternFile options;
    options.format = Navik::kFileFormatTIFF;
    options.orientation = orientation;
    QVERIFY(writeImageFile(path, storedForOrientation(dotsImage(), orientation), options));

    CProcessEngine engine;
    QVERIFY(engine.openFile(path));
    QImage before;
    connect(&engine, &CProcessEngine::loResInitialImageProcessed, this,
            [&](PixelDataPtr pixels) { before = pixelDataToQImage(pixels).copy(); });
    engine.processLoResInitialImage();
    QVERIFY(waitUntilEngineIdle(engine));
    disconnect(&engine, nullptr, this, nullptr);
    QCOMPARE(before.size(), QSize(600, 400));
    const QImage input = engine.openedImage()->toQImage();

    for (int dot = 0; dot < 3; ++dot) {
        // The user sees the dot where it was drawn, not mirrored.
        const QPointF seen = dotCentre(before, dot);
        QVERIFY2(pointsClose(seen, dotCentres[dot], 0.2), qPrintable(text(seen)));
        // A point put on it there is on the dot in the opened pixels, and back.
        const QPointF opened = engine.projectPoint(seen, 2);
        QVERIFY2(colorsClose(input.pixelColor(opened.toPoint()), dotColors[dot]),
                 qPrintable(QString("dot %1 projected to %2").arg(dot).arg(text(opened))));
        QVERIFY2(pointsClose(engine.projectPoint(opened, 3), seen, 0.01), qPrintable(text(opened)));
    }
}

void TestProcessEngineGeometry::projectionWithAndWithoutCorrections()
{
    CProcessEngine engine;
    QVERIFY(engine.openImage(imageInMemory(600, 400)));
    engine.onCEPropertyBoolChanged(Keys::DistortionActive, true);
    engine.onCEPropertyStringChanged(Keys::DistortionType, "Barrel");
    engine.onCEPropertyFloatChanged(Keys::DistortionIntensity, 100.0f);
    QVERIFY(waitUntilEngineIdle(engine));

    // The barrel correction moves a point off the centre.
    const QPointF corner(40.0, 30.0);
    const QPointF corrected = engine.projectPoint(corner, 5);
    QVERIFY2(!pointsClose(corrected, corner, 1.0), qPrintable(text(corrected)));
    QVERIFY(pointsClose(engine.projectPointWithCorrections(corner, 5, CorrectionTypes::Distortion), corrected, 1e-3));
    QVERIFY(pointsClose(engine.projectPointWithoutCorrections(corner, 5, CorrectionTypes::Distortion), corner, 1e-3));
    QVERIFY(pointsClose(engine.projectPointWithCorrections(corner, 5, CorrectionTypes::Anamorphosis), corner, 1e-3));
    QVERIFY(pointsClose(engine.projectPointWithoutCorrections(corner, 5, CorrectionTypes::Anamorphosis), corrected,
                        1e-3));
    const QVector<QPointF> vectorForm =
        engine.projectPointsWithoutCorrections({corner, corrected}, 4, CorrectionTypes::Anamorphosis);
    QVERIFY(pointsClose(vectorForm.value(1), corner, 1e-2));
}

// ---------------------------------------------------------------- border

void TestProcessEngineGeometry::borderIntersection_data()
{
    QTest::addColumn<bool>("turned");
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<QPointF>("border");

    // The picture is 200 x 100.
    QTest::newRow("inside") << false << QPointF(50, 50) << QPointF(50, 50);
    QTest::newRow("on the left edge") << false << QPointF(0, 30) << QPointF(0, 30);
    QTest::newRow("on the corner") << false << QPointF(200, 100) << QPointF(200, 100);
    QTest::newRow("3 px to the left") << false << QPointF(-3, 40) << QPointF(0, 40);
    QTest::newRow("30 px to the left") << false << QPointF(-30, 40) << QPointF(0, 40);
    QTest::newRow("30 px above") << false << QPointF(120, -30) << QPointF(120, 0);
    QTest::newRow("20 px to the right") << false << QPointF(220, 50) << QPointF(200, 50);
    QTest::newRow("beyond the top-left corner") << false << QPointF(-10, -10) << QPointF(0, 0);
    QTest::newRow("beyond the bottom-right corner") << false << QPointF(220, 130) << QPointF(200, 100);
    // Turned a quarter, the after picture is 100 x 200: its left edge is the
    // photograph's bottom, its top the photograph's left.
    QTest::newRow("turned: 30 px to the left") << true << QPointF(-30, 50) << QPointF(0, 50);
    QTest::newRow("turned: 20 px above") << true << QPointF(50, -20) << QPointF(50, 0);
}

void TestProcessEngineGeometry::borderIntersection()
{
    QFETCH(bool, turned);
    QFETCH(QPointF, point);
    QFETCH(QPointF, border);
    CProcessEngine engine;
    QVERIFY(engine.openImage(imageInMemory(200, 100)));
    if (turned)
        engine.rotateImageFromInitialState(RotationDirections::Rotation90);
    else
        engine.processLoResResultImage();
    QVERIFY(waitUntilEngineIdle(engine));

    const QPointF result = engine.getImageBorderIntersection(point);
    QVERIFY2(pointsClose(result, border, 1e-3), qPrintable(text(result)));
}

// ---------------------------------------------------------------- keystoning

void TestProcessEngineGeometry::keystoningOnATurnedPicture_data()
{
    QTest::addColumn<unsigned int>("orientation");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QVector<QPointF>>("points"); // on the picture as shown; none: the sliders

    // Each in the order the keystoning module sends: the corners LeftTop,
    // LeftBottom, RightBottom, RightTop; for horizontal lines LeftTop,
    // RightTop, RightBottom, LeftBottom; for eight points the left and right
    // lines, then the bottom and top ones.
    const QVector<QPointF> rectangle = {{0.2, 0.15}, {0.1, 0.85}, {0.9, 0.8}, {0.75, 0.2}};
    const QVector<QPointF> vertical = {{0.3, 0.2}, {0.2, 0.8}, {0.8, 0.8}, {0.7, 0.2}};
    const QVector<QPointF> horizontal = {{0.2, 0.3}, {0.8, 0.2}, {0.8, 0.8}, {0.2, 0.7}};
    const QVector<QPointF> eightPoints = {{0.25, 0.2}, {0.2, 0.8},  {0.8, 0.8},  {0.72, 0.2},
                                          {0.85, 0.7}, {0.15, 0.8}, {0.8, 0.25}, {0.2, 0.2}};
    for (unsigned int orientation = 1; orientation <= 8; ++orientation) {
        QTest::addRow("%u, rectangle", orientation) << orientation << "Rectangle" << rectangle;
        QTest::addRow("%u, vertical lines", orientation) << orientation << "Parallel" << vertical;
        QTest::addRow("%u, horizontal lines", orientation) << orientation << "Parallel" << horizontal;
        QTest::addRow("%u, eight points", orientation) << orientation << "FourLines" << eightPoints;
        QTest::addRow("%u, sliders", orientation) << orientation << QString() << QVector<QPointF>();
    }
}

void TestProcessEngineGeometry::keystoningOnATurnedPicture()
{
    // Whatever the tag asks the engine to turn, the correction is the one the
    // user asked for on the picture as shown: the result is that of the same
    // picture stored upright.
    QFETCH(unsigned int, orientation);
    QFETCH(QString, mode);
    QFETCH(QVector<QPointF>, points);
    const QImage shown = patternImage(160, 120);
    SPatternFile options;
    options.format = Navik::kFileFormatTIFF;
    options.focalLength35mm = 35;
    const QString upright = m_dir.filePath("keystoning-upright.tif");
    if (!QFile::exists(upright))
        QVERIFY(writeImageFile(upright, shown, options));
    const QString path = m_dir.filePath(QString("keystoning-%1.tif").arg(orientation));
    options.orientation = orientation;
    QVERIFY(writeImageFile(path, storedForOrientation(shown, orientation), options));

    // The upright picture's result, once for each correction.
    const QString correction = QString(QTest::currentDataTag()).section(", ", 1);
    if (!m_uprightKeystoned.contains(correction))
        m_uprightKeystoned.insert(correction, keystoned(upright, mode, points));
    const SKeystoned expected = m_uprightKeystoned.value(correction);
    const SKeystoned result = keystoned(path, mode, points);
    QVERIFY(!expected.preview.isNull());
    QVERIFY(!result.preview.isNull());
    QVERIFY2(expected.size != shown.size(), "the correction changes nothing");
    QCOMPARE(result.size, expected.size);
    QCOMPARE(result.preview.size(), expected.preview.size());
    const double difference = meanDifference(result.preview, expected.preview);
    QVERIFY2(difference < 0.5, qPrintable(QString("the pictures differ by %1 levels on average").arg(difference)));
}

// ---------------------------------------------------------------- field of view

void TestProcessEngineGeometry::fieldOfView_data()
{
    QTest::addColumn<unsigned int>("focalLength35mm");
    QTest::addColumn<bool>("wellEstimated");
    QTest::addColumn<bool>("wide");

    QTest::newRow("no focal data") << 0u << false << false;
    QTest::newRow("100 mm: 20 degrees") << 100u << true << false;
    QTest::newRow("24 mm: 72 degrees") << 24u << true << true;
}

void TestProcessEngineGeometry::fieldOfView()
{
    QFETCH(unsigned int, focalLength35mm);
    QFETCH(bool, wellEstimated);
    const QString path = m_dir.filePath(QString("focal-%1.jpg").arg(focalLength35mm));
    SPatternFile file;
    file.focalLength35mm = focalLength35mm;
    QVERIFY(writePatternFile(path, 64, 48, file));

    CProcessEngine engine;
    QVERIFY(!engine.isFieldOfViewWellEstimated());
    QVERIFY(!engine.isWideFieldOfView());
    engine.removeCameraProfile();
    QVERIFY(!engine.hasTasksForProcessing());

    QVERIFY(engine.openFile(path));
    QTEST(engine.isFieldOfViewWellEstimated(), "wellEstimated");
    QTEST(engine.isWideFieldOfView(), "wide");

    // Dropping the camera's profile renders the after picture again, once.
    engine.removeCameraProfile();
    QCOMPARE(engine.hasTasksForProcessing(), wellEstimated);
    QVERIFY(waitUntilEngineIdle(engine));
    engine.removeCameraProfile();
    QVERIFY(!engine.hasTasksForProcessing());
}

QTEST_MAIN(TestProcessEngineGeometry)
#include "tst_processenginegeometry.moc"
