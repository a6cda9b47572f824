// The crop panel's ratio chooser through undo and redo, against the real
// process engine, module host, crop module and undo controller: each choice
// is one step, and every restored step shows the ratio that step held.

#include "correction/CCorrectionModuleHost.h"
#include "correction/CUndoController.h"
#include "crop/AspectRatioComboBox.h"
#include "crop/CCropCorrection.h"
#include "crop/CropSettings.h"

#include "EngineTestSupport.h"
#include "TestApplication.h"

#include <QComboBox>
#include <QGraphicsScene>
#include <QScopeGuard>
#include <QTest>

class TestCropRatioUndo : public QObject
{
    Q_OBJECT
private:
    CProcessEngine* m_engine = nullptr;
    CCropSettings* m_panel = nullptr;

    QComboBox* ratioBox() const { return m_panel->ui().comboBoxAspectRatio->comboBox(); }
    qreal shownRatio() const { return m_panel->ui().comboBoxAspectRatio->currentAspectRatio(); }
    // A pick in the list, as the combo box reports one; then the render.
    bool pickRatio(const QString& name)
    {
        const int row = ratioBox()->findText(name);
        if (row < 0)
            return false;
        ratioBox()->setCurrentIndex(row);
        emit ratioBox()->activated(row);
        return waitUntilEngineIdle(*m_engine);
    }
    bool pickCorrectionType(int index)
    {
        m_panel->ui().comboBoxCorrectionType->setCurrentIndex(index);
        emit m_panel->ui().comboBoxCorrectionType->activated(index);
        return waitUntilEngineIdle(*m_engine);
    }
    // What the chooser showed when the step at the undo stack's index was made.
    QMap<int, qreal> m_shownAt;
    void record() { m_shownAt.insert(CUndoController::instance()->undoStack()->index(), shownRatio()); }

private Q_SLOTS:
    void restoredStepsShowTheirRatio();
};

void TestCropRatioUndo::restoredStepsShowTheirRatio()
{
    CProcessEngine engine;
    m_engine = &engine;
    application()->engine = &engine;
    QGraphicsScene before;
    QGraphicsScene after;
    CCorrectionModuleHost* host = CCorrectionModuleHost::instance();
    const auto cleanup = qScopeGuard([] {
        CCorrectionModuleHost::resetInstance();
        application()->engine = nullptr;
    });
    host->initialize(&before, &after);
    auto module = std::make_shared<CCropCorrection>(5);
    host->addCorrectionModule(module);
    std::unique_ptr<QWidget> panel(module->createSettingsWidget(nullptr));
    m_panel = qobject_cast<CCropSettings*>(panel.get());
    QVERIFY(m_panel);

    const std::shared_ptr<CUndoController> controller = CUndoController::instance();
    controller->setProcessEngine(&engine);
    controller->addSerializableObject(m_panel);
    controller->addSerializableObject(&engine);
    controller->addSerializableObject(host);
    connect(&engine, SIGNAL(trasformOutParamsSignalWasSent()), controller.get(), SLOT(onUpdateLastCommand()));

    host->resetBeforeImageOpen();
    controller->resetUndoStack();
    QVERIFY(engine.openImage(imageInMemory(600, 400)));
    engine.forceProcessImage();
    QVERIFY(waitUntilEngineIdle(engine));
    controller->resetUndoStack();
    controller->createUndoCommand();
    record();

    // Choices as a photographer makes them; each ratio is a step of its own.
    for (const QString& ratio :
         {QStringLiteral("16/9"), QStringLiteral("5/4"), QStringLiteral("Preserve aspect ratio")}) {
        const int steps = controller->undoStack()->index();
        QVERIFY(pickRatio(ratio));
        QCOMPARE(controller->undoStack()->index(), steps + 1);
        record();
    }
    QCOMPARE(shownRatio(), 0.0);
    QVERIFY(pickCorrectionType(0));
    record();

    // Back to the opened picture and forward again: every state shows the
    // ratio it was made with.
    QUndoStack* stack = controller->undoStack();
    while (stack->canUndo()) {
        controller->undo();
        QVERIFY(waitUntilEngineIdle(engine));
        QCOMPARE(shownRatio(), m_shownAt.value(stack->index()));
    }
    QCOMPARE(shownRatio(), -1.0);
    while (stack->canRedo()) {
        controller->redo();
        QVERIFY(waitUntilEngineIdle(engine));
        QCOMPARE(shownRatio(), m_shownAt.value(stack->index()));
    }
}

int main(int argc, char* argv[])
{
    TestApplication application(argc, argv);
    TestCropRatioUndo test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_cropratioundo.moc"
