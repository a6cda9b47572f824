// Undo: the controller's recording rules, the baseline, the chaining of
// steps, taking back the last step, and the merge rules of the specialised
// steps.

#include "correction/CHeldChange.h"
#include "correction/CUndoController.h"
#include "correction/CustomUndoCommands.h"

#include "FakeProcessEngine.h"
#include "RecordingLogger.h"

#include <QDir>
#include <QFile>
#include <QGraphicsRectItem>
#include <QTemporaryDir>
#include <QTest>

#include <typeinfo>

namespace {

// A second registered object: the window's interface state.
class FakeUiState : public ISerializableInterface
{
public:
    QByteArray serialize() override { return state; }
    void deserialize(const QByteArray& bytes, bool) override { state = bytes; }
    bool isEqual(const QByteArray& a, const QByteArray& b) override { return a == b; }
    QString id() const override { return QStringLiteral("MainWindowUiState"); }

    QByteArray state;
};

// Pushes another step while it is restored, as a panel reacting to a
// restored value would.
class PushingObject : public ISerializableInterface
{
public:
    QByteArray serialize() override { return {}; }
    void deserialize(const QByteArray&, bool) override
    {
        CUndoController::instance()->createUndoCommand(QStringLiteral("echo"));
    }
    bool isEqual(const QByteArray&, const QByteArray&) override { return true; }
    QString id() const override { return QStringLiteral("Pushing"); }
};

const QDateTime kStart(QDate(2026, 1, 1), QTime(12, 0));

} // namespace

class TestUndoController : public QObject
{
    Q_OBJECT
private:
    FakeProcessEngine m_engine;
    FakeUiState m_ui;
    PushingObject m_pushing;
    CUndoController& m_controller = *CUndoController::instance();
    QUndoStack& m_stack = *CUndoController::instance()->undoStack();

    // The engine's state stands for an edit.
    void edit(const QByteArray& engineState) { m_engine.state = engineState; }
    void step(const QByteArray& engineState, const QString& text = QStringLiteral("step"))
    {
        edit(engineState);
        m_controller.createUndoCommand(text);
    }
    const CUndoCommand* at(int index) { return static_cast<const CUndoCommand*>(m_stack.command(index)); }

    // A fresh stack whose baseline is engine state "base".
    void startWithBaseline()
    {
        m_controller.resetUndoStack();
        step("base");
        QCOMPARE(m_stack.count(), 0);
    }

private Q_SLOTS:
    void initTestCase();
    void init();
    void baselineAndUndoRedo();
    void identicalStepsMerge();
    void newStepDropsRedoHistory();
    void pushesDuringRestoreAreDropped();
    void renderFlag_data();
    void renderFlag();
    void updateLastCommandRefreshesTheStepBelowTheIndex_data();
    void updateLastCommandRefreshesTheStepBelowTheIndex();
    void heldChangesEndOnce();
    void removeLastStep_data();
    void removeLastStep();
    void removeLastStepOfAMergedStep_data();
    void removeLastStepOfAMergedStep();
    void timedMerge_data();
    void timedMerge();
    void keyMoveMerge();
    void moduleDeleteWithoutFolderTouchesNoFile();
    void moduleDeleteRestoresTheFile();
    void snapshotCommandRestoresState();
    void pushesAfterQuitAreDropped();
};

void TestUndoController::initTestCase()
{
    // Pushes are dropped before any set-up: blocked until the first reset, then without engine, then without objects.
    m_controller.createUndoCommand(QStringLiteral("too early"));
    m_controller.resetUndoStack();
    m_controller.createUndoCommand(QStringLiteral("no engine"));
    m_controller.setProcessEngine(&m_engine);
    m_controller.createUndoCommand(QStringLiteral("no objects"));
    QCOMPARE(m_stack.count(), 0);

    m_controller.addSerializableObject(&m_ui);
    m_controller.addSerializableObject(&m_engine);
    m_controller.addSerializableObject(&m_pushing);
    // Only now does a push count: as the baseline.
    step("base");
    QCOMPARE(m_stack.count(), 0);
    step("one");
    QCOMPARE(m_stack.count(), 1);
    QCOMPARE(at(0)->beforeStates().value(QStringLiteral("ProcessEngine")), QByteArray("base"));
}

void TestUndoController::init()
{
    m_engine.restores.clear();
    m_engine.processingQueries.clear();
    m_engine.processingNeeded = false;
    m_ui.state.clear();
    startWithBaseline();
}

void TestUndoController::baselineAndUndoRedo()
{
    step("one");
    step("two");
    QCOMPARE(m_stack.count(), 2);
    QCOMPARE(at(1)->beforeStates(), at(0)->afterStates());
    // The push's own redo restored nothing.
    QVERIFY(m_engine.restores.isEmpty());

    m_controller.undo();
    m_controller.undo();
    QCOMPARE(m_engine.state, QByteArray("base"));
    m_controller.undo();  // nothing left: nothing happens
    QCOMPARE(m_stack.index(), 0);
    m_controller.redo();
    QCOMPARE(m_engine.state, QByteArray("one"));
}

void TestUndoController::identicalStepsMerge()
{
    step("one");
    m_controller.createUndoCommand();
    QCOMPARE(m_stack.count(), 1);
    QCOMPARE(m_stack.text(0), QStringLiteral("step"));
}

void TestUndoController::newStepDropsRedoHistory()
{
    step("one");
    step("two");
    step("three");
    m_controller.undo();
    m_controller.undo();
    step("other", QStringLiteral("other"));
    QCOMPARE(m_stack.count(), 2);
    QCOMPARE(m_stack.text(1), QStringLiteral("other"));
    QCOMPARE(at(1)->beforeStates().value(QStringLiteral("ProcessEngine")), QByteArray("one"));
    QVERIFY(!m_stack.canRedo());
}

void TestUndoController::pushesDuringRestoreAreDropped()
{
    step("one");
    step("two");
    // The pushing object asks for a step while every undo restores it.
    m_controller.undo();
    QCOMPARE(m_stack.count(), 2);
    QCOMPARE(m_stack.index(), 1);
    // Recording goes on afterwards.
    step("three");
    QCOMPARE(m_stack.count(), 2);
    QCOMPARE(m_stack.text(1), QStringLiteral("step"));
    QCOMPARE(at(1)->afterStates().value(QStringLiteral("ProcessEngine")), QByteArray("three"));
}

void TestUndoController::renderFlag_data()
{
    QTest::addColumn<bool>("engineBefore");
    QTest::addColumn<bool>("engineAfter");
    QTest::addColumn<bool>("processingNeeded");
    QTest::addColumn<bool>("undoFlag");
    QTest::addColumn<bool>("redoFlag");

    QTest::newRow("both, engine says render") << true << true << true << true << true;
    QTest::newRow("both, engine says no") << true << true << false << false << false;
    QTest::newRow("missing before") << false << true << true << false << true;
    QTest::newRow("missing after") << true << false << false << true << false;
}

void TestUndoController::renderFlag()
{
    QFETCH(bool, engineBefore);
    QFETCH(bool, engineAfter);
    QFETCH(bool, processingNeeded);
    QFETCH(bool, undoFlag);
    QFETCH(bool, redoFlag);

    SerializedStates before{{QStringLiteral("MainWindowUiState"), "ui0"}};
    if (engineBefore)
        before.insert(QStringLiteral("ProcessEngine"), "e0");
    CUndoCommand command(QStringLiteral("flag"));
    m_engine.state = "e1";
    m_controller.initializeCommand(&command, before);
    if (!engineAfter) {
        // An after-state map without the engine: a command that took over
        // another's map.
        CUndoCommand uiOnly(QStringLiteral("ui only"));
        uiOnly.initialize(&m_engine, {&m_ui}, {});
        command.takeAfterStates(&uiOnly);
    }
    m_engine.processingNeeded = processingNeeded;

    command.undo();
    command.redo();  // the first redo is skipped
    command.redo();
    // The engine is restored only from maps that hold it; the ui object gets
    // the same flag.
    QCOMPARE(m_engine.restores.size(), int(engineBefore) + int(engineAfter));
    if (engineBefore)
        QCOMPARE(m_engine.restores.first(), undoFlag);
    if (engineAfter)
        QCOMPARE(m_engine.restores.last(), redoFlag);
    if (engineBefore && engineAfter)
        QCOMPARE(m_engine.processingQueries.first(), QByteArray("e0|e1"));
}

void TestUndoController::updateLastCommandRefreshesTheStepBelowTheIndex_data()
{
    QTest::addColumn<QByteArray>("changedSince");
    QTest::addColumn<bool>("held");
    QTest::addColumn<QByteArray>("recordedUi");
    QTest::addColumn<QByteArray>("recordedEngine");

    // The render of the step's own parameters: the window's state after it
    // (handles placed from the render's output) becomes the step's.
    QTest::newRow("render of the step") << QByteArray() << false << QByteArray("rendered") << QByteArray("one");
    // A preset pushes its step, then sets its value: the render of that
    // value is the step's too.
    QTest::newRow("value set after the push")
        << QByteArray("one and a half") << false << QByteArray("rendered") << QByteArray("one and a half");
    // A drag under way renders what its own step, made at the release,
    // will hold; the step below keeps what it had.
    QTest::newRow("render while a drag is held")
        << QByteArray("one and a half") << true << QByteArray("made") << QByteArray("one");
}

void TestUndoController::updateLastCommandRefreshesTheStepBelowTheIndex()
{
    QFETCH(QByteArray, changedSince);
    QFETCH(bool, held);
    QFETCH(QByteArray, recordedUi);
    QFETCH(QByteArray, recordedEngine);
    const QString ui = QStringLiteral("MainWindowUiState");

    m_controller.onUpdateLastCommand(); // index 0: nothing
    m_ui.state = "made";
    step("one");
    CHeldChange drag;
    if (held)
        drag.begin();
    if (!changedSince.isEmpty())
        edit(changedSince);
    m_ui.state = "rendered";
    m_controller.onUpdateLastCommand();
    QCOMPARE(at(0)->afterStates().value(ui), recordedUi);
    QCOMPARE(at(0)->afterStates().value(QStringLiteral("ProcessEngine")), recordedEngine);
    drag.end();
    step("two");
    QCOMPARE(at(1)->beforeStates().value(ui), recordedUi);
    // Undo of the later step lands where the first one left off.
    m_controller.undo();
    QCOMPARE(m_ui.state, recordedUi);
    QCOMPARE(m_engine.state, recordedEngine);
}

void TestUndoController::heldChangesEndOnce()
{
    {
        CHeldChange drag;
        CHeldChange key;
        drag.begin();
        drag.begin();
        key.begin();
        drag.end();
        // The key is still down.
        QVERIFY(m_controller.isChangeHeld());
        key.end();
        key.end();
        QVERIFY(!m_controller.isChangeHeld());
        // A holder that goes while held (an item deleted mid-drag) lets go.
        drag.begin();
    }
    QVERIFY(!m_controller.isChangeHeld());
    // Ended more often than begun: the count never goes below nothing.
    m_controller.endHeldChange();
    CHeldChange later;
    later.begin();
    QVERIFY(m_controller.isChangeHeld());
    later.end();
    QVERIFY(!m_controller.isChangeHeld());
}

void TestUndoController::removeLastStep_data()
{
    QTest::addColumn<int>("steps");
    QTest::addColumn<int>("countAfter");
    QTest::addColumn<QByteArray>("stateAfter");

    QTest::newRow("index 0") << 0 << 0 << QByteArray("base");
    QTest::newRow("index 1") << 1 << 0 << QByteArray("base");
    QTest::newRow("index 3") << 3 << 2 << QByteArray("s2");
}

void TestUndoController::removeLastStep()
{
    QFETCH(int, steps);
    QFETCH(int, countAfter);
    QFETCH(QByteArray, stateAfter);

    for (int i = 1; i <= steps; ++i)
        step("s" + QByteArray::number(i), QStringLiteral("s%1").arg(i));
    m_controller.removeLastStep();
    QCOMPARE(m_stack.count(), countAfter);
    QCOMPARE(m_stack.index(), countAfter);
    QCOMPARE(m_engine.state, stateAfter);
    if (countAfter == 2) {
        QCOMPARE(m_stack.text(1), QStringLiteral("s2"));
        QCOMPARE(typeid(*at(1)), typeid(CUndoCommand));
        // The copy undoes like the step it replaced.
        m_controller.undo();
        QCOMPARE(m_engine.state, QByteArray("s1"));
    }
}

void TestUndoController::removeLastStepOfAMergedStep_data()
{
    QTest::addColumn<bool>("slider");
    QTest::newRow("handle moved twice") << false;
    QTest::newRow("slider moved on") << true;
}

// A step that absorbed a newer one (the failed change) loses only that one:
// the change it recorded before stays, and undo and redo still reach it.
void TestUndoController::removeLastStepOfAMergedStep()
{
    QFETCH(bool, slider);
    QGraphicsRectItem item;
    const auto push = [&](const QByteArray& state) {
        edit(state);
        if (slider)
            m_controller.pushUndoCommand(
                new CSliderCustomUndoCommnd(QStringLiteral("moved"), QStringLiteral("KeystoningUpDown"), kStart));
        else
            m_controller.pushUndoCommand(
                new CGraphicsItemPosChangedByKeyEventCustomUndoCommand(QStringLiteral("moved"), &item));
    };

    step("tool", QStringLiteral("tool"));
    push("good");
    push("bad");
    QCOMPARE(m_stack.count(), 2);
    m_engine.processingNeeded = true;
    m_controller.removeLastStep();
    QCOMPARE(m_stack.count(), 2);
    QCOMPARE(m_stack.index(), 2);
    QCOMPARE(m_engine.state, QByteArray("good"));
    QCOMPARE(m_engine.processingQueries.last(), QByteArray("bad|good"));
    QCOMPARE(m_engine.restores.last(), true);
    QCOMPARE(at(1)->beforeStates().value(QStringLiteral("ProcessEngine")), QByteArray("tool"));
    QCOMPARE(at(1)->afterStates().value(QStringLiteral("ProcessEngine")), QByteArray("good"));

    m_controller.undo();
    QCOMPARE(m_engine.state, QByteArray("tool"));
    m_controller.redo();
    QCOMPARE(m_engine.state, QByteArray("good"));

    // Nothing absorbed any more: the next failure takes the whole step back.
    m_controller.removeLastStep();
    QCOMPARE(m_stack.count(), 1);
    QCOMPARE(m_engine.state, QByteArray("tool"));
}

void TestUndoController::timedMerge_data()
{
    QTest::addColumn<qint64>("interval");
    QTest::addColumn<QString>("secondKey");
    QTest::addColumn<bool>("merged");

    QTest::newRow("499 ms") << qint64(499) << QStringLiteral("KeystoningUpDown") << true;
    QTest::newRow("500 ms") << qint64(500) << QStringLiteral("KeystoningUpDown") << false;
    QTest::newRow("clock set back") << qint64(-3000) << QStringLiteral("KeystoningUpDown") << true;
    QTest::newRow("other key") << qint64(10) << QStringLiteral("KeystoningLeftRight") << false;
}

void TestUndoController::timedMerge()
{
    QFETCH(qint64, interval);
    QFETCH(QString, secondKey);
    QFETCH(bool, merged);

    edit("one");
    m_controller.pushUndoCommand(
        new CSliderCustomUndoCommnd(QStringLiteral("first"), QStringLiteral("KeystoningUpDown"), kStart));
    edit("two");
    m_controller.pushUndoCommand(
        new CSliderCustomUndoCommnd(QStringLiteral("second"), secondKey, kStart.addMSecs(interval)));

    QCOMPARE(m_stack.count(), merged ? 1 : 2);
    QCOMPARE(m_stack.text(0), QStringLiteral("first"));
    QCOMPARE(at(0)->beforeStates().value(QStringLiteral("ProcessEngine")), QByteArray("base"));
    QCOMPARE(at(0)->afterStates().value(QStringLiteral("ProcessEngine")), merged ? QByteArray("two") : QByteArray("one"));
    if (merged) {
        // The merged step's time stays its own: a third step 499 ms after
        // the second, but 998 ms after the first, starts a new step.
        edit("three");
        m_controller.pushUndoCommand(new CSliderCustomUndoCommnd(
            QStringLiteral("third"), secondKey, kStart.addMSecs(interval + 499)));
        QCOMPARE(m_stack.count(), interval + 499 < 500 ? 1 : 2);
    }

    // A plain step identical to the slider step never merges with it.
    m_controller.createUndoCommand(QStringLiteral("plain"));
    QCOMPARE(m_stack.text(m_stack.count() - 1), QStringLiteral("plain"));
}

void TestUndoController::keyMoveMerge()
{
    QGraphicsRectItem first;
    QGraphicsRectItem second;
    const QString text = QStringLiteral("Keystoning correction scene point moved");

    edit("a");
    m_controller.pushUndoCommand(new CGraphicsItemPosChangedByKeyEventCustomUndoCommand(text, &first));
    edit("b");
    m_controller.pushUndoCommand(new CGraphicsItemPosChangedByKeyEventCustomUndoCommand(text, &first));
    QCOMPARE(m_stack.count(), 1);
    QCOMPARE(at(0)->afterStates().value(QStringLiteral("ProcessEngine")), QByteArray("b"));

    // Another item merges only when nothing changed.
    m_controller.pushUndoCommand(new CGraphicsItemPosChangedByKeyEventCustomUndoCommand(text, &second));
    QCOMPARE(m_stack.count(), 1);
    edit("c");
    m_controller.pushUndoCommand(new CGraphicsItemPosChangedByKeyEventCustomUndoCommand(text, &second));
    QCOMPARE(m_stack.count(), 2);
}

void TestUndoController::moduleDeleteWithoutFolderTouchesNoFile()
{
    QTemporaryDir folder;
    const QString previousFolder = QDir::currentPath();
    QVERIFY(QDir::setCurrent(folder.path()));
    QFile file(QStringLiteral("lens.caf"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("module");
    file.close();

    // No folder is known: the file in the current folder must not go.
    auto* command = new CCafDeleteUndoCommand(QStringLiteral("Module deleted"), QStringLiteral("lens"));
    QVERIFY(command->moduleFilePath().isEmpty());
    QVERIFY(command->backupPath().isEmpty());
    edit("deleted");
    m_controller.pushUndoCommand(command);
    QCOMPARE(m_stack.count(), 1);
    QVERIFY(QFile::exists(QStringLiteral("lens.caf")));
    m_controller.undo();
    QCOMPARE(m_engine.state, QByteArray("base"));

    // A missing file leaves the step plain too.
    const CCafDeleteUndoCommand missing(QStringLiteral("Module deleted"), QStringLiteral("other"),
                                        folder.path() + QLatin1Char('/'));
    QVERIFY(missing.moduleFilePath().isEmpty());
    QDir::setCurrent(previousFolder);
}

void TestUndoController::moduleDeleteRestoresTheFile()
{
    QTemporaryDir folder;
    const QString prefix = folder.path() + QLatin1Char('/');
    const QString path = prefix + QStringLiteral("lens.caf");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("module");
    file.close();

    auto* first = new CCafDeleteUndoCommand(QStringLiteral("Module deleted"), QStringLiteral("lens"), prefix);
    const CCafDeleteUndoCommand second(QStringLiteral("Module deleted"), QStringLiteral("lens"), prefix);
    // Each step keeps its own copy.
    QVERIFY(!first->backupPath().isEmpty());
    QVERIFY(first->backupPath() != second.backupPath());
    const QString backup = first->backupPath();

    edit("deleted");
    m_controller.pushUndoCommand(first);
    QVERIFY(!QFile::exists(path));
    m_controller.undo();
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("module"));
    file.close();
    m_controller.redo();
    QVERIFY(!QFile::exists(path));
    QFile::remove(backup);
    QFile::remove(second.backupPath());
}

void TestUndoController::snapshotCommandRestoresState()
{
    // The application's state save and restore: a command never pushed.
    m_ui.state = "ui saved";
    edit("saved");
    CUndoCommand save(QStringLiteral("Fake command"));
    m_controller.initializeCommand(&save);
    m_ui.state = "ui later";
    edit("later");

    CUndoCommand restore(QStringLiteral("Fake command"));
    m_controller.initializeCommand(&restore, save.afterStates());
    restore.undo();
    QCOMPARE(m_engine.state, QByteArray("saved"));
    QCOMPARE(m_ui.state, QByteArray("ui saved"));
    QCOMPARE(m_stack.count(), 0);
}

void TestUndoController::pushesAfterQuitAreDropped()
{
    QVERIFY(QMetaObject::invokeMethod(&m_controller, "onAppAboutToQuit"));
    step("after quit");
    QCOMPARE(m_stack.count(), 0);
}

QTEST_MAIN(TestUndoController)
#include "tst_undocontroller.moc"
