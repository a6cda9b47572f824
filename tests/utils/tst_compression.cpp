#include "utils/Compression.h"

#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <quazip.h>
#include <quazipfile.h>

using namespace NAVIK_tarl1;

class TestCompression : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void roundTripIntoANewFolderChain_data()
    {
        QTest::addColumn<bool>("wideCharacters");
        QTest::newRow("Qt strings") << false;
        QTest::newRow("wide strings") << true;
    }

    void roundTripIntoANewFolderChain()
    {
        QFETCH(bool, wideCharacters);
        const QString source = m_dir.filePath("source");
        QDir().mkpath(source);
        const QByteArray binary(70000, '\xA7');
        const QStringList files = {source + "/settings.plist", source + "/crash report.nqcrash"};
        QVERIFY(writeFile(files[0], "key=value\n"));
        QVERIFY(writeFile(files[1], binary));
        const QString zip = m_dir.filePath(wideCharacters ? "wide.zip" : "qt.zip");
        QVERIFY(CompressFiles(files, zip));

        const QString destination = m_dir.filePath(wideCharacters ? "w/a/b" : "q/a/b");
        QVERIFY(!QDir(destination).exists());
        if (wideCharacters)
            DecompressFiles(zip.toStdWString(), destination.toStdWString());
        else
            DecompressFiles(zip, destination);
        QCOMPARE(readFile(destination + "/settings.plist"), QByteArray("key=value\n"));
        QCOMPARE(readFile(destination + "/crash report.nqcrash"), binary);
    }

    void compressingMissingFilesFails()
    {
        QVERIFY(!CompressFiles({m_dir.filePath("nothing-here.txt")}, m_dir.filePath("missing.zip")));
    }

    void missingArchiveLeavesAnEmptyFolder()
    {
        const QString destination = m_dir.filePath("fromNothing");
        DecompressFiles(m_dir.filePath("no-such.zip"), destination);
        QVERIFY(QDir(destination).exists());
        QVERIFY(QDir(destination).isEmpty());
    }

    void entriesCannotLeaveTheDestination()
    {
        const QString zip = m_dir.filePath("escaping.zip");
        {
            QuaZip archive(zip);
            QVERIFY(archive.open(QuaZip::mdCreate));
            for (const char* name : {"../escaped.txt", "inside/kept.txt"}) {
                QuaZipFile entry(&archive);
                QVERIFY(entry.open(QIODevice::WriteOnly, QuaZipNewInfo(QString::fromLatin1(name))));
                entry.write("x");
                entry.close();
            }
            archive.close();
        }
        const QString destination = m_dir.filePath("jail/cell");
        DecompressFiles(zip, destination);
        QVERIFY(QFile::exists(destination + "/inside/kept.txt"));
        QVERIFY(!QFile::exists(m_dir.filePath("jail/escaped.txt")));
    }
};

QTEST_GUILESS_MAIN(TestCompression)
#include "tst_compression.moc"
