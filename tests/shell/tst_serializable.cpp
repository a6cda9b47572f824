#include "shell/SerializableUiImpl.h"
#include "utils/DataStreamFormat.h"
#include "utils/Logger.h"

#include "RecordingLogger.h"

#include <QTest>
#include <QWidget>

// A serialisable widget whose value is a text, as a slider or a panel frame
// would be. Restores are noted in a shared log to show their order.
class Field : public QWidget, public SerializableUiImpl
{
    Q_OBJECT
    Q_INTERFACES(ISerializableUiInterface ISerializableInterface)

public:
    explicit Field(QWidget* parent = nullptr, const char* guid = nullptr, const QString& value = {})
        : QWidget(parent)
        , value(value)
    {
        if (guid)
            setProperty("GUID", QString::fromLatin1(guid));
    }

    QByteArray serialize() override
    {
        ++serializeCalls;
        return SerializableUiImpl::serialize();
    }
    QByteArray serializeWidgetState() override { return value.toUtf8(); }
    void deserializeWidgetState(const QByteArray& state) override
    {
        value = QString::fromUtf8(state);
        if (restoreLog)
            restoreLog->append(id());
    }
    QWidget* asWidget() override { return this; }

    QString value;
    int serializeCalls = 0;
    QStringList* restoreLog = nullptr;
};

// A serialisable widget that does not answer the interface ids, as the
// modules' settings panels: containers pass it by, not its descendants.
class Panel : public QWidget, public SerializableUiImpl
{
    Q_OBJECT

public:
    explicit Panel(QWidget* parent)
        : QWidget(parent)
    {
    }
    QByteArray serializeWidgetState() override { return "panel"; }
    void deserializeWidgetState(const QByteArray&) override { ++restores; }
    QWidget* asWidget() override { return this; }

    int restores = 0;
};

class LockedState : public SerializableLockImpl
{
public:
    QByteArray doSerialize() override { return "state"; }
    void doDeserialize(const QByteArray& data, bool) override { restored = data; }
    void deserialize(const QByteArray&, bool) override {}
    bool isEqual(const QByteArray& a, const QByteArray& b) override { return a == b; }
    QString id() const override { return QStringLiteral("locked"); }

    QByteArray restored;
};

class TestSerializable : public QObject
{
    Q_OBJECT

private:
    RecordingLogger m_logger;

    static QStringList keysOf(const QByteArray& state)
    {
        return NAVIK_tarl1::variantMapFromBytes(state).keys();
    }

private Q_SLOTS:
    void initTestCase() { NAVIK_tarl1::initLogger(&m_logger, "test"); }
    void init() { m_logger.lines.clear(); }

    void byteFormatIsTheGoldenDump()
    {
        Field container(nullptr, "{B}", "own");
        Field child(&container, "{A}", "x");
        // Qt 4.8 stream, one map, keys from the greatest down, each value a
        // variant holding a byte array: type 12, null flag, length, bytes.
        const QByteArray expected = QByteArray::fromHex(
            "00000002"                       // entries
            "00000006 007b0042007d"          // "{B}"
            "0000000c 00 00000003 6f776e"    //   "own"
            "00000006 007b0041007d"          // "{A}"
            "0000000c 00 00000001 78");      //   "x"
        QCOMPARE(container.serialize().toHex(' '), expected.toHex(' '));
    }

    // The application's snapshot: a map of states by id, values without a
    // variant header, in the same key order.
    void stateMapIsTheGoldenDump()
    {
        const QMap<QString, QByteArray> states{{"{A}", "x"}, {"{B}", "own"}};
        QByteArray bytes;
        QDataStream stream(&bytes, QIODevice::WriteOnly);
        stream.setVersion(NAVIK_tarl1::g_dataStreamVersion);
        NAVIK_tarl1::writeMapInQt4Order(stream, states);
        const QByteArray expected = QByteArray::fromHex(
            "00000002"                       // entries
            "00000006 007b0042007d"          // "{B}"
            "00000003 6f776e"                //   "own"
            "00000006 007b0041007d"          // "{A}"
            "00000001 78");                  //   "x"
        QCOMPARE(bytes.toHex(' '), expected.toHex(' '));
    }

    // container {C} (not serialisable itself, which it ignores)
    //   a {A} (not serialisable)
    //     b {B}
    //   panel (answers no interface id)
    //     s {S}
    //   x (no GUID)
    void treeIsStoredFlatAndRestoredOwnStateLast()
    {
        QStringList restores;
        Field container(nullptr, "{C}", "c");
        container.setProperty("Serializable", false);
        auto* a = new Field(&container, "{A}", "a");
        a->setProperty("Serializable", false);
        auto* b = new Field(a, "{B}", "b");
        auto* panel = new Panel(&container);
        auto* s = new Field(panel, "{S}", "s");
        auto* x = new Field(&container, nullptr, "x");
        const QList<Field*> fields{&container, a, b, s, x};
        for (Field* field : fields)
            field->restoreLog = &restores;

        QVERIFY(qobject_cast<ISerializableInterface*>(x));
        QVERIFY(qobject_cast<ISerializableUiInterface*>(x));
        QVERIFY(x->qt_metacast("SerializableUiImpl"));
        QVERIFY(!qobject_cast<ISerializableUiInterface*>(panel));

        const QByteArray state = container.serialize();
        QStringList expectedKeys{"{B}", "{C}", "{S}", x->id()};
        expectedKeys.sort();
        QCOMPARE(keysOf(state), expectedKeys);
        QCOMPARE(x->id(), QString::number(quint64(quintptr(static_cast<SerializableUiImpl*>(x)))));

        for (Field* field : fields)
            field->value = "changed";
        container.deserialize(state, false);
        QCOMPARE(restores, (QStringList{"{B}", "{S}", x->id(), "{C}"}));
        QCOMPARE(container.value, QString("c"));
        QCOMPARE(a->value, QString("changed"));
        QCOMPARE(b->value, QString("b"));
        QCOMPARE(s->value, QString("s"));
        QCOMPARE(x->value, QString("x"));
        QCOMPARE(panel->restores, 0);
        QCOMPARE(m_logger.linesAt('E').size(), 0);
    }

    // Without a GUID a widget is known by its address, which another run does
    // not share.
    void addressKeysMatchOnlyWithinOneRun()
    {
        Field first(nullptr, "{C}", "first");
        new Field(&first, nullptr, "first child");
        const QByteArray state = first.serialize();

        Field second(nullptr, "{C}", "second");
        auto* child = new Field(&second, nullptr, "second child");
        second.deserialize(state, false);
        QCOMPARE(second.value, QString("first"));
        QCOMPARE(child->value, QString("second child"));
    }

    void innerContainerIsPartOfTheOuterMap()
    {
        Field outer(nullptr, "{O}", "o");
        auto* inner = new Field(&outer, "{I}", "i");
        new Field(inner, "{L}", "l");
        QCOMPARE(keysOf(outer.serialize()), (QStringList{"{I}", "{L}", "{O}"}));
        QCOMPARE(inner->serializeCalls, 0);
    }

    void duplicateIdsAreReportedAndTheLaterWins()
    {
        Field container(nullptr, "{C}", "c");
        auto* first = new Field(&container, "{D}", "first");
        auto* second = new Field(&container, "{D}", "second");
        const QByteArray state = container.serialize();
        QCOMPARE(m_logger.linesAt('E').size(), 1);
        QVERIFY(m_logger.linesAt('E').at(0).startsWith("ASSERT_X in "));
        QCOMPARE(NAVIK_tarl1::variantMapFromBytes(state).value("{D}").toByteArray(), QByteArray("second"));

        first->value = second->value = "changed";
        container.deserialize(state, false);
        QCOMPARE(first->value, QString("second"));
        QCOMPARE(second->value, QString("second"));
    }

    void loneWidgetStoresItsOwnEntry()
    {
        Field lone;
        const auto map = NAVIK_tarl1::variantMapFromBytes(lone.serialize());
        QCOMPARE(map.keys(), QStringList{lone.id()});
        QVERIFY(map.first().toByteArray().isEmpty());
    }

    void unreadableDataRestoresNothing_data()
    {
        QTest::addColumn<QByteArray>("data");
        Field source(nullptr, "{C}", "c");
        const QByteArray good = source.serialize();
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("truncated") << good.left(good.size() - 1);
        QTest::newRow("garbage") << QByteArray("\xff\xff\xff\xff garbage");
    }

    void unreadableDataRestoresNothing()
    {
        QFETCH(QByteArray, data);
        Field container(nullptr, "{C}", "unchanged");
        container.deserialize(data, false);
        QCOMPARE(container.value, QString("unchanged"));
    }

    void isEqualComparesBytes()
    {
        Field field;
        QVERIFY(field.isEqual({}, QByteArray("")));
        QVERIFY(field.isEqual("ab", "ab"));
        QVERIFY(!field.isEqual("ab", "abc"));
        QVERIFY(!field.isEqual("ab", "ba"));
    }

    void lockedObjectGivesAndTakesNothing()
    {
        LockedState object;
        object.lock();
        QVERIFY(object.serialize().isEmpty());
        object.deserializeIfUnlocked("new", false);
        QVERIFY(object.restored.isEmpty());

        object.unlock();
        QCOMPARE(object.serialize(), QByteArray("state"));
        object.deserializeIfUnlocked("new", false);
        QCOMPARE(object.restored, QByteArray("new"));
    }
};

QTEST_MAIN(TestSerializable)
#include "tst_serializable.moc"
