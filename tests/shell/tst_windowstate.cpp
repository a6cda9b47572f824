// The window state a Photoshop host keeps between two uses of the filter:
// its byte format, and what damaged bytes give.

#include "shell/CWindowState.h"

#include <QBuffer>
#include <QTest>

namespace {

QByteArray serialized(const CWindowState& state)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadWrite);
    state.serialize(&buffer);
    return bytes;
}

CWindowState deserialized(QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadWrite);
    CWindowState state;
    state.values().insert(QStringLiteral("stale"), 1);
    state.deserialize(&buffer);
    return state;
}

} // namespace

class TestWindowState : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void emptyStateIsFourZeroBytes();
    void greaterKeyIsWrittenFirst();
    void damagedBytesGiveTheEmptyState_data();
    void damagedBytesGiveTheEmptyState();
};

void TestWindowState::emptyStateIsFourZeroBytes()
{
    QCOMPARE(serialized(CWindowState()), QByteArray(4, '\0'));
    QCOMPARE(serialized(CWindowState()).toBase64(), QByteArray("AAAAAA=="));
}

void TestWindowState::greaterKeyIsWrittenFirst()
{
    CWindowState state;
    state.values().insert(QStringLiteral("a"), 1);
    state.values().insert(QStringLiteral("b"), QStringLiteral("two"));
    const QByteArray bytes = serialized(state);
    // Count 2, then the key "b" (4 bytes of UTF-16) before "a".
    QCOMPARE(bytes.left(10), QByteArray::fromHex("00000002000000020062"));
    QCOMPARE(deserialized(bytes).values(), state.values());
}

void TestWindowState::damagedBytesGiveTheEmptyState_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("truncated count") << QByteArray::fromHex("0000");
    QTest::newRow("entry missing") << QByteArray::fromHex("00000001");
    QTest::newRow("nothing") << QByteArray();
}

void TestWindowState::damagedBytesGiveTheEmptyState()
{
    QFETCH(QByteArray, bytes);
    const CWindowState state = deserialized(bytes);
    QVERIFY(state.values().isEmpty());
    QVERIFY(state.isValid());
}

QTEST_GUILESS_MAIN(TestWindowState)
#include "tst_windowstate.moc"
