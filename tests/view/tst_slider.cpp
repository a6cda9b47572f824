// The slider row: text entry in several locales, the double-click reset, the
// wheel rule, the arrow keys, hidden rows and the stored state.

#include "view/CSlider.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace {

const char* const kRotationPattern = "^((\\-?90((\\.|\\,)0)?)|(\\-?[0-8]?[0-9]?((\\.|\\,)[0-9])?))$";

struct Row
{
    std::unique_ptr<CSlider> slider;
    QSlider* inner = nullptr;
    QLineEdit* field = nullptr;
};

Row makeRow(const SSliderParams& params, bool withPattern = false)
{
    Row row;
    row.slider = std::make_unique<CSlider>();
    row.slider->setObjectName(QStringLiteral("angleSlider"));
    if (withPattern)
        row.slider->setProperty("RegExp", QString::fromLatin1(kRotationPattern));
    row.slider->initialize(params);
    row.slider->setParameterName(QStringLiteral("Angle"));
    row.inner = row.slider->findChild<QSlider*>();
    row.field = row.slider->findChild<QLineEdit*>();
    return row;
}

SSliderParams rotation()
{
    return {QStringLiteral("Rotation"), -900, 900, 0, 1, true, 1.0};
}

SSliderParams upDown()
{
    return {QStringLiteral("Up / Down"), -125, 125, 0, 1, false, 1.0};
}

void sendWheel(QWidget* target, int delta)
{
    const QPointF at(target->width() / 2.0, target->height() / 2.0);
    QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(target, &wheel);
}

qint64 s_now = 0;

} // namespace

class TestSlider : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        s_now = 1000;
        CSlider::setClock([] { return s_now; });
    }
    void cleanupTestCase() { CSlider::setClock({}); }

    void initializeSetsRangeNameAndDefault()
    {
        Row row = makeRow({QStringLiteral("Intensity"), 0, 100, 100, 1, false, 1.0});
        QCOMPARE(row.inner->minimum(), 0);
        QCOMPARE(row.inner->maximum(), 100);
        QCOMPARE(row.inner->pageStep(), 5);
        QCOMPARE(row.inner->objectName(), QStringLiteral("angleSlider_Slider"));
        QCOMPARE(row.slider->value(), 100);
        QCOMPARE(row.field->text(), QStringLiteral("100"));
        QCOMPARE(row.slider->height(), 30);
    }

    void returnInLocales_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("shown");
        QTest::newRow("C point") << "C" << "12.5" << 125 << "12.5";
        QTest::newRow("C comma") << "C" << "12,5" << 125 << "12.5";
        QTest::newRow("C whole number") << "C" << "7" << 70 << "7.0";
        QTest::newRow("English comma is no group") << "en_US" << "12,5" << 125 << "12.5";
        QTest::newRow("French comma") << "fr_FR" << "12,5" << 125 << "12,5";
        QTest::newRow("French point") << "fr_FR" << "12.5" << 125 << "12,5";
        QTest::newRow("German negative comma") << "de_DE" << "-12,5" << -125 << "-12,5";
        QTest::newRow("German point is no group") << "de_DE" << "12.5" << 125 << "12,5";
        QTest::newRow("German limit") << "de_DE" << "-90,0" << -900 << "-90,0";
    }
    void returnInLocales()
    {
        QFETCH(QString, locale);
        QFETCH(QString, typed);
        QFETCH(int, position);
        QFETCH(QString, shown);
        auto slider = std::make_unique<CSlider>();
        slider->setLocale(QLocale(locale));
        slider->setProperty("RegExp", QString::fromLatin1(kRotationPattern));
        slider->setProperty("GUID", QStringLiteral("angle-row"));
        slider->initialize(rotation());
        slider->setParameterName(QStringLiteral("Angle"));
        auto* field = slider->findChild<QLineEdit*>();
        QSignalSpy changed(slider.get(), &CSlider::parameterChanged);
        QSignalSpy manual(slider.get(), &CSlider::valueChangedManually);
        QStringList order;
        connect(slider.get(), &CSlider::parameterChanged, this, [&order] { order << "changed"; });
        connect(slider.get(), &CSlider::valueChangedManually, this, [&order] { order << "manual"; });

        field->setText(typed);
        QTest::keyClick(field, Qt::Key_Return);

        QCOMPARE(slider->findChild<QSlider*>()->value(), position);
        QCOMPARE(field->text(), shown);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toString(), QStringLiteral("Angle"));
        QCOMPARE(changed.at(0).at(1).toInt(), position);
        QCOMPARE(manual.count(), 1);
        QCOMPARE(manual.at(0).at(1).toString(), QStringLiteral("angle-row"));
        QCOMPARE(order, QStringList({"changed", "manual"}));
    }

    void returnOnShownIntegerDoesNothing()
    {
        Row row = makeRow(upDown());
        row.slider->setValue(17, false);
        QSignalSpy changed(row.slider.get(), &CSlider::parameterChanged);
        QSignalSpy manual(row.slider.get(), &CSlider::valueChangedManually);
        QTest::keyClick(row.field, Qt::Key_Return);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(manual.count(), 0);

        row.field->setText(QStringLiteral("-40"));
        QTest::keyClick(row.field, Qt::Key_Return);
        QCOMPARE(row.slider->value(), -40);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(manual.count(), 1);
    }

    void setValueRules()
    {
        Row row = makeRow(upDown());
        QSignalSpy changed(row.slider.get(), &CSlider::parameterChanged);
        row.slider->setValue(126, true);
        QCOMPARE(row.slider->value(), 0);
        QCOMPARE(row.field->text(), QStringLiteral("0"));

        row.slider->setValue(30, false);
        QCOMPARE(row.slider->value(), 30);
        QCOMPARE(row.field->text(), QStringLiteral("30"));
        QCOMPARE(changed.count(), 0);

        row.slider->setValue(-5, true);
        QCOMPARE(changed.count(), 1);
        row.slider->setValue(-5, true);
        QCOMPARE(changed.count(), 1);

        // An edit not confirmed by Return goes when the field loses focus.
        row.field->setText(QStringLiteral("99"));
        QFocusEvent out(QEvent::FocusOut);
        QCoreApplication::sendEvent(row.field, &out);
        QCOMPARE(row.field->text(), QStringLiteral("-5"));
    }

    void friendFollowsSilently()
    {
        Row a = makeRow(upDown());
        Row b = makeRow(upDown());
        a.slider->setFriendSlider(b.slider.get());
        b.slider->setFriendSlider(a.slider.get());
        QSignalSpy changedB(b.slider.get(), &CSlider::parameterChanged);
        a.slider->setValue(12, true);
        QCOMPARE(b.slider->value(), 12);
        QCOMPARE(b.field->text(), QStringLiteral("12"));
        QCOMPARE(changedB.count(), 0);
        a.slider->setValue(-8, false);
        QCOMPARE(b.slider->value(), -8);
    }

    void undoKeysOnceTheValueIsGiven_data()
    {
        QTest::addColumn<bool>("returnPressed");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<bool>("windowTakesThem");
        QTest::newRow("typed edit keeps its undo") << false << QKeySequence(QKeySequence::Undo) << false;
        QTest::newRow("undo after Return") << true << QKeySequence(QKeySequence::Undo) << true;
        QTest::newRow("redo after Return") << true << QKeySequence(QKeySequence::Redo) << true;
    }
    void undoKeysOnceTheValueIsGiven()
    {
        QFETCH(bool, returnPressed);
        QFETCH(QKeySequence, keys);
        QFETCH(bool, windowTakesThem);
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* slider = new CSlider(&window);
        slider->setProperty("RegExp", QString::fromLatin1(kRotationPattern));
        slider->initialize(rotation());
        slider->setParameterName(QStringLiteral("Angle"));
        layout->addWidget(slider);
        // The window's Undo or Redo command, as a menu action holds it.
        auto* command = new QAction(&window);
        command->setShortcut(keys);
        window.addAction(command);
        QSignalSpy triggered(command, &QAction::triggered);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        auto* field = slider->findChild<QLineEdit*>();
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, QStringLiteral("12.5"));
        if (returnPressed)
            QTest::keyClick(field, Qt::Key_Return);
        QVERIFY(field->hasFocus());
        QTest::keySequence(field, keys);
        QCOMPARE(triggered.count(), windowTakesThem ? 1 : 0);
    }

    // Panels as the correction palette stacks them: a row, then a spacer
    // that keeps the row at the top; below them all a tall spacer. Once a
    // name wraps and the column needs scrolling, every panel stays as tall
    // as its row.
    void wrappedNameLeavesNoGapInAScrolledColumn()
    {
        QScrollArea area;
        area.setWidgetResizable(true);
        area.resize(240, 50);
        auto* column = new QWidget;
        // As narrow as a palette that cuts the longer name.
        column->setMaximumWidth(220);
        auto* layout = new QVBoxLayout(column);
        layout->setSpacing(0);
        layout->setContentsMargins(0, 0, 0, 0);
        QList<QWidget*> panels;
        QList<CSlider*> rows;
        for (const QString& name : {QStringLiteral("Horizontal / Vertical Ratio"), QStringLiteral("Rotation")}) {
            auto* panel = new QWidget(column);
            auto* panelLayout = new QVBoxLayout(panel);
            panelLayout->setSpacing(0);
            panelLayout->setContentsMargins(0, 0, 0, 0);
            auto* row = new CSlider(panel);
            row->initialize({name, -100, 100, 0, 1, false, 1.0});
            row->setParameterName(name);
            panelLayout->addWidget(row);
            panelLayout->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding));
            layout->addWidget(panel);
            panels << panel;
            rows << row;
        }
        layout->addItem(new QSpacerItem(20, 800, QSizePolicy::Fixed, QSizePolicy::Expanding));
        area.setWidget(column);
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        // The wrap and the layouts it asks for, to the end.
        for (int pass = 0; pass < 4; ++pass)
            QCoreApplication::sendPostedEvents();
        QVERIFY(rows.first()->findChild<QLabel*>(QStringLiteral("sliderLabel"))->wordWrap());
        QVERIFY(area.verticalScrollBar()->isVisible());
        for (int i = 0; i < panels.size(); ++i)
            QCOMPARE(panels.at(i)->height(), rows.at(i)->height());
    }

    void doubleClickResetTiming_data()
    {
        QTest::addColumn<qint64>("gap");
        QTest::addColumn<bool>("reset");
        QTest::newRow("at once") << qint64(0) << true;
        QTest::newRow("99 ms") << qint64(99) << true;
        QTest::newRow("100 ms") << qint64(100) << false;
    }
    void doubleClickResetTiming()
    {
        QFETCH(qint64, gap);
        QFETCH(bool, reset);
        Row row = makeRow(upDown());
        row.slider->setValue(40, false);
        QSignalSpy changed(row.slider.get(), &CSlider::parameterChanged);
        emit row.inner->sliderReleased();
        s_now += gap;
        emit row.inner->sliderPressed();
        QCOMPARE(row.slider->value(), reset ? 0 : 40);
        QCOMPARE(changed.count(), reset ? 1 : 0);
    }

    void firstPressNeverResets()
    {
        Row row = makeRow(upDown());
        row.slider->setValue(40, false);
        emit row.inner->sliderPressed();
        QCOMPARE(row.slider->value(), 40);
    }

    void wheelSteps_data()
    {
        QTest::addColumn<int>("delta");
        QTest::addColumn<int>("moved");
        QTest::newRow("one notch") << 120 << 3;
        QTest::newRow("back") << -120 << -3;
        QTest::newRow("small") << 39 << 0;
        QTest::newRow("two notches") << 240 << 6;
    }
    void wheelSteps()
    {
        QFETCH(int, delta);
        QFETCH(int, moved);
        Row row = makeRow(upDown());
        QSignalSpy manual(row.slider.get(), &CSlider::valueChangedManually);
        QTest::mousePress(row.inner, Qt::LeftButton, Qt::NoModifier, QPoint(1, 7));
        QTest::mouseRelease(row.inner, Qt::LeftButton, Qt::NoModifier, QPoint(1, 7));
        const int before = row.inner->value();
        manual.clear();
        sendWheel(row.inner, delta);
        QCOMPARE(row.inner->value() - before, moved);
        QCOMPARE(manual.count(), 1);
    }

    // The mouse's hold of the slider ends once: at the release, before the
    // release asks for its undo step, or when the slider is hidden or
    // disabled under the mouse and will get no release.
    void mouseHoldEndsOnce_data()
    {
        QTest::addColumn<QString>("end");
        QTest::addColumn<QStringList>("seen");
        QTest::newRow("released") << QStringLiteral("release") << QStringList{"held", "let go", "step"};
        QTest::newRow("hidden") << QStringLiteral("hide") << QStringList{"held", "let go"};
        QTest::newRow("disabled") << QStringLiteral("disable") << QStringList{"held", "let go"};
    }
    void mouseHoldEndsOnce()
    {
        QFETCH(QString, end);
        QFETCH(QStringList, seen);
        Row row = makeRow(upDown());
        row.slider->show();
        QStringList events;
        connect(row.slider.get(), &CSlider::mouseHoldStarted, [&events] { events << QStringLiteral("held"); });
        connect(row.slider.get(), &CSlider::mouseHoldEnded, [&events] { events << QStringLiteral("let go"); });
        connect(row.slider.get(), &CSlider::valueChangedManually, [&events] { events << QStringLiteral("step"); });
        QTest::mousePress(row.inner, Qt::LeftButton, Qt::NoModifier, QPoint(60, 7));
        if (end == QLatin1String("hide"))
            row.slider->hide();
        else if (end == QLatin1String("disable"))
            row.slider->setEnabled(false);
        else
            QTest::mouseRelease(row.inner, Qt::LeftButton, Qt::NoModifier, QPoint(60, 7));
        QCOMPARE(events, seen);
    }

    void unarmedWheelScrollsTheAreaOrNothing()
    {
        QScrollArea area;
        auto* content = new QWidget;
        content->setMinimumHeight(2000);
        auto* layout = new QVBoxLayout(content);
        auto* slider = new CSlider;
        slider->initialize(upDown());
        layout->addWidget(slider);
        area.setWidget(content);
        area.resize(300, 200);
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        auto* inner = slider->findChild<QSlider*>();
        area.verticalScrollBar()->setValue(100);

        sendWheel(inner, -120);
        QCOMPARE(area.verticalScrollBar()->value(), 100);  // no scroll area set: swallowed
        slider->setScrollArea(&area);
        sendWheel(inner, -120);
        QCOMPARE(area.verticalScrollBar()->value(), 115);
        QCOMPARE(slider->value(), 0);
    }

    void arrowsAtTheEndsStillReport()
    {
        Row row = makeRow(upDown());
        row.slider->setValue(125, false);
        QSignalSpy manual(row.slider.get(), &CSlider::valueChangedManually);
        QTest::keyClick(row.field, Qt::Key_Up);
        QCOMPARE(row.slider->value(), 125);
        QCOMPARE(manual.count(), 1);
        QTest::keyClick(row.field, Qt::Key_Down);
        QCOMPARE(row.slider->value(), 124);
        row.slider->onUp();
        QCOMPARE(row.slider->value(), 125);
        QCOMPARE(manual.count(), 3);
    }

    void serialisedState()
    {
        Row row = makeRow(upDown());
        row.slider->setValue(-37, false);
        row.slider->setVisible(true);
        const QByteArray state = row.slider->serializeWidgetState();
        QCOMPARE(state, QByteArray::fromHex("ffffffdb01"));

        Row other = makeRow(upDown());
        QSignalSpy changed(other.slider.get(), &CSlider::parameterChanged);
        other.slider->deserializeWidgetState(state);
        QCOMPARE(other.slider->value(), -37);
        QCOMPARE(other.field->text(), QStringLiteral("-37"));
        QCOMPARE(changed.count(), 0);
    }

    void hiddenRowStaysHidden()
    {
        QWidget panel;
        auto* slider = new CSlider(&panel);
        slider->setProperty("Hidden", true);
        slider->initialize(upDown());
        panel.show();
        QVERIFY(!slider->isVisible());
        slider->show();
        QVERIFY(!slider->isVisible());
        QCOMPARE(slider->serializeWidgetState().right(1), QByteArray::fromHex("00"));
    }

    // A name longer than the palette leaves room for takes more lines: every
    // line fits the label and the row is tall enough for all of them.
    void longNameKeepsItsWholeText()
    {
        QWidget panel;
        auto* layout = new QVBoxLayout(&panel);
        auto* slider = new CSlider(&panel);
        slider->initialize({QStringLiteral("Verh\u00e4ltnis horizontal / vertikal"), -100, 100, 0, 1, false, 1.0});
        layout->addWidget(slider);
        panel.setFixedWidth(300);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        auto* label = slider->findChild<QLabel*>(QStringLiteral("sliderLabel"));
        QVERIFY(label);
        const int flags = label->wordWrap() ? int(Qt::TextWordWrap) : 0;
        const QRect needed =
            QFontMetrics(label->font()).boundingRect(QRect(0, 0, label->width(), 1000), flags, label->text());
        QVERIFY2(needed.width() <= label->width(), qPrintable(QString::number(needed.width())));
        QVERIFY(needed.height() <= label->height());
        QVERIFY(label->geometry().bottom() < slider->height());
    }

    void focusOrder()
    {
        auto slider = std::make_unique<CSlider>();
        slider->setProperty("FocusOrder", QStringLiteral("24,25"));
        slider->initialize(rotation());
        QCOMPARE(slider->findChild<QSlider*>()->property("settingsFocusNumber").toInt(), 24);
        QCOMPARE(slider->findChild<QLineEdit*>()->property("settingsFocusNumber").toInt(), 25);
    }

    void interfaceQueries()
    {
        CSlider slider;
        QObject* object = &slider;
        QVERIFY(qobject_cast<IUIControlIntarface*>(object));
        QVERIFY(qobject_cast<ISerializableUiInterface*>(object));
        QVERIFY(object->inherits("CSlider"));
    }
};

QTEST_MAIN(TestSlider)
#include "tst_slider.moc"
