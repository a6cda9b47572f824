// The crop settings panel against a host and module of the test's own: what
// each control sends and which undo step it asks for, the synchronisation with
// each current correction (a perspective tool forcing automatic crop, an
// active distortion freeing the crop from the image), and its interface state
// through the window's serialiser.

#include "correction/ICorrectionModuleHost.h"
#include "crop/AspectRatioComboBox.h"
#include "crop/CropSettings.h"
#include "utils/DataStreamFormat.h"

#include "FakeProcessEngine.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace {

class DistortionEngine : public FakeProcessEngine
{
public:
    NavikNS::Dictionary getLastTransformInParams() const override { return transformIn; }
    NavikNS::Dictionary transformIn;
};

class FakeCropHost : public QObject, public ICorrectionModuleHost, public ICropModuleState
{
    Q_OBJECT
    Q_INTERFACES(ICorrectionModuleHost)
public:
    // ICropModuleState: the crop module as the panel reads it.
    QString id() const override { return QStringLiteral("Crop"); }
    QString cropType() const override { return type; }
    bool isPreserveImageRatio() const override { return preserve; }
    void restorePreserveImageRatio(bool value) override { preserve = value; }
    qreal cropRatio() const override { return ratio; }
    bool isConstrainToImage() const override { return constrained; }

    QGraphicsItemGroup* beforeSceneItemGroup(const QString&) override { return nullptr; }
    QGraphicsItemGroup* afterSceneItemGroup(const QString&) override { return nullptr; }
    void addItemToAfterSceneGroupA(QGraphicsItem*) override {}
    void addItemToAfterSceneGroupB(QGraphicsItem*) override {}
    void deactivateAllSceneItems() override {}
    QObject* hostObject() override { return this; }
    void resetBeforeImageOpen() override {}
    void setSingleMode() override {}
    void setSplitedMode() override {}
    ICorrectionModuleInterfacePtr module(const QString&) const override { return {}; }
    ICorrectionModuleInterfacePtr currentCorrectionModule() override { return {}; }
    bool isAnyModuleActive() override { return false; }
    IProcessEngine* processEngine() override { return engine; }
    bool isModuleActive(const QString&) override { return true; }
    QString currentCorrectionName() override { return current; }

    // Acts as the crop module would, then announces the state as the host does.
    void processModuleAction(const QString& moduleId, const QString& activity, const QString& argument) override
    {
        actions.append(moduleId + QLatin1Char(' ') + activity + QLatin1Char(' ') + argument);
        if (argument == QLatin1String("autoCrop") || argument == QLatin1String("manualCrop"))
            type = argument;
        else if (argument == QLatin1String("freeToImage"))
            constrained = false;
        else if (argument == QLatin1String("constrainToImage"))
            constrained = true;
        Q_EMIT correctionOrModuleStateIsChanged();
    }

    void announce() { Q_EMIT correctionOrModuleStateIsChanged(); }

    DistortionEngine* engine = nullptr;
    QString current = QStringLiteral("Empty_Correction_ID");
    QString type = QStringLiteral("autoCrop");
    bool preserve = false;
    qreal ratio = -1.0;
    bool constrained = false;
    QStringList actions;

Q_SIGNALS:
    void correctionOrModuleStateIsChanged();
};

} // namespace

class TestCropSettings : public QObject
{
    Q_OBJECT
private:
    DistortionEngine m_engine;
    std::unique_ptr<FakeCropHost> m_host;
    std::unique_ptr<CCropSettings> m_panel;
    std::unique_ptr<QSignalSpy> m_undo;

    const Ui_CCropSettings& ui() const { return m_panel->ui(); }

private Q_SLOTS:
    void init();
    void cleanup();
    void formAndDefaults();
    void actionTable_data();
    void actionTable();
    void toolButtonWithoutPicture();
    void toolButtonWithoutEngine();
    void synchronisationWithEachCorrection_data();
    void synchronisationWithEachCorrection();
    void distortionFreesTheCrop();
    void ratioShownFromTheModule();
    void interfaceStateRoundTrip();
    void resetWidgetControls();
};

void TestCropSettings::init()
{
    m_engine.pictureLoaded = true;
    m_engine.transformIn = {};
    m_host = std::make_unique<FakeCropHost>();
    m_host->engine = &m_engine;
    m_panel = std::make_unique<CCropSettings>(m_host.get(), m_host.get(), nullptr);
    m_undo = std::make_unique<QSignalSpy>(m_panel.get(), &CBaseCorrectionSettings::onCreateUndoCommand);
}

void TestCropSettings::cleanup()
{
    m_undo.reset();
    m_panel.reset();
    m_host.reset();
}

void TestCropSettings::formAndDefaults()
{
    QCOMPARE(m_panel->objectName(), QStringLiteral("CropSettings"));
    QCOMPARE(m_panel->property("GUID").toString(), QStringLiteral("{102A7329-383D-42DC-91DD-B7CF9E0C6E5D}"));
    QCOMPARE(m_panel->property("ShowHideController"), QVariant(false));
    QCOMPARE(m_panel->id(), QStringLiteral("{102A7329-383D-42DC-91DD-B7CF9E0C6E5D}"));
    QVERIFY(!ui().cropTool->isChecked());
    QCOMPARE(ui().cropTool->size(), QSize(39, 35));
    QCOMPARE(ui().comboBoxCorrectionType->currentIndex(), 0);
    QCOMPARE(ui().comboBoxCorrectionType->itemText(1), QStringLiteral("Manual"));
    QCOMPARE(ui().comboBoxAspectRatio->currentAspectRatio(), -1.0);
    QCOMPARE(ui().comboBoxAspectRatio->comboBox()->property("settingsFocusNumber"), QVariant(27));
    QCOMPARE(ui().comboBoxCorrectionType->property("settingsFocusNumber").toString(), QStringLiteral("26"));
    QVERIFY(!m_panel->isInfoWidgetShown());
    m_panel->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_panel.get()));
    bool shown = false;
    QMetaObject::invokeMethod(m_panel.get(), "isAdditionalOptionsShown", Q_RETURN_ARG(bool, shown));
    QVERIFY(shown);
}

void TestCropSettings::actionTable_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("undo");
    QTest::newRow("tool on") << "tool" << QVariant(true) << "Crop SpecificCorrectionActivated "
                             << "Crop correction is activated";
    QTest::newRow("tool off") << "tool" << QVariant(false) << "Crop CorrectionApplyed "
                              << "Crop correction is applyed";
    QTest::newRow("16/9") << "ratio" << QVariant(2) << "Crop AdditionalControlTouched 1.77778"
                          << "Aspect ration changed";
    QTest::newRow("unconstrained") << "ratio" << QVariant(0) << "Crop AdditionalControlTouched -1"
                                   << "Aspect ration changed";
    QTest::newRow("preserve") << "ratio" << QVariant(1) << "Crop AdditionalControlTouched 0"
                              << "Aspect ration changed";
    QTest::newRow("auto again") << "type" << QVariant(0) << "Crop AdditionalControlTouched autoCrop"
                                << "Correction type changed";
    QTest::newRow("manual") << "type" << QVariant(1) << "Crop AdditionalControlTouched manualCrop"
                            << "Correction type changed";
    QTest::newRow("constrain") << "constrain" << QVariant(true) << "Crop AdditionalControlTouched constrainToImage"
                               << "Crop constrain to image - on";
    QTest::newRow("free") << "constrain" << QVariant(false) << "Crop AdditionalControlTouched freeToImage"
                          << "Crop constrain to image - off";
}

void TestCropSettings::actionTable()
{
    QFETCH(QString, control);
    QFETCH(QVariant, value);
    QFETCH(QString, action);
    QFETCH(QString, undo);
    if (control == QLatin1String("tool")) {
        if (!value.toBool()) {
            const QSignalBlocker blocker(ui().cropTool);
            ui().cropTool->setChecked(true);
        }
        ui().cropTool->click();
    } else if (control == QLatin1String("ratio")) {
        QComboBox* combo = ui().comboBoxAspectRatio->comboBox();
        if (value.toInt() == 0)
            combo->setCurrentIndex(3);
        combo->setCurrentIndex(value.toInt());
        QMetaObject::invokeMethod(combo, "activated", Q_ARG(int, value.toInt()));
    } else if (control == QLatin1String("type")) {
        ui().comboBoxCorrectionType->setCurrentIndex(value.toInt());
        QMetaObject::invokeMethod(ui().comboBoxCorrectionType, "activated", Q_ARG(int, value.toInt()));
    } else {
        if (!value.toBool()) {
            const QSignalBlocker blocker(ui().cbConstrainToImage);
            ui().cbConstrainToImage->setChecked(true);
        }
        ui().cbConstrainToImage->click();
    }
    QCOMPARE(m_host->actions, QStringList{action});
    QCOMPARE(m_undo->count(), 1);
    QCOMPARE(m_undo->first().first().toString(), undo);
}

void TestCropSettings::toolButtonWithoutPicture()
{
    m_engine.pictureLoaded = false;
    ui().cropTool->click();
    QVERIFY(!ui().cropTool->isChecked());
    QVERIFY(m_host->actions.isEmpty());
    QCOMPARE(m_undo->count(), 0);
    // The other controls have no such guard: the host ignores them then.
    ui().cbConstrainToImage->click();
    QCOMPARE(m_host->actions.size(), 1);
    QCOMPARE(m_undo->count(), 1);
}

void TestCropSettings::toolButtonWithoutEngine()
{
    m_host->engine = nullptr;
    ui().cropTool->click();
    QVERIFY(!ui().cropTool->isChecked());
    QVERIFY(m_host->actions.isEmpty());
    QCOMPARE(m_undo->count(), 0);
    m_host->announce(); // and the distortion test finds none
    QVERIFY(ui().cbConstrainToImage->isEnabled());
}

void TestCropSettings::synchronisationWithEachCorrection_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QStringList>("actions");
    const QString forced = QStringLiteral("Crop AdditionalControlTouched autoCrop");
    QTest::newRow("crop") << "Crop" << "manualCrop" << true << true << QStringList();
    QTest::newRow("keystoning, manual") << "Keystoning" << "manualCrop" << false << false << QStringList{forced};
    QTest::newRow("horizon, manual") << "Horizon" << "manualCrop" << false << false << QStringList{forced};
    QTest::newRow("horizon, auto") << "Horizon" << "autoCrop" << false << false << QStringList();
    QTest::newRow("none") << "Empty_Correction_ID" << "manualCrop" << false << true << QStringList();
    QTest::newRow("unknown") << "Distortion" << "manualCrop" << false << true << QStringList();
}

void TestCropSettings::synchronisationWithEachCorrection()
{
    QFETCH(QString, current);
    QFETCH(QString, type);
    QFETCH(bool, checked);
    QFETCH(bool, enabled);
    QFETCH(QStringList, actions);
    m_host->current = current;
    m_host->type = type;
    m_host->constrained = true;
    m_host->announce();
    QCOMPARE(m_host->actions, actions);
    QCOMPARE(ui().cropTool->isChecked(), checked);
    QCOMPARE(ui().comboBoxCorrectionType->isEnabled(), enabled);
    QCOMPARE(ui().cbConstrainToImage->isEnabled(), enabled);
    QCOMPARE(ui().comboBoxCorrectionType->currentIndex(), m_host->type == QLatin1String("autoCrop") ? 0 : 1);
    QVERIFY(ui().cbConstrainToImage->isChecked());
    QCOMPARE(m_undo->count(), 0);
}

void TestCropSettings::distortionFreesTheCrop()
{
    for (const char* type : {"Auto", "Barrel", "Fisheye"}) {
        m_host->actions.clear();
        m_engine.transformIn = {};
        m_engine.transformIn.SetValueForKey("DistortionActive", NavikNS::Value(true));
        m_engine.transformIn.SetValueForKey("DistortionType", NavikNS::Value(std::string(type)));
        m_host->current = QStringLiteral("Crop");
        m_host->constrained = true;
        m_host->announce();
        QCOMPARE(m_host->actions, QStringList{QStringLiteral("Crop AdditionalControlTouched freeToImage")});
        QVERIFY(!ui().cbConstrainToImage->isChecked());
        QVERIFY(!ui().cbConstrainToImage->isEnabled());
        m_host->announce();
        QCOMPARE(m_host->actions.size(), 1);
    }
    QCOMPARE(m_undo->count(), 0);
}

void TestCropSettings::ratioShownFromTheModule()
{
    m_host->ratio = 1.5;
    m_host->announce();
    QCOMPARE(ui().comboBoxAspectRatio->currentAspectRatio(), 1.5);
    m_host->preserve = true;
    m_host->announce();
    QCOMPARE(ui().comboBoxAspectRatio->comboBox()->currentText(), QStringLiteral("Preserve aspect ratio"));
    m_host->preserve = false;
    m_host->ratio = -1.0;
    m_host->announce();
    QCOMPARE(ui().comboBoxAspectRatio->comboBox()->currentIndex(), 0);
    QVERIFY(m_host->actions.isEmpty());
    QCOMPARE(m_undo->count(), 0);
}

void TestCropSettings::interfaceStateRoundTrip()
{
    m_host->current = QStringLiteral("Crop");
    m_host->type = QStringLiteral("manualCrop");
    m_host->ratio = 2.0;
    m_host->constrained = true;
    m_host->announce();
    const QByteArray own = m_panel->serializeWidgetState();
    const QMap<QString, QVariant> map = NAVIK_tarl1::variantMapFromBytes(own);
    QCOMPARE(map.keys(), (QStringList{"ui.cbConstrainToImage", "ui.comboBoxAspectRatio", "ui.comboBoxCorrectionType",
                                      "ui.cropTool"}));
    QCOMPARE(map.value("ui.comboBoxAspectRatio").toDouble(), 2.0);
    QCOMPARE(map.value("ui.comboBoxCorrectionType").toMap().value("current index").toInt(), 1);
    const QByteArray whole = m_panel->serialize();
    QCOMPARE(NAVIK_tarl1::variantMapFromBytes(whole).value("{102A7329-383D-42DC-91DD-B7CF9E0C6E5D}").toByteArray(),
             own);

    // Into a fresh panel whose controls are disabled: all restored, nothing
    // sent, no undo step, nothing enabled.
    CCropSettings other(m_host.get(), m_host.get(), nullptr);
    QSignalSpy undo(&other, &CBaseCorrectionSettings::onCreateUndoCommand);
    other.ui().comboBoxCorrectionType->setEnabled(false);
    m_host->actions.clear();
    other.deserialize(whole, false);
    QVERIFY(other.ui().cropTool->isChecked());
    QCOMPARE(other.ui().comboBoxAspectRatio->currentAspectRatio(), 2.0);
    QCOMPARE(other.ui().comboBoxCorrectionType->currentIndex(), 1);
    QVERIFY(other.ui().cbConstrainToImage->isChecked());
    QVERIFY(!other.ui().comboBoxCorrectionType->isEnabled());
    QVERIFY(m_host->actions.isEmpty());
    QCOMPARE(undo.count(), 0);
    QVERIFY(other.isEqual(other.serialize(), whole));

    // A type map without its index gives "Auto"; a ratio not in the list and
    // missing keys leave their controls.
    QMap<QString, QVariant> partial;
    partial.insert(QStringLiteral("ui.comboBoxCorrectionType"), QMap<QString, QVariant>());
    partial.insert(QStringLiteral("ui.comboBoxAspectRatio"), 1.6);
    other.deserializeWidgetState(NAVIK_tarl1::variantMapToBytes(partial));
    QCOMPARE(other.ui().comboBoxCorrectionType->currentIndex(), 0);
    QCOMPARE(other.ui().comboBoxAspectRatio->currentAspectRatio(), 2.0);
    QVERIFY(other.ui().cropTool->isChecked());
}

void TestCropSettings::resetWidgetControls()
{
    m_host->current = QStringLiteral("Keystoning");
    m_host->announce();
    {
        const QSignalBlocker blocker(ui().cropTool);
        ui().cropTool->setChecked(true);
    }
    m_host->actions.clear();
    m_panel->moduleReseted();
    QVERIFY(!ui().cropTool->isChecked());
    QVERIFY(ui().comboBoxCorrectionType->isEnabled());
    QVERIFY(ui().cbConstrainToImage->isEnabled());
    QVERIFY(m_host->actions.isEmpty());
}

QTEST_MAIN(TestCropSettings)
#include "tst_cropsettings.moc"
