// The base settings panel and tool pane: sliders reported to the host and
// written to the engine, resets that report nothing, the undo steps of
// sliders, apply and reset, the field-of-view warning; the information
// widget and its link.

#include "correction/CBaseCorrectionSettings.h"
#include "correction/CCorrectionModuleHost.h"
#include "correction/CUndoController.h"
#include "correction/CorrectionInfoWidget.h"
#include "view/CSlider.h"

#include "FakeProcessEngine.h"
#include "RecordingLogger.h"
#include "TestApplication.h"
#include "TestModule.h"

#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>

namespace {

class TestPanel : public CBaseCorrectionSettings
{
    Q_OBJECT
public:
    TestPanel(ICorrectionModuleHost* host, QWidget* parent)
        : CBaseCorrectionSettings(host, QStringLiteral("Keystoning"), parent)
    {
        for (const char* name : {"KeystoningUpDown", "KeystoningLeftRight"}) {
            auto* slider = new CSlider(this);
            slider->setObjectName(QLatin1String(name));
            slider->initialize({QStringLiteral("x"), -50, 50, 5, 1, false, 1.0});
            slider->setParameterName(QLatin1String(name));
            connect(slider, &CSlider::parameterChanged, this, &CBaseCorrectionSettings::sliderValueChanged);
            connect(slider, &CSlider::valueChangedManually, this,
                    &CBaseCorrectionSettings::onSliderValueChangedManually);
            sliders.append(slider);
        }
    }

    void modulesStateWasChanged() override { ++refreshes; }
    void onShowAdditionalOptions(bool) override {}

    QList<CSlider*> sliders;
    int refreshes = 0;
    int warnings = 0;

protected:
    void showFieldOfViewWarning() override
    {
        ++warnings;
        if (!m_infoWidget)
            m_infoWidget = new CorrectionInfoWidget(this);
        m_infoWidget->setText(QStringLiteral("<b>Field</b> of view"));
        m_infoWidget->show();
    }
};

} // namespace

class TestCorrectionPanels : public QObject
{
    Q_OBJECT
private:
    RecordingLogger& m_logger = RecordingLogger::install();
    FakeProcessEngine m_engine;
    QStringList m_journal;
    std::unique_ptr<CCorrectionModuleHost> m_host;
    std::shared_ptr<TestModule> m_module;
    QUndoStack& m_stack = *CUndoController::instance()->undoStack();

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void sliderReportsThenWritesTheEngine();
    void resetAndActualiseReportNothing();
    void manualSliderEditsAreOneUndoStep();
    void toolPaneApplyAndReset();
    void fieldOfViewWarning();
    void linkRect_data();
    void linkRect();
    void infoTextGrowsWhenNarrow();
};

void TestCorrectionPanels::initTestCase()
{
    application()->engine = &m_engine;
    CUndoController& controller = *CUndoController::instance();
    controller.setProcessEngine(&m_engine);
    controller.addSerializableObject(&m_engine);
}

void TestCorrectionPanels::init()
{
    m_engine.calls.clear();
    m_engine.pictureLoaded = true;
    m_engine.fieldOfViewWellEstimated = true;
    m_journal.clear();
    m_host = std::make_unique<CCorrectionModuleHost>();
    m_module = std::make_shared<TestModule>(QStringLiteral("Keystoning"), 3, &m_journal);
    m_host->addCorrectionModule(m_module);
    m_journal.clear();
    CUndoController::instance()->resetUndoStack();
    CUndoController::instance()->createUndoCommand();  // the baseline
}

void TestCorrectionPanels::cleanup()
{
    m_host.reset();
    m_module.reset();
}

void TestCorrectionPanels::sliderReportsThenWritesTheEngine()
{
    TestPanel panel(m_host.get(), nullptr);
    QCOMPARE(panel.objectName(), QStringLiteral("KeystoningSettings"));
    // The module learns of the slider before the engine gets its value.
    connect(m_module.get(), &TestModule::correctionOrModuleStateIsChanged, this,
            [this] { m_journal.append(QStringLiteral("engine calls %1").arg(m_engine.calls.size())); });
    panel.sliders.first()->setValue(12, true);
    QCOMPARE(m_journal, (QStringList{"Keystoning active 1", "Keystoning touch KeystoningUpDown", "engine calls 0"}));
    QCOMPARE(m_engine.calls, QStringList{QStringLiteral("dict KeystoningUpDown 12")});
    QVERIFY(panel.refreshes >= 1);

    // No picture: the host ignores the report, the engine still gets the value.
    m_engine.pictureLoaded = false;
    m_journal.clear();
    panel.sliders.last()->setValue(-3, true);
    QVERIFY(m_journal.isEmpty());
    QCOMPARE(m_engine.calls.last(), QStringLiteral("dict KeystoningLeftRight -3"));
}

void TestCorrectionPanels::resetAndActualiseReportNothing()
{
    TestPanel panel(m_host.get(), nullptr);
    panel.sliders.first()->setValue(20, false);
    panel.moduleReseted();
    panel.actualizeSlidersVAlue();
    QVERIFY(m_journal.isEmpty());
    QVERIFY(m_engine.calls.contains(QStringLiteral("dict KeystoningUpDown 5")));
    QVERIFY(m_engine.calls.contains(QStringLiteral("dict KeystoningLeftRight 5")));
}

void TestCorrectionPanels::manualSliderEditsAreOneUndoStep()
{
    TestPanel panel(m_host.get(), nullptr);
    m_engine.state = "moved";
    emit panel.sliders.first()->valueChangedManually(QStringLiteral("KeystoningUpDown"), QStringLiteral("12"));
    QCOMPARE(m_stack.count(), 1);
    QCOMPARE(m_stack.text(0), QStringLiteral("Slider value changed"));
    QCOMPARE(m_stack.command(0)->id(), 2);
    m_engine.state = "moved more";
    emit panel.sliders.first()->valueChangedManually(QStringLiteral("KeystoningUpDown"), QStringLiteral("13"));
    QCOMPARE(m_stack.count(), 1);  // well within 500 ms of the first
    m_engine.state.clear();
}

void TestCorrectionPanels::toolPaneApplyAndReset()
{
    CBaseCorrectionToolPane pane(nullptr, m_host.get(), QStringLiteral("Keystoning"));
    m_host->processModuleAction(QStringLiteral("Keystoning"), QStringLiteral("SpecificCorrectionActivated"),
                                QStringLiteral("VerticalCorrection"));
    m_journal.clear();
    m_engine.state = "applied";
    pane.apply();
    QCOMPARE(m_journal.mid(0, 1), QStringList{QStringLiteral("Keystoning apply")});
    QCOMPARE(m_host->currentCorrectionName(), QStringLiteral("Empty_Correction_ID"));
    QCOMPARE(m_stack.text(m_stack.count() - 1), QStringLiteral("Apply and close tool"));
    m_engine.state = "reset";
    pane.reset();
    QVERIFY(m_journal.contains(QStringLiteral("Keystoning resetCurrent")));
    QCOMPARE(m_stack.text(m_stack.count() - 1), QStringLiteral("Reset tool"));
    m_engine.state.clear();
}

void TestCorrectionPanels::fieldOfViewWarning()
{
    TestPanel panel(m_host.get(), nullptr);
    panel.show();
    QVERIFY(!panel.isInfoWidgetShown());
    QCOMPARE(panel.infoWidgetMessage(), QString());
    panel.onToolWasActivated(true);
    QCOMPARE(panel.warnings, 0);  // well estimated

    m_engine.fieldOfViewWellEstimated = false;
    panel.onToolWasActivated(false);
    QCOMPARE(panel.warnings, 0);
    panel.onToolWasActivated(true);
    QCOMPARE(panel.warnings, 1);
    QVERIFY(panel.isInfoWidgetShown());
    QCOMPARE(panel.infoWidgetMessage(), QStringLiteral("Field of view"));

    // Dismissed until the next image.
    panel.onInfoLinkWasClicked();
    QVERIFY(!panel.isInfoWidgetShown());
    panel.onToolWasActivated(true);
    QCOMPARE(panel.warnings, 1);
    panel.onResetForNewImage();
    panel.onToolWasActivated(true);
    QCOMPARE(panel.warnings, 2);
    panel.moduleReseted();
    QVERIFY(!panel.isInfoWidgetShown());
}

void TestCorrectionPanels::linkRect_data()
{
    QTest::addColumn<bool>("pixmap");
    QTest::addColumn<bool>("hoverPixmap");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("extra");  // width beyond the text's

    QTest::newRow("nothing") << false << false << QString() << 0;
    QTest::newRow("one pixmap only: no icon, no gap") << true << false << QStringLiteral("Dismiss") << 0;
    QTest::newRow("icon only") << true << true << QString() << 16;
    QTest::newRow("icon and text") << true << true << QStringLiteral("Dismiss") << 20;
}

void TestCorrectionPanels::linkRect()
{
    QFETCH(bool, pixmap);
    QFETCH(bool, hoverPixmap);
    QFETCH(QString, text);
    QFETCH(int, extra);

    QPixmap icon(16, 16);
    icon.fill(Qt::white);
    LinkPainter link(nullptr);
    link.resize(200, 20);
    link.setLink(pixmap ? icon : QPixmap(), hoverPixmap ? icon : QPixmap(), text);
    const int textWidth = text.isEmpty() ? 0 : link.fontMetrics().horizontalAdvance(text);
    QCOMPARE(link.linkRect(), QRect(0, 0, textWidth + extra, 20));

    QSignalSpy clicked(&link, &LinkPainter::linkActivated);
    // Below the text but inside the widget's height counts.
    const QPoint inside(1, 18);
    QMouseEvent move(QEvent::MouseMove, inside, link.mapToGlobal(inside), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&link, &move);
    QCOMPARE(link.isHovered(), link.linkRect().width() > 0);
    QMouseEvent release(QEvent::MouseButtonRelease, inside, link.mapToGlobal(inside), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(&link, &release);
    QCOMPARE(clicked.count(), link.linkRect().width() > 0 ? 1 : 0);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&link, &leave);
    QVERIFY(!link.isHovered());
}

void TestCorrectionPanels::infoTextGrowsWhenNarrow()
{
    CorrectionInfoWidget info(nullptr);
    QVERIFY(info.isHidden());
    info.setText(QStringLiteral("The picture's camera data does not tell its field of view well enough for a "
                                "fully automatic correction of the perspective."));
    info.resize(400, 200);
    info.show();
    auto* text = info.findChild<QTextEdit*>();
    QVERIFY(text);
    QCoreApplication::processEvents();
    const int wide = text->height();
    // The whole message shows once the widget is shown.
    QVERIFY(wide > 0);
    QCOMPARE(wide, qRound(text->document()->size().height()));
    info.resize(120, 200);
    QCoreApplication::processEvents();
    QVERIFY(text->height() > wide);
    QVERIFY(text->toPlainText().startsWith(QLatin1String("The picture")));
}

int main(int argc, char* argv[])
{
    TestApplication application(argc, argv);
    TestCorrectionPanels test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_correctionpanels.moc"
