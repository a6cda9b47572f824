// Named snapshots: taking one and showing it as the before image, coming back
// to the before image set aside, renaming, deleting, refreshing and recalling
// one into the after image, with the renders each asks for.

#include "EngineStates.h"
#include "EngineTestSupport.h"

#include "engine/CProcessEngine.h"
#include "engine/EngineParameterKeys.h"

#include <QSignalSpy>
#include <QTest>

namespace Keys = EngineParameterKeys;

namespace {

// Each dictionary of these tests is told apart by its tilt, or by having none.
QVariant tiltOf(const Navik::Dictionary& parameters)
{
    const Navik::Value tilt = parameters.GetValueForKey(Keys::KeystoningUpDown);
    return tilt.IsValid() ? QVariant(tilt.AsDouble()) : QVariant();
}

QVariant snapshotTilt(const CProcessEngine& engine, const QString& name)
{
    bool found = false;
    const Navik::Dictionary snapshot = engine.namedSnapshot(name, &found);
    return found ? tiltOf(snapshot) : QVariant(QStringLiteral("none"));
}

void setTilt(CProcessEngine& engine, float tilt)
{
    engine.onCEPropertyFloatChanged(Keys::KeystoningUpDown, tilt);
}

// Which previews an operation asked for, seen once the engine is idle.
class RenderLog
{
public:
    explicit RenderLog(CProcessEngine& engine)
        : m_before(&engine, &CProcessEngine::loResInitialImageProcessed),
          m_after(&engine, &CProcessEngine::loResResultImageProcessed),
          m_sizes(&engine, &CProcessEngine::resultImageSizeChanged)
    {
    }

    // "before", "after", "sizes" for what happened since the last call.
    QStringList taken()
    {
        QStringList what;
        if (!m_before.isEmpty())
            what << "before";
        if (!m_after.isEmpty())
            what << "after";
        if (!m_sizes.isEmpty())
            what << "sizes";
        m_before.clear();
        m_after.clear();
        m_sizes.clear();
        return what;
    }

private:
    QSignalSpy m_before;
    QSignalSpy m_after;
    QSignalSpy m_sizes;
};

const QStringList bothSides = {"before", "after", "sizes"};

} // namespace

class TestProcessEngineSnapshots : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showAsBeforeImageAndBack();
    void withoutAPicture();
    void rename_data();
    void rename();
    void deleteLeavesTheBeforeImage();
    void update_data();
    void update();
    void recall_data();
    void recall();

private:
    // An open picture whose before parameters have the tilt -5 and the after
    // parameters the tilt 1, with the snapshots given (name to tilt).
    static void prepare(CProcessEngine& engine, const QMap<QString, QString>& snapshots = {});
};

void TestProcessEngineSnapshots::prepare(CProcessEngine& engine, const QMap<QString, QString>& snapshots)
{
    QMap<QString, QString> tables;
    for (auto snapshot = snapshots.cbegin(); snapshot != snapshots.cend(); ++snapshot)
        tables.insert(snapshot.key(), "{ KeystoningUpDown = " + snapshot.value() + " }");
    QVERIFY(engine.openImage(imageInMemory(64, 48)));
    engine.deserialize(
        stateBytes(stateEntries("{ KeystoningUpDown = 1 }", 0, 0, "{ KeystoningUpDown = -5 }", tables)), true);
    QVERIFY(waitUntilEngineIdle(engine));
}

void TestProcessEngineSnapshots::showAsBeforeImageAndBack()
{
    CProcessEngine engine;
    prepare(engine);
    RenderLog renders(engine);

    // Taken from the after parameters and shown as the before image.
    QVERIFY(engine.createSnaphot("A"));
    QCOMPARE(snapshotTilt(engine, "A"), QVariant(1.0));
    QCOMPARE(tiltOf(engine.parameters(true)), QVariant(1.0));
    QVERIFY(waitUntilEngineIdle(engine));
    QCOMPARE(renders.taken(), bothSides);

    // A snapshot is taken once: showing it again keeps what was taken.
    setTilt(engine, 2);
    QVERIFY(engine.createSnaphot("A"));
    QCOMPARE(snapshotTilt(engine, "A"), QVariant(1.0));
    QCOMPARE(tiltOf(engine.parameters(true)), QVariant(1.0));

    // Another one shown after it: the before image set aside stays the first.
    QVERIFY(engine.createSnaphot("B"));
    QCOMPARE(snapshotTilt(engine, "B"), QVariant(2.0));
    QCOMPARE(tiltOf(engine.parameters(true)), QVariant(2.0));
    QVERIFY(waitUntilEngineIdle(engine));
    renders.taken();

    // The empty name brings it back, once.
    QVERIFY(engine.createSnaphot(QString()));
    QCOMPARE(tiltOf(engine.parameters(true)), QVariant(-5.0));
    QVERIFY(waitUntilEngineIdle(engine));
    QCOMPARE(renders.taken(), bothSides);
    QVERIFY(!engine.createSnaphot(QString()));
    QVERIFY(!engine.hasTasksForProcessing());
    QCOMPARE(tiltOf(engine.parameters(true)), QVariant(-5.0));
    // The after image was never touched.
    QCOMPARE(tiltOf(engine.parameters(false)), QVariant(2.0));
}

void TestProcessEngineSnapshots::withoutAPicture()
{
    CProcessEngine engine;
    // Nothing set aside: nothing to show.
    QVERIFY(!engine.createSnaphot(QString()));
    QVERIFY(!engine.hasTasksForProcessing());

    // Taken all the same; the previews wait for a picture.
    QVERIFY(!engine.createSnaphot("A"));
    QCOMPARE(snapshotTilt(engine, "A"), QVariant());
    QVERIFY(engine.hasTasksForProcessing());
}

void TestProcessEngineSnapshots::rename_data()
{
    QTest::addColumn<QString>("newName");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("tiltA");
    QTest::addColumn<QVariant>("tiltB");
    QTest::addColumn<QVariant>("tiltC");

    const QVariant none(QStringLiteral("none"));
    // The snapshots are A (tilt 3) and B (tilt 4).
    QTest::newRow("new name first") << "C" << "A" << none << QVariant(4.0) << QVariant(3.0);
    QTest::newRow("onto an existing name") << "A" << "B" << QVariant(3.0) << QVariant(4.0) << none;
    QTest::newRow("unknown snapshot") << "C" << "X" << QVariant(3.0) << QVariant(4.0) << none;
    QTest::newRow("empty new name") << "" << "A" << QVariant(3.0) << QVariant(4.0) << none;
    QTest::newRow("empty name") << "C" << "" << QVariant(3.0) << QVariant(4.0) << none;
}

void TestProcessEngineSnapshots::rename()
{
    QFETCH(QString, newName);
    QFETCH(QString, name);

    CProcessEngine engine;
    prepare(engine, {{"A", "3"}, {"B", "4"}});
    engine.renameSnapshot(newName, name);
    QTEST(snapshotTilt(engine, "A"), "tiltA");
    QTEST(snapshotTilt(engine, "B"), "tiltB");
    QTEST(snapshotTilt(engine, "C"), "tiltC");
    QVERIFY(!engine.hasTasksForProcessing());
}

void TestProcessEngineSnapshots::deleteLeavesTheBeforeImage()
{
    CProcessEngine engine;
    prepare(engine, {{"A", "3"}});
    QVERIFY(engine.createSnaphot("A"));
    QVERIFY(waitUntilEngineIdle(engine));

    engine.deleteSnapshot(QString());
    QCOMPARE(snapshotTilt(engine, "A"), QVariant(3.0));
    // Gone from the list, still the before image; the set-aside one stays.
    engine.deleteSnapshot("A");
    QCOMPARE(snapshotTilt(engine, "A"), QVariant(QStringLiteral("none")));
    QCOMPARE(tiltOf(engine.parameters(true)), QVariant(3.0));
    QVERIFY(!engine.hasTasksForProcessing());
    QVERIFY(engine.createSnaphot(QString()));
    QCOMPARE(tiltOf(engine.parameters(true)), QVariant(-5.0));
}

void TestProcessEngineSnapshots::update_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("show");
    QTest::addColumn<QVariant>("snapshot");
    QTest::addColumn<QVariant>("before");
    QTest::addColumn<QStringList>("renders");

    // Snapshot A has the tilt 3, the after image 1, the before image -5.
    QTest::newRow("refreshed only") << "A" << false << QVariant(1.0) << QVariant(-5.0) << QStringList();
    QTest::newRow("refreshed and shown") << "A" << true << QVariant(1.0) << QVariant(1.0) << bothSides;
    QTest::newRow("unknown name") << "B" << true << QVariant(QStringLiteral("none")) << QVariant(-5.0)
                                  << QStringList();
    QTest::newRow("empty name") << "" << true << QVariant(QStringLiteral("none")) << QVariant(-5.0)
                                << QStringList();
}

void TestProcessEngineSnapshots::update()
{
    QFETCH(QString, name);
    QFETCH(bool, show);

    CProcessEngine engine;
    prepare(engine, {{"A", "3"}});
    RenderLog renders(engine);
    engine.updateSnapshot(name, show);
    QVERIFY(waitUntilEngineIdle(engine));
    QTEST(snapshotTilt(engine, name), "snapshot");
    QTEST(tiltOf(engine.parameters(true)), "before");
    QTEST(renders.taken(), "renders");

    // Shown directly by a name without a snapshot, an empty one is made.
    engine.reprocessSnapshot("new", true);
    bool found = false;
    QCOMPARE(engine.namedSnapshot("new", &found).Count(), 0u);
    QVERIFY(found);
    QCOMPARE(tiltOf(engine.parameters(true)), QVariant());
    QVERIFY(waitUntilEngineIdle(engine));
}

void TestProcessEngineSnapshots::recall_data()
{
    QTest::addColumn<bool>("setAside");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("recalled");
    QTest::addColumn<QVariant>("after");

    // Snapshot A has the tilt 3, the after image 1, the before image -5.
    QTest::newRow("named") << false << "A" << true << QVariant(3.0);
    QTest::newRow("unknown name") << false << "B" << false << QVariant(1.0);
    QTest::newRow("the before image set aside") << true << "" << true << QVariant(-5.0);
    QTest::newRow("nothing set aside") << false << "" << true << QVariant();
}

void TestProcessEngineSnapshots::recall()
{
    QFETCH(bool, setAside);
    QFETCH(QString, name);
    QFETCH(bool, recalled);

    CProcessEngine engine;
    prepare(engine, {{"A", "3"}});
    engine.rotateImageFromInitialState(RotationDirections::Rotation90);
    // A crop is not carried over into the recalled parameters.
    engine.setCropRect(QRectF(0.1, 0.1, 0.5, 0.5));
    if (setAside)
        QVERIFY(engine.createSnaphot("A"));
    QVERIFY(waitUntilEngineIdle(engine));

    RenderLog renders(engine);
    QSignalSpy recalls(&engine, &CProcessEngine::snapshotWasRecalled);
    engine.recallSnapshot(name);
    const Navik::Dictionary recalledParameters = engine.parameters(false);
    QVERIFY(waitUntilEngineIdle(engine));
    QTEST(tiltOf(engine.parameters(false)), "after");
    if (!recalled) {
        QVERIFY(recalls.isEmpty());
        QVERIFY(renders.taken().isEmpty());
        return;
    }
    QCOMPARE(renders.taken(), QStringList({"after", "sizes"}));
    QCOMPARE(recalls.size(), 1);
    QCOMPARE(recalls.at(0).at(0).toString(), name);
    const Navik::Dictionary told = recalls.at(0).at(1).value<Navik::Dictionary>();
    QVERIFY(told == recalledParameters);
    // The turn of the picture stays; the crop went with the old parameters.
    QCOMPARE(told.GetValueForKey(Keys::OutputRotation).AsInt(), 1);
    QVERIFY(!told.GetValueForKey(Keys::CropRect).IsValid());
}

QTEST_MAIN(TestProcessEngineSnapshots)
#include "tst_processenginesnapshots.moc"
