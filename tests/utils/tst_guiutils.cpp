#include "utils/GuiUtils.h"

#include "RecordingLogger.h"

#include <QHBoxLayout>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QSpacerItem>
#include <QTest>
#include <QWidget>

using namespace NAVIK_tarl1;

namespace {

const QList<QColor> kColours = {Qt::red, Qt::green, Qt::blue, Qt::cyan, Qt::magenta,
                                Qt::yellow, Qt::darkRed, Qt::darkGreen, Qt::darkBlue};

QImage transparentCanvas(QSize size)
{
    QImage canvas(size, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    return canvas;
}

QPixmap solid(QSize size, const QColor& colour)
{
    QPixmap pixmap(size);
    pixmap.fill(colour);
    return pixmap;
}

// The first pixel of the area that is not of the colour, or "" when all are.
QString firstPixelOtherThan(const QImage& image, const QRect& area, const QColor& colour)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) != colour)
                return QStringLiteral("(%1, %2) is %3").arg(x).arg(y).arg(image.pixelColor(x, y).name(QColor::HexArgb));
    return QString();
}

// A frame image of (2c + 1) squared pixels whose nine parts (corners, the
// middle row and column, the centre) each have a colour of their own.
QPixmap nineColourFrame(int c)
{
    QImage frame(2 * c + 1, 2 * c + 1, QImage::Format_ARGB32);
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x) {
            const int column = x < c ? 0 : x == c ? 1 : 2;
            const int row = y < c ? 0 : y == c ? 1 : 2;
            frame.setPixelColor(x, y, kColours.at(row * 3 + column));
        }
    return QPixmap::fromImage(frame);
}

} // namespace

class TestGuiUtils : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundedBorderPieces_data()
    {
        // Around (100, 100, 50 x 30) with corners of 5 and an outset of 7:
        // the frame covers (93, 93) to (156, 136).
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("top-left corner") << QRect(93, 93, 5, 5) << kColours.at(0);
        QTest::newRow("top edge") << QRect(98, 93, 54, 5) << kColours.at(1);
        QTest::newRow("top-right corner") << QRect(152, 93, 5, 5) << kColours.at(2);
        QTest::newRow("left edge") << QRect(93, 98, 5, 34) << kColours.at(3);
        QTest::newRow("inside stays clear") << QRect(98, 98, 54, 34) << QColor(Qt::transparent);
        QTest::newRow("right edge") << QRect(152, 98, 5, 34) << kColours.at(5);
        QTest::newRow("bottom-left corner") << QRect(93, 132, 5, 5) << kColours.at(6);
        QTest::newRow("bottom edge") << QRect(98, 132, 54, 5) << kColours.at(7);
        QTest::newRow("bottom-right corner") << QRect(152, 132, 5, 5) << kColours.at(8);
        QTest::newRow("nothing left of it") << QRect(92, 80, 1, 70) << QColor(Qt::transparent);
        QTest::newRow("nothing below it") << QRect(80, 137, 90, 1) << QColor(Qt::transparent);
        QTest::newRow("nothing right of it") << QRect(157, 80, 1, 70) << QColor(Qt::transparent);
    }

    void roundedBorderPieces()
    {
        QFETCH(QRect, area);
        QFETCH(QColor, colour);
        QImage canvas = transparentCanvas(QSize(200, 200));
        QPainter painter(&canvas);
        drawRoundedImageBorder(&painter, QRect(100, 100, 50, 30), nineColourFrame(5), 5, 7);
        painter.end();
        QCOMPARE(firstPixelOtherThan(canvas, area, colour), QString());
    }

    void shadowPieces_data()
    {
        QTest::addColumn<QList<QSize>>("sizes");
        QTest::addColumn<QList<QRect>>("areas");
        // Around (10, 10, 20 x 20), pieces in the order top-left, left,
        // bottom-left, bottom, bottom-right, right, top-right, top.
        QTest::newRow("4 x 4 pieces") << QList<QSize>(8, QSize(4, 4))
                                      << QList<QRect>{{6, 6, 4, 4},   {6, 10, 4, 20},  {6, 30, 4, 4},
                                                      {10, 30, 20, 4}, {30, 30, 4, 4}, {30, 10, 4, 20},
                                                      {30, 6, 4, 4},  {10, 6, 20, 4}};
        // Sides keep their thickness and stretch along the rectangle.
        QTest::newRow("uneven pieces")
            << QList<QSize>{{3, 5}, {4, 1}, {2, 6}, {1, 6}, {5, 3}, {2, 1}, {6, 2}, {1, 3}}
            << QList<QRect>{{7, 5, 3, 5},   {6, 10, 4, 20}, {8, 30, 2, 6}, {10, 30, 20, 6},
                            {30, 30, 5, 3}, {30, 10, 2, 20}, {30, 8, 6, 2}, {10, 7, 20, 3}};
    }

    void shadowPieces()
    {
        QFETCH(QList<QSize>, sizes);
        QFETCH(QList<QRect>, areas);
        QList<QPixmap> pieces;
        for (int i = 0; i < sizes.size(); ++i)
            pieces << solid(sizes.at(i), kColours.at(i));
        pieces << solid(QSize(40, 40), kColours.at(8)); // a ninth piece is ignored

        QImage canvas = transparentCanvas(QSize(50, 50));
        QPainter painter(&canvas);
        drawShadowRect(&painter, QRect(10, 10, 20, 20), pieces);
        painter.end();

        // Every piece where it belongs, nothing anywhere else.
        QImage expected = transparentCanvas(canvas.size());
        QPainter reference(&expected);
        for (int i = 0; i < areas.size(); ++i)
            reference.fillRect(areas.at(i), kColours.at(i));
        reference.end();
        for (int y = 0; y < canvas.height(); ++y)
            for (int x = 0; x < canvas.width(); ++x)
                QVERIFY2(canvas.pixel(x, y) == expected.pixel(x, y),
                         qPrintable(QStringLiteral("pixel (%1, %2)").arg(x).arg(y)));
    }

    void shadowNeedsEightPieces()
    {
        RecordingLogger& logger = RecordingLogger::install();
        logger.lines.clear();
        QImage canvas = transparentCanvas(QSize(50, 50));
        QPainter painter(&canvas);
        painter.setOpacity(0.5);
        drawShadowRect(&painter, QRect(10, 10, 20, 20), QList<QPixmap>(7, solid(QSize(4, 4), Qt::red)));
        QCOMPARE(painter.opacity(), 0.5);
        painter.end();
        QCOMPARE(firstPixelOtherThan(canvas, canvas.rect(), Qt::transparent), QString());
        const QStringList errors = logger.linesAt('E');
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().startsWith("ASSERT_X in ") && errors.first().contains("GuiUtils.cpp"),
                 qPrintable(errors.first()));
    }

    void fullTransparencyClearsBackgroundsOnly()
    {
        QWidget widget;
        QPalette palette = widget.palette();
        palette.setColor(QPalette::WindowText, Qt::yellow);
        widget.setPalette(palette);

        setWidgetFullTransparency(&widget);
        setWidgetFullTransparency(nullptr);

        const QPalette result = widget.palette();
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            for (QPalette::ColorRole role : {QPalette::Window, QPalette::Button, QPalette::Base, QPalette::Light,
                                             QPalette::Midlight, QPalette::Dark, QPalette::Mid, QPalette::Shadow})
                QCOMPARE(result.color(group, role).alpha(), 0);
            QCOMPARE(result.color(group, QPalette::WindowText), QColor(Qt::yellow));
        }
        QCOMPARE(result.color(QPalette::Text), palette.color(QPalette::Text));
    }

    // A style sheet's min-width lets a tight layout squeeze a button below
    // its text; a button that keeps its whole text makes the spacer give way.
    void wholeTextInATightLayout_data()
    {
        QTest::addColumn<bool>("kept");
        QTest::newRow("as styled") << false;
        QTest::newRow("whole text kept") << true;
    }
    void wholeTextInATightLayout()
    {
        QFETCH(bool, kept);
        QWidget pane;
        pane.setStyleSheet(QStringLiteral("QPushButton { min-width: 60px; }"));
        auto* layout = new QHBoxLayout(&pane);
        layout->addSpacerItem(new QSpacerItem(613, 18, QSizePolicy::Expanding, QSizePolicy::Minimum));
        auto* button = new QPushButton(QStringLiteral("Zur\u00fccksetzen und anwenden"), &pane);
        layout->addWidget(button);
        if (kept)
            keepWholeText(button);
        pane.resize(300, 40);
        pane.show();
        layout->activate();
        QCOMPARE(button->width() >= button->sizeHint().width(), kept);
    }
};

QTEST_MAIN(TestGuiUtils)
#include "tst_guiutils.moc"
