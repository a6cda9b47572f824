// Crash capture end to end: children that crash for real, and the parent
// reading back what the reporter wrote. Plus the frame walker and the
// signal tables on their own.

#include "crash/CCrashWatcher.h"
#include "crash/CrashReporterSetup.h"
#include "crash/NQCrashFrameWalker.h"
#include "crash/NQCrashLogWriter.h"
#include "crash/NQCrashReport.h"
#include "crash/NQCrashReportTextFormatter.h"
#include "crash/NQCrashReporter.h"
#include "utils/CSettings.h"
#include "utils/FaultCourierStart.h"
#include "utils/Utilities.h"

#include "Navik/SignalStack.h"
#include "RecordingLogger.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QtTest>

#include <atomic>
#include <barrier>
#include <functional>
#include <link.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace NAVIK_tarl1;

namespace {

// The crashes themselves. The undefined-behaviour sanitizer would turn the
// null write and the division into its own report and an abort, so it is
// left out of these few functions: the test is about the real signal.
__attribute__((noinline, no_sanitize("undefined"))) void writeThroughNull()
{
    // Read through a volatile pointer: the compiler cannot see the null and
    // turn the write into something else.
    volatile int* volatile nowhere = nullptr;
    *nowhere = 1;
}

volatile int g_quotient = 0;

__attribute__((noinline, no_sanitize("undefined"))) void divideByZero(int value)
{
    volatile int numerator = 7;
    volatile int zero = value;
    g_quotient = numerator / zero;
}

volatile bool g_keepRecursing = true;

__attribute__((noinline)) int recurseForever(int depth)
{
    volatile char frame[512];
    frame[0] = char(depth);
    if (!g_keepRecursing)
        return 0;
    return recurseForever(depth + 1) + frame[0];
}

[[noreturn]] __attribute__((noinline)) void throwUncaught()
{
    throw std::runtime_error("broken on purpose");
}

// Threads that wait forever, some deep in a recursion so their stacks have
// many frames.
int g_blockPipe[2];
std::atomic<int> g_threadsAtDepth{0};

__attribute__((noinline)) int blockAtDepth(int depth)
{
    volatile char frame[16];
    frame[0] = char(depth);
    if (depth > 0)
        return blockAtDepth(depth - 1) + frame[0];
    g_threadsAtDepth.fetch_add(1);
    char byte;
    return int(::read(g_blockPipe[0], &byte, 1));
}

void startBlockedThreads(int count, int depth)
{
    (void)::pipe(g_blockPipe);
    for (int i = 0; i < count; ++i)
        std::thread([depth] { blockAtDepth(depth); }).detach();
    // Every one at its depth before the crash.
    while (g_threadsAtDepth.load() < count)
        usleep(1000);
}

// Runs body in a child; returns the signal that ended it (0 for an exit).
int signalEndingChild(const std::function<void()>& body)
{
    const pid_t child = ::fork();
    if (child == 0) {
        // Nothing may return into the test framework's copy in the child.
        try {
            body();
        } catch (...) {
            ::_exit(4);
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}

void enableReporterInChild()
{
    NQCrashReporterError error;
    if (!NQCrashReporter::sharedReporter().enableCrashReporterAndReturnError(&error))
        ::_exit(3);
}

QString liveReportPath()
{
    return NQCrashReporter::sharedReporter().crashReportPath();
}

std::unique_ptr<NQCrashReport> readReport(const QString& path, QString* problem)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *problem = QStringLiteral("no report at ") + path;
        return nullptr;
    }
    NQCrashReporterError error;
    auto report = NQCrashReport::initWithData(file.readAll(), &error);
    if (!report)
        *problem = error.description;
    return report;
}

const NQCrashReportThreadInfo* crashedThread(const NQCrashReport& report)
{
    for (const NQCrashReportThreadInfo& thread : report.threads()) {
        if (thread.crashed())
            return &thread;
    }
    return nullptr;
}

QString documentsCopyPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
        + QStringLiteral("/Navik Quillet/CrashReports/temp/Navik Quillet.nqcrash");
}

// Thread lists the writer may meet: none (the folder cannot be read), or
// one without the crashed thread (only the main thread's id).
size_t noThreads(pid_t*, size_t)
{
    return 0;
}

size_t onlyTheMainThread(pid_t* tids, size_t capacity)
{
    if (capacity == 0)
        return 0;
    tids[0] = getpid();
    return 1;
}

} // namespace

Q_DECLARE_METATYPE(std::function<void()>)
Q_DECLARE_METATYPE(nqcrash_thread_list_source_t)

class TestCrashCapture : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void crashesLeaveReadableReports_data();
    void crashesLeaveReadableReports();
    void anOversizedReportStaysReadable();
    void simultaneousCrashesLeaveOneWholeReport();
    void theCrashedThreadIsWrittenWhateverTheThreadList_data();
    void theCrashedThreadIsWrittenWhateverTheThreadList();
    void enablingTwiceIsRefused();
    void disabledSendingStillCopiesTheReport();
    void aCrashGoesToTheSenderAndIsCountedAtTheNextStart();
    void walksFramePointerChains();
    void imageWalkEndsOnACorruptList_data();
    void imageWalkEndsOnACorruptList();
    void namesSignalsAndCodes();
    void reportFolderFollowsTheIdentifier();
};

void TestCrashCapture::init()
{
    QFile::remove(liveReportPath());
    QFile::remove(documentsCopyPath());
}

void TestCrashCapture::crashesLeaveReadableReports_data()
{
    QTest::addColumn<std::function<void()>>("crash");
    QTest::addColumn<int>("signal");
    QTest::addColumn<QString>("signalName");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("onWorker");

    QTest::newRow("null write") << std::function<void()>(writeThroughNull) << SIGSEGV << "SIGSEGV"
                                << "SEGV_MAPERR" << false;
    QTest::newRow("integer division by zero") << std::function<void()>([] { divideByZero(0); }) << SIGFPE
                                              << "SIGFPE" << "FPE_INTDIV" << false;
    // abort() raises the signal itself: the code says it came from tgkill.
    QTest::newRow("abort") << std::function<void()>([] { abort(); }) << SIGABRT << "SIGABRT" << "#-6" << false;
    // On a thread of its own: nothing there catches it (the test framework
    // would on the test's thread).
    QTest::newRow("uncaught exception") << std::function<void()>([] { std::thread(throwUncaught).join(); })
                                        << SIGABRT << "SIGABRT" << "#-6" << true;
    QTest::newRow("stack overflow on a worker thread")
        << std::function<void()>([] {
               std::thread([] {
                   Navik::EnsureSignalStack();
                   recurseForever(0);
               }).join();
           })
        << SIGSEGV << "SIGSEGV" << "SEGV_ACCERR" << true;  // the guard page below the stack
}

void TestCrashCapture::crashesLeaveReadableReports()
{
    QFETCH(std::function<void()>, crash);
    QFETCH(int, signal);
    QFETCH(QString, signalName);
    QFETCH(QString, code);
    QFETCH(bool, onWorker);

    const int ended = signalEndingChild([&] {
        enableReporterInChild();
        startBlockedThreads(2, 4);
        crash();
    });
    QCOMPARE(ended, signal);

    QString problem;
    const auto report = readReport(liveReportPath(), &problem);
    QVERIFY2(report, qPrintable(problem));
    QCOMPARE(report->signalInfo().name(), signalName);
    QCOMPARE(report->signalInfo().code(), code);
    QCOMPARE(report->systemInfo().operatingSystem(), int(NQCrashReportOperatingSystem::Unknown));
    QCOMPARE(report->systemInfo().architecture(), int(NQCrashReportArchitecture::X86_64));
    QVERIFY(!report->systemInfo().operatingSystemVersion().isEmpty());
    QCOMPARE(report->applicationInfo().applicationIdentifier(), QCoreApplication::applicationName());
    QVERIFY(report->hasProcessInfo());
    QCOMPARE(report->processInfo()->parentProcessID(), unsigned(getpid()));
    QCOMPARE(report->processInfo()->processPath(), QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath());

    // The crashed thread with its registers; the others (main, two blocked,
    // and the worker's parent) without.
    const NQCrashReportThreadInfo* crashed = crashedThread(*report);
    QVERIFY(crashed);
    QCOMPARE(crashed->registers().size(), 19);
    QCOMPARE(crashed->registers().at(14).registerName(), QStringLiteral("rip"));
    QVERIFY(!crashed->stackFrames().isEmpty());
    QCOMPARE(crashed->stackFrames().first().instructionPointer(), crashed->registers().at(14).registerValue());
    QVERIFY(report->threads().size() >= 3);
    for (const NQCrashReportThreadInfo& thread : report->threads()) {
        if (&thread != crashed) {
            QVERIFY(thread.registers().isEmpty());
            QVERIFY(!thread.stackFrames().isEmpty());
        }
    }
    QCOMPARE(crashed->threadNumber() != 0, onWorker);

    // The program among the images, with its build id; the faulting frame
    // lies in it (or, for abort, somewhere in the C library).
    const QString program = report->processInfo()->processPath();
    const NQCrashReportBinaryImageInfo* programImage = nullptr;
    for (const NQCrashReportBinaryImageInfo& image : report->images()) {
        if (image.imageName() == program)
            programImage = &image;
    }
    QVERIFY(programImage);
    QVERIFY(programImage->hasImageUUID());
    QCOMPARE(programImage->codeType().type(), uint64_t(0x1000007));
    QVERIFY(report->images().size() > 3);
    const QString text = NQCrashReportTextFormatter::stringValueForCrashReport(*report, NQCrashReportTextFormatDefault);
    QVERIFY(text.contains(QStringLiteral("Code Type:       X86-64\n")));
    // Our own frames walk: the test program appears in the crashed thread
    // (in the exception's backtrace for an exception). A signal raised
    // inside the C library, built without frame pointers, may stop the walk
    // there.
    auto hasProgramFrame = [&](const QList<NQCrashReportStackFrameInfo>& frames) {
        for (const NQCrashReportStackFrameInfo& frame : frames) {
            const NQCrashReportBinaryImageInfo* image = report->imageForAddress(frame.instructionPointer());
            if (image && image->imageName() == program)
                return true;
        }
        return false;
    };
    if (signal != SIGABRT)
        QVERIFY2(hasProgramFrame(crashed->stackFrames()), qPrintable(text));

    if (QTest::currentDataTag() == QLatin1String("uncaught exception")) {
        QVERIFY(report->hasExceptionInfo());
        QCOMPARE(report->exceptionInfo()->exceptionName(), QStringLiteral("std::runtime_error"));
        QCOMPARE(report->exceptionInfo()->exceptionReason(), QStringLiteral("broken on purpose"));
        QVERIFY(report->exceptionInfo()->stackFrames());
        QVERIFY2(hasProgramFrame(*report->exceptionInfo()->stackFrames()), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Thread %1 name:  Exception Backtrace\n")
                                  .arg(report->threads().last().threadNumber() + 1)));
    } else {
        QVERIFY(!report->hasExceptionInfo());
    }
}

void TestCrashCapture::anOversizedReportStaysReadable()
{
    const int ended = signalEndingChild([] {
        enableReporterInChild();
        startBlockedThreads(60, 700);
        writeThroughNull();
    });
    QCOMPARE(ended, SIGSEGV);

    QCOMPARE_LE(QFileInfo(liveReportPath()).size(), 65536);
    QVERIFY(QFileInfo(liveReportPath()).size() > 60000);
    QString problem;
    const auto report = readReport(liveReportPath(), &problem);
    QVERIFY2(report, qPrintable(problem));
    QCOMPARE(report->signalInfo().name(), QStringLiteral("SIGSEGV"));
    const NQCrashReportThreadInfo* crashed = crashedThread(*report);
    QVERIFY(crashed);
    QCOMPARE(crashed->registers().size(), 19);
    // Whole threads were left out, none was cut.
    QVERIFY(report->threads().size() < 61);
    for (const NQCrashReportThreadInfo& thread : report->threads()) {
        if (&thread != crashed)
            QCOMPARE(thread.stackFrames().size(), 512);
    }
    QVERIFY(!report->images().isEmpty());
}

void TestCrashCapture::simultaneousCrashesLeaveOneWholeReport()
{
    // Two threads fault together. Which one reaches the handler first
    // differs from run to run; every run must leave one whole report.
    for (int run = 0; run < 20; ++run) {
        QFile::remove(liveReportPath());
        const int ended = signalEndingChild([] {
            enableReporterInChild();
            std::barrier together(2);
            auto fault = [&together] {
                together.arrive_and_wait();
                writeThroughNull();
            };
            std::thread first(fault);
            std::thread second(fault);
            first.join();
            second.join();
        });
        QCOMPARE(ended, SIGSEGV);

        QString problem;
        const auto report = readReport(liveReportPath(), &problem);
        QVERIFY2(report, qPrintable(QStringLiteral("run %1: %2").arg(run).arg(problem)));
        QCOMPARE(report->signalInfo().name(), QStringLiteral("SIGSEGV"));
        // At most the main thread and both faulting threads (a thread that
        // does not answer in time is left out), one of them crashed.
        QCOMPARE_LE(report->threads().size(), 3);
        int crashed = 0;
        for (const NQCrashReportThreadInfo& thread : report->threads())
            crashed += thread.crashed() ? 1 : 0;
        QCOMPARE(crashed, 1);
        QCOMPARE(crashedThread(*report)->registers().size(), 19);
    }
}

void TestCrashCapture::theCrashedThreadIsWrittenWhateverTheThreadList_data()
{
    QTest::addColumn<nqcrash_thread_list_source_t>("threadList");
    QTest::addColumn<int>("listed");

    QTest::newRow("thread folder cannot be read") << nqcrash_thread_list_source_t(noThreads) << 0;
    QTest::newRow("crashed thread not listed") << nqcrash_thread_list_source_t(onlyTheMainThread) << 1;
}

void TestCrashCapture::theCrashedThreadIsWrittenWhateverTheThreadList()
{
    QFETCH(nqcrash_thread_list_source_t, threadList);
    QFETCH(int, listed);

    const int ended = signalEndingChild([threadList] {
        enableReporterInChild();
        nqcrash_log_writer_set_thread_list_source(threadList);
        std::thread(writeThroughNull).join();
    });
    QCOMPARE(ended, SIGSEGV);

    QString problem;
    const auto report = readReport(liveReportPath(), &problem);
    QVERIFY2(report, qPrintable(problem));
    // The listed threads, then the crashed one, numbered after them.
    QCOMPARE(report->threads().size(), listed + 1);
    const NQCrashReportThreadInfo* crashed = crashedThread(*report);
    QVERIFY(crashed);
    QCOMPARE(crashed, &report->threads().last());
    QCOMPARE(crashed->threadNumber(), listed);
    QCOMPARE(crashed->registers().size(), 19);
    QVERIFY(!crashed->stackFrames().isEmpty());
    const QString text = NQCrashReportTextFormatter::stringValueForCrashReport(*report, NQCrashReportTextFormatDefault);
    QVERIFY(text.contains(QStringLiteral("Crashed Thread:  %1\n").arg(listed)));
}

void TestCrashCapture::enablingTwiceIsRefused()
{
    // Each in a child: enabling is once per process.
    const pid_t child = ::fork();
    if (child == 0) {
        enableReporterInChild();
        bool refused = false;
        try {
            NQCrashReporter::sharedReporter().enableCrashReporter();
        } catch (const NQCrashReporterException& exception) {
            refused = QByteArray(exception.what()) == "The crash reporter has alread been enabled";
        }
        ::_exit(refused ? 42 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 42);

    // The glue logs the second time and changes nothing.
    const pid_t glueChild = ::fork();
    if (glueChild == 0) {
        RecordingLogger& log = RecordingLogger::install();
        enableCrashReporter();
        enableCrashReporter();
        const QStringList notes = log.linesAt('D');
        ::_exit(notes.count(QStringLiteral("nqCrashReporter initialized successfully")) == 1
                        && notes.count(QStringLiteral("Crash reporter is already enabled")) == 1
                    ? 42
                    : 1);
    }
    ::waitpid(glueChild, &status, 0);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 42);
}

void TestCrashCapture::disabledSendingStillCopiesTheReport()
{
    const int ended = signalEndingChild([] {
        enableCrashReporter();
        disableCrashReporter();
        writeThroughNull();
    });
    // Not handed to the sender: the signal itself ends the process.
    QCOMPARE(ended, SIGSEGV);
    QVERIFY(!QFile::exists(liveReportPath()));
    QString problem;
    const auto report = readReport(documentsCopyPath(), &problem);
    QVERIFY2(report, qPrintable(problem));
    QCOMPARE(report->signalInfo().name(), QStringLiteral("SIGSEGV"));
}

void TestCrashCapture::aCrashGoesToTheSenderAndIsCountedAtTheNextStart()
{
    const QString mode = getLastLaunchMode();
    const int before = crashCounterForPlugin(mode);
    const QString outbox =
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + QStringLiteral("/Navik Quillet/CrashReports/outbox");
    const int filedBefore = QDir(outbox).entryList(QDir::Files).size();

    const int ended = signalEndingChild([] {
        setCrashReportSent(true);
        // The sender lies beside the program in bin/.
        prepareFaultCourierStart(QStringLiteral(QUILLET_BUILD_DIR "/bin/Quillet"));
        const CCrashWatcher watcher(QStringLiteral("appCrashFlag"), QStringLiteral("appStarted"),
                                    QStringLiteral("appFinished"));
        writeThroughNull();
    });
    // The crashed process kills itself once the sender is started.
    QCOMPARE(ended, SIGKILL);
    QTRY_COMPARE_WITH_TIMEOUT(QDir(outbox).entryList(QDir::Files).size(), filedBefore + 1, 60000);
    QString problem;
    const auto report = readReport(QDir(outbox).filePath(QDir(outbox).entryList(QDir::Files, QDir::Time).first()),
                                   &problem);
    QVERIFY2(report, qPrintable(problem));

    // The next start counts the crash (without enabling anything here).
    setCrashReportSent(false);
    {
        const CCrashWatcher watcher(QStringLiteral("appCrashFlag"), QStringLiteral("appStarted"),
                                    QStringLiteral("appFinished"));
        QCOMPARE(crashCounterForPlugin(mode), before + 1);
    }
    QCOMPARE(CSettings().value(QStringLiteral("appCrashFlag")).toString(), QStringLiteral("appFinished"));
}

void TestCrashCapture::walksFramePointerChains()
{
    // A chain on the heap: each frame holds the next frame's address and a
    // return address.
    uint64_t frames[8][2];
    for (int i = 0; i < 8; ++i) {
        frames[i][0] = i < 7 ? reinterpret_cast<uintptr_t>(frames[i + 1]) : 0;
        frames[i][1] = 0x1000 + uint64_t(i);
    }
    ucontext_t context{};
    context.uc_mcontext.gregs[REG_RBP] = greg_t(reinterpret_cast<uintptr_t>(frames[0]));
    context.uc_mcontext.gregs[REG_RIP] = 0x42;
    context.uc_mcontext.gregs[REG_RAX] = 0x77;

    nqcrash_frame_cursor_t cursor;
    nqcrash_frame_cursor_init(&cursor, &context);
    QList<uint64_t> pcs;
    int result;
    while ((result = nqcrash_frame_cursor_next(&cursor)) == NQCRASH_FRAME_ESUCCESS) {
        uint64_t pc = 0;
        QCOMPARE(nqcrash_frame_get_reg(&cursor, NQCRASH_X86_64_RIP, &pc), 0);
        pcs.append(pc);
        uint64_t rax = 0;
        QCOMPARE(nqcrash_frame_get_reg(&cursor, NQCRASH_X86_64_RAX, &rax),
                 pcs.size() == 1 ? int(NQCRASH_FRAME_ESUCCESS) : int(NQCRASH_FRAME_ENOTSUP));
    }
    QCOMPARE(result, int(NQCRASH_FRAME_ENOFRAME));
    // The context's own frame, then every return address but the last frame's.
    QCOMPARE(pcs, (QList<uint64_t>{0x42, 0x1000, 0x1001, 0x1002, 0x1003, 0x1004, 0x1005, 0x1006}));

    // A chain running towards lower addresses is corrupt.
    frames[2][0] = reinterpret_cast<uintptr_t>(frames[1]);
    nqcrash_frame_cursor_init(&cursor, &context);
    int steps = 0;
    while ((result = nqcrash_frame_cursor_next(&cursor)) == NQCRASH_FRAME_ESUCCESS)
        ++steps;
    QCOMPARE(result, int(NQCRASH_FRAME_EBADFRAME));
    QCOMPARE(steps, 3);

    // So is a frame that points at itself, which would repeat forever.
    frames[2][0] = reinterpret_cast<uintptr_t>(frames[2]);
    nqcrash_frame_cursor_init(&cursor, &context);
    steps = 0;
    while ((result = nqcrash_frame_cursor_next(&cursor)) == NQCRASH_FRAME_ESUCCESS)
        ++steps;
    QCOMPARE(result, int(NQCRASH_FRAME_EBADFRAME));
    QCOMPARE(steps, 3);

    // An unreadable frame pointer ends the walk without a fault.
    context.uc_mcontext.gregs[REG_RBP] = 16;
    nqcrash_frame_cursor_init(&cursor, &context);
    QCOMPARE(nqcrash_frame_cursor_next(&cursor), int(NQCRASH_FRAME_ESUCCESS));
    QCOMPARE(nqcrash_frame_cursor_next(&cursor), int(NQCRASH_FRAME_EBADFRAME));
    QCOMPARE(nqcrash_frame_get_regname(18), "gs");
    QCOMPARE(nqcrash_frame_get_regname(19), nullptr);
}

void TestCrashCapture::imageWalkEndsOnACorruptList_data()
{
    // links[i]: the entry after entry i, -1 for none. The entries are copies
    // of loaded libraries; a walk visits them from entry 0 in link order
    // and yields each one once.
    QTest::addColumn<QList<int>>("links");
    QTest::addColumn<int>("images");

    QTest::newRow("chain") << QList<int>{1, 2, -1} << 3;
    QTest::newRow("circle back to the first") << QList<int>{1, 2, 0} << 3;
    QTest::newRow("circle into the middle") << QList<int>{1, 2, 1} << 3;
    QTest::newRow("entry pointing at itself") << QList<int>{0} << 1;
    QList<int> endless;
    for (int i = 0; i < int(NQCRASH_MAX_IMAGES) + 8; ++i)
        endless.append(i + 1);
    endless.last() = -1;
    QTest::newRow("chain longer than the bound") << endless << int(NQCRASH_MAX_IMAGES);
}

void TestCrashCapture::imageWalkEndsOnACorruptList()
{
    QFETCH(QList<int>, links);
    QFETCH(int, images);

    nqcrash_image_list_init(nullptr);
    // Three libraries of this process (the program's own entry has no name).
    QList<const link_map*> libraries;
    for (const link_map* entry = _r_debug.r_map; entry && libraries.size() < 3; entry = entry->l_next) {
        if (entry->l_name && *entry->l_name)
            libraries.append(entry);
    }
    QCOMPARE(libraries.size(), 3);
    std::vector<link_map> entries(size_t(links.size()));
    for (size_t i = 0; i < entries.size(); ++i) {
        entries[i] = *libraries.at(qsizetype(i % 3));
        entries[i].l_next = links.at(qsizetype(i)) < 0 ? nullptr : &entries[size_t(links.at(qsizetype(i)))];
    }

    nqcrash_image_cursor_t cursor;
    nqcrash_image_cursor_init(&cursor, entries.data());
    QStringList names;
    nqcrash_image_t image;
    // More steps than any bound: a walk that does not end fails here instead of hanging.
    while (names.size() < int(NQCRASH_MAX_IMAGES) + 100 && nqcrash_image_next(&cursor, &image))
        names.append(QString::fromLocal8Bit(image.name));
    QCOMPARE(names.size(), images);
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(names.at(i), QString::fromLocal8Bit(libraries.at(i % 3)->l_name));
    QVERIFY(!nqcrash_image_next(&cursor, &image));
}

void TestCrashCapture::namesSignalsAndCodes()
{
    QCOMPARE(nqcrash_signal_name(SIGSEGV), "SIGSEGV");
    QCOMPARE(nqcrash_signal_name(SIGBUS), "SIGBUS");
    QCOMPARE(nqcrash_signal_name(SIGUSR1), "SIGUSR1");
    QCOMPARE(nqcrash_signal_name(SIGABRT), "SIGABRT");
    QCOMPARE(nqcrash_signal_name(64), nullptr);
    QCOMPARE(nqcrash_signal_code_name(SIGSEGV, SEGV_MAPERR), "SEGV_MAPERR");
    QCOMPARE(nqcrash_signal_code_name(SIGFPE, FPE_INTDIV), "FPE_INTDIV");
    QCOMPARE(nqcrash_signal_code_name(SIGILL, ILL_ILLOPN), "ILL_ILLOPN");
    QCOMPARE(nqcrash_signal_code_name(SIGABRT, 0), nullptr);
    QCOMPARE(nqcrash_signal_code_name(SIGUSR1, 5), nullptr);
}

void TestCrashCapture::reportFolderFollowsTheIdentifier()
{
    const QString caches = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    QCOMPARE(NQCrashReporter::crashReportDirectoryFor(QStringLiteral("com.example/tool")),
             caches + QStringLiteral("/com.naviklabs.nqcrashreporter/com.example_tool"));
    // Without a name of its own the program is known by its process name.
    const NQCrashReporter& reporter = NQCrashReporter::sharedReporter();
    QCOMPARE(reporter.applicationIdentifier(), QCoreApplication::applicationName());
    QCOMPARE(reporter.crashReportPath(), reporter.crashReportDirectory() + QStringLiteral("/live_report.nqcrash"));
    QCOMPARE(reporter.queuedCrashReportDirectory(), reporter.crashReportDirectory() + QStringLiteral("/queued_reports"));
}

QTEST_GUILESS_MAIN(TestCrashCapture)
#include "tst_crashcapture.moc"
