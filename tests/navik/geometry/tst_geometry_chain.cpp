// The chain as a whole: validity of point sets, the lens stage, output sizes,
// quarter turns, keystoning on a turned picture, and point maps against the
// renderer's matrices.

#include "GeometryTestSupport.h"

#include <Navik/Geometry/CorrectionChain.h>
#include <Navik/Geometry/PointsValidity.h>

#include <QtTest>

using namespace GeometryTest;

Q_DECLARE_METATYPE(Navik::Geometry::RectF)

namespace {

// Keystoning points in pixels of a 4000 x 3000 image.
std::vector<double> Scaled(const std::vector<double>& fractions)
{
    std::vector<double> pixels = fractions;
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] *= i % 2 == 0 ? 4000 : 3000;
    return pixels;
}

CorrectionParameters LensParameters(const QString& lens)
{
    CorrectionParameters p;
    p.distortionAnamorphosisKeepEntireImage = true;
    const QStringList parts = lens.split(' ');
    if (parts[0] == "Barrel" || parts[0] == "Fisheye" || parts[0] == "Auto") {
        p.distortionActive = true;
        p.distortionType = parts[0].toStdString();
        p.distortionIntensity = parts[1].toDouble();
    } else {
        p.anamorphosisActive = true;
        p.anamorphosisType = parts[0].toStdString();
        p.anamorphosisRadial = parts[1].toDouble();
        p.anamorphosisHorizontal = parts[1].toDouble();
        p.anamorphosisVertical = parts.value(2).toDouble();
    }
    return p;
}

CorrectionParameters FullCorrection(int rotation)
{
    CorrectionParameters p;
    p.keystoningActive = true;
    p.keystoningMode = "Parallel";
    p.keystoningPoints = {0.3, 0.2, 0.25, 0.8, 0.75, 0.8, 0.7, 0.2};
    p.keystoningHorizon = 4;
    p.keystoningHVRatio = 20;
    p.cropActive = true;
    p.cropRatio = 1.5;
    p.outputRotation = rotation;
    return p;
}

// Where a point of the picture as shown after `rotation` clockwise quarter
// turns lies on the unturned image, both as fractions of their sizes.
Point UnturnedFraction(Point shown, int rotation)
{
    switch (rotation) {
    case 1:
        return {shown.y, 1.0 - shown.x};
    case 2:
        return {1.0 - shown.x, 1.0 - shown.y};
    case 3:
        return {1.0 - shown.y, shown.x};
    default:
        return shown;
    }
}

} // namespace

Q_DECLARE_METATYPE(std::vector<double>)

class TestGeometryChain : public QObject
{
    Q_OBJECT

private slots:
    void validityRefusesWhatCannotBeCorrected_data();
    void validityRefusesWhatCannotBeCorrected();
    void validityIgnoresAxisScaling_data();
    void validityIgnoresAxisScaling();
    void lensStageMapsBothWays_data();
    void lensStageMapsBothWays();
    void keystoningPointsLieOnTheStageImage();
    void outputSizeAtEachLevel();
    void automaticCropKeepsEveryPixelOfAnUncorrectedPicture_data();
    void automaticCropKeepsEveryPixelOfAnUncorrectedPicture();
    void quarterTurnsTurnTheCroppedImage_data();
    void quarterTurnsTurnTheCroppedImage();
    void keystoningOnATurnedPictureIsThatOfTheShownPicture_data();
    void keystoningOnATurnedPictureIsThatOfTheShownPicture();
    void pointMapsAgreeWithTheRendererMatrices_data();
    void pointMapsAgreeWithTheRendererMatrices();
    void damagedParametersStillGiveAUsableChain_data();
    void damagedParametersStillGiveAUsableChain();
};

void TestGeometryChain::validityRefusesWhatCannotBeCorrected_data()
{
    QTest::addColumn<int>("tool");
    QTest::addColumn<std::vector<double>>("points");
    QTest::addColumn<bool>("valid");

    const double nan = qQNaN(), inf = qInf();
    // The default layouts of the modules.
    QTest::newRow("default vertical lines") << 1 << Scaled({0.25, 0.25, 0.25, 0.75, 0.75, 0.75, 0.75, 0.25}) << true;
    QTest::newRow("default horizontal lines") << 1 << Scaled({0.25, 0.25, 0.75, 0.25, 0.75, 0.75, 0.25, 0.75}) << true;
    QTest::newRow("default rectangle") << 0 << Scaled({0.25, 0.25, 0.25, 0.75, 0.75, 0.75, 0.75, 0.25}) << true;
    QTest::newRow("default eight points") << 2 << Scaled({0.25, 0.375, 0.25, 0.625, 0.75, 0.625, 0.75, 0.375, 0.625, 0.75, 0.375, 0.75, 0.625, 0.25, 0.375, 0.25}) << true;
    QTest::newRow("converging verticals") << 1 << Scaled({0.3, 0.2, 0.25, 0.8, 0.75, 0.8, 0.7, 0.2}) << true;
    QTest::newRow("perspective rectangle") << 0 << Scaled({0.3, 0.2, 0.2, 0.8, 0.8, 0.8, 0.7, 0.2}) << true;

    QTest::newRow("too few values") << 1 << std::vector<double>{100, 100, 100, 900, 900, 900} << false;
    QTest::newRow("four points for eight") << 2 << Scaled({0.25, 0.25, 0.25, 0.75, 0.75, 0.75, 0.75, 0.25}) << false;
    QTest::newRow("not a number") << 1 << std::vector<double>{100, 100, 100, nan, 900, 900, 900, 100} << false;
    QTest::newRow("infinite") << 0 << std::vector<double>{100, 100, 100, 900, inf, 900, 900, 100} << false;
    QTest::newRow("line shorter than 2 px") << 1 << std::vector<double>{100, 100, 101, 101, 900, 900, 900, 100} << false;
    QTest::newRow("both lines on one line") << 1 << std::vector<double>{100, 100, 100, 500, 100, 900, 100, 1300} << false;
    QTest::newRow("lines crossing between the points") << 1 << std::vector<double>{100, 100, 900, 900, 100, 900, 900, 100} << false;
    QTest::newRow("quadrilateral crossing itself") << 0 << std::vector<double>{100, 100, 900, 900, 900, 100, 100, 900} << false;
    QTest::newRow("quadrilateral not convex") << 0 << std::vector<double>{100, 100, 450, 300, 900, 900, 500, 100} << false;
    QTest::newRow("three corners on a line") << 0 << std::vector<double>{100, 100, 100, 500, 100, 900, 900, 500} << false;
    QTest::newRow("eight points: verticals and horizontals alike")
        << 2 << std::vector<double>{100, 100, 900, 110, 100, 500, 900, 510, 100, 900, 900, 910, 100, 1300, 900, 1310} << false;
    QTest::newRow("eight points: vanishing line through them")
        << 2 << std::vector<double>{100, 100, 900, 900, 100, 900, 900, 100, 300, 480, 700, 520, 300, 560, 700, 600} << false;
}

void TestGeometryChain::validityRefusesWhatCannotBeCorrected()
{
    QFETCH(int, tool);
    QFETCH(std::vector<double>, points);
    QFETCH(bool, valid);
    QCOMPARE(IsPointsConfigurationValid(tool, points), valid);
}

void TestGeometryChain::validityIgnoresAxisScaling_data()
{
    QTest::addColumn<double>("sx");
    QTest::addColumn<double>("sy");
    QTest::newRow("wider") << 3.0 << 1.0;
    QTest::newRow("flipped vertically") << 1.0 << -2.0;
    QTest::newRow("turned half round") << -1.0 << -1.0;
    QTest::newRow("squeezed and stretched") << 0.5 << 4.0;
}

void TestGeometryChain::validityIgnoresAxisScaling()
{
    QFETCH(double, sx);
    QFETCH(double, sy);
    // Valid and refused cases whose lines stay longer than 2 px when scaled.
    const std::vector<std::pair<int, std::vector<double>>> cases{
        {1, Scaled({0.25, 0.25, 0.25, 0.75, 0.75, 0.75, 0.75, 0.25})},
        {2, Scaled({0.25, 0.375, 0.25, 0.625, 0.75, 0.625, 0.75, 0.375, 0.625, 0.75, 0.375, 0.75, 0.625, 0.25, 0.375, 0.25})},
        {1, Scaled({0.3, 0.2, 0.25, 0.8, 0.75, 0.8, 0.7, 0.2})},
        {0, Scaled({0.3, 0.2, 0.2, 0.8, 0.8, 0.8, 0.7, 0.2})},
        {1, {100, 100, 900, 900, 100, 900, 900, 100}},
        {0, {100, 100, 900, 900, 900, 100, 100, 900}},
        {0, {100, 100, 450, 300, 900, 900, 500, 100}},
        {2, {100, 100, 900, 900, 100, 900, 900, 100, 300, 480, 700, 520, 300, 560, 700, 600}},
    };
    for (const auto& [tool, points] : cases) {
        std::vector<double> scaled = points;
        for (size_t i = 0; i < scaled.size(); ++i)
            scaled[i] *= i % 2 == 0 ? sx : sy;
        QCOMPARE(IsPointsConfigurationValid(tool, scaled), IsPointsConfigurationValid(tool, points));
    }
}

void TestGeometryChain::lensStageMapsBothWays_data()
{
    QTest::addColumn<QString>("lens");
    QTest::addColumn<bool>("grows");

    QTest::newRow("barrel") << "Barrel 100" << true;
    QTest::newRow("barrel at the limit") << "Barrel 125" << true;
    QTest::newRow("pincushion") << "Barrel -100" << false;
    QTest::newRow("fisheye") << "Fisheye 100" << true;
    QTest::newRow("spherical anamorphosis") << "Spherical 150" << false;
    QTest::newRow("cylindrical anamorphosis") << "Cylindrical 100 60" << false;
}

void TestGeometryChain::lensStageMapsBothWays()
{
    QFETCH(QString, lens);
    QFETCH(bool, grows);

    const Size image{3000, 2000};
    CameraData camera;
    camera.focalLength35mm = 18;
    const CorrectionChain chain = CorrectionChain::Build(LensParameters(lens), image, camera);
    QVERIFY(chain.Lens().IsActive());
    QVERIFY(!chain.IsProjective());
    const Size stage = chain.StageSize();
    QCOMPARE(stage.width > image.width, grows);
    for (int i = 0; i <= 10; ++i)
        for (int j = 0; j <= 10; ++j) {
            const Point input{image.width * i / 10.0, image.height * j / 10.0};
            const auto onStage = chain.Lens().ToStage(input);
            QVERIFY(onStage);
            QVERIFY2(Distance(*chain.Lens().ToInput(*onStage), input) < 1e-6, qPrintable(QString("%1 %2").arg(input.x).arg(input.y)));
            // Keeping the entire image keeps every input point on the stage image.
            QVERIFY(onStage->x >= -1e-6 && onStage->x <= stage.width + 1e-6 && onStage->y >= -1e-6 && onStage->y <= stage.height + 1e-6);
        }
    // The centre stays where it is.
    QVERIFY(Distance(*chain.Lens().ToStage({1500, 1000}), {0.5 * stage.width, 0.5 * stage.height}) < 1e-9);
}

void TestGeometryChain::keystoningPointsLieOnTheStageImage()
{
    // The engine hands the points over as the stage image shows them: lines that
    // are straight there come out vertical.
    const Size image{3000, 2000};
    CorrectionParameters p = LensParameters("Barrel 100");
    CameraData camera;
    const CorrectionChain stageOnly = CorrectionChain::Build(p, image, camera);
    const Size stage = stageOnly.StageSize();
    const std::vector<Point> onStage{{0.3 * stage.width, 0.2 * stage.height}, {0.25 * stage.width, 0.8 * stage.height},
                                     {0.75 * stage.width, 0.8 * stage.height}, {0.7 * stage.width, 0.2 * stage.height}};
    p.keystoningActive = true;
    p.keystoningMode = "Parallel";
    p.keystoningPoints = Normalised(onStage, stage);
    const CorrectionChain chain = CorrectionChain::Build(p, image, camera);
    QVERIFY(chain.PointCorrectionApplied());
    std::vector<Point> out;
    for (const Point& s : onStage)
        out.push_back(*chain.InputToOutput(*chain.Lens().ToInput(s)));
    QVERIFY(std::abs(TiltFromVertical(out[0], out[1])) < 1e-6);
    QVERIFY(std::abs(TiltFromVertical(out[3], out[2])) < 1e-6);
}

void TestGeometryChain::outputSizeAtEachLevel()
{
    CorrectionParameters p;
    p.outputRotation = 1;
    const CorrectionChain chain = CorrectionChain::Build(p, {4001, 2999}, {});
    QCOMPARE(chain.OutputSize(0), (Size{2999, 4001}));
    QCOMPARE(chain.OutputSize(1), (Size{1500, 2001}));
    QCOMPARE(chain.OutputSize(3), (Size{375, 501}));
    QCOMPARE(chain.OutputSize(12), (Size{1, 1}));
    QCOMPARE(chain.OutputSize(40), (Size{1, 1}));
}

void TestGeometryChain::automaticCropKeepsEveryPixelOfAnUncorrectedPicture_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("rotation");
    QTest::newRow("small") << 640 << 480 << 0;
    QTest::newRow("24 MP") << 6000 << 4000 << 0;
    QTest::newRow("24 MP, turned") << 6000 << 4000 << 1;
    QTest::newRow("24 MP, upside down") << 6000 << 4000 << 2;
    QTest::newRow("very large") << 60000 << 40000 << 3;
}

void TestGeometryChain::automaticCropKeepsEveryPixelOfAnUncorrectedPicture()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, rotation);
    const Size image{width, height};
    CorrectionParameters p;
    p.cropActive = true;
    p.cropAuto = true;
    p.outputRotation = rotation;
    const CorrectionChain chain = CorrectionChain::Build(p, image, {});
    const Size expected = rotation % 2 != 0 ? Size{image.height, image.width} : image;
    QCOMPARE(chain.OutputSize(), expected);
}

void TestGeometryChain::quarterTurnsTurnTheCroppedImage_data()
{
    QTest::addColumn<int>("rotation");
    QTest::addColumn<RectF>("displayed"); // the crop rectangle as the engine's callers see it

    // The stored crop is (0.1, 0.2, 0.5, 0.4) of the unrotated image.
    QTest::newRow("no turn") << 0 << RectF{0.1, 0.2, 0.5, 0.4};
    QTest::newRow("one turn") << 1 << RectF{0.4, 0.1, 0.4, 0.5};
    QTest::newRow("two turns") << 2 << RectF{0.4, 0.4, 0.5, 0.4};
    QTest::newRow("three turns") << 3 << RectF{0.2, 0.4, 0.4, 0.5};
    QTest::newRow("minus one turn") << -1 << RectF{0.2, 0.4, 0.4, 0.5};
}

void TestGeometryChain::quarterTurnsTurnTheCroppedImage()
{
    QFETCH(int, rotation);
    QFETCH(RectF, displayed);

    const Size image{1000, 800};
    CorrectionParameters p;
    p.cropActive = true;
    p.cropAuto = false;
    p.cropRect = {0.1, 0.2, 0.5, 0.4};
    p.outputRotation = rotation;
    const CorrectionChain chain = CorrectionChain::Build(p, image, {});
    // The displayed rectangle, in the turned full image, is where the crop's
    // corners land before the crop offset: the output is that rectangle.
    const Size turned = rotation % 2 != 0 ? Size{image.height, image.width} : image;
    QCOMPARE(chain.OutputSize(), (Size{int(std::lround(displayed.width * turned.width)), int(std::lround(displayed.height * turned.height))}));
    // The crop's top-left input corner lands on the displayed rectangle's
    // corner that the turn brings it to.
    const Point topLeft{100, 160};
    const Point out = *chain.InputToOutput(topLeft);
    const Size size = chain.OutputSize();
    const Point expected = rotation == 0 ? Point{0, 0}
                         : rotation == 1 ? Point{double(size.width), 0}
                         : rotation == 2 ? Point{double(size.width), double(size.height)}
                                         : Point{0, double(size.height)};
    QVERIFY(Distance(out, expected) < 1e-9);
}

void TestGeometryChain::keystoningOnATurnedPictureIsThatOfTheShownPicture_data()
{
    QTest::addColumn<int>("rotation");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<std::vector<double>>("points"); // fractions of the picture as shown; none: the sliders

    // In the order the keystoning tools send them.
    const std::vector<double> rectangle{0.2, 0.15, 0.1, 0.85, 0.9, 0.8, 0.75, 0.2};
    const std::vector<double> vertical{0.3, 0.2, 0.2, 0.8, 0.8, 0.8, 0.7, 0.2};
    const std::vector<double> horizontal{0.2, 0.3, 0.8, 0.2, 0.8, 0.8, 0.2, 0.7};
    const std::vector<double> eightPoints{0.25, 0.2, 0.2,  0.8, 0.8, 0.8,  0.72, 0.2,
                                          0.85, 0.7, 0.15, 0.8, 0.8, 0.25, 0.2,  0.2};
    for (int rotation = 1; rotation < 4; ++rotation) {
        QTest::addRow("turn %d, rectangle", rotation) << rotation << "Rectangle" << rectangle;
        QTest::addRow("turn %d, vertical lines", rotation) << rotation << "Parallel" << vertical;
        QTest::addRow("turn %d, horizontal lines", rotation) << rotation << "Parallel" << horizontal;
        QTest::addRow("turn %d, eight points", rotation) << rotation << "FourLines" << eightPoints;
        QTest::addRow("turn %d, sliders", rotation) << rotation << QString() << std::vector<double>();
    }
}

void TestGeometryChain::keystoningOnATurnedPictureIsThatOfTheShownPicture()
{
    // The points keep their places on the unturned image, but the tools name
    // the sides of the picture as shown: the output is exactly what the same
    // correction gives on a picture stored as shown.
    QFETCH(int, rotation);
    QFETCH(QString, mode);
    QFETCH(std::vector<double>, points);
    const Size shownSize{4000, 3000};
    const Size unturnedSize = rotation % 2 != 0 ? Size{shownSize.height, shownSize.width} : shownSize;
    CameraData camera;
    camera.focalLength35mm = 35.0;

    CorrectionParameters shown;
    shown.keystoningActive = true;
    shown.keystoningMode = mode.toStdString();
    shown.keystoningPoints = points;
    shown.keystoningBlendingIntensity = 80;
    shown.keystoningHorizon = 3;
    shown.keystoningHVRatio = 20;
    if (points.empty()) {
        shown.keystoningUpDown = 60;
        shown.keystoningLeftRight = -40;
    }
    CorrectionParameters turned = shown;
    turned.outputRotation = rotation;
    for (size_t i = 0; i + 1 < points.size(); i += 2) {
        const Point unturned = UnturnedFraction({points[i], points[i + 1]}, rotation);
        turned.keystoningPoints[i] = unturned.x;
        turned.keystoningPoints[i + 1] = unturned.y;
    }
    const CorrectionChain expected = CorrectionChain::Build(shown, shownSize, camera);
    const CorrectionChain chain = CorrectionChain::Build(turned, unturnedSize, camera);
    QCOMPARE(chain.PointCorrectionApplied(), !points.empty());
    QCOMPARE(expected.PointCorrectionApplied(), !points.empty());
    QCOMPARE(chain.OutputSize(), expected.OutputSize());

    const Size size = chain.OutputSize();
    for (int i = 0; i <= 8; ++i)
        for (int j = 0; j <= 8; ++j) {
            const Point output{size.width * i / 8.0, size.height * j / 8.0};
            const auto source = chain.OutputToInput(output);
            const auto expectedSource = expected.OutputToInput(output);
            QCOMPARE(bool(source), bool(expectedSource));
            if (!source)
                continue;
            // Both come from the same point of the picture.
            const Point shownFraction{expectedSource->x / shownSize.width, expectedSource->y / shownSize.height};
            const Point unturnedFraction{source->x / unturnedSize.width, source->y / unturnedSize.height};
            QVERIFY(Distance(UnturnedFraction(shownFraction, rotation), unturnedFraction) < 1e-9);
        }
}

void TestGeometryChain::pointMapsAgreeWithTheRendererMatrices_data()
{
    QTest::addColumn<int>("rotation");
    QTest::addColumn<bool>("lens");
    for (int rotation = 0; rotation < 4; ++rotation) {
        QTest::addRow("turn %d", rotation) << rotation << false;
        QTest::addRow("turn %d, lens stage", rotation) << rotation << true;
    }
}

void TestGeometryChain::pointMapsAgreeWithTheRendererMatrices()
{
    QFETCH(int, rotation);
    QFETCH(bool, lens);

    CorrectionParameters p = FullCorrection(rotation);
    if (lens) {
        p.anamorphosisActive = true;
        p.anamorphosisType = "Spherical";
    }
    const CorrectionChain chain = CorrectionChain::Build(p, {4000, 3000}, {});
    QCOMPARE(chain.IsProjective(), !lens);
    for (unsigned level = 0; level < 4; ++level) {
        const Homography toStage = chain.OutputToStageHomography(level);
        const Size size = chain.OutputSize(level);
        for (int i = 0; i <= 8; ++i)
            for (int j = 0; j <= 8; ++j) {
                const Point output{size.width * i / 8.0, size.height * j / 8.0};
                const auto input = chain.OutputToInput(output, level);
                QVERIFY(input);
                // What the renderer computes from the matrices...
                const Point stage = *toStage.Map(output);
                const Point indexed = *ToPixelIndexConvention(toStage).Map({output.x - 0.5, output.y - 0.5});
                QVERIFY(Distance(indexed, {stage.x - 0.5, stage.y - 0.5}) < 1e-6);
                const Point rendered = lens ? *chain.Lens().ToInput(stage) : *chain.OutputToInputHomography(level).Map(output);
                QVERIFY(Distance(rendered, *input) < 1e-6);
                // ...and back again.
                const auto back = chain.InputToOutput(*input, level);
                QVERIFY(back);
                QVERIFY(Distance(*back, output) < 1e-6);
            }
    }
}

void TestGeometryChain::damagedParametersStillGiveAUsableChain_data()
{
    // Dictionaries come back from user files and undo states.
    QTest::addColumn<QString>("damage");
    for (const char* damage : {"nan points", "infinite horizon", "huge sliders", "nan intensity", "singular previous homography",
                               "nan previous homography", "short previous homography", "nan crop rect", "short crop rect",
                               "huge scale", "negative maximum size", "huge maximum size", "empty image", "nan focal length",
                               "huge lens strengths"})
        QTest::newRow(damage) << QString(damage);
}

void TestGeometryChain::damagedParametersStillGiveAUsableChain()
{
    QFETCH(QString, damage);
    const double nan = qQNaN(), inf = qInf();
    CorrectionParameters p = FullCorrection(1);
    p.cropAuto = false;
    Size image{4000, 3000};
    CameraData camera;
    if (damage == "nan points") p.keystoningPoints[3] = nan;
    if (damage == "infinite horizon") p.keystoningHorizon = inf;
    if (damage == "huge sliders") p.keystoningUpDown = p.keystoningLeftRight = 1e300;
    if (damage == "nan intensity") p.keystoningBlendingIntensity = nan;
    if (damage == "singular previous homography") p.keystoningPreviousHomographyBackward = {1, 2, 3, 2, 4, 6, 0, 0, 0};
    if (damage == "nan previous homography") p.keystoningPreviousHomographyBackward = {1, 0, 0, 0, nan, 0, 0, 0, 1};
    if (damage == "short previous homography") p.keystoningPreviousHomographyBackward = {1, 0, 0};
    if (damage == "nan crop rect") p.cropRect = {nan, 0, 1, 1};
    if (damage == "short crop rect") p.cropRect = {0.1, 0.1};
    if (damage == "huge scale") p.keystoningScale = 1e12;
    if (damage == "negative maximum size") p.outputImageMaxSize = -5;
    if (damage == "huge maximum size") p.outputImageMaxSize = 1e12;
    if (damage == "empty image") image = {0, 0};
    if (damage == "nan focal length") camera.focalLength35mm = nan;
    if (damage == "huge lens strengths") {
        p.distortionActive = p.anamorphosisActive = true;
        p.distortionType = "Barrel";
        p.distortionIntensity = 1e9;
        p.anamorphosisType = "Cylindrical";
        p.anamorphosisHorizontal = p.anamorphosisVertical = 1e9;
    }
    const CorrectionChain chain = CorrectionChain::Build(p, image, camera);
    const Size size = chain.OutputSize();
    QVERIFY(size.width >= 1 && size.height >= 1);
    QVERIFY(size.width <= 10 * 4000 && size.height <= 10 * 4000);
    const RectF autoCrop = chain.CropRectAuto();
    QVERIFY(std::isfinite(autoCrop.left) && std::isfinite(autoCrop.top) && autoCrop.width > 0 && autoCrop.height > 0);
    for (const double value : chain.UpdatedHomographyForward())
        QVERIFY(std::isfinite(value));
    if (const auto centre = chain.OutputToInput({0.5 * size.width, 0.5 * size.height}))
        QVERIFY(std::isfinite(centre->x) && std::isfinite(centre->y));
}

QTEST_APPLESS_MAIN(TestGeometryChain)
#include "tst_geometry_chain.moc"
