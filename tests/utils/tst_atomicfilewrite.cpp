// Replacing a file when the disk refuses part of the write: a child process
// runs the write under a small file-size limit (as a full disk would stop it),
// and the file afterwards is the old one or the whole new one.

#include "TestFiles.h"

#include "utils/AtomicFileWrite.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace NAVIK_tarl1;

namespace {

// No file may grow past this many bytes in the child.
constexpr rlim_t kFileSizeLimit = 4096;

enum ChildOutcome
{
    Written = 0,
    Refused = 1,
    RefusedWithoutReason = 2,
    LimitNotSet = 3,
    Crashed = 4
};

// Writes the data to the file in a child whose files cannot grow past the
// limit; the write then fails as on a full disk, not with a signal.
ChildOutcome writeUnderFileSizeLimit(const QString& path, const QByteArray& data)
{
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = kFileSizeLimit;
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            ::_exit(LimitNotSet);
        QString error;
        if (writeFileAtomically(path, data, &error))
            ::_exit(Written);
        ::_exit(error.isEmpty() ? RefusedWithoutReason : Refused);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? ChildOutcome(WEXITSTATUS(status)) : Crashed;
}

QByteArray payload(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char('a' + i % 26);
    return bytes;
}

} // namespace

class TestAtomicFileWrite : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fileIsOldOrWholeNew_data()
    {
        QTest::addColumn<QByteArray>("old"); // null: no file before
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("written");

        const QByteArray document = "<root><exitCode>0</exitCode></root>";
        QTest::newRow("under the limit replaces") << document << 1000 << true;
        QTest::newRow("under the limit creates") << QByteArray() << 1000 << true;
        // Small enough for Qt to keep in its file buffer until the commit.
        QTest::newRow("small write over the limit keeps the old") << document << 8000 << false;
        // Larger than that buffer: written at once and cut short by the limit.
        QTest::newRow("large write over the limit keeps the old") << document << 100000 << false;
        QTest::newRow("write over the limit creates nothing") << QByteArray() << 8000 << false;
    }

    void fileIsOldOrWholeNew()
    {
        QFETCH(QByteArray, old);
        QFETCH(int, size);
        QFETCH(bool, written);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString path = folder.filePath("exit-code.xml");
        if (!old.isNull())
            QVERIFY(writeFile(path, old));
        const QByteArray data = payload(size);

        QCOMPARE(writeUnderFileSizeLimit(path, data), written ? Written : Refused);

        if (written)
            QCOMPARE(readFile(path), data);
        else if (old.isNull())
            QVERIFY(!QFile::exists(path));
        else
            QCOMPARE(readFile(path), old);
        // Nothing of the attempt lies beside the file.
        const QStringList expected = QFile::exists(path) ? QStringList{"exit-code.xml"} : QStringList{};
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), expected);
    }
};

QTEST_GUILESS_MAIN(TestAtomicFileWrite)
#include "tst_atomicfilewrite.moc"
