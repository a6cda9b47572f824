#pragma once

// Builds crash report files for the tests with protobuf-c's own packer, so
// the reader is checked against an encoder other than ours. Each test changes
// the parts it needs before bytes().

#include "crash_report.pb-c.h"

#include <QByteArray>
#include <QList>

#include <cstdint>
#include <deque>
#include <vector>

class SyntheticReport
{
public:
    SyntheticReport()
    {
        system.os_version = const_cast<char*>("6.1.0-13-amd64");
        system.has_operating_system = true;
        system.operating_system = NQCRASH__CRASH_REPORT__SYSTEM_INFO__OPERATING_SYSTEM__OS_UNKNOWN;
        system.architecture = NQCRASH__ARCHITECTURE__X86_64;
        system.timestamp = 1300098030; // 2011-03-14 10:20:30 UTC
        system.os_build = const_cast<char*>("#1 SMP Debian");

        application.identifier = const_cast<char*>("com.naviklabs.quillet");
        application.version = const_cast<char*>("1.0.6");

        signal.name = const_cast<char*>("SIGSEGV");
        signal.code = const_cast<char*>("SEGV_MAPERR");
        signal.address = 0;

        report.system_info = &system;
        report.application_info = &application;
        report.signal = &signal;
    }

    Nqcrash__CrashReport__Processor* processor(uint64_t type, uint64_t subtype, bool mach = true)
    {
        Nqcrash__CrashReport__Processor& p = processors.emplace_back();
        nqcrash__crash_report__processor__init(&p);
        p.has_encoding = true;
        p.encoding = mach ? NQCRASH__CRASH_REPORT__PROCESSOR__TYPE_ENCODING__TYPE_ENCODING_MACH
                          : NQCRASH__CRASH_REPORT__PROCESSOR__TYPE_ENCODING__TYPE_ENCODING_UNKNOWN;
        p.type = type;
        p.subtype = subtype;
        return &p;
    }

    void addImage(uint64_t base, uint64_t size, const char* name, Nqcrash__CrashReport__Processor* codeType,
                  const QByteArray& uuid = {})
    {
        Nqcrash__CrashReport__BinaryImage& image = imageStore.emplace_back();
        nqcrash__crash_report__binary_image__init(&image);
        image.base_address = base;
        image.size = size;
        image.name = const_cast<char*>(name);
        image.code_type = codeType;
        if (!uuid.isEmpty()) {
            uuids.push_back(uuid);
            image.has_uuid = true;
            image.uuid.len = size_t(uuid.size());
            image.uuid.data = reinterpret_cast<uint8_t*>(uuids.back().data());
        }
        images.push_back(&image);
    }

    // Registers named after the x86-64 order, valued 0x100 + index.
    void addThread(uint32_t number, bool crashed, const QList<uint64_t>& pcs, int registerCount = 0)
    {
        static const char* const names[] = {"rax", "rbx", "rcx", "rdx", "rdi", "rsi", "rbp", "rsp", "r10", "r11",
                                            "r12", "r13", "r14", "r15", "rip", "rflags", "cs", "fs", "gs"};
        Nqcrash__CrashReport__Thread& thread = threadStore.emplace_back();
        nqcrash__crash_report__thread__init(&thread);
        thread.thread_number = number;
        thread.crashed = crashed;
        auto& frameList = framePointers.emplace_back();
        for (uint64_t pc : pcs)
            frameList.push_back(frame(pc));
        thread.n_frames = frameList.size();
        thread.frames = frameList.data();
        auto& registerList = registerPointers.emplace_back();
        for (int r = 0; r < registerCount; ++r) {
            Nqcrash__CrashReport__Thread__RegisterValue& value = registerStore.emplace_back();
            nqcrash__crash_report__thread__register_value__init(&value);
            value.name = const_cast<char*>(names[r % 19]);
            value.value = 0x100 + uint64_t(r);
            registerList.push_back(&value);
        }
        thread.n_registers = registerList.size();
        thread.registers = registerList.data();
        threads.push_back(&thread);
    }

    Nqcrash__CrashReport__Thread__StackFrame* frame(uint64_t pc)
    {
        Nqcrash__CrashReport__Thread__StackFrame& f = frameStore.emplace_back();
        nqcrash__crash_report__thread__stack_frame__init(&f);
        f.pc = pc;
        return &f;
    }

    QByteArray bytes()
    {
        report.n_threads = threads.size();
        report.threads = threads.data();
        report.n_binary_images = images.size();
        report.binary_images = images.data();
        QByteArray out("nqcrash\x01", 8);
        const qsizetype header = out.size();
        out.resize(header + qsizetype(nqcrash__crash_report__get_packed_size(&report)));
        nqcrash__crash_report__pack(&report, reinterpret_cast<uint8_t*>(out.data()) + header);
        return out;
    }

    Nqcrash__CrashReport report = NQCRASH__CRASH_REPORT__INIT;
    Nqcrash__CrashReport__SystemInfo system = NQCRASH__CRASH_REPORT__SYSTEM_INFO__INIT;
    Nqcrash__CrashReport__ApplicationInfo application = NQCRASH__CRASH_REPORT__APPLICATION_INFO__INIT;
    Nqcrash__CrashReport__Signal signal = NQCRASH__CRASH_REPORT__SIGNAL__INIT;
    Nqcrash__CrashReport__ProcessInfo process = NQCRASH__CRASH_REPORT__PROCESS_INFO__INIT;
    Nqcrash__CrashReport__MachineInfo machine = NQCRASH__CRASH_REPORT__MACHINE_INFO__INIT;
    Nqcrash__CrashReport__Exception exception = NQCRASH__CRASH_REPORT__EXCEPTION__INIT;

private:
    // Deques keep the addresses the report points at.
    std::deque<Nqcrash__CrashReport__Processor> processors;
    std::deque<Nqcrash__CrashReport__BinaryImage> imageStore;
    std::deque<QByteArray> uuids;
    std::deque<Nqcrash__CrashReport__Thread> threadStore;
    std::deque<Nqcrash__CrashReport__Thread__StackFrame> frameStore;
    std::deque<Nqcrash__CrashReport__Thread__RegisterValue> registerStore;
    std::deque<std::vector<Nqcrash__CrashReport__Thread__StackFrame*>> framePointers;
    std::deque<std::vector<Nqcrash__CrashReport__Thread__RegisterValue*>> registerPointers;
    std::vector<Nqcrash__CrashReport__Thread*> threads;
    std::vector<Nqcrash__CrashReport__BinaryImage*> images;
};
