// The crash report format: the field encoder the crash-time writer uses, the
// reader and its errors, and the text form.

#include "SyntheticReport.h"

#include "crash/CrashReporterSetup.h"
#include "crash/NQCrashAsyncFile.h"
#include "crash/NQCrashReport.h"
#include "crash/NQCrashReportTextFormatter.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QtTest>

#include <cstring>
#include <functional>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_METATYPE(std::function<void(SyntheticReport&)>)

namespace {

// What nqcrash_writer_pack produced, through an async file on a memory file.
class PackedBytes
{
public:
    PackedBytes(off_t limit = 0)
    {
        m_fd = memfd_create("packed", 0);
        nqcrash_async_file_init(&file, m_fd, limit);
    }
    ~PackedBytes() { ::close(m_fd); }

    QByteArray bytes()
    {
        nqcrash_async_file_flush(&file);
        QByteArray out(qsizetype(lseek(m_fd, 0, SEEK_END)), '\0');
        pread(m_fd, out.data(), size_t(out.size()), 0);
        return out;
    }

    nqcrash_async_file_t file;

private:
    int m_fd;
};

using Section = std::function<void(nqcrash_async_file_t*)>;

// Bytes of the fields packed so far in the message being measured.
size_t g_sizeSum = 0;

// One field, its size counted for the enclosing message.
void field(nqcrash_async_file_t* file, uint32_t id, int type, const void* value)
{
    g_sizeSum += nqcrash_writer_pack(file, id, type, value);
}

// An embedded message the way the writer streams one: the body run with a
// null file for its length, then key and length, then the body.
void packMessage(nqcrash_async_file_t* file, uint32_t id, const Section& body)
{
    const size_t outer = g_sizeSum;
    g_sizeSum = 0;
    body(nullptr);
    const uint32_t length = uint32_t(g_sizeSum);
    const size_t head = nqcrash_writer_pack(file, id, NQCRASH_TYPE_MESSAGE, &length);
    body(file);
    g_sizeSum = outer + head + length;
}

QString readError(const QByteArray& bytes)
{
    NQCrashReporterError error;
    const auto report = NQCrashReport::initWithData(bytes, &error);
    if (report)
        return QStringLiteral("(accepted)");
    if (error.domain != NQCrashReporterErrorDomain || error.code != NQCrashReporterErrorInvalidReport)
        return QStringLiteral("(wrong domain or code)");
    return error.description;
}

} // namespace

class TestCrashReport : public QObject
{
    Q_OBJECT

private slots:
    void packsFields_data();
    void packsFields();
    void packsVarints();
    void asyncFileRefusesWritesPastItsLimit();
    void roundTripsAReportInTheWritersOrder();
    void rejectsBadReports_data();
    void rejectsBadReports();
    void readsOptionalSectionsAndValues();
    void findsTheImageOfAnAddress();
    void formatsAReport();
    void formatsWithoutOptionalParts();
    void printsAReportFromTheCommandLine();
    void readsOnlyWhatAReportCanBe_data();
    void readsOnlyWhatAReportCanBe();
    void convertsAReportFileToText();
};

void TestCrashReport::packsFields_data()
{
    QTest::addColumn<uint32_t>("fieldId");
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("expected");

    auto raw = [](const auto& v) { return QByteArray(reinterpret_cast<const char*>(&v), sizeof v); };
    QTest::newRow("string abc") << 1u << int(NQCRASH_TYPE_STRING) << QByteArray("abc", 4)
                                << QByteArray::fromHex("0a03616263");
    QTest::newRow("field 16 needs a two-byte key") << 16u << int(NQCRASH_TYPE_UINT32) << raw(uint32_t(1))
                                                   << QByteArray::fromHex("800101");
    QTest::newRow("negative int32 takes ten bytes") << 1u << int(NQCRASH_TYPE_INT32) << raw(int32_t(-1))
                                                    << QByteArray::fromHex("08ffffffffffffffffff01");
    QTest::newRow("sint32 zigzag") << 1u << int(NQCRASH_TYPE_SINT32) << raw(int32_t(-2)) << QByteArray::fromHex("0803");
    QTest::newRow("sint64 zigzag") << 1u << int(NQCRASH_TYPE_SINT64) << raw(int64_t(-64)) << QByteArray::fromHex("087f");
    QTest::newRow("sfixed32") << 2u << int(NQCRASH_TYPE_SFIXED32) << raw(int32_t(-2)) << QByteArray::fromHex("15feffffff");
    QTest::newRow("fixed64") << 1u << int(NQCRASH_TYPE_FIXED64) << raw(uint64_t(0x0102030405060708))
                             << QByteArray::fromHex("090807060504030201");
    QTest::newRow("double") << 1u << int(NQCRASH_TYPE_DOUBLE) << raw(1.0) << QByteArray::fromHex("09000000000000f03f");
    QTest::newRow("float") << 1u << int(NQCRASH_TYPE_FLOAT) << raw(1.0f) << QByteArray::fromHex("0d0000803f");
    QTest::newRow("uint64 300") << 3u << int(NQCRASH_TYPE_UINT64) << raw(uint64_t(300)) << QByteArray::fromHex("18ac02");
    QTest::newRow("int64 max") << 1u << int(NQCRASH_TYPE_INT64) << raw(int64_t(-1))
                               << QByteArray::fromHex("08ffffffffffffffffff01");
    QTest::newRow("process id as uint64 equals uint32") << 2u << int(NQCRASH_TYPE_UINT64) << raw(uint64_t(123456))
                                                        << QByteArray::fromHex("10c0c407");
    QTest::newRow("bool") << 3u << int(NQCRASH_TYPE_BOOL) << raw(true) << QByteArray::fromHex("1801");
    QTest::newRow("enum") << 1u << int(NQCRASH_TYPE_ENUM) << raw(uint32_t(3)) << QByteArray::fromHex("0803");
    QTest::newRow("message key and length only") << 8u << int(NQCRASH_TYPE_MESSAGE) << raw(uint32_t(200))
                                                  << QByteArray::fromHex("42c801");
}

void TestCrashReport::packsFields()
{
    QFETCH(uint32_t, fieldId);
    QFETCH(int, type);
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, expected);

    // Size-only mode gives the same length and writes nothing.
    QCOMPARE(nqcrash_writer_pack(nullptr, fieldId, type, value.constData()), size_t(expected.size()));
    PackedBytes out;
    QCOMPARE(nqcrash_writer_pack(&out.file, fieldId, type, value.constData()), size_t(expected.size()));
    QCOMPARE(out.bytes().toHex(), expected.toHex());
}

void TestCrashReport::packsVarints()
{
    uint8_t buffer[10];
    QCOMPARE(nqcrash_writer_pack_varint(0, buffer), size_t(1));
    QCOMPARE(nqcrash_writer_pack_varint(127, buffer), size_t(1));
    QCOMPARE(nqcrash_writer_pack_varint(128, buffer), size_t(2));
    QCOMPARE(nqcrash_writer_pack_varint(~uint64_t(0), buffer), size_t(10));
    QCOMPARE(buffer[9], uint8_t(1));

    // A bytes field: length and the bytes, taken from their own storage.
    const char data[] = "\x01\x02\x03";
    const nqcrash_pack_bytes_t bytes{3, data};
    PackedBytes out;
    nqcrash_writer_pack(&out.file, 4, NQCRASH_TYPE_BYTES, &bytes);
    QCOMPARE(out.bytes().toHex(), QByteArray("2203010203"));
}

void TestCrashReport::asyncFileRefusesWritesPastItsLimit()
{
    PackedBytes out(300);
    const QByteArray big(290, 'a');
    QVERIFY(nqcrash_async_file_write(&out.file, big.constData(), size_t(big.size())));
    QCOMPARE(nqcrash_async_file_room(&out.file), off_t(10));
    QVERIFY(!nqcrash_async_file_write(&out.file, "0123456789X", 11));
    QVERIFY(nqcrash_async_file_write(&out.file, "0123456789", 10));
    QCOMPARE(nqcrash_async_file_room(&out.file), off_t(0));
    QCOMPARE(out.bytes(), big + "0123456789");
}

void TestCrashReport::roundTripsAReportInTheWritersOrder()
{
    PackedBytes out;
    nqcrash_async_file_write(&out.file, "nqcrash\x01", 8);
    const int64_t timestamp = 1300098030;
    packMessage(&out.file, 1, [&](nqcrash_async_file_t* f) {
        const uint32_t os = 3, arch = 1;
        field(f, 1, NQCRASH_TYPE_ENUM, &os);
        field(f, 2, NQCRASH_TYPE_STRING, "6.1.0");
        field(f, 5, NQCRASH_TYPE_STRING, "#1 SMP");
        field(f, 3, NQCRASH_TYPE_ENUM, &arch);
        field(f, 4, NQCRASH_TYPE_INT64, &timestamp);
    });
    packMessage(&out.file, 8, [&](nqcrash_async_file_t* f) {
        const uint32_t count = 8, logical = 16;
        field(f, 1, NQCRASH_TYPE_STRING, "Test Machine");
        packMessage(f, 2, [&](nqcrash_async_file_t* p) {
            const uint32_t mach = 1;
            const uint64_t type = 0x1000007, subtype = 3;
            field(p, 1, NQCRASH_TYPE_ENUM, &mach);
            field(p, 2, NQCRASH_TYPE_UINT64, &type);
            field(p, 3, NQCRASH_TYPE_UINT64, &subtype);
        });
        field(f, 3, NQCRASH_TYPE_UINT32, &count);
        field(f, 4, NQCRASH_TYPE_UINT32, &logical);
    });
    packMessage(&out.file, 2, [&](nqcrash_async_file_t* f) {
        field(f, 1, NQCRASH_TYPE_STRING, "Quillet");
        field(f, 2, NQCRASH_TYPE_STRING, "1.0");
    });
    packMessage(&out.file, 7, [&](nqcrash_async_file_t* f) {
        const uint64_t pid = 4242, ppid = 1;
        const bool native = true;
        field(f, 1, NQCRASH_TYPE_STRING, "Quillet");
        field(f, 2, NQCRASH_TYPE_UINT64, &pid);
        field(f, 3, NQCRASH_TYPE_STRING, "/opt/quillet/bin/Quillet");
        field(f, 5, NQCRASH_TYPE_UINT64, &ppid);
        field(f, 6, NQCRASH_TYPE_BOOL, &native);
    });
    packMessage(&out.file, 3, [&](nqcrash_async_file_t* f) {
        const uint32_t number = 0;
        const bool crashed = true;
        field(f, 1, NQCRASH_TYPE_UINT32, &number);
        field(f, 3, NQCRASH_TYPE_BOOL, &crashed);
        for (uint64_t pc : {0x401010ull, 0x401200ull}) {
            packMessage(f, 2, [&](nqcrash_async_file_t* s) { field(s, 3, NQCRASH_TYPE_UINT64, &pc); });
        }
        packMessage(f, 4, [&](nqcrash_async_file_t* r) {
            const uint64_t value = 0xdead;
            field(r, 1, NQCRASH_TYPE_STRING, "rip");
            field(r, 2, NQCRASH_TYPE_UINT64, &value);
        });
    });
    packMessage(&out.file, 4, [&](nqcrash_async_file_t* f) {
        const uint64_t size = 0x2000, base = 0x400000;
        const char uuid[] = "0123456789abcdefghij";
        const nqcrash_pack_bytes_t uuidBytes{20, uuid};
        field(f, 2, NQCRASH_TYPE_UINT64, &size);
        field(f, 1, NQCRASH_TYPE_UINT64, &base);
        field(f, 3, NQCRASH_TYPE_STRING, "/opt/quillet/bin/Quillet");
        field(f, 4, NQCRASH_TYPE_BYTES, &uuidBytes);
        packMessage(f, 5, [&](nqcrash_async_file_t* p) {
            const uint32_t mach = 1;
            const uint64_t type = 0x1000007, subtype = 3;
            field(p, 1, NQCRASH_TYPE_ENUM, &mach);
            field(p, 2, NQCRASH_TYPE_UINT64, &type);
            field(p, 3, NQCRASH_TYPE_UINT64, &subtype);
        });
    });
    packMessage(&out.file, 5, [&](nqcrash_async_file_t* f) {
        field(f, 1, NQCRASH_TYPE_STRING, "std::runtime_error");
        field(f, 2, NQCRASH_TYPE_STRING, "broken");
        const uint64_t pc = 0x401100;
        packMessage(f, 3, [&](nqcrash_async_file_t* s) { field(s, 3, NQCRASH_TYPE_UINT64, &pc); });
    });
    packMessage(&out.file, 6, [&](nqcrash_async_file_t* f) {
        const uint64_t address = 0x10;
        field(f, 1, NQCRASH_TYPE_STRING, "SIGSEGV");
        field(f, 2, NQCRASH_TYPE_STRING, "SEGV_MAPERR");
        field(f, 3, NQCRASH_TYPE_UINT64, &address);
    });

    NQCrashReporterError error;
    const auto report = NQCrashReport::initWithData(out.bytes(), &error);
    QVERIFY2(report, qPrintable(error.description));
    QCOMPARE(report->systemInfo().operatingSystem(), int(NQCrashReportOperatingSystem::Unknown));
    QCOMPARE(report->systemInfo().operatingSystemVersion(), QStringLiteral("6.1.0"));
    QCOMPARE(report->systemInfo().operatingSystemBuild(), QStringLiteral("#1 SMP"));
    QCOMPARE(report->systemInfo().architecture(), int(NQCrashReportArchitecture::X86_64));
    QCOMPARE(report->systemInfo().timestamp().toSecsSinceEpoch(), timestamp);
    QVERIFY(report->hasMachineInfo());
    QCOMPARE(report->machineInfo()->modelName(), QStringLiteral("Test Machine"));
    QCOMPARE(report->machineInfo()->processorInfo().type(), uint64_t(0x1000007));
    QCOMPARE(report->machineInfo()->logicalProcessorCount(), 16u);
    QCOMPARE(report->applicationInfo().applicationIdentifier(), QStringLiteral("Quillet"));
    QVERIFY(report->hasProcessInfo());
    QCOMPARE(report->processInfo()->processID(), 4242u);
    QVERIFY(report->processInfo()->parentProcessName().isNull());
    QVERIFY(report->processInfo()->native());
    QCOMPARE(report->threads().size(), 1);
    const NQCrashReportThreadInfo& thread = report->threads().first();
    QVERIFY(thread.crashed());
    QCOMPARE(thread.stackFrames().size(), 2);
    QCOMPARE(thread.stackFrames().at(1).instructionPointer(), uint64_t(0x401200));
    QCOMPARE(thread.registers().size(), 1);
    QCOMPARE(thread.registers().first().registerName(), QStringLiteral("rip"));
    QCOMPARE(thread.registers().first().registerValue(), uint64_t(0xdead));
    QCOMPARE(report->images().size(), 1);
    QCOMPARE(report->images().first().imageUUID(), QStringLiteral("303132333435363738396162636465666768696a"));
    QVERIFY(report->hasExceptionInfo());
    QCOMPARE(report->exceptionInfo()->stackFrames()->size(), 1);
    QCOMPARE(report->signalInfo().code(), QStringLiteral("SEGV_MAPERR"));
    QCOMPARE(report->signalInfo().address(), uint64_t(0x10));
}

void TestCrashReport::rejectsBadReports_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");

    QTest::newRow("header only") << QByteArray("nqcrash\x01", 8)
                                 << QStringLiteral("Could not decode truncated crash log");
    QTest::newRow("empty") << QByteArray() << QStringLiteral("Could not decode truncated crash log");
    QTest::newRow("wrong magic") << QByteArray("nqcrasX\x01\x0a\x00", 10)
                                 << QStringLiteral("Could not decode invalid crash log header");
    QTest::newRow("version 2") << QByteArray("nqcrash\x02\x0a\x00", 10)
                               << QStringLiteral("Could not decode unsupported crash report version: 2");
    QTest::newRow("body is no message") << QByteArray("nqcrash\x01\xff\xff\xff", 11)
                                        << QStringLiteral("An unknown error occured decoding the crash report");

    SyntheticReport cut;
    cut.addThread(0, true, {1});
    cut.addImage(0x1000, 0x100, "/a", cut.processor(0x1000007, 3));
    const QByteArray whole = cut.bytes();
    QTest::newRow("cut short") << whole.left(whole.size() - 3)
                               << QStringLiteral("An unknown error occured decoding the crash report");

    SyntheticReport noThreads;
    noThreads.addImage(0x1000, 0x100, "/a", noThreads.processor(0x1000007, 3));
    QTest::newRow("no threads") << noThreads.bytes() << QStringLiteral("Crash report is missing thread state information");

    SyntheticReport noImages;
    noImages.addThread(0, true, {1});
    QTest::newRow("no images") << noImages.bytes() << QStringLiteral("Crash report is missing binary image information");

    SyntheticReport noCodeType;
    noCodeType.addThread(0, true, {1});
    noCodeType.addImage(0x1000, 0x100, "/a", nullptr);
    QTest::newRow("image without code type") << noCodeType.bytes()
                                             << QStringLiteral("Crash report is missing processor info section");
}

void TestCrashReport::rejectsBadReports()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    QCOMPARE(readError(bytes), error);
}

void TestCrashReport::readsOptionalSectionsAndValues()
{
    SyntheticReport synthetic;
    synthetic.system.timestamp = 0;
    synthetic.system.os_build = nullptr;
    synthetic.addThread(0, false, {});
    synthetic.addImage(0x1000, 0x100, "/a", synthetic.processor(0x1000007, 3), QByteArray(16, '\xab'));
    synthetic.addImage(0x2000, 0x100, "/b", synthetic.processor(0x1000007, 3), QByteArray());

    NQCrashReporterError error;
    const auto report = NQCrashReport::initWithData(synthetic.bytes(), &error);
    QVERIFY2(report, qPrintable(error.description));
    QVERIFY(!report->hasMachineInfo());
    QVERIFY(!report->hasProcessInfo());
    QVERIFY(!report->hasExceptionInfo());
    QVERIFY(!report->systemInfo().timestamp().isValid());
    QVERIFY(report->systemInfo().operatingSystemBuild().isNull());
    QVERIFY(report->images().at(0).hasImageUUID());
    QCOMPARE(report->images().at(0).imageUUID(), QStringLiteral("ab").repeated(16));
    QVERIFY(!report->images().at(1).hasImageUUID());
    QVERIFY(report->images().at(1).imageUUID().isNull());
}

void TestCrashReport::findsTheImageOfAnAddress()
{
    SyntheticReport synthetic;
    synthetic.addThread(0, true, {});
    synthetic.addImage(0x1000, 0x100, "/first", synthetic.processor(0x1000007, 3));
    synthetic.addImage(0x1080, 0x100, "/overlapping", synthetic.processor(0x1000007, 3));
    synthetic.addImage(~uint64_t(0) - 0xff, 0x100, "/top", synthetic.processor(0x1000007, 3));
    const auto report = NQCrashReport::initWithData(synthetic.bytes(), nullptr);
    QVERIFY(report);

    auto nameAt = [&](uint64_t address) {
        const NQCrashReportBinaryImageInfo* image = report->imageForAddress(address);
        return image ? image->imageName() : QString();
    };
    QCOMPARE(nameAt(0x1000), QStringLiteral("/first"));
    QCOMPARE(nameAt(0x10ff), QStringLiteral("/first"));  // the first in report order wins
    QCOMPARE(nameAt(0x1100), QStringLiteral("/overlapping"));
    QCOMPARE(nameAt(0x1180), QString());  // base plus size lies outside
    QCOMPARE(nameAt(0xfff), QString());
    QCOMPARE(nameAt(~uint64_t(0)), QStringLiteral("/top"));
}

void TestCrashReport::formatsAReport()
{
    SyntheticReport synthetic;
    synthetic.machine.model = const_cast<char*>("Test Machine");
    synthetic.machine.processor = synthetic.processor(0x1000007, 3);
    synthetic.machine.processor_count = 4;
    synthetic.machine.logical_processor_count = 8;
    synthetic.report.machine_info = &synthetic.machine;
    synthetic.process.process_name = const_cast<char*>("Quillet");
    synthetic.process.process_id = 4242;
    synthetic.process.process_path = const_cast<char*>("/opt/quillet/bin/Quillet");
    synthetic.process.parent_process_name = const_cast<char*>("bash");
    synthetic.process.parent_process_id = 100;
    synthetic.process.native = true;
    synthetic.report.process_info = &synthetic.process;
    synthetic.signal.address = 0x10;
    Nqcrash__CrashReport__Thread__StackFrame* exceptionFrames[] = {synthetic.frame(0x555555556010)};
    synthetic.exception.name = const_cast<char*>("std::runtime_error");
    synthetic.exception.reason = const_cast<char*>("broken");
    synthetic.exception.n_frames = 1;
    synthetic.exception.frames = exceptionFrames;
    synthetic.report.exception = &synthetic.exception;

    synthetic.addThread(0, false, {0x7ffff7a00010});
    synthetic.addThread(2, true, {0x555555556010, 0x7ffff7a00020, 0x42}, 19);
    // Out of order; the main executable carries "+".
    synthetic.addImage(0x7ffff7a00000, 0x1000, "/usr/lib/x86_64-linux-gnu/libc.so.6",
                       synthetic.processor(0x1000007, 3), QByteArray::fromHex("00112233445566778899aabbccddeeff01234567"));
    synthetic.addImage(0x555555554000, 0x4000, "/opt/quillet/bin/Quillet", synthetic.processor(0x1000007, 3));
    synthetic.addImage(0x7ffff7fc1000, 0, "linux-vdso.so.1", synthetic.processor(7, 3, false));

    const auto report = NQCrashReport::initWithData(synthetic.bytes(), nullptr);
    QVERIFY(report);
    const QString text = NQCrashReportTextFormatter::stringValueForCrashReport(*report, NQCrashReportTextFormatDefault);
    const QString expected = QStringLiteral(
        "Incident Identifier: [TODO]\n"
        "CrashReporter Key:   [TODO]\n"
        "Hardware Model:      Test Machine\n"
        "Process:         Quillet [4242]\n"
        "Path:            /opt/quillet/bin/Quillet\n"
        "Identifier:      com.naviklabs.quillet\n"
        "Version:         1.0.6\n"
        "Code Type:       X86-64\n"
        "Parent Process:  bash [100]\n"
        "\n"
        "Date/Time:       2011-03-14 10:20:30 +0000\n"
        "OS Version:      Unknown (3) 6.1.0-13-amd64 (#1 SMP Debian)\n"
        "Report Version:  104\n"
        "\n"
        "Exception Type:  SIGSEGV\n"
        "Exception Codes: SEGV_MAPERR at 0x10\n"
        "Crashed Thread:  2\n"
        "\n"
        "Application Specific Information:\n"
        "*** Terminating app due to uncaught exception 'std::runtime_error', reason: 'broken'\n"
        "\n"
        "Thread 0:\n"
        "0   libc.so.6                           0x7ffff7a00010 0x7ffff7a00000 + 16\n"
        "\n"
        "Thread 2 Crashed:\n"
        "0   Quillet                             0x555555556010 0x555555554000 + 8208\n"
        "1   libc.so.6                           0x7ffff7a00020 0x7ffff7a00000 + 32\n"
        "2   ???                                 0x00000042 0x0 + 0\n"
        "\n"
        "Thread 3 name:  Exception Backtrace\n"
        "Thread 3:\n"
        "0   Quillet                             0x555555556010 0x555555554000 + 8208\n"
        "\n"
        "Thread 2 crashed with X86-64 Thread State:\n"
        "   rax: 0x0000000000000100    rbx: 0x0000000000000101    rcx: 0x0000000000000102    rdx: 0x0000000000000103 \n"
        "   rdi: 0x0000000000000104    rsi: 0x0000000000000105    rbp: 0x0000000000000106    rsp: 0x0000000000000107 \n"
        "   r10: 0x0000000000000108    r11: 0x0000000000000109    r12: 0x000000000000010a    r13: 0x000000000000010b \n"
        "   r14: 0x000000000000010c    r15: 0x000000000000010d    rip: 0x000000000000010e rflags: 0x000000000000010f \n"
        "    cs: 0x0000000000000110     fs: 0x0000000000000111     gs: 0x0000000000000112 \n"
        "\n"
        "Binary Images:\n"
        "    0x555555554000 -     0x555555557fff +Quillet x86_64  <???> /opt/quillet/bin/Quillet\n"
        "    0x7ffff7a00000 -     0x7ffff7a00fff  libc.so.6 x86_64  <00112233445566778899aabbccddeeff01234567> "
        "/usr/lib/x86_64-linux-gnu/libc.so.6\n"
        "    0x7ffff7fc1000 -     0x7ffff7fc1000  linux-vdso.so.1 ???  <???> linux-vdso.so.1\n");
    QCOMPARE(text, expected);

    // The encoder path gives the same text as bytes.
    const NQCrashReportTextFormatter formatter(NQCrashReportTextFormatDefault, QStringConverter::Utf8);
    QCOMPARE(formatter.formatReport(*report, nullptr), expected.toUtf8());
}

void TestCrashReport::formatsWithoutOptionalParts()
{
    SyntheticReport synthetic;
    synthetic.system.architecture = NQCRASH__ARCHITECTURE__ARMV7;
    synthetic.system.timestamp = 0;
    synthetic.addThread(0, false, {0x1010}, 5);
    synthetic.addImage(0x1000, 0x100, "/lib/a.so", synthetic.processor(99, 0));

    const auto report = NQCrashReport::initWithData(synthetic.bytes(), nullptr);
    QVERIFY(report);
    const QString text = NQCrashReportTextFormatter::stringValueForCrashReport(*report, NQCrashReportTextFormatDefault);
    QVERIFY2(text.contains(QStringLiteral("Hardware Model:      ???\n")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Process:         ??? [???]\nPath:            ???\n")));
    QVERIFY(text.contains(QStringLiteral("Parent Process:  ??? [???]\n")));
    QVERIFY(text.contains(QStringLiteral("Date/Time:       ???\n")));
    // No image has a known code type: the system architecture decides.
    QVERIFY(text.contains(QStringLiteral("Code Type:       ARM\n")));
    QVERIFY(!text.contains(QStringLiteral("Crashed Thread")));
    QVERIFY(!text.contains(QStringLiteral("Thread State")));
    QVERIFY(!text.contains(QStringLiteral("Application Specific Information")));
    QVERIFY(text.contains(QStringLiteral("0   a.so                                0x00001010 0x1000 + 16\n")));
    QVERIFY(text.endsWith(QStringLiteral("Binary Images:\n    0x1000 -     0x10ff  a.so ???  <???> /lib/a.so\n")));
}

void TestCrashReport::printsAReportFromTheCommandLine()
{
    SyntheticReport synthetic;
    synthetic.addThread(0, true, {0x1010});
    synthetic.addImage(0x1000, 0x100, "/lib/a.so", synthetic.processor(0x1000007, 3));
    QTemporaryFile report;
    QVERIFY(report.open());
    report.write(synthetic.bytes());
    report.close();
    QTemporaryFile broken;
    QVERIFY(broken.open());
    broken.write("nqcrash\x01", 8);
    broken.close();

    const QString tool = QStringLiteral(QUILLET_BUILD_DIR "/tools/bin/quillet-crash-report");
    QProcess process;
    process.start(tool, {report.fileName()});
    QVERIFY(process.waitForFinished());
    QCOMPARE(process.exitCode(), 0);
    const QByteArray text = process.readAllStandardOutput();
    QVERIFY(text.startsWith("Incident Identifier: [TODO]\n"));
    QVERIFY(text.contains("Thread 0 Crashed:\n0   a.so"));

    process.start(tool, {broken.fileName()});
    QVERIFY(process.waitForFinished());
    QCOMPARE(process.exitCode(), 2);
    QVERIFY(process.readAllStandardError().contains("Could not decode truncated crash log"));
}

void TestCrashReport::readsOnlyWhatAReportCanBe_data()
{
    QTest::addColumn<QByteArray>("content"); // "pipe": a named pipe; "/dev/...": that device
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");

    SyntheticReport synthetic;
    synthetic.addThread(0, true, {0x1010});
    synthetic.addImage(0x1000, 0x100, "/lib/a.so", synthetic.processor(0x1000007, 3));
    // A field the reader does not know fills the report up to the size given.
    const auto padded = [report = synthetic.bytes()](qsizetype size) {
        const qsizetype length = size - report.size() - 4; // key and a three-byte length
        const QByteArray key = QByteArray::fromHex("7a");  // field 15, length-delimited
        QByteArray varint;
        varint.append(char(0x80 | (length & 0x7f)))
            .append(char(0x80 | ((length >> 7) & 0x7f)))
            .append(char(length >> 14));
        return report + key + varint + QByteArray(length, 'x');
    };
    QTest::newRow("a report as large as the writer writes") << padded(NQCRASH_REPORT_LIMIT) << 0 << QString();
    QTest::newRow("one byte larger") << padded(NQCRASH_REPORT_LIMIT + 1) << 2
                                     << QStringLiteral(
                                            "Crash report is larger than a crash report can be (65536 bytes)");
    QTest::newRow("a large file that is no report")
        << QByteArray(1 << 20, 'x') << 2 << QStringLiteral("Could not decode invalid crash log header");
    QTest::newRow("named pipe") << QByteArray("pipe") << 2 << QStringLiteral("Crash report is not a regular file");
    QTest::newRow("endless device") << QByteArray("/dev/zero") << 2
                                    << QStringLiteral("Crash report is not a regular file");
}

// Hostile input for the command-line reader: it must neither wait for a
// writer nor read without end.
void TestCrashReport::readsOnlyWhatAReportCanBe()
{
    QFETCH(QByteArray, content);
    QFETCH(int, status);
    QFETCH(QString, message);

    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("report.nqcrash"));
    if (content == "pipe") {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (content.startsWith("/dev/")) {
        path = QString::fromLatin1(content);
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    }

    QProcess process;
    // Should the reader grow without end, the sanitizer stops it early.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(
        QStringLiteral("ASAN_OPTIONS"),
        environment.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":max_allocation_size_mb=64"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(QUILLET_BUILD_DIR "/tools/bin/quillet-crash-report"), {path});
    const bool ended = process.waitForFinished(20000);
    if (!ended) {
        process.kill();
        process.waitForFinished();
    }
    QVERIFY2(ended, "the reader did not end");
    const QByteArray errors = process.readAllStandardError();
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QVERIFY2(process.exitCode() == status, errors.constData());
    if (status == 0)
        QVERIFY(process.readAllStandardOutput().contains("Thread 0 Crashed:\n0   a.so"));
    else
        QVERIFY2(errors.contains(message.toUtf8()), errors.constData());
}

void TestCrashReport::convertsAReportFileToText()
{
    SyntheticReport synthetic;
    synthetic.addThread(0, true, {0x1010}, 19);
    synthetic.addImage(0x1000, 0x100, "/lib/a.so", synthetic.processor(0x1000007, 3));
    const QByteArray bytes = synthetic.bytes();
    QTemporaryDir folder;
    const QString input = folder.filePath(QStringLiteral("in.nqcrash"));
    const QString output = folder.filePath(QStringLiteral("out.txt"));
    QFile file(input);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    convertCrashReportToText(QFile::encodeName(input).constData(), QFile::encodeName(output).constData());
    QFile text(output);
    QVERIFY(text.open(QIODevice::ReadOnly));
    const auto report = NQCrashReport::initWithData(bytes, nullptr);
    QCOMPARE(QString::fromUtf8(text.readAll()),
             NQCrashReportTextFormatter::stringValueForCrashReport(*report, NQCrashReportTextFormatDefault));

    // A file that is no report leaves no text behind.
    const QString broken = folder.filePath(QStringLiteral("broken.nqcrash"));
    QFile brokenFile(broken);
    QVERIFY(brokenFile.open(QIODevice::WriteOnly));
    brokenFile.write("nqcrash\x02 and more");
    brokenFile.close();
    const QString nothing = folder.filePath(QStringLiteral("nothing.txt"));
    convertCrashReportToText(QFile::encodeName(broken).constData(), QFile::encodeName(nothing).constData());
    QVERIFY(!QFile::exists(nothing));
}

QTEST_GUILESS_MAIN(TestCrashReport)
#include "tst_crashreport.moc"
