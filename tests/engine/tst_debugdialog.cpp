// The engine's diagnostic window: its size from the picture, and the red
// marks it paints at points given as fractions of the window.

#include "engine/CDebugDialog.h"

#include <QImage>
#include <QTest>

namespace {

QImage filled(const QSize& size, const QColor& color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

bool isRed(const QColor& color)
{
    return color.red() > 200 && color.green() < 50 && color.blue() < 50;
}

} // namespace

class TestDebugDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sizeFromPicture_data();
    void sizeFromPicture();
    void marks();
    void nothingDrawnWithoutPicture();
};

void TestDebugDialog::sizeFromPicture_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("window");

    QTest::newRow("wider") << QSize(1000, 600) << QSize(500, 300);
    QTest::newRow("narrower, scaled up") << QSize(100, 200) << QSize(500, 1000);
    // 500 / 19 rounds down in double; the product is truncated.
    QTest::newRow("19 wide") << QSize(19, 19) << QSize(499, 499);
}

void TestDebugDialog::sizeFromPicture()
{
    QFETCH(QSize, picture);
    CDebugDialog dialog;
    dialog.setImage(filled(picture, Qt::white));
    QTEST(dialog.size(), "window");

    // A null picture is taken without touching the size.
    dialog.setImage(QImage());
    QTEST(dialog.size(), "window");
}

void TestDebugDialog::marks()
{
    CDebugDialog dialog;
    dialog.setImage(filled(QSize(1000, 600), Qt::white));
    // The middle, a corner, and one outside the window, which is just not seen.
    dialog.setPoints({{0.5, 0.5}, {0.0, 0.0}, {1.5, 0.5}});
    const QImage shown = dialog.grab().toImage();
    QCOMPARE(shown.size(), QSize(500, 300));

    // A 5 x 5 mark centred on (250, 150): from 248 to 252 on each axis.
    for (const QPoint& inside : {QPoint(250, 150), QPoint(249, 149), QPoint(251, 151)})
        QVERIFY2(isRed(shown.pixelColor(inside)), qPrintable(QString("%1,%2").arg(inside.x()).arg(inside.y())));
    for (const QPoint& outside : {QPoint(246, 150), QPoint(250, 146), QPoint(255, 150), QPoint(250, 155)})
        QCOMPARE(shown.pixelColor(outside), QColor(Qt::white));
    // The corner mark is cut by the window's edge.
    QVERIFY(isRed(shown.pixelColor(0, 0)));
    QCOMPARE(shown.pixelColor(499, 150), QColor(Qt::white));
}

void TestDebugDialog::nothingDrawnWithoutPicture()
{
    CDebugDialog dialog;
    dialog.resize(200, 100);
    dialog.setPoints({{0.5, 0.5}});
    const QImage shown = dialog.grab().toImage();
    for (int y = 0; y < shown.height(); y += 2)
        for (int x = 0; x < shown.width(); x += 2)
            QVERIFY(!isRed(shown.pixelColor(x, y)));
}

QTEST_MAIN(TestDebugDialog)
#include "tst_debugdialog.moc"
