// The largest inscribed rectangle, the automatic crop of a corrected image and
// the manual crop's pull onto the outline.

#include "GeometryTestSupport.h"

#include <Navik/Geometry/AutoCrop.h>
#include <Navik/Geometry/CorrectionChain.h>

#include <QtTest>

#include <random>

using namespace GeometryTest;

Q_DECLARE_METATYPE(Navik::Geometry::Polygon)
Q_DECLARE_METATYPE(Navik::Geometry::RectF)

namespace {

// The rectangle with the same centre, grown by the given amount on every side.
RectF Grown(const RectF& r, double margin)
{
    return {r.left - margin, r.top - margin, r.width + 2 * margin, r.height + 2 * margin};
}

bool ContainsPoint(const Polygon& convex, Point p)
{
    const double orientation = std::copysign(1.0, [&] {
        double area = 0;
        for (size_t i = 0; i < convex.size(); ++i)
            area += convex[i].x * convex[(i + 1) % convex.size()].y - convex[(i + 1) % convex.size()].x * convex[i].y;
        return area;
    }());
    for (size_t i = 0; i < convex.size(); ++i) {
        const Point a = convex[i], b = convex[(i + 1) % convex.size()];
        if (orientation * ((b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x)) < 0)
            return false;
    }
    return true;
}

// The largest area a brute-force search finds: centres on a grid, each grown
// by bisection while its corners stay inside, for each of the ratios tried.
double BruteForceArea(const Polygon& convex, const std::vector<double>& ratios)
{
    double left = 1e18, right = -1e18, top = 1e18, bottom = -1e18;
    for (const Point& p : convex) {
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    double best = 0;
    constexpr int kGrid = 40;
    for (double ratio : ratios)
        for (int i = 1; i < kGrid; ++i)
            for (int j = 1; j < kGrid; ++j) {
                const Point c{left + (right - left) * i / kGrid, top + (bottom - top) * j / kGrid};
                if (!ContainsPoint(convex, c))
                    continue;
                double low = 0, high = bottom - top;
                for (int step = 0; step < 40; ++step) {
                    const double h = 0.5 * (low + high), w = ratio * h;
                    const bool inside = ContainsPoint(convex, {c.x - w / 2, c.y - h / 2}) && ContainsPoint(convex, {c.x + w / 2, c.y - h / 2}) &&
                                        ContainsPoint(convex, {c.x + w / 2, c.y + h / 2}) && ContainsPoint(convex, {c.x - w / 2, c.y + h / 2});
                    (inside ? low : high) = h;
                }
                best = std::max(best, ratio * low * low);
            }
    return best;
}

// A convex polygon: points on a ellipse at random angles, in random order of
// orientation.
Polygon RandomConvexPolygon(std::mt19937& random, bool clockwise)
{
    std::uniform_real_distribution<double> angle(0.0, 2 * kPi);
    std::uniform_int_distribution<int> count(3, 9);
    std::vector<double> angles(count(random));
    for (double& a : angles)
        a = angle(random);
    std::sort(angles.begin(), angles.end());
    Polygon polygon;
    for (double a : angles)
        polygon.push_back({400 + 350 * std::cos(a), 300 + 180 * std::sin(a)});
    if (clockwise)
        std::reverse(polygon.begin(), polygon.end());
    return polygon;
}

// Horizon and slider tilts on a wide-angle photograph: a slanted, tapering outline.
CorrectionParameters KeystonedParameters(double cropRatio, int rotation)
{
    CorrectionParameters parameters;
    parameters.keystoningActive = true;
    parameters.keystoningHorizon = 9;
    parameters.keystoningUpDown = 70;
    parameters.keystoningLeftRight = -30;
    parameters.cropRatio = cropRatio;
    parameters.outputRotation = rotation;
    return parameters;
}

CorrectionChain Build(const CorrectionParameters& parameters)
{
    CameraData camera;
    camera.focalLength35mm = 24;
    return CorrectionChain::Build(parameters, {4000, 3000}, camera);
}

RectF InCanvasPixels(const RectF& fractions, Size canvas)
{
    return {fractions.left * canvas.width, fractions.top * canvas.height, fractions.width * canvas.width,
            fractions.height * canvas.height};
}

} // namespace

class TestGeometryCrop : public QObject
{
    Q_OBJECT

private slots:
    void largestRectangleInKnownShapes_data();
    void largestRectangleInKnownShapes();
    void largestRectangleMatchesBruteForce();
    void degeneratePolygonsGiveNothing();
    void autoCropTouchesTheOutlineFromInside_data();
    void autoCropTouchesTheOutlineFromInside();
    void manualCropSnapsOntoTheOutline_data();
    void manualCropSnapsOntoTheOutline();
    void fixedRatioCropIsRoundedAsAWhole_data();
    void fixedRatioCropIsRoundedAsAWhole();
};

void TestGeometryCrop::largestRectangleInKnownShapes_data()
{
    QTest::addColumn<Polygon>("polygon");
    QTest::addColumn<double>("ratio");
    QTest::addColumn<RectF>("expected");

    const Polygon rectangle{{0, 0}, {600, 0}, {600, 400}, {0, 400}};
    const Polygon diamond{{0, -100}, {100, 0}, {0, 100}, {-100, 0}};
    // Top 100 wide, bottom 400 wide, 300 high: the best rectangle stands on
    // the bottom, 200 x 200, starting 100 below the top.
    const Polygon trapezoid{{150, 0}, {250, 0}, {400, 300}, {0, 300}};

    QTest::newRow("rectangle, free") << rectangle << -1.0 << RectF{0, 0, 600, 400};
    QTest::newRow("rectangle, square") << rectangle << 1.0 << RectF{100, 0, 400, 400};
    QTest::newRow("rectangle, tall") << rectangle << 0.5 << RectF{200, 0, 200, 400};
    QTest::newRow("diamond, free") << diamond << -1.0 << RectF{-50, -50, 100, 100};
    QTest::newRow("diamond, 2:1") << diamond << 2.0 << RectF{-200.0 / 3, -100.0 / 3, 400.0 / 3, 200.0 / 3};
    QTest::newRow("trapezoid, free") << trapezoid << -1.0 << RectF{100, 100, 200, 200};
    QTest::newRow("trapezoid, reversed order") << Polygon(trapezoid.rbegin(), trapezoid.rend()) << -1.0 << RectF{100, 100, 200, 200};
}

void TestGeometryCrop::largestRectangleInKnownShapes()
{
    QFETCH(Polygon, polygon);
    QFETCH(double, ratio);
    QFETCH(RectF, expected);

    const auto rect = LargestInscribedRectangle(polygon, ratio);
    QVERIFY(rect);
    const double tolerance = 1e-6 * std::max(expected.width, expected.height);
    QVERIFY2(std::abs(rect->left - expected.left) < tolerance && std::abs(rect->top - expected.top) < tolerance &&
                 std::abs(rect->width - expected.width) < tolerance && std::abs(rect->height - expected.height) < tolerance,
             qPrintable(QString("got %1 %2 %3 %4").arg(rect->left).arg(rect->top).arg(rect->width).arg(rect->height)));
}

void TestGeometryCrop::largestRectangleMatchesBruteForce()
{
    std::mt19937 random(7);
    for (int round = 0; round < 6; ++round) {
        const Polygon polygon = RandomConvexPolygon(random, round % 2 == 1);
        for (double ratio : {-1.0, 0.6, 1.8}) {
            const auto rect = LargestInscribedRectangle(polygon, ratio);
            QVERIFY(rect);
            QVERIFY(DistanceOutside(*rect, polygon) < 1e-6);
            if (ratio > 0)
                QVERIFY(std::abs(rect->width / rect->height - ratio) < 1e-9);
            std::vector<double> ratios{ratio};
            if (ratio < 0)
                for (int i = 0; i <= 24; ++i)
                    ratios.push_back(std::exp(-2.5 + 5.0 * i / 24));
            // The brute force only finds less; the solver must not find much less.
            const double area = rect->width * rect->height;
            QVERIFY2(area >= BruteForceArea(polygon, ratios) * (1 - 1e-9),
                     qPrintable(QString("round %1, ratio %2").arg(round).arg(ratio)));
        }
    }
}

void TestGeometryCrop::degeneratePolygonsGiveNothing()
{
    QVERIFY(!LargestInscribedRectangle({}, -1));
    QVERIFY(!LargestInscribedRectangle({{0, 0}, {10, 10}}, -1));
    QVERIFY(!LargestInscribedRectangle({{0, 0}, {10, 10}, {20, 20}}, 1.5));
    QVERIFY(!LargestInscribedRectangle({{0, 0}, {10, 0}, {qQNaN(), 5}}, -1));
}

void TestGeometryCrop::autoCropTouchesTheOutlineFromInside_data()
{
    QTest::addColumn<double>("cropRatio");
    QTest::addColumn<int>("rotation");

    QTest::newRow("free") << -1.0 << 0;
    QTest::newRow("3:2") << 1.5 << 0;
    QTest::newRow("portrait 3:4") << 0.75 << 0;
    QTest::newRow("3:2 on a quarter turn") << 1.5 << 1;
    QTest::newRow("square, half turn") << 1.0 << 2;
}

void TestGeometryCrop::autoCropTouchesTheOutlineFromInside()
{
    QFETCH(double, cropRatio);
    QFETCH(int, rotation);

    const CorrectionChain chain = Build(KeystonedParameters(cropRatio, rotation));
    const RectF crop = InCanvasPixels(chain.CropRectAuto(), chain.CanvasSize());
    QVERIFY(DistanceOutside(crop, chain.CorrectedOutline()) < 1e-6);
    QVERIFY2(DistanceOutside(Grown(crop, 0.5), chain.CorrectedOutline()) > 0, "half a pixel more would still fit");
    if (cropRatio > 0) {
        const double displayed = rotation % 2 == 1 ? crop.height / crop.width : crop.width / crop.height;
        QVERIFY(std::abs(displayed - cropRatio) < 1e-9);
    }
}

void TestGeometryCrop::manualCropSnapsOntoTheOutline_data()
{
    QTest::addColumn<double>("overshoot");
    QTest::addColumn<bool>("snaps");

    // The rectangle is the automatic one grown on every side; its corners then
    // lie up to sqrt(2) times as far outside the slanted edges.
    QTest::newRow("inside") << -5.0 << false;
    QTest::newRow("2 px larger") << 2.0 << true;
    QTest::newRow("4 px larger") << 4.0 << true;
    QTest::newRow("10 px larger") << 10.0 << false;
}

void TestGeometryCrop::manualCropSnapsOntoTheOutline()
{
    QFETCH(double, overshoot);
    QFETCH(bool, snaps);

    const CorrectionChain automatic = Build(KeystonedParameters(-1, 0));
    const Size canvas = automatic.CanvasSize();
    const RectF wanted = Grown(InCanvasPixels(automatic.CropRectAuto(), canvas), overshoot);

    CorrectionParameters parameters = KeystonedParameters(-1, 0);
    parameters.cropActive = true;
    parameters.cropAuto = false;
    parameters.cropRect = {wanted.left / canvas.width, wanted.top / canvas.height, wanted.width / canvas.width,
                           wanted.height / canvas.height};
    const CorrectionChain chain = Build(parameters);
    const PixelRect crop = chain.CropPixels();
    const RectF cropped{double(crop.left), double(crop.top), double(crop.width), double(crop.height)};
    if (snaps) {
        QVERIFY(DistanceOutside(cropped, chain.CorrectedOutline()) < 1e-6);
        QVERIFY(cropped.width > wanted.width - 2 * overshoot - 20);
    } else {
        QVERIFY(std::abs(cropped.left - wanted.left) <= 0.5 && std::abs(cropped.right() - wanted.right()) <= 0.5);
        QVERIFY(std::abs(cropped.top - wanted.top) <= 0.5 && std::abs(cropped.bottom() - wanted.bottom()) <= 0.5);
    }
}

void TestGeometryCrop::fixedRatioCropIsRoundedAsAWhole_data()
{
    QTest::addColumn<double>("cropRatio");
    QTest::addColumn<bool>("automatic");
    QTest::addColumn<bool>("keystoned");
    QTest::addColumn<QSize>("expected"); // empty: any size within half a pixel of the ratio

    // A 6000 x 4000 picture without correction; a manual rectangle is the one
    // the crop rectangle fits to the ratio, centred on the picture.
    QTest::newRow("16:9, automatic") << 16.0 / 9 << true << false << QSize(6000, 3375);
    QTest::newRow("4:3, automatic") << 4.0 / 3 << true << false << QSize(5333, 4000);
    QTest::newRow("7:3, automatic") << 7.0 / 3 << true << false << QSize(6000, 2571);
    QTest::newRow("7:3, manual") << 7.0 / 3 << false << false << QSize(6000, 2571);
    QTest::newRow("4:3, manual") << 4.0 / 3 << false << false << QSize(5333, 4000);
    QTest::newRow("16:9, automatic, keystoned") << 16.0 / 9 << true << true << QSize();
    QTest::newRow("7:3, automatic, keystoned") << 7.0 / 3 << true << true << QSize();
    QTest::newRow("2:3, automatic, keystoned") << 2.0 / 3 << true << true << QSize();
}

void TestGeometryCrop::fixedRatioCropIsRoundedAsAWhole()
{
    QFETCH(double, cropRatio);
    QFETCH(bool, automatic);
    QFETCH(bool, keystoned);
    QFETCH(QSize, expected);

    CorrectionParameters parameters = keystoned ? KeystonedParameters(cropRatio, 0) : CorrectionParameters();
    parameters.cropRatio = cropRatio;
    parameters.cropActive = true;
    parameters.cropAuto = automatic;
    const Size picture{6000, 4000};
    if (!automatic) {
        const double width = std::min(1.0, cropRatio * picture.height / picture.width);
        const double height = width * picture.width / cropRatio / picture.height;
        parameters.cropRect = {(1 - width) / 2, (1 - height) / 2, width, height};
    }
    CameraData camera;
    camera.focalLength35mm = 24;
    const CorrectionChain chain = CorrectionChain::Build(parameters, picture, camera);
    const PixelRect crop = chain.CropPixels();
    const QString got = QString("%1 x %2 at %3, %4").arg(crop.width).arg(crop.height).arg(crop.left).arg(crop.top);

    const RectF cropped{double(crop.left), double(crop.top), double(crop.width), double(crop.height)};
    QVERIFY2(DistanceOutside(cropped, chain.CorrectedOutline()) < 1e-6, qPrintable(got));
    if (!expected.isEmpty()) {
        QCOMPARE(QSize(crop.width, crop.height), expected);
        return;
    }
    const double missing =
        std::min(std::abs(crop.height * cropRatio - crop.width), std::abs(crop.width / cropRatio - crop.height));
    QVERIFY2(missing <= 0.5, qPrintable(got));
    // No more than the placement's whole pixel is lost on either side.
    const RectF exact = InCanvasPixels(chain.CropRectAuto(), chain.CanvasSize());
    QVERIFY2(crop.width > exact.width - 2 && crop.height > exact.height - 2, qPrintable(got));
}

QTEST_APPLESS_MAIN(TestGeometryCrop)
#include "tst_geometry_crop.moc"
