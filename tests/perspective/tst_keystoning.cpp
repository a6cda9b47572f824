// The keystoning module, its settings panel and tool pane: what the engine
// receives in each mode, the default layout, switching the module on and
// off, Preview and Control, the undo steps of handles and presets, and the
// field-of-view message.

#include "correction/CCorrectionItems.h"
#include "correction/CCorrectionModuleHost.h"
#include "correction/CRectangleNode.h"
#include "correction/CUndoController.h"
#include "correction/CorrectionIds.h"
#include "correction/CorrectionInfoWidget.h"
#include "engine/ParameterGroups.h"
#include "perspective/CKeystoningCorrection.h"
#include "perspective/CKeystoningSettings.h"
#include "perspective/CKeystoningToolPane.h"
#include "shell/CBaseCorrectionGlobalData.h"
#include "utils/CSettings.h"
#include "utils/StyleSheets.h"
#include "view/CSlider.h"

#include "FakeProcessEngine.h"
#include "RecordingLogger.h"
#include "TestApplication.h"

#include <QGraphicsItemGroup>
#include <QGraphicsScene>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QTranslator>
#include <QUndoStack>

namespace {

// Records every dictionary and point list in full and answers the last
// render's parameters as the test sets them.
class KeystoningEngine : public FakeProcessEngine
{
public:
    bool addCEDictionaryParameters(NavikNS::Dictionary params) override
    {
        dictionaries.append(params);
        return accept;
    }
    void setNormolizedKeystoningPointsOnOriginalImage(QVector<QPointF> points) override { pointLists.append(points); }
    NavikNS::Dictionary getLastTransformInParams() const override { return lastIn; }
    NavikNS::Dictionary getLastTransformOutParams() const override { return lastOut; }
    bool isKeystoningPointsChanged() const override { return pointsChanged; }

    QList<Navik::Dictionary> dictionaries;
    QList<QVector<QPointF>> pointLists;
    Navik::Dictionary lastIn;
    Navik::Dictionary lastOut;
    bool accept = true;
    bool pointsChanged = false;
};

QString text(const Navik::Dictionary& dict, const char* key)
{
    return QString::fromStdString(dict.GetValueForKey(key).AsString());
}

// A fake horizon module: only its active flag matters here.
class FakeHorizon : public CBaseCorrectionModule
{
    Q_OBJECT
public:
    FakeHorizon()
        : CBaseCorrectionModule(4)
    {
    }
    QByteArray serialize() override { return {}; }
    void deserialize(const QByteArray&, bool) override {}
    bool isEqual(const QByteArray& a, const QByteArray& b) override { return a == b; }
    QString id() const override { return QStringLiteral("Horizon"); }
    QWidget* createToolPaneWidget(QWidget*) override { return nullptr; }
    void attachToLayout(QLayout*) override {}
    void setSingleMode() override {}
    void setSplitedMode() override {}
    void setModuleActive(bool active) override { setModuleState(active); }
    void activateSpecificCorrection(const QString&) override {}
    void touchAdditionalControl(const QString&) override {}
    void resetModule() override {}
    void resetCurrentCorrection() override {}
    void applyCorrection(bool*) override {}
    QWidget* createSettingsWidget(QWidget*) override { return nullptr; }
    bool isModuleAvailable() override { return true; }
    QString moduleDisplayName() const override { return id(); }

protected:
    void doInitialize() override {}
};

} // namespace

// The module's state as the undo steps record it.
class ModuleRecord : public ISerializableInterface
{
public:
    QByteArray serialize() override { return module ? module->serialize() : QByteArray(); }
    void deserialize(const QByteArray& bytes, bool flag) override
    {
        if (module)
            module->deserialize(bytes, flag);
    }
    bool isEqual(const QByteArray& a, const QByteArray& b) override { return a == b; }
    QString id() const override { return QStringLiteral("Keystoning"); }

    CKeystoningCorrection* module = nullptr;
};

class TestKeystoning : public QObject
{
    Q_OBJECT
private:
    ModuleRecord m_record;
    RecordingLogger& m_logger = RecordingLogger::install();
    KeystoningEngine m_engine;
    CBaseCorrectionGlobalData m_images;
    std::unique_ptr<QGraphicsScene> m_before;
    std::unique_ptr<QGraphicsScene> m_after;
    std::unique_ptr<CCorrectionModuleHost> m_host;
    std::shared_ptr<CKeystoningCorrection> m_module;
    QUndoStack& m_stack = *CUndoController::instance()->undoStack();

    int assertions() const { return m_logger.linesAt('E').filter(QStringLiteral("ASSERT in ")).size(); }
    void placeBefore(const QVector<QPointF>& corners)
    {
        CCorrectionItems* set = m_module->beforeSceneItems;
        set->leftTop->setPos(corners[0]);
        set->leftBottom->setPos(corners[1]);
        set->rightBottom->setPos(corners[2]);
        set->rightTop->setPos(corners[3]);
    }
    void activate(const QString& argument)
    {
        m_host->processModuleAction(QStringLiteral("Keystoning"), UserActivity::SpecificCorrectionActivated, argument);
    }
    void resetUndo()
    {
        CUndoController::instance()->resetUndoStack();
        CUndoController::instance()->createUndoCommand();
    }

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void requestOfEachMode_data();
    void requestOfEachMode();
    void modeZeroSendsNothing();
    void normalisedPointsOutsideTheImage();
    void defaultLayoutIsNoKeystoning();
    void invalidConfigurationIsRefused();
    void switchingOffKeepsSliderValues();
    void switchingOffBeforeAnyRender();
    void previewAndControl();
    void arrowNudgesMakeOneUndoStep();
    void engineOutputMovesTheAfterHandles();
    void stateRoundTrip();
    void stateRestoredAtOnceDropsTheWaitingOne();
    void panelTypeButtons();
    void intensityPresets();
    void presetNameBesideItsGlyph_data();
    void presetNameBesideItsGlyph();
    void fieldOfViewMessage();
    void toolPane();
    void unreadableStoredColours_data();
    void unreadableStoredColours();
};

void TestKeystoning::initTestCase()
{
    CUndoController::instance()->setProcessEngine(&m_engine);
    CUndoController::instance()->addSerializableObject(&m_record);
}

void TestKeystoning::init()
{
    application()->engine = &m_engine;
    m_engine.dictionaries.clear();
    m_engine.pointLists.clear();
    m_engine.lastIn = {};
    m_engine.lastOut = {};
    m_engine.accept = true;
    m_engine.pictureLoaded = true;
    m_engine.pointsChanged = false;
    m_engine.fieldOfViewWellEstimated = true;
    m_engine.imageSize = QSize(1000, 500);
    m_before = std::make_unique<QGraphicsScene>(0, 0, 1, 1);
    m_after = std::make_unique<QGraphicsScene>(0, 0, 1, 1);
    m_host = std::make_unique<CCorrectionModuleHost>();
    m_host->initialize(m_before.get(), m_after.get());
    m_module = std::make_shared<CKeystoningCorrection>(&m_images, 3);
    m_record.module = m_module.get();
    m_host->addCorrectionModule(m_module);
    m_before->setSceneRect(0, 0, 800, 600);
    m_after->setSceneRect(0, 0, 800, 600);
    m_logger.clear();
}

void TestKeystoning::cleanup()
{
    m_record.module = nullptr;
    m_host.reset();
    m_module.reset();
    m_before.reset();
    m_after.reset();
    application()->engine = nullptr;
}

void TestKeystoning::requestOfEachMode_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QVector<int>>("order");  // indexes into LeftTop, LeftBottom, RightBottom, RightTop
    QTest::newRow("horizontal") << "HorizontalCorrection" << "Parallel" << QVector<int>{0, 3, 2, 1};
    QTest::newRow("vertical") << "VerticalCorrection" << "Parallel" << QVector<int>{0, 1, 2, 3};
    QTest::newRow("rectangle") << "RectangleCorrection" << "Rectangle" << QVector<int>{0, 1, 2, 3};
    QTest::newRow("eight points") << "8PointsCorrection" << "FourLines" << QVector<int>{};
}

void TestKeystoning::requestOfEachMode()
{
    QFETCH(QString, argument);
    QFETCH(QString, mode);
    QFETCH(QVector<int>, order);
    activate(argument);
    const QVector<QPointF> corners{{100, 50}, {150, 400}, {700, 450}, {600, 100}};
    placeBefore(corners);
    m_module->setSingleMode();  // whichever set is current, the before set's points go
    m_engine.dictionaries.clear();
    m_engine.pointLists.clear();
    QVERIFY(m_module->sendCorrectionRequest());

    QCOMPARE(m_engine.dictionaries.size(), 1);
    const Navik::Dictionary& dict = m_engine.dictionaries.first();
    QCOMPARE(dict.Count(), 6u);
    QCOMPARE(dict.GetValueForKey("KeystoningActive").GetType(), Navik::Value::kTypeBool);
    QVERIFY(dict.GetValueForKey("KeystoningActive").AsBool());
    QCOMPARE(dict.GetValueForKey("OutputImageMaxSize").GetType(), Navik::Value::kTypeDouble);
    QCOMPARE(dict.GetValueForKey("OutputImageMaxSize").AsDouble(), 300.0);
    QCOMPARE(dict.GetValueForKey("KeystoningKeepCenter").AsBool(), true);
    QCOMPARE(dict.GetValueForKey("KeystoningScale").GetType(), Navik::Value::kTypeInt);
    QCOMPARE(dict.GetValueForKey("KeystoningScale").AsInt(), 100);
    QCOMPARE(text(dict, "KeystoningMode"), mode);
    const Navik::ValueArray& identity = dict.GetValueForKey("KeystoningPreviousHomographyBackward").AsValueArray();
    QCOMPARE(identity.Count(), 9u);
    for (unsigned i = 0; i < 9; ++i)
        QCOMPARE(identity.GetValueAtIndex(i).AsDouble(), i % 4 == 0 ? 1.0 : 0.0);

    QCOMPARE(m_engine.pointLists.size(), 1);
    const QVector<QPointF> sent = m_engine.pointLists.first();
    QVector<QPointF> expected;
    if (order.isEmpty()) {
        for (const QPointF& point : m_module->beforeSceneItems->eightPointsItems->points())
            expected.append(QPointF(point.x() / 1000, point.y() / 500));
        QCOMPARE(expected.size(), 8);
    } else {
        for (int index : order)
            expected.append(QPointF(corners[index].x() / 1000, corners[index].y() / 500));
    }
    QCOMPARE(sent, expected);
    QCOMPARE(assertions(), 0);
}

void TestKeystoning::modeZeroSendsNothing()
{
    QSignalSpy preview(m_module.get(), &CKeystoningCorrection::setPreviewButtonEnabled);
    QVERIFY(!m_module->sendCorrectionRequest());
    QVERIFY(m_engine.dictionaries.isEmpty() && m_engine.pointLists.isEmpty());
    QCOMPARE(preview.count(), 0);
}

void TestKeystoning::normalisedPointsOutsideTheImage()
{
    QCOMPARE(m_module->normalizedOriginalImagePoints({{-10, 50}}), QVector<QPointF>{QPointF(-0.01, 0.1)});
    QCOMPARE(assertions(), 1);
    m_engine.imageSize = QSize(0, 0);
    QCOMPARE(m_module->normalizedOriginalImagePoints({{30, 40}}), QVector<QPointF>{QPointF(0, 0)});
}

void TestKeystoning::defaultLayoutIsNoKeystoning()
{
    // The first activation lays both sets out on the middle half of the
    // scene: the points sent mark an upright rectangle, which corrects nothing.
    activate(QStringLiteral("RectangleCorrection"));
    CCorrectionItems* set = m_module->beforeSceneItems;
    QCOMPARE(set->leftTop->pos(), QPointF(200, 150));
    QCOMPARE(set->rightTop->pos(), QPointF(600, 150));
    QCOMPARE(set->leftBottom->pos(), QPointF(200, 450));
    QCOMPARE(set->rightBottom->pos(), QPointF(600, 450));
    m_module->placeNodesAtDefaultPositions(set, true);
    QCOMPARE(set->leftTop->pos(), QPointF(250, 150));
    QCOMPARE(set->rightBottom->pos(), QPointF(550, 450));

    m_module->placeNodesAtDefaultPositions(set, false);
    m_engine.imageSize = QSize(800, 600);
    m_module->sendCorrectionRequest();
    const QVector<QPointF> sent = m_engine.pointLists.last();
    QCOMPARE(sent, (QVector<QPointF>{{0.25, 0.25}, {0.25, 0.75}, {0.75, 0.75}, {0.75, 0.25}}));
}

void TestKeystoning::invalidConfigurationIsRefused()
{
    // The request as the engine's rendering task sees it: the points it
    // stored beside the dictionary. A crossed quadrilateral is refused, and
    // the task then renders nothing, so the picture stays as it was.
    const auto configurationValid = [this] {
        Navik::Dictionary dict = m_engine.dictionaries.last();
        Navik::ValueArray points;
        for (const QPointF& point : m_engine.pointLists.last()) {
            points.Append(Navik::Value(point.x()));
            points.Append(Navik::Value(point.y()));
        }
        dict.SetValueForKey("KeystoningPoints", Navik::Value(points));
        return isKeystoningPointsConfigurationValid(dict, m_engine.imageSize);
    };
    activate(QStringLiteral("RectangleCorrection"));
    QVERIFY(configurationValid());
    placeBefore({{100, 50}, {700, 450}, {150, 400}, {600, 100}});
    m_module->sendCorrectionRequest();
    QVERIFY(!configurationValid());
}

void TestKeystoning::switchingOffKeepsSliderValues()
{
    auto horizon = std::make_shared<FakeHorizon>();
    m_host->addCorrectionModule(horizon);
    activate(QStringLiteral("VerticalCorrection"));
    QVERIFY(m_module->isModuleActive());

    // The horizon module shares the switch: while it is on, no key goes.
    horizon->setModuleActive(true);
    m_engine.lastIn.SetValueForKey("KeystoningUpDown", Navik::Value(12));
    m_engine.lastIn.SetValueForKey("KeystoningLeftRight", Navik::Value(-3));
    m_engine.lastIn.SetValueForKey("KeystoningHVRatio", Navik::Value(40));
    m_engine.lastIn.SetValueForKey("KeystoningBlendingIntensity", Navik::Value(75));
    m_engine.dictionaries.clear();
    m_module->setModuleActive(false);
    QCOMPARE(m_engine.dictionaries.size(), 1);
    Navik::Dictionary off = m_engine.dictionaries.last();
    QVERIFY(off.GetValueForKey("KeystoningActive").GetType() == Navik::Value::kTypeInvalid);
    QCOMPARE(text(off, "KeystoningMode"), QString());
    QCOMPARE(off.GetValueForKey("KeystoningBlendingIntensity").AsInt(), 100);
    QCOMPARE(off.GetValueForKey("KeystoningHVRatio").AsInt(), 0);

    // Back on: the values read back, then the last request.
    m_engine.dictionaries.clear();
    m_engine.pointLists.clear();
    m_module->setModuleActive(true);
    QCOMPARE(m_engine.dictionaries.size(), 2);
    const Navik::Dictionary on = m_engine.dictionaries.first();
    QCOMPARE(on.Count(), 5u);
    QVERIFY(on.GetValueForKey("KeystoningActive").AsBool());
    QCOMPARE(on.GetValueForKey("KeystoningUpDown").AsInt(), 12);
    QCOMPARE(on.GetValueForKey("KeystoningLeftRight").AsInt(), -3);
    QCOMPARE(on.GetValueForKey("KeystoningHVRatio").AsInt(), 40);
    QCOMPARE(on.GetValueForKey("KeystoningBlendingIntensity").AsInt(), 75);
    QCOMPARE(text(m_engine.dictionaries.last(), "KeystoningMode"), QStringLiteral("Parallel"));
    QCOMPARE(m_engine.pointLists.size(), 1);

    // With the horizon module off, the switch goes off with this one.
    horizon->setModuleActive(false);
    m_module->setModuleActive(false);
    off = m_engine.dictionaries.last();
    QCOMPARE(off.GetValueForKey("KeystoningActive").GetType(), Navik::Value::kTypeBool);
    QVERIFY(!off.GetValueForKey("KeystoningActive").AsBool());
}

void TestKeystoning::switchingOffBeforeAnyRender()
{
    // No horizon module: the shared switch is left alone. No render has taken
    // the sliders yet: they read as their neutral values, intensity 100.
    activate(QStringLiteral("VerticalCorrection"));
    m_module->setModuleActive(false);
    QVERIFY(m_engine.dictionaries.last().GetValueForKey("KeystoningActive").GetType() == Navik::Value::kTypeInvalid);
    m_engine.dictionaries.clear();
    m_module->setModuleActive(true);
    const Navik::Dictionary on = m_engine.dictionaries.first();
    QCOMPARE(on.GetValueForKey("KeystoningBlendingIntensity").AsInt(), 100);
    QCOMPARE(on.GetValueForKey("KeystoningUpDown").AsInt(), 0);
}

void TestKeystoning::previewAndControl()
{
    resetUndo();
    activate(QStringLiteral("RectangleCorrection"));
    QSignalSpy preview(m_module.get(), &CKeystoningCorrection::setPreviewButtonEnabled);
    CRectangleNode* node = m_module->afterSceneItems->leftTop;

    // Single view: an after-scene handle waits for Preview, unless Control is held.
    m_module->setSingleMode();
    m_engine.dictionaries.clear();
    preview.clear();
    const int steps = m_stack.count();
    node->setPos(220, 160);
    m_module->sceneItemMoved(node, nullptr, false);
    QVERIFY(m_engine.dictionaries.isEmpty());
    QCOMPARE(preview.last().first().toBool(), true);
    QCOMPARE(m_stack.count(), steps + 1);
    QCOMPARE(m_stack.command(m_stack.count() - 1)->text(), QStringLiteral("Keystoning correction scene point moved"));
    // The before set followed the moved handle.
    QCOMPARE(m_module->beforeSceneItems->leftTop->pos(), QPointF(220, 160));

    m_module->afterSceneItems->rightTop->setPos(580, 160);
    m_module->sceneItemMoved(nullptr, m_module->afterSceneItems->topEdge, true);
    QCOMPARE(m_engine.dictionaries.size(), 1);
    QCOMPARE(m_stack.command(m_stack.count() - 1)->text(), QStringLiteral("Keystoning correction scene edge moved"));

    // Split view: the before handles send at once.
    m_module->setSplitedMode();
    m_engine.dictionaries.clear();
    m_module->sceneItemMoved(m_module->beforeSceneItems->rightTop, nullptr, false);
    QCOMPARE(m_engine.dictionaries.size(), 1);
}

void TestKeystoning::arrowNudgesMakeOneUndoStep()
{
    resetUndo();
    activate(QStringLiteral("VerticalCorrection"));
    resetUndo();
    CRectangleNode* node = m_module->beforeSceneItems->leftBottom;
    for (int i = 0; i < 5; ++i) {
        node->setPos(node->pos() + QPointF(1, 0));
        m_module->sceneItemMoved(node, nullptr, false);
    }
    QCOMPARE(m_stack.count(), 1);
    QCOMPARE(m_engine.pointLists.last().at(1), QPointF(205.0 / 1000, 450.0 / 500));
}

void TestKeystoning::engineOutputMovesTheAfterHandles()
{
    activate(QStringLiteral("RectangleCorrection"));
    m_engine.shift = QPointF(10, 20);
    m_module->beforeSceneItems->leftTop->setPos(300, 300);
    m_module->afterSceneItems->setOnResultImage(false);
    // Without both homographies the handles stay.
    emit m_engine.transformOutParamsChanged();
    QCOMPARE(m_module->afterSceneItems->leftTop->pos(), QPointF(200, 150));
    QVERIFY(!m_module->afterSceneItems->isOnResultImage());

    const Navik::ValueArray nine{1.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 1.0};
    m_engine.lastOut.SetValueForKey("KeystoningUpdatedHomographyForward", Navik::Value(nine));
    m_engine.lastOut.SetValueForKey("KeystoningUpdatedHomographyBackward", Navik::Value(nine));
    emit m_engine.transformOutParamsChanged();
    QVERIFY(m_module->afterSceneItems->isOnResultImage());
}

void TestKeystoning::stateRoundTrip()
{
    activate(QStringLiteral("8PointsCorrection"));
    const QByteArray saved = m_module->serialize();
    m_host->processModuleAction(QStringLiteral("Keystoning"), UserActivity::CorrectionApplyed, QString());
    m_module->resetModule();
    QCOMPARE(m_module->correctionMode(), 0);

    // Deferred: the mode at once, the rest with the next engine output.
    m_module->deserialize(saved, true);
    QCOMPARE(m_module->correctionMode(), 4);
    m_module->beforeSceneItems->leftTop->setPos(1, 1);
    emit m_engine.transformOutParamsChanged();
    QCOMPARE(m_module->beforeSceneItems->leftTop->pos(), QPointF(200, 150));
    QCOMPARE(m_module->serialize(), saved);
}

// A deferred state whose render failed is followed by one restored at once
// (the step taken back): the next engine output keeps the newer handles.
void TestKeystoning::stateRestoredAtOnceDropsTheWaitingOne()
{
    activate(QStringLiteral("RectangleCorrection"));
    m_module->beforeSceneItems->leftTop->setPos(40, 30);
    const QByteArray failed = m_module->serialize();
    m_module->beforeSceneItems->leftTop->setPos(120, 90);
    const QByteArray good = m_module->serialize();

    m_module->deserialize(failed, true);
    m_module->deserialize(good, false);
    QCOMPARE(m_module->beforeSceneItems->leftTop->pos(), QPointF(120, 90));
    emit m_engine.transformOutParamsChanged();
    QCOMPARE(m_module->beforeSceneItems->leftTop->pos(), QPointF(120, 90));
    QCOMPARE(m_module->serialize(), good);
}

void TestKeystoning::panelTypeButtons()
{
    resetUndo();
    auto* panel = qobject_cast<CKeystoningSettings*>(m_module->createSettingsWidget(nullptr));
    std::unique_ptr<QWidget> owner(panel);
    auto* rect = panel->findChild<QToolButton*>(QStringLiteral("rectTool"));
    auto* vertical = panel->findChild<QToolButton*>(QStringLiteral("verticalTool"));

    m_engine.pictureLoaded = false;
    rect->click();
    QVERIFY(!rect->isChecked());
    QCOMPARE(m_host->currentCorrectionName(), QStringLiteral("Empty_Correction_ID"));

    m_engine.pictureLoaded = true;
    rect->click();
    QVERIFY(rect->isChecked());
    QCOMPARE(m_host->currentCorrectionName(), QStringLiteral("Keystoning"));
    QCOMPARE(m_module->correctionMode(), 3);
    QCOMPARE(m_stack.command(m_stack.count() - 1)->text(), QStringLiteral("Activate rectangle correction"));

    vertical->click();
    QVERIFY(vertical->isChecked() && !rect->isChecked());
    QCOMPARE(m_module->correctionMode(), 2);

    // Clicking the checked type applies and closes the tool.
    vertical->click();
    QVERIFY(!vertical->isChecked());
    QCOMPARE(m_host->currentCorrectionName(), QStringLiteral("Empty_Correction_ID"));
    QCOMPARE(m_stack.command(m_stack.count() - 1)->text(), QStringLiteral("Apply vertical correction"));
}

void TestKeystoning::intensityPresets()
{
    resetUndo();
    auto* panel = qobject_cast<CKeystoningSettings*>(m_module->createSettingsWidget(nullptr));
    std::unique_ptr<QWidget> owner(panel);
    auto* natural = panel->findChild<QToolButton*>(QStringLiteral("toolButtonNatural"));
    auto* full = panel->findChild<QToolButton*>(QStringLiteral("toolButtonFull"));
    auto* intensity = panel->findChild<CSlider*>(QStringLiteral("keystoningSliderIntensity"));
    QVERIFY(full->isChecked() && !natural->isChecked());
    m_engine.calls.clear();

    natural->click();
    QCOMPARE(intensity->value(), 75);
    QVERIFY(natural->isChecked() && !full->isChecked());
    QCOMPARE(m_engine.calls, QStringList{QStringLiteral("float KeystoningBlendingIntensity 75")});
    QCOMPARE(m_stack.count(), 1);
    QCOMPARE(m_stack.command(0)->text(), QStringLiteral("Natural intensity applied"));

    // Already there: no step, nothing sent.
    natural->click();
    QCOMPARE(m_stack.count(), 1);
    QCOMPARE(m_engine.calls.size(), 1);
    QVERIFY(natural->isChecked() && !full->isChecked());

    // The shortcut of Full.
    const QList<QAction*> actions = panel->actions();
    QCOMPARE(actions.size(), 2);
    QCOMPARE(actions.at(1)->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_2));
    actions.at(1)->trigger();
    QCOMPARE(intensity->value(), 100);
    QVERIFY(full->isChecked() && !natural->isChecked());

    intensity->setValue(60, true);
    QVERIFY(!full->isChecked() && !natural->isChecked());
}

void TestKeystoning::presetNameBesideItsGlyph_data()
{
    QTest::addColumn<QString>("language");
    for (const char* language : {"en", "fr", "de", "ja"})
        QTest::newRow(language) << QString::fromLatin1(language);
}

// Each intensity preset shows its name whole on its plate, clear of the
// plate's glyph at the left, in every language.
void TestKeystoning::presetNameBesideItsGlyph()
{
    QFETCH(QString, language);
    QTranslator catalog;
    if (language != QLatin1String("en"))
        QVERIFY(catalog.load(QStringLiteral(":/translations/navik_") + language));
    QCoreApplication::installTranslator(&catalog);
    std::unique_ptr<QWidget> panel(m_module->createSettingsWidget(nullptr));
    QCoreApplication::removeTranslator(&catalog);
    NAVIK_tarl1::setCustomStyleSheet(panel.get());
    panel->show();
    panel->findChild<QWidget*>(QStringLiteral("keystoningShortcuts"))->show();

    // Columns that differ between two pictures of the same size.
    const auto differs = [](const QImage& a, int xa, const QImage& b, int xb) {
        for (int y = 0; y < a.height(); ++y) {
            const QRgb pa = a.pixel(xa, y);
            const QRgb pb = b.pixel(xb, y);
            if (qAbs(qRed(pa) - qRed(pb)) + qAbs(qGreen(pa) - qGreen(pb)) + qAbs(qBlue(pa) - qBlue(pb)) > 30)
                return true;
        }
        return false;
    };
    for (const char* name : {"toolButtonFull", "toolButtonNatural"}) {
        auto* button = panel->findChild<QToolButton*>(QLatin1String(name));
        button->show();
        QVERIFY(button->isVisible());
        const QImage shown = button->grab().toImage();
        const QString text = button->text();
        button->setText(QString());
        const QImage plate = button->grab().toImage();
        button->setText(text);
        QCOMPARE(shown.size(), plate.size());

        int textLeft = -1;
        int textRight = -1;
        for (int x = 0; x < shown.width(); ++x)
            if (differs(shown, x, plate, x)) {
                textRight = x;
                if (textLeft < 0)
                    textLeft = x;
            }
        // The glyph: the columns left of the plate's middle that differ from
        // its plain middle.
        int glyphRight = -1;
        for (int x = 0; x < plate.width() / 2; ++x)
            if (differs(plate, x, plate, plate.width() * 3 / 4))
                glyphRight = x;
        const QString where = QStringLiteral("%1 \"%2\": glyph to %3, text %4 to %5 of %6 px")
                                  .arg(QLatin1String(name), text)
                                  .arg(glyphRight)
                                  .arg(textLeft)
                                  .arg(textRight)
                                  .arg(shown.width());
        QVERIFY2(textLeft > 0 && glyphRight > 0, qPrintable(where));
        QVERIFY2(textLeft - glyphRight > 3, qPrintable(where));
        QVERIFY2(textRight < shown.width() - 2, qPrintable(where));
        QVERIFY2(button->width() >= button->sizeHint().width(), qPrintable(where));
    }
}

void TestKeystoning::fieldOfViewMessage()
{
    auto* panel = qobject_cast<CKeystoningSettings*>(m_module->createSettingsWidget(nullptr));
    std::unique_ptr<QWidget> owner(panel);
    panel->show();
    m_engine.fieldOfViewWellEstimated = false;
    m_engine.pointsChanged = true;
    m_engine.lastIn.SetValueForKey("KeystoningActive", Navik::Value(true));
    m_engine.lastIn.SetValueForKey("KeystoningBlendingIntensity", Navik::Value(100));
    m_engine.lastIn.SetValueForKey("KeystoningScale", Navik::Value(100));
    m_engine.lastIn.SetValueForKey("KeystoningMode", Navik::Value("Rectangle"));

    QVERIFY(!panel->isInfoWidgetShown());
    QVERIFY(!panel->isRatioSliderShown());
    panel->onToolWasActivated(true);
    QVERIFY(panel->isInfoWidgetShown());
    QVERIFY(panel->infoWidgetMessage().contains(QStringLiteral("\"Ratio\" slider")));

    // Each intensity check shows it again while the correction is in effect.
    emit m_module->checkIntensityControlsVisibility();
    QVERIFY(panel->isInfoWidgetShown());
    QVERIFY(panel->isRatioSliderShown());
    QVERIFY(panel->isKeystoningSliderIntensityShown());
    QVERIFY(panel->isToolButtonNaturalShown());

    // OK dismisses it for this picture.
    QMetaObject::invokeMethod(panel->findChild<CorrectionInfoWidget*>(), "linkActivated");
    QVERIFY(!panel->isInfoWidgetShown());
    panel->onToolWasActivated(true);
    emit m_module->checkIntensityControlsVisibility();
    QVERIFY(!panel->isInfoWidgetShown());

    // A new picture asks again.
    panel->onResetForNewImage();
    emit m_module->checkIntensityControlsVisibility();
    QVERIFY(panel->isInfoWidgetShown());

    // Nothing in effect: the intensity controls hide.
    m_engine.pointsChanged = false;
    emit m_module->checkIntensityControlsVisibility();
    QVERIFY(!panel->isKeystoningSliderIntensityShown());
    QVERIFY(!panel->isToolButtonFullShown());
    QVERIFY(!panel->isInfoWidgetShown());
}

void TestKeystoning::toolPane()
{
    activate(QStringLiteral("8PointsCorrection"));
    std::unique_ptr<QWidget> pane(m_module->createToolPaneWidget(nullptr));
    pane->show();
    auto* stack = pane->findChild<QStackedWidget*>(QStringLiteral("keystoningToolStackWidget"));
    auto* previewButton = pane->findChild<QPushButton*>(QStringLiteral("previewButton"));
    QCOMPARE(stack->currentIndex(), 1);
    QVERIFY(!previewButton->isEnabled());
    static_cast<CKeystoningToolPane*>(pane.get())->setCurrentPage(2);
    QCOMPARE(stack->currentIndex(), 1);

    m_module->setSingleMode();
    QVERIFY(previewButton->isVisible());
    m_module->sceneItemMoved(m_module->afterSceneItems->leftTop, nullptr, false);
    QVERIFY(previewButton->isEnabled());
    m_engine.dictionaries.clear();
    previewButton->click();
    QCOMPARE(m_engine.dictionaries.size(), 1);
    QVERIFY(!previewButton->isEnabled());

    // The colour swatch writes the setting and colours the handles.
    CKeystoningToolPane::setColorPicker([](QWidget*, const QColor&) { return QColor(0, 255, 0); });
    auto* swatch = pane->findChild<QLabel*>(QStringLiteral("verticalColorPicker"));
    QTest::mouseClick(static_cast<QWidget*>(swatch), Qt::RightButton);
    QCOMPARE(m_module->edgeColor(), QColor(Qt::blue));
    QTest::mouseClick(static_cast<QWidget*>(swatch), Qt::LeftButton);
    QCOMPARE(m_module->edgeColor(), QColor(0, 255, 0));
    CKeystoningToolPane::setColorPicker({});
}

void TestKeystoning::unreadableStoredColours_data()
{
    QTest::addColumn<QString>("stored");
    QTest::newRow("unknown name") << QStringLiteral("blu");
    QTest::newRow("short code") << QStringLiteral("#12345");
    QTest::newRow("empty") << QString();
}

void TestKeystoning::unreadableStoredColours()
{
    QFETCH(QString, stored);
    const QStringList keys{QStringLiteral("NavikEdgePenColor"),
                           QStringLiteral("KC_SETTINGS_KEY_HORIZONTAL_LINE_COLOR")};
    NAVIK_tarl1::CSettings settings;
    for (const QString& key : keys)
        settings.setValue(key, stored);
    QCOMPARE(m_module->edgeColor(), QColor(Qt::blue));
    QCOMPARE(m_module->horizontalLinesColor(), QColor(Qt::red));
    for (const QString& key : keys)
        settings.remove(key);
}

int main(int argc, char* argv[])
{
    TestApplication application(argc, argv);
    TestKeystoning test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_keystoning.moc"
