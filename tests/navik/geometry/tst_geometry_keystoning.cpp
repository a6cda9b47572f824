// The keystoning and horizon transform: point-based corrections, sliders,
// intensity, horizon, ratio and scale, canvas and the transform-out values.

#include "GeometryTestSupport.h"

#include <Navik/Geometry/CorrectionChain.h>

#include <QtTest>

using namespace GeometryTest;

namespace {

const Size kImage{3000, 2000};
constexpr double kFocal35 = 35.0;

// A facade of the given size, centred in the untilted camera's view, as a
// camera turned by pitch, yaw and roll (degrees) sees its corners:
// LeftTop, LeftBottom, RightBottom, RightTop.
std::vector<Point> FacadeCorners(double width, double height, double pitch, double yaw, double roll)
{
    const double left = 0.5 * (kImage.width - width), top = 0.5 * (kImage.height - height);
    const Point square[] = {{left, top}, {left, top + height}, {left + width, top + height}, {left + width, top}};
    std::vector<Point> corners;
    for (const Point& p : square)
        corners.push_back(TiltedView(p, kImage, FocalPixels(kImage, kFocal35), Radians(pitch), Radians(yaw), Radians(roll)));
    return corners;
}

Point Between(Point a, Point b, double t)
{
    return {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)};
}

// The points a keystoning mode sends for the facade, and which of them form
// the lines that must come out vertical and horizontal.
struct Request
{
    QString mode;
    std::vector<Point> points;
    std::vector<std::pair<Point, Point>> vertical;
    std::vector<std::pair<Point, Point>> horizontal;
};

Request RequestFor(const QString& mode, const std::vector<Point>& c)
{
    if (mode == "ParallelVertical")
        return {"Parallel", c, {{c[0], c[1]}, {c[3], c[2]}}, {}};
    if (mode == "ParallelHorizontal")
        return {"Parallel", {c[0], c[3], c[2], c[1]}, {}, {{c[0], c[3]}, {c[1], c[2]}}};
    if (mode == "Rectangle")
        return {"Rectangle", c, {{c[0], c[1]}, {c[3], c[2]}}, {{c[0], c[3]}, {c[1], c[2]}}};
    // Two points on each side, in the order LeftTop, LeftBottom, RightBottom,
    // RightTop, BottomRight, BottomLeft, TopRight, TopLeft.
    const std::vector<Point> eight{Between(c[0], c[1], 0.2), Between(c[0], c[1], 0.8), Between(c[3], c[2], 0.8),
                                   Between(c[3], c[2], 0.2), Between(c[1], c[2], 0.8), Between(c[1], c[2], 0.2),
                                   Between(c[0], c[3], 0.8), Between(c[0], c[3], 0.2)};
    return {"FourLines", eight, {{eight[0], eight[1]}, {eight[2], eight[3]}}, {{eight[4], eight[5]}, {eight[6], eight[7]}}};
}

CorrectionParameters KeystoningParameters(const Request& request)
{
    CorrectionParameters parameters;
    parameters.keystoningActive = true;
    parameters.keystoningMode = request.mode.toStdString();
    parameters.keystoningPoints = Normalised(request.points, kImage);
    return parameters;
}

CorrectionChain Build(const CorrectionParameters& parameters)
{
    CameraData camera;
    camera.focalLength35mm = kFocal35;
    return CorrectionChain::Build(parameters, kImage, camera);
}

// The module's own undoing of the ratio and scale (the horizon module).
Point UndoRatioAndScale(Point p, double hvRatio, double intensity, double scale)
{
    if (int(hvRatio) == 0 || int(intensity) == 0)
        return p;
    const double b = intensity / 100.0;
    double r = 1.0 + std::abs(hvRatio) / 100.0;
    if (hvRatio < 0)
        r = 1.0 / r;
    const double fx = 100.0 * b / (r * scale) + 1.0 - b;
    const double fy = 100.0 * b / scale + 1.0 - b;
    return {p.x * fx, p.y * fy};
}

} // namespace

class TestGeometryKeystoning : public QObject
{
    Q_OBJECT

private slots:
    void linesBecomeAxisAligned_data();
    void linesBecomeAxisAligned();
    void facadeComesBackInProportion_data();
    void facadeComesBackInProportion();
    void intensityRunsFromNoneToFull();
    void horizonLevelsALineTiltedByItsAngle_data();
    void horizonLevelsALineTiltedByItsAngle();
    void ratioAndScaleAreWhatTheHorizonModuleUndoes_data();
    void ratioAndScaleAreWhatTheHorizonModuleUndoes();
    void slidersTiltTheVirtualCamera();
    void transformOutValuesAreInverseAndMatchTheChain();
    void canvasFollowsCentreAndCap();
    void refusedPointsAreLeftOut();
};

void TestGeometryKeystoning::linesBecomeAxisAligned_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<double>("pitch");
    QTest::addColumn<double>("yaw");
    QTest::addColumn<double>("roll");

    QTest::newRow("parallel verticals, camera looking up") << "ParallelVertical" << 18.0 << 0.0 << 0.0;
    QTest::newRow("parallel verticals, looking down and rolled") << "ParallelVertical" << -22.0 << 0.0 << 4.0;
    QTest::newRow("parallel verticals, already parallel but rolled") << "ParallelVertical" << 0.0 << 0.0 << 6.0;
    QTest::newRow("parallel horizontals, camera turned aside") << "ParallelHorizontal" << 0.0 << 25.0 << 0.0;
    QTest::newRow("four lines") << "FourLines" << 12.0 << -18.0 << 3.0;
    QTest::newRow("four lines, steep") << "FourLines" << 30.0 << 25.0 << 0.0;
    QTest::newRow("rectangle") << "Rectangle" << 10.0 << 20.0 << -5.0;
}

void TestGeometryKeystoning::linesBecomeAxisAligned()
{
    QFETCH(QString, mode);
    QFETCH(double, pitch);
    QFETCH(double, yaw);
    QFETCH(double, roll);

    const Request request = RequestFor(mode, FacadeCorners(900, 700, pitch, yaw, roll));
    const CorrectionChain chain = Build(KeystoningParameters(request));
    QVERIFY(chain.PointCorrectionApplied());
    for (const auto& [a, b] : request.vertical)
        QVERIFY2(std::abs(TiltFromVertical(Mapped(chain, a), Mapped(chain, b))) < 1e-6, "a line is not vertical");
    for (const auto& [a, b] : request.horizontal)
        QVERIFY2(std::abs(TiltFromHorizontal(Mapped(chain, a), Mapped(chain, b))) < 1e-6, "a line is not horizontal");
}

void TestGeometryKeystoning::facadeComesBackInProportion_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<double>("pitch");
    QTest::addColumn<double>("yaw");
    QTest::addColumn<double>("roll");

    QTest::newRow("parallel, camera looking up") << "ParallelVertical" << 800.0 << 800.0 << 20.0 << 0.0 << 0.0;
    QTest::newRow("parallel, looking down") << "ParallelVertical" << 800.0 << 800.0 << -12.0 << 0.0 << 0.0;
    QTest::newRow("parallel horizontals, turned aside") << "ParallelHorizontal" << 800.0 << 800.0 << 0.0 << 22.0 << 0.0;
    QTest::newRow("four lines, tilted every way") << "FourLines" << 800.0 << 800.0 << 15.0 << -20.0 << 5.0;
    QTest::newRow("four lines, wide facade") << "FourLines" << 1200.0 << 600.0 << -10.0 << 25.0 << -3.0;
    QTest::newRow("rectangle, tilted every way") << "Rectangle" << 800.0 << 800.0 << 15.0 << -20.0 << 5.0;
    QTest::newRow("rectangle, tall facade") << "Rectangle" << 500.0 << 1000.0 << 25.0 << 10.0 << 2.0;
}

void TestGeometryKeystoning::facadeComesBackInProportion()
{
    QFETCH(QString, mode);
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(double, pitch);
    QFETCH(double, yaw);
    QFETCH(double, roll);

    const std::vector<Point> corners = FacadeCorners(width, height, pitch, yaw, roll);
    const CorrectionChain chain = Build(KeystoningParameters(RequestFor(mode, corners)));
    std::vector<Point> out;
    for (const Point& c : corners)
        out.push_back(Mapped(chain, c));
    const double outWidth = 0.5 * (Distance(out[0], out[3]) + Distance(out[1], out[2]));
    const double outHeight = 0.5 * (Distance(out[0], out[1]) + Distance(out[3], out[2]));
    const double proportion = (outWidth / outHeight) / (width / height);
    QVERIFY2(std::abs(proportion - 1.0) < 0.01, qPrintable(QString("proportion off by %1").arg(proportion - 1.0)));
}

void TestGeometryKeystoning::intensityRunsFromNoneToFull()
{
    const Request request = RequestFor("FourLines", FacadeCorners(900, 700, 20, 15, 2));
    CorrectionParameters parameters = KeystoningParameters(request);
    parameters.keystoningUpDown = 60;
    parameters.keystoningHVRatio = 40;

    parameters.keystoningBlendingIntensity = 0;
    const CorrectionChain none = Build(parameters);
    QCOMPARE(none.CanvasSize(), kImage);
    for (const Point& p : {Point{0, 0}, Point{2999, 5}, Point{1234.5, 1999}})
        QVERIFY(Distance(Mapped(none, p), p) < 1e-9);

    // How far the two lines that must become vertical still converge.
    auto convergence = [&](const CorrectionChain& chain) {
        const auto& [a, b] = request.vertical[0];
        const auto& [c, d] = request.vertical[1];
        return std::abs(TiltFromVertical(Mapped(chain, a), Mapped(chain, b)) - TiltFromVertical(Mapped(chain, c), Mapped(chain, d)));
    };
    parameters.keystoningUpDown = 0;
    parameters.keystoningHVRatio = 0;
    parameters.keystoningBlendingIntensity = 100;
    QVERIFY(convergence(Build(parameters)) < 1e-6);

    // Halfway turns the camera halfway: the lines converge about half as much.
    parameters.keystoningBlendingIntensity = 50;
    const double halfway = convergence(Build(parameters)) / convergence(none);
    QVERIFY2(halfway > 0.35 && halfway < 0.65, qPrintable(QString::number(halfway)));
}

void TestGeometryKeystoning::horizonLevelsALineTiltedByItsAngle_data()
{
    QTest::addColumn<double>("degrees");
    QTest::newRow("slightly up to the right") << 0.5;
    QTest::newRow("up to the right") << 5.0;
    QTest::newRow("down to the right") << -12.5;
    QTest::newRow("steep") << 30.0;
}

void TestGeometryKeystoning::horizonLevelsALineTiltedByItsAngle()
{
    QFETCH(double, degrees);
    // A line through the image whose right end is higher by the angle (y points down).
    const Point left{700, 1100};
    const Point right{2300, 1100 - 1600 * std::tan(Radians(degrees))};

    CorrectionParameters parameters;
    parameters.keystoningActive = true;
    parameters.keystoningHorizon = degrees;
    parameters.keystoningBlendingIntensity = 30; // the horizon is not blended
    const CorrectionChain chain = Build(parameters);
    QVERIFY(std::abs(TiltFromHorizontal(Mapped(chain, left), Mapped(chain, right))) < 1e-9);
}

void TestGeometryKeystoning::ratioAndScaleAreWhatTheHorizonModuleUndoes_data()
{
    QTest::addColumn<double>("hvRatio");
    QTest::addColumn<double>("intensity");
    QTest::addColumn<double>("scale");

    QTest::newRow("wider") << 50.0 << 100.0 << 100.0;
    QTest::newRow("narrower") << -50.0 << 100.0 << 100.0;
    QTest::newRow("blended and scaled") << 30.0 << 60.0 << 120.0;
    QTest::newRow("scaled only") << 0.0 << 100.0 << 150.0;
    QTest::newRow("no intensity") << 80.0 << 0.0 << 100.0;
}

void TestGeometryKeystoning::ratioAndScaleAreWhatTheHorizonModuleUndoes()
{
    QFETCH(double, hvRatio);
    QFETCH(double, intensity);
    QFETCH(double, scale);

    CorrectionParameters parameters;
    parameters.keystoningActive = true;
    parameters.keystoningHorizon = 7.0;
    parameters.keystoningBlendingIntensity = intensity;
    const CorrectionChain levelled = Build(parameters);
    parameters.keystoningHVRatio = hvRatio;
    parameters.keystoningScale = scale;
    const CorrectionChain scaled = Build(parameters);

    const Point a{600, 500}, b{2500, 1700};
    const Point expected{Mapped(levelled, b).x - Mapped(levelled, a).x, Mapped(levelled, b).y - Mapped(levelled, a).y};
    const Point out{Mapped(scaled, b).x - Mapped(scaled, a).x, Mapped(scaled, b).y - Mapped(scaled, a).y};
    const Point undone = UndoRatioAndScale(out, hvRatio, intensity, scale);
    // What the module measures, the direction, always comes back; the lengths
    // too wherever the module undoes anything.
    QVERIFY(std::abs(std::atan2(undone.y, undone.x) - std::atan2(expected.y, expected.x)) < 1e-9);
    if (hvRatio != 0 && intensity != 0)
        QVERIFY(Distance(undone, expected) < 1e-9 * Distance({}, expected));
}

void TestGeometryKeystoning::slidersTiltTheVirtualCamera()
{
    CorrectionParameters parameters;
    parameters.keystoningActive = true;
    auto widths = [&] {
        const CorrectionChain chain = Build(parameters);
        const double top = Mapped(chain, {2999, 0}).x - Mapped(chain, {1, 0}).x;
        const double bottom = Mapped(chain, {2999, 2000}).x - Mapped(chain, {1, 2000}).x;
        const double leftSide = Mapped(chain, {0, 1999}).y - Mapped(chain, {0, 1}).y;
        const double rightSide = Mapped(chain, {3000, 1999}).y - Mapped(chain, {3000, 1}).y;
        return std::array<double, 4>{top, bottom, leftSide, rightSide};
    };
    parameters.keystoningUpDown = 80;
    auto w = widths();
    QVERIFY2(w[0] > w[1] * 1.05, "a positive up/down value widens the top");
    parameters.keystoningUpDown = -80;
    w = widths();
    QVERIFY(w[1] > w[0] * 1.05);
    parameters.keystoningUpDown = 0;
    parameters.keystoningLeftRight = 80;
    w = widths();
    QVERIFY2(w[3] > w[2] * 1.05, "a positive left/right value widens the right side");
    // Out-of-range values are held at the slider's ends.
    parameters.keystoningLeftRight = 125;
    const auto atEnd = widths();
    parameters.keystoningLeftRight = 1e6;
    QCOMPARE(widths(), atEnd);
}

void TestGeometryKeystoning::transformOutValuesAreInverseAndMatchTheChain()
{
    const Request request = RequestFor("Rectangle", FacadeCorners(900, 700, 12, -9, 2));
    CorrectionParameters parameters = KeystoningParameters(request);
    parameters.keystoningHorizon = -3;
    parameters.keystoningLeftRight = 20;
    parameters.keystoningHVRatio = 25;
    const CorrectionChain chain = Build(parameters);

    const Homography forward(chain.UpdatedHomographyForward());
    const Homography backward(chain.UpdatedHomographyBackward());
    QCOMPARE(forward(2, 2), 1.0);
    const Homography product = (forward * backward).Normalized();
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            QVERIFY(std::abs(product(row, column) - (row == column ? 1.0 : 0.0)) < 1e-9);
    // Without lens stage, crop or turn, the forward transform is the whole chain.
    for (const Point& p : request.points)
        QVERIFY(Distance(*forward.Map(p), Mapped(chain, p)) < 1e-6);

    // A target without keystoning still reports its (identity) transform.
    const CorrectionChain plain = Build(CorrectionParameters());
    const std::array<double, 9> identity{1, 0, 0, 0, 1, 0, 0, 0, 1};
    QCOMPARE(plain.UpdatedHomographyForward(), identity);
    QCOMPARE(plain.UpdatedHomographyBackward(), identity);
}

void TestGeometryKeystoning::canvasFollowsCentreAndCap()
{
    CorrectionParameters parameters = KeystoningParameters(RequestFor("ParallelVertical", FacadeCorners(900, 700, 25, 0, 0)));
    parameters.keystoningLeftRight = 40;

    const CorrectionChain centred = Build(parameters);
    const Point centre = Mapped(centred, {1500, 1000});
    QVERIFY(std::abs(centre.x - 0.5 * centred.CanvasSize().width) < 1e-6);
    QVERIFY(std::abs(centre.y - 0.5 * centred.CanvasSize().height) < 1e-6);

    // Without the centre kept, the canvas is the outline's bounding box.
    parameters.keystoningKeepCenter = false;
    const CorrectionChain boxed = Build(parameters);
    double left = 1e9, right = -1e9, top = 1e9, bottom = -1e9;
    for (const Point& p : {Point{0, 0}, Point{3000, 0}, Point{3000, 2000}, Point{0, 2000}}) {
        const Point q = Mapped(boxed, p);
        left = std::min(left, q.x);
        right = std::max(right, q.x);
        top = std::min(top, q.y);
        bottom = std::max(bottom, q.y);
    }
    QVERIFY(std::abs(left) < 1.0 && std::abs(top) < 1.0);
    QVERIFY(std::abs(right - boxed.CanvasSize().width) < 1.0 && std::abs(bottom - boxed.CanvasSize().height) < 1.0);

    // The cap holds each side to the given percentage of the input.
    parameters.keystoningKeepCenter = true;
    parameters.keystoningUpDown = 125;
    parameters.outputImageMaxSize = 110;
    const Size capped = Build(parameters).CanvasSize();
    QVERIFY(capped.width <= 3300 && capped.height <= 2200);
}

void TestGeometryKeystoning::refusedPointsAreLeftOut()
{
    CorrectionParameters parameters;
    parameters.keystoningActive = true;
    parameters.keystoningMode = "Rectangle";
    parameters.keystoningPoints = {0.2, 0.2, 0.8, 0.8, 0.8, 0.2, 0.2, 0.8}; // crosses itself
    const CorrectionChain chain = Build(parameters);
    QVERIFY(!chain.PointCorrectionApplied());
    QCOMPARE(chain.CanvasSize(), kImage);
    QVERIFY(Distance(Mapped(chain, {10, 20}), {10, 20}) < 1e-9);
}

QTEST_APPLESS_MAIN(TestGeometryKeystoning)
#include "tst_geometry_keystoning.moc"
