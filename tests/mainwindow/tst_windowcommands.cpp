// The window's snapshot commands and its script slots for handles, in a test
// application whose state the test chooses: the snapshot file's content, a
// write that fails half-way, a file cut short, no picture open; moving and
// reading the keystoning, horizon and crop handles by name.

#include "correction/CCorrectionModuleHost.h"
#include "correction/CRectangleNode.h"
#include "correction/CUndoController.h"
#include "crop/CropGraphicsItems.h"
#include "engine/CProcessEngine.h"
#include "mainwindow/CMainWindow.h"
#include "utils/CScripting.h"
#include "utils/DataStreamFormat.h"
#include "utils/Utilities.h"

#include "FileSizeLimit.h"
#include "TestApplication.h"

#include <QAction>
#include <QDataStream>
#include <QFile>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QJSValue>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUndoStack>

#include <memory>

namespace {

// The state the window keeps in a snapshot and what it was handed back.
class SnapshotApplication : public TestApplication
{
public:
    using TestApplication::TestApplication;

    QByteArray saveApplicationState() override { return state; }
    void restoreApplicationState(const QByteArray& restoredState) override { restored.append(restoredState); }

    QByteArray state;
    QList<QByteArray> restored;
};

SnapshotApplication* app()
{
    return static_cast<SnapshotApplication*>(qApp);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The snapshot file as the window writes it: one byte array.
QByteArray snapshotOf(const QByteArray& state)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(NAVIK_tarl1::g_dataStreamVersion);
    stream << state;
    return bytes;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QString undoText()
{
    const QUndoStack* stack = CUndoController::instance()->undoStack();
    return stack->index() > 0 ? stack->text(stack->index() - 1) : QString();
}

} // namespace

class TestWindowCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    // Before a picture is opened.
    void snapshotNeedsAPicture();
    void openPicture();
    void snapshotRoundTrip();
    void failedSnapshotKeepsThePreviousOne();
    void unreadableSnapshotIsNotRecalled_data();
    void unreadableSnapshotIsNotRecalled();
    void handlesMovedAndReadByName_data();
    void handlesMovedAndReadByName();
    void unknownHandle();
    void sliderMovedByScriptIsOneStep();
    void toolBlocksSaveAndRotation();
    void publishedToScripts();

private:
    QAction* restoreAction() const { return m_window->findChild<QAction*>(QStringLiteral("actionRestore_Snapshot")); }
    void chooseTool(const QString& tool);

    CProcessEngine* m_engine = nullptr;
    CMainWindow* m_window = nullptr;
    QTemporaryDir m_folder;
    QString m_recall;
};

void TestWindowCommands::initTestCase()
{
    app()->setMode(CBaseApplication::StandaloneMode);
    m_engine = new CProcessEngine;
    app()->engine = m_engine;
    m_window = new CMainWindow(app());
    m_window->setupControlsState(false);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    m_recall = NAVIK_tarl1::recallFilePath();
    // Hidden in the menu, and a hidden action is never enabled: shown here to
    // see their state.
    restoreAction()->setVisible(true);
    m_window->findChild<QAction*>(QStringLiteral("actionTake_Snapshot"))->setVisible(true);
}

void TestWindowCommands::cleanupTestCase()
{
    delete m_window;
    CCorrectionModuleHost::resetInstance();
    app()->engine = nullptr;
    delete m_engine;
}

void TestWindowCommands::init()
{
    app()->restored.clear();
}

// Without a picture, neither command touches the file, the state or undo.
void TestWindowCommands::snapshotNeedsAPicture()
{
    const QByteArray kept = snapshotOf("kept state");
    writeFile(m_recall, kept);
    app()->state = "state of no picture";
    restoreAction()->setEnabled(true);
    m_window->onTakeSnapshot();
    QCOMPARE(readFile(m_recall), kept);
    m_window->onRestoreSnapshot();
    QVERIFY(app()->restored.isEmpty());
    QVERIFY(restoreAction()->isEnabled());
    QCOMPARE(CUndoController::instance()->undoStack()->count(), 0);
    restoreAction()->setEnabled(false);
}

void TestWindowCommands::openPicture()
{
    const QString photo = m_folder.filePath(QStringLiteral("photo.jpg"));
    QImage picture(640, 480, QImage::Format_RGB888);
    picture.fill(QColor(90, 140, 60));
    QVERIFY(picture.save(photo));
    QVERIFY(m_window->openFile(photo, QString()));
    QTRY_VERIFY_WITH_TIMEOUT(m_window->hasViewImage() && m_window->isIdle() && m_window->isUndoBaselineSet(), 60000);
}

void TestWindowCommands::snapshotRoundTrip()
{
    QFile::remove(m_recall);
    app()->state = QByteArray("corrections \0 of the picture", 28);
    m_window->onTakeSnapshot();
    QVERIFY(restoreAction()->isEnabled());
    QCOMPARE(readFile(m_recall), snapshotOf(app()->state));

    app()->state = "later corrections";
    m_window->onRestoreSnapshot();
    QCOMPARE(app()->restored, QList<QByteArray>({QByteArray("corrections \0 of the picture", 28)}));
    QCOMPARE(undoText(), QStringLiteral("Recall snapshot"));
    QVERIFY(restoreAction()->isEnabled());

    // Without the file the command goes out of reach.
    QVERIFY(QFile::remove(m_recall));
    m_window->onRestoreSnapshot();
    QVERIFY(!restoreAction()->isEnabled());
    QCOMPARE(app()->restored.size(), 1);
}

// A write that stops half-way (a full disk) leaves the previous snapshot
// whole and the Restore command as it was.
void TestWindowCommands::failedSnapshotKeepsThePreviousOne()
{
    app()->state = QByteArray(64 * 1024, 'a');
    m_window->onTakeSnapshot();
    const QByteArray previous = snapshotOf(app()->state);
    QCOMPARE(readFile(m_recall), previous);

    restoreAction()->setEnabled(false);
    app()->state = QByteArray(64 * 1024, 'b');
    {
        FileSizeLimit limit(4096);
        m_window->onTakeSnapshot();
    }
    QCOMPARE(readFile(m_recall), previous);
    QVERIFY(!restoreAction()->isEnabled());

    // The snapshot still recalls the earlier state.
    m_window->onRestoreSnapshot();
    QCOMPARE(app()->restored, QList<QByteArray>({QByteArray(64 * 1024, 'a')}));
}

void TestWindowCommands::unreadableSnapshotIsNotRecalled_data()
{
    QTest::addColumn<QByteArray>("content");

    QTest::newRow("cut short") << snapshotOf(QByteArray(1000, 'c')).left(200);
    QTest::newRow("length cut short") << QByteArray("\0\0", 2);
    QTest::newRow("empty") << QByteArray();
}

// A snapshot file cut short holds no state: nothing is recalled, no undo
// step, and Restore goes out of reach.
void TestWindowCommands::unreadableSnapshotIsNotRecalled()
{
    QFETCH(QByteArray, content);
    writeFile(m_recall, content);
    restoreAction()->setEnabled(true);
    const int steps = CUndoController::instance()->undoStack()->count();
    m_window->onRestoreSnapshot();
    QVERIFY(app()->restored.isEmpty());
    QVERIFY(!restoreAction()->isEnabled());
    QCOMPARE(CUndoController::instance()->undoStack()->count(), steps);
}

void TestWindowCommands::chooseTool(const QString& tool)
{
    CCorrectionModuleHost* host = CCorrectionModuleHost::instance();
    if (tool == QLatin1String("crop")) {
        if (host->currentCorrectionName() != QLatin1String("Crop"))
            m_window->onCropTool();
    } else {
        auto* button = m_window->findChild<QToolButton*>(tool);
        QVERIFY(button);
        if (!button->isChecked())
            button->click();
    }
    QTRY_VERIFY_WITH_TIMEOUT(m_window->isIdle(), 60000);
}

void TestWindowCommands::handlesMovedAndReadByName_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QString>("name");
    // The handle's own scene; crop handles are moved by the offset.
    QTest::addColumn<bool>("afterScene");
    QTest::addColumn<bool>("byOffset");

    QTest::newRow("keystoning node, before scene") << "verticalTool"
                                                   << "BeforeKeystoningLeftTop" << false << false;
    QTest::newRow("keystoning node, after scene") << "rectTool"
                                                  << "AfterKeystoningRightBottom" << true << false;
    QTest::newRow("horizon node, before scene") << "horizonHTool"
                                                << "BeforeHorizonLeftTop" << false << false;
    QTest::newRow("horizon node, after scene") << "horizonHTool"
                                               << "AfterHorizonRightTop" << true << false;
    QTest::newRow("crop handle") << "crop"
                                 << "CropRightBottom" << true << true;
}

// movePoint puts a node where it is told and moves a crop handle by the
// offset it is given; getPointPosition reads either back.
void TestWindowCommands::handlesMovedAndReadByName()
{
    QFETCH(QString, tool);
    QFETCH(QString, name);
    QFETCH(bool, afterScene);
    QFETCH(bool, byOffset);

    // The tools draw on the before scene in the before/after pair, on the
    // after scene in the single view.
    m_window->onResetAll();
    m_window->setBeforeAfterMode(!afterScene);
    chooseTool(tool);
    QGraphicsItem* handle = nullptr;
    const QString sceneName = afterScene ? QStringLiteral("graphicsViewDAfter") : QStringLiteral("graphicsViewDBefore");
    for (QGraphicsItem* item : m_window->findChild<QGraphicsView*>(sceneName)->scene()->items()) {
        auto* object = dynamic_cast<QObject*>(item);
        if (object && object->objectName() == name
            && (dynamic_cast<CRectangleNode*>(item) || dynamic_cast<CCropPoint*>(item)))
            handle = item;
    }
    QVERIFY(handle);

    const QPointF start = handle->pos();
    const QJSValue before = m_window->getPointPosition(name);
    QCOMPARE(before.property(QStringLiteral("x")).toNumber(), start.x());
    QCOMPARE(before.property(QStringLiteral("y")).toNumber(), start.y());

    // Towards the middle of the picture, within it and along the crop's
    // diagonal.
    const QRectF picture = handle->scene()->sceneRect();
    const QPointF offset = ((picture.center() - handle->scenePos()) / 4).toPoint();
    const QPoint asked = byOffset ? offset.toPoint() : (start + offset).toPoint();
    QVERIFY(m_window->movePoint(name, asked.x(), asked.y()));
    const QPointF expected = byOffset ? start + QPointF(asked) : QPointF(asked);
    QVERIFY2((handle->pos() - expected).manhattanLength() < 2,
             qPrintable(QStringLiteral("at (%1, %2)").arg(handle->pos().x()).arg(handle->pos().y())));
    const QJSValue after = m_window->getPointPosition(name);
    QCOMPARE(after.property(QStringLiteral("x")).toNumber(), handle->pos().x());
    QCOMPARE(after.property(QStringLiteral("y")).toNumber(), handle->pos().y());
    QTRY_VERIFY_WITH_TIMEOUT(m_window->isIdle(), 60000);
}

// A name no handle carries, or a node's name with the other scene's prefix,
// reaches nothing.
void TestWindowCommands::unknownHandle()
{
    chooseTool(QStringLiteral("rectTool"));
    auto* globalData = const_cast<CBaseCorrectionGlobalData*>(app()->correctionGlobalData());
    auto* strayAfter = new CRectangleNode(nullptr, globalData, QStringLiteral("BeforeStray"));
    auto* strayBefore = new CRectangleNode(nullptr, globalData, QStringLiteral("AfterStray"));
    m_window->findChild<QGraphicsView*>(QStringLiteral("graphicsViewDAfter"))->scene()->addItem(strayAfter);
    m_window->findChild<QGraphicsView*>(QStringLiteral("graphicsViewDBefore"))->scene()->addItem(strayBefore);
    const std::unique_ptr<CRectangleNode> ownAfter(strayAfter), ownBefore(strayBefore);
    for (const QString& name :
         {QStringLiteral("NoSuchHandle"), QStringLiteral("KeystoningLeftTop"), QStringLiteral("AfterCropLeftTop"),
          QStringLiteral("BeforeStray"), QStringLiteral("AfterStray")}) {
        const bool moved = m_window->movePoint(name, 5, 5);
        // A crop handle is found whatever the name: only exact names count.
        QVERIFY2(!moved, qPrintable(name));
        QVERIFY2(m_window->getPointPosition(name).isUndefined(), qPrintable(name));
    }
}

// The harness announces a slider a script moved; the window records it as
// an undo step.
void TestWindowCommands::sliderMovedByScriptIsOneStep()
{
    QTRY_VERIFY_WITH_TIMEOUT(m_window->isIdle(), 60000);
    const int steps = CUndoController::instance()->undoStack()->count();
    emit NAVIK_tarl1::CScripting::getInstance()->createUndoCommandForSlider(QStringLiteral("angleSlider_Slider"));
    QCOMPARE(CUndoController::instance()->undoStack()->count(), steps + 1);
    QCOMPARE(undoText(), QStringLiteral("Slider value changed from script"));
}

// While a tool is open the picture can be neither saved nor turned; once it
// closes, Save follows the modified flag at once.
void TestWindowCommands::toolBlocksSaveAndRotation()
{
    const auto enabled = [this](const char* name) {
        return m_window->findChild<QAction*>(QLatin1String(name))->isEnabled();
    };
    CCorrectionModuleHost::instance()->processModuleAction(QStringLiteral("Empty_Correction_ID"),
                                                           QStringLiteral("resetAndCloseAllTools"), QString());
    QTRY_VERIFY_WITH_TIMEOUT(m_window->isIdle(), 60000);
    m_window->setPictureChanged(true);
    QVERIFY(enabled("action_Save"));

    m_window->onCropTool();
    for (const char* name : {"action_Save", "actionSave_As", "actionRotate_Left", "actionRotate_Right"})
        QVERIFY2(!enabled(name), name);
    QVERIFY(enabled("actionTake_Snapshot"));

    m_window->onCropTool();
    QCOMPARE(CCorrectionModuleHost::instance()->currentCorrectionName(), QStringLiteral("Empty_Correction_ID"));
    for (const char* name : {"action_Save", "actionSave_As", "actionRotate_Left", "actionRotate_Right"})
        QVERIFY2(enabled(name), name);
    QTRY_VERIFY_WITH_TIMEOUT(m_window->isIdle(), 60000);
}

// What a script finds under the fixed names, the module ids and the
// widgets' names.
void TestWindowCommands::publishedToScripts()
{
    const QJSValue global = NAVIK_tarl1::CScripting::getInstance()->engine()->globalObject();
    const auto published = [&global](const char* name) { return global.property(QLatin1String(name)).toQObject(); };
    QCOMPARE(published("mainWindow"), m_window);
    QCOMPARE(published("processEngine"), m_engine);
    QCOMPARE(published("undoController"), CUndoController::instance().get());
    QVERIFY(published("nativeDialogs"));
    QVERIFY(published("performanceLogger"));
    QCOMPARE(published("settingsWidget"), m_window->findChild<QObject*>(QStringLiteral("settingsWidget")));
    CCorrectionModuleHost* host = CCorrectionModuleHost::instance();
    for (const char* id : {"Keystoning", "Horizon", "Crop"})
        QCOMPARE(published(id), host->module(QLatin1String(id))->moduleObject());
}

int main(int argc, char* argv[])
{
    SnapshotApplication application(argc, argv);
    TestWindowCommands test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_windowcommands.moc"
