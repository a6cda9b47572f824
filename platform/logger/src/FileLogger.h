#pragma once

#include "logger/ILoggerInterface.h"

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace NavikLogger {

// A file logger that never makes its callers wait for the disk: lines are
// formatted on the calling thread, queued under a short lock and written by one
// background thread. Each line is written whole with a single fwrite, so lines
// from different threads never interleave. At process exit the queue is drained
// and later calls write directly. A logger whose file cannot be opened drops
// every line.
//
// The library's one instance is made by the exported factory (LoggerExport.cpp).
class FileLogger final : public NAVIK_tarl1::ILoggerInterface
{
public:
    FileLogger() = default;
    ~FileLogger() override;
    FileLogger(const FileLogger&) = delete;
    FileLogger& operator=(const FileLogger&) = delete;

    bool init(const std::string& folder, const std::string& name, char minimumLevel) override;
    void log(char level, const char* text) override;
    NAVIK_tarl1::LogTraceHandle trace(const char* function, const char* file, int line) override;

    // Waits until every line queued so far is on disk.
    void flush();
    // Stops the writer thread after draining the queue; later lines are written directly.
    void shutdown();

    static int levelRank(char level);
    std::string filePath() const;

private:
    void enqueue(std::string line);
    void writerLoop();
    void writeLines(const std::vector<std::string>& lines);

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_drained;
    std::vector<std::string> m_queue;
    std::thread m_writer;
    std::FILE* m_file = nullptr;
    std::string m_path;
    std::atomic<int> m_minimumRank{0};
    bool m_initialized = false;
    bool m_stopping = false;
    bool m_writing = false;
};

} // namespace NavikLogger
