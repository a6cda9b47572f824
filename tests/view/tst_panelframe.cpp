// The correction panel frame with a fake module, host and settings widget:
// binding, the settings per module, reset and enable with their undo
// requests, the stored state and the height notice.

#include "view/COutsidePanelWidget.h"

#include "EngineTestSupport.h"
#include "RecordingLogger.h"

#include "utils/CSettings.h"
#include "utils/DataStreamFormat.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

class FakeSettingsWidget : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;
    QList<bool> shown;
    QList<bool> activated;
    int headerClicks = 0;
    int resets = 0;

signals:
    void enableAdditionalHeaderControl(bool enabled);
    void showHideAvailable(bool available);

public slots:
    void onShowAdditionalOptions(bool show) { shown << show; }
    void onToolWasActivated(bool active) { activated << active; }
    void onAdditionalHeaderButtonClicked() { ++headerClicks; }
    void onResetForNewImage() { ++resets; }
};

class FakeModule : public QObject, public ICorrectionPanelModule
{
    Q_OBJECT
public:
    explicit FakeModule(QString id) : m_id(std::move(id)) {}
    QByteArray serialize() override { return {}; }
    void deserialize(const QByteArray&, bool) override {}
    bool isEqual(const QByteArray& a, const QByteArray& b) override { return a == b; }
    QString id() const override { return m_id; }
    QObject* moduleObject() override { return this; }
    QWidget* createSettingsWidget(QWidget* parent) override
    {
        settings = new FakeSettingsWidget(parent);
        if (showHideController.isValid())
            settings->setProperty("ShowHideController", showHideController);
        return settings;
    }
    QString moduleDisplayName() const override { return QStringLiteral("Crop"); }
    bool isModuleActive() override { return active; }

    FakeSettingsWidget* settings = nullptr;
    QVariant showHideController;
    bool active = false;

signals:
    void resetForNewImageSignal();

private:
    QString m_id;
};

class FakeHost : public ICorrectionPanelHost
{
public:
    IProcessEngine* processEngine() override { return engine; }
    bool isModuleActive(const QString&) override { return active; }
    QString currentCorrectionName() override { return current; }
    void processModuleAction(const QString& module, const QString& activity, const QString& argument) override
    {
        actions << module + QLatin1Char('/') + activity + QLatin1Char('/') + argument;
    }

    IProcessEngine* engine = nullptr;
    bool active = false;
    QString current = QStringLiteral("Empty_Correction_ID");
    QStringList actions;
};

class TestPanelFrame : public QObject
{
    Q_OBJECT
private slots:
    void init() { NAVIK_tarl1::CSettings().clear(); }

    void freshBinding()
    {
        COutsidePanelWidget panel;
        auto module = std::make_shared<FakeModule>(QStringLiteral("Crop"));
        FakeHost host;
        QWidget* settings = panel.setCorrectionModule(module, &host);
        QCOMPARE(settings, module->settings);
        QVERIFY(panel.isAncestorOf(settings));
        QCOMPARE(panel.objectName(), QStringLiteral("CropPane"));
        QVERIFY(panel.isExpanded());
        QCOMPARE(module->settings->shown, QList<bool>{true});
        auto* options = panel.findChild<QToolButton*>(QStringLiteral("toolButtonAdditionalOptions"));
        QVERIFY(options->styleSheet().contains(QStringLiteral("hide-options.png")));
        QVERIFY(panel.findChild<QCheckBox*>(QStringLiteral("checkBoxEnabled"))->isHidden());

        emit module->resetForNewImageSignal();
        QCOMPARE(module->settings->resets, 1);
        panel.clickAdditionalHeaderControl();
        QCOMPARE(module->settings->headerClicks, 1);
        emit module->settings->enableAdditionalHeaderControl(false);
        QVERIFY(!panel.isAdditionalHeaderControlEnabled());
    }

    void settingsArePerModule()
    {
        {
            COutsidePanelWidget panel;
            FakeHost host;
            panel.setCorrectionModule(std::make_shared<FakeModule>(QStringLiteral("Crop")), &host);
            panel.onSetExpanded(false);
            panel.onHideShowAdditionalOptions();
        }
        QCOMPARE(NAVIK_tarl1::CSettings().value(QStringLiteral("app_correctionExpandedCrop")).toBool(), false);
        QCOMPARE(NAVIK_tarl1::CSettings().value(QStringLiteral("app_correctionAdditionalOptionsCrop")).toBool(), true);

        COutsidePanelWidget crop;
        COutsidePanelWidget horizon;
        FakeHost host;
        auto cropModule = std::make_shared<FakeModule>(QStringLiteral("Crop"));
        crop.setCorrectionModule(cropModule, &host);
        horizon.setCorrectionModule(std::make_shared<FakeModule>(QStringLiteral("Horizon")), &host);
        QVERIFY(!crop.isExpanded());
        QVERIFY(horizon.isExpanded());
        QCOMPARE(cropModule->settings->shown, QList<bool>{false});
    }

    void showHideController()
    {
        COutsidePanelWidget panel;
        FakeHost host;
        auto module = std::make_shared<FakeModule>(QStringLiteral("Keystoning"));
        module->showHideController = false;
        panel.setCorrectionModule(module, &host);
        auto* options = panel.findChild<QToolButton*>(QStringLiteral("toolButtonAdditionalOptions"));
        QVERIFY(options->isHidden());
        const QMap<QString, QVariant> state = NAVIK_tarl1::variantMapFromBytes(panel.serializeWidgetState());
        QCOMPARE(state.value(QStringLiteral("m_isAdditionalOptionsButtonHiden")).toBool(), true);
        // The settings widget declares showHideAvailable, so it is connected.
        emit module->settings->showHideAvailable(true);
        QVERIFY(!options->isHidden());
    }

    void resetRules_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<int>("undoSteps");
        QTest::newRow("other module current, picture unchanged") << "Keystoning" << 0;
        QTest::newRow("this module current") << "Crop" << 1;
    }
    void resetRules()
    {
        QFETCH(QString, current);
        QFETCH(int, undoSteps);
        COutsidePanelWidget panel;
        FakeHost host;
        host.current = current;
        panel.setCorrectionModule(std::make_shared<FakeModule>(QStringLiteral("Crop")), &host);
        QSignalSpy undo(&panel, &COutsidePanelWidget::onCreateUndoCommand);
        QTest::mousePress(panel.findChild<QPushButton*>(QStringLiteral("pushButtonReset")), Qt::LeftButton);
        QCOMPARE(host.actions, QStringList{QStringLiteral("Crop/ModuleReset/")});
        QCOMPARE(undo.count(), undoSteps);
        if (undoSteps)
            QCOMPARE(undo.at(0).at(0).toString(), QStringLiteral("Reset module"));
    }

    void enableWithAndWithoutPicture()
    {
        CProcessEngine engine;
        for (const bool loaded : {false, true}) {
            if (loaded)
                QVERIFY(engine.openImage(imageInMemory(64, 48)));
            COutsidePanelWidget panel;
            FakeHost host;
            host.engine = &engine;
            auto module = std::make_shared<FakeModule>(QStringLiteral("Crop"));
            panel.setCorrectionModule(module, &host);
            QSignalSpy undo(&panel, &COutsidePanelWidget::onCreateUndoCommand);
            QSignalSpy activated(&panel, &COutsidePanelWidget::toolWasActivated);
            panel.onModuleEnabled(true);
            panel.onModuleEnabled(false);
            QCOMPARE(host.actions, QStringList({"Crop/ModuleActivate/", "Crop/ModuleDeactivate/"}));
            QCOMPARE(undo.count(), 2);
            QCOMPARE(undo.at(0).at(0).toString(), QStringLiteral("Module enabled"));
            QCOMPARE(undo.at(1).at(0).toString(), QStringLiteral("Module disabled"));
            QCOMPARE(activated.count(), loaded ? 2 : 0);
        }
        QVERIFY(waitUntilEngineIdle(engine));
    }

    void noEngineMeansNoPicture()
    {
        COutsidePanelWidget panel;
        FakeHost host;
        panel.setCorrectionModule(std::make_shared<FakeModule>(QStringLiteral("Crop")), &host);
        QSignalSpy activated(&panel, &COutsidePanelWidget::toolWasActivated);
        panel.onModuleEnabled(true);
        QCOMPARE(host.actions.size(), 1);
        QCOMPARE(activated.count(), 0);
    }

    void nullModuleOrHost()
    {
        RecordingLogger& log = RecordingLogger::install();
        log.clear();
        COutsidePanelWidget panel;
        QCOMPARE(panel.setCorrectionModule(nullptr, nullptr), nullptr);
        QCOMPARE(panel.objectName(), QStringLiteral("baseUIPanelWidget"));
        QCOMPARE(log.linesAt('E').size(), 2);

        // Without a host the module is bound and the host never called.
        COutsidePanelWidget unhosted;
        auto module = std::make_shared<FakeModule>(QStringLiteral("Crop"));
        QVERIFY(unhosted.setCorrectionModule(module, nullptr));
        unhosted.onReset();
        unhosted.onModuleEnabled(true);
        unhosted.onCorrectionOrModuleStateChanged();
        QCOMPARE(unhosted.objectName(), QStringLiteral("CropPane"));
    }

    void stateRoundTrip()
    {
        COutsidePanelWidget panel;
        FakeHost host;
        auto module = std::make_shared<FakeModule>(QStringLiteral("Crop"));
        panel.setCorrectionModule(module, &host);
        host.active = true;
        panel.onCorrectionOrModuleStateChanged();
        panel.onHideShowAdditionalOptions();
        panel.onEnableAdditionalHeaderControl(false);
        const QByteArray state = panel.serializeWidgetState();
        const QMap<QString, QVariant> map = NAVIK_tarl1::variantMapFromBytes(state);
        QCOMPARE(map.keys(), QStringList({"m_isAdditionalHeaderControlEnabled", "m_isAdditionalOptionsButtonHiden",
                                          "m_isAdditionalOptionsHiden", "ui.checkBoxEnabled"}));
        QCOMPARE(map.value("ui.checkBoxEnabled").toBool(), true);
        QCOMPARE(map.value("m_isAdditionalOptionsHiden").toBool(), true);
        QCOMPARE(map.value("m_isAdditionalHeaderControlEnabled").toBool(), false);

        COutsidePanelWidget other;
        other.setCorrectionModule(std::make_shared<FakeModule>(QStringLiteral("Crop")), &host);
        other.onSetExpanded(false);
        QSignalSpy activated(&other, &COutsidePanelWidget::toolWasActivated);
        QSignalSpy shown(&other, &COutsidePanelWidget::showAdditionalOptions);
        other.deserializeWidgetState(state);
        QCOMPARE(activated.count(), 1);
        QCOMPARE(activated.at(0).at(0).toBool(), true);
        QCOMPARE(shown.at(0).at(0).toBool(), false);
        QVERIFY(!other.isExpanded());
        QCOMPARE(other.serializeWidgetState(), state);

        // Missing keys are reported and read as false; the event still follows.
        RecordingLogger& log = RecordingLogger::install();
        log.clear();
        other.deserializeWidgetState(QByteArray());
        QCOMPARE(log.linesAt('E').size(), 4);
        QCOMPARE(activated.count(), 2);
        QCOMPARE(activated.at(1).at(0).toBool(), false);
    }

    void heightNotice()
    {
        COutsidePanelWidget panel;
        panel.resize(261, 125);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QSignalSpy height(&panel, &COutsidePanelWidget::heightIsChanged);
        panel.resize(300, 125);
        QCOMPARE(height.count(), 0);
        panel.resize(300, 140);
        QCOMPARE(height.count(), 1);
    }

    void serialisedWithTheWindow()
    {
        // A serialising ancestor finds the panel and stores it under its GUID.
        QWidget window;
        auto* panel = new COutsidePanelWidget(&window);
        QVERIFY(qobject_cast<ISerializableUiInterface*>(panel));
        QCOMPARE(panel->id(), QStringLiteral("{CDE1FBB4-15D8-4F00-A3B7-B6C1F87602CE}"));
    }
};

QTEST_MAIN(TestPanelFrame)
#include "tst_panelframe.moc"
