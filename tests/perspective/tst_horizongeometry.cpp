// The horizon line's geometry: its tilt per tool, the ratio scaling, the
// layout for a tool, the line kept inside the scene, and the saved lines.

#include "correction/CRectangleNode.h"
#include "perspective/CHorizonCorrectionItems.h"
#include "shell/CBaseCorrectionGlobalData.h"
#include "utils/DataStreamFormat.h"
#include "TestApplication.h"

#include <QDataStream>
#include <QGraphicsScene>
#include <QTest>

using namespace HorizonGeometry;

class TestHorizonGeometry : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void lineAngle_data();
    void lineAngle();
    void hvRatio_data();
    void hvRatio();
    void toolLayout();
    void clipping_data();
    void clipping();
    void centreLineThroughCorner();
    void savedLines();
};

void TestHorizonGeometry::lineAngle_data()
{
    QTest::addColumn<QPointF>("a");
    QTest::addColumn<QPointF>("b");
    QTest::addColumn<int>("tool");
    QTest::addColumn<double>("expected");
    QTest::addColumn<bool>("valid");

    QTest::newRow("horizontal, right end higher") << QPointF(100, 110) << QPointF(200, 100) << 1 << 5.71 << true;
    QTest::newRow("horizontal, ends exchanged") << QPointF(200, 100) << QPointF(100, 110) << 1 << 5.71 << true;
    QTest::newRow("horizontal, right end lower") << QPointF(100, 100) << QPointF(200, 110) << 1 << -5.71 << true;
    QTest::newRow("vertical, lower end right") << QPointF(100, 0) << QPointF(110, 100) << 2 << 5.71 << true;
    QTest::newRow("vertical, ends exchanged") << QPointF(110, 100) << QPointF(100, 0) << 2 << 5.71 << true;
    QTest::newRow("vertical, lower end left") << QPointF(110, 0) << QPointF(100, 100) << 2 << -5.71 << true;
    QTest::newRow("level line, horizontal tool") << QPointF(0, 50) << QPointF(300, 50) << 1 << 0.0 << true;
    QTest::newRow("upright line, vertical tool") << QPointF(40, 0) << QPointF(40, 300) << 2 << 0.0 << true;
    QTest::newRow("no direction") << QPointF(5, 5) << QPointF(5, 5 + 5e-8) << 1 << 0.0 << false;
}

void TestHorizonGeometry::lineAngle()
{
    QFETCH(QPointF, a);
    QFETCH(QPointF, b);
    QFETCH(int, tool);
    QFETCH(double, expected);
    QFETCH(bool, valid);
    bool ok = !valid;
    const double angle = HorizonGeometry::lineAngle(a, b, tool, &ok);
    QCOMPARE(ok, valid);
    if (valid)
        QVERIFY2(std::abs(angle - expected) < 0.005, qPrintable(QString::number(angle)));
}

void TestHorizonGeometry::hvRatio_data()
{
    QTest::addColumn<int>("ratio");
    QTest::addColumn<int>("intensity");
    QTest::addColumn<bool>("forward");
    QTest::addColumn<QPointF>("expected");

    // From (300, 200).
    QTest::newRow("ratio 50 forward") << 50 << -1 << true << QPointF(200, 200);
    QTest::newRow("ratio 50 backward") << 50 << -1 << false << QPointF(450, 200);
    QTest::newRow("ratio -50 forward") << -50 << -1 << true << QPointF(450, 200);
    QTest::newRow("intensity 0") << 50 << 0 << true << QPointF(300, 200);
    QTest::newRow("no ratio") << 0 << -1 << true << QPointF(300, 200);
}

void TestHorizonGeometry::hvRatio()
{
    QFETCH(int, ratio);
    QFETCH(int, intensity);
    QFETCH(bool, forward);
    QFETCH(QPointF, expected);
    Navik::Dictionary parameters;
    if (ratio)
        parameters.SetValueForKey("KeystoningHVRatio", Navik::Value(ratio));
    if (intensity >= 0)
        parameters.SetValueForKey("KeystoningBlendingIntensity", Navik::Value(intensity));
    const QPointF mapped = mapPointThroughHVRatio(QPointF(300, 200), parameters, forward);
    QVERIFY2(QLineF(mapped, expected).length() < 1e-9,
             qPrintable(QStringLiteral("%1, %2").arg(mapped.x()).arg(mapped.y())));
}

void TestHorizonGeometry::toolLayout()
{
    const QSizeF size(1000, 800);
    QCOMPARE(toolLinePoints(size, 1).mid(0, 2), (QVector<QPointF>{{250, 400}, {750, 400}}));
    QCOMPARE(toolLinePoints(size, 2).mid(0, 2), (QVector<QPointF>{{500, 200}, {500, 600}}));
    QVERIFY(toolLinePoints(size, 0).isEmpty());
}

void TestHorizonGeometry::clipping_data()
{
    QTest::addColumn<QPointF>("a");
    QTest::addColumn<QPointF>("b");
    QTest::addColumn<QPointF>("clippedA");
    QTest::addColumn<QPointF>("clippedB");

    QTest::newRow("one end outside") << QPointF(-100, 400) << QPointF(500, 400) << QPointF(0, 400) << QPointF(500, 400);
    // Crossings in edge order: the right edge comes before the left one.
    QTest::newRow("both ends outside") << QPointF(-100, 400) << QPointF(1100, 400) << QPointF(1000, 400)
                                       << QPointF(0, 400);
    QTest::newRow("inside") << QPointF(10, 20) << QPointF(900, 700) << QPointF(10, 20) << QPointF(900, 700);
    // Through the top-right corner: one crossing, not two of the same point.
    QTest::newRow("through a corner") << QPointF(900, -100) << QPointF(1100, 100) << QPointF(1000, 0)
                                      << QPointF(1000, 0);
    // Beside the rectangle: the line through its centre with the same slope.
    QTest::newRow("wholly outside, level") << QPointF(1200, 50) << QPointF(1500, 50) << QPointF(1000, 400)
                                           << QPointF(0, 400);
}

void TestHorizonGeometry::clipping()
{
    QFETCH(QPointF, a);
    QFETCH(QPointF, b);
    QFETCH(QPointF, clippedA);
    QFETCH(QPointF, clippedB);
    if (QByteArray(QTest::currentDataTag()) == "through a corner") {
        // The line only touches the corner: a single crossing replaces the outer end.
        QVector<QPointF> crossings = polygonIntersections(QPolygonF(QRectF(0, 0, 1000, 800)), QLineF(a, b));
        QCOMPARE(crossings.size(), 1);
        QVERIFY(QLineF(crossings.first(), clippedA).length() < 1e-6);
        return;
    }
    clipLineToRect(QRectF(0, 0, 1000, 800), a, b);
    QVERIFY2(QLineF(a, clippedA).length() < 1e-6, qPrintable(QStringLiteral("%1, %2").arg(a.x()).arg(a.y())));
    QVERIFY2(QLineF(b, clippedB).length() < 1e-6, qPrintable(QStringLiteral("%1, %2").arg(b.x()).arg(b.y())));
}

void TestHorizonGeometry::centreLineThroughCorner()
{
    // A diagonal of a square ends exactly in two corners; each corner is
    // counted once and neither is lost to rounding.
    const QPolygonF square(QRectF(0, 0, 300, 300));
    const QLineF line = lineThroughPolygonCentre(square, QLineF(0, 0, 10, 10));
    QVERIFY(!line.isNull());
    // The top edge is met first (at its left end), then the right edge.
    QVERIFY(QLineF(line.p1(), QPointF(0, 0)).length() < 1e-3);
    QVERIFY(QLineF(line.p2(), QPointF(300, 300)).length() < 1e-3);
    // Level and upright lines run through the middle.
    QCOMPARE(lineThroughPolygonCentre(QPolygonF(QRectF(0, 0, 1000, 800)), QLineF(5, 3, 9, 3)).p1().y(), 400.0);
    QCOMPARE(lineThroughPolygonCentre(QPolygonF(QRectF(0, 0, 1000, 800)), QLineF(5, 3, 5, 9)).p1().x(), 500.0);
}

void TestHorizonGeometry::savedLines()
{
    CBaseCorrectionGlobalData images;
    QGraphicsScene scene(0, 0, 1000, 800);
    CHorizonCorrectionItems items;
    items.leftTop = new CRectangleNode(nullptr, &images, QStringLiteral("LeftTop"));
    items.rightTop = new CRectangleNode(nullptr, &images, QStringLiteral("RightTop"));
    scene.addItem(items.leftTop);
    scene.addItem(items.rightTop);

    QVERIFY(!items.tryToRestoresavedPoints(1, 0.0));
    items.leftTop->setPos(100, 100);
    items.rightTop->setPos(200, 120);
    items.savePoints(1, 2.5);
    items.leftTop->setPos(300, 300);
    items.rightTop->setPos(400, 300);
    items.savePoints(2, 0.0);
    items.savePoints(1, 3.5); // replaces the first line of tool 1
    QCOMPARE(items.savedPoints().value(1).p1, QPointF(300, 300));
    QVERIFY(!items.tryToRestoresavedPoints(1, 3.5000001));
    QVERIFY(!items.tryToRestoresavedPoints(3, 0.0));
    items.leftTop->setPos(0, 0);
    QVERIFY(items.tryToRestoresavedPoints(2, 0.0));
    QCOMPARE(items.leftTop->pos(), QPointF(300, 300));

    // Tool 2 is written before tool 1.
    const QByteArray bytes = items.serialize();
    QDataStream stream(bytes);
    stream.setVersion(NAVIK_tarl1::g_dataStreamVersion);
    quint32 count = 0;
    qint32 first = 0;
    stream >> count >> first;
    QCOMPARE(count, 2u);
    QCOMPARE(first, 2);

    CHorizonCorrectionItems copy;
    copy.deserialize(bytes);
    QCOMPARE(copy.savedPoints().size(), 2);
    QCOMPARE(copy.savedPoints().value(1).angle, 3.5);
    // A read error leaves no saved lines.
    copy.deserialize(bytes.left(20));
    QVERIFY(copy.savedPoints().isEmpty());
    scene.removeItem(items.leftTop);
    scene.removeItem(items.rightTop);
    delete items.leftTop;
    delete items.rightTop;
    items.leftTop = items.rightTop = nullptr;
}

int main(int argc, char* argv[])
{
    TestApplication application(argc, argv);
    TestHorizonGeometry test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_horizongeometry.moc"
