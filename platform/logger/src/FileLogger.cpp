#include "FileLogger.h"

#include <chrono>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <sys/syscall.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace NavikLogger {

namespace {

// How many earlier runs' logs are kept beside the current one.
constexpr int kKeptLogs = 5;

// A minimum above every level's rank: nothing is logged.
constexpr int kNoLevelPasses = 5;

long currentThreadId()
{
    return static_cast<long>(::syscall(SYS_gettid));
}

std::string timestamp()
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    const auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d.%03d",
                  local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                  local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(millis));
    return buffer;
}

// One entry is one line: continuation lines of a multi-line text are indented.
std::string formatLine(char level, const char* text)
{
    std::string line = timestamp();
    line += ' ';
    line += (level >= 0x20 && level < 0x7f) ? level : '?';
    line += " [";
    line += std::to_string(currentThreadId());
    line += "] ";
    for (const char* p = text ? text : ""; *p; ++p) {
        if (*p == '\n') {
            if (p[1] != '\0')
                line += "\n    ";
        } else if (*p != '\r') {
            line += *p;
        }
    }
    line += '\n';
    return line;
}

std::string rotatedName(const std::string& base, int index)
{
    return index == 0 ? base + ".log" : base + "." + std::to_string(index) + ".log";
}

// Keeps the logs of the last few runs: name.log becomes name.1.log and so on.
void rotate(const fs::path& folder, const std::string& name)
{
    std::error_code ec;
    fs::remove(folder / rotatedName(name, kKeptLogs), ec);
    for (int i = kKeptLogs - 1; i >= 0; --i) {
        const fs::path from = folder / rotatedName(name, i);
        if (fs::exists(from, ec))
            fs::rename(from, folder / rotatedName(name, i + 1), ec);
    }
}

class TraceScope
{
public:
    TraceScope(FileLogger* logger, const char* function, const char* file, int line)
        : m_logger(logger), m_function(function ? function : "")
        , m_start(std::chrono::steady_clock::now())
    {
        std::string text = "> " + m_function;
        if (file) {
            text += " (";
            text += file;
            text += ':';
            text += std::to_string(line);
            text += ')';
        }
        m_logger->log('D', text.c_str());
    }

    ~TraceScope()
    {
        const auto elapsed = std::chrono::steady_clock::now() - m_start;
        const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count();
        const std::string text = "< " + m_function + " (" + std::to_string(micros) + " us)";
        m_logger->log('D', text.c_str());
    }

private:
    FileLogger* m_logger;
    std::string m_function;
    std::chrono::steady_clock::time_point m_start;
};

} // namespace

FileLogger::~FileLogger()
{
    shutdown();
}

int FileLogger::levelRank(char level)
{
    switch (level) {
    case 0:
        return -1;
    case 'D': case 'd': case 'T': case 't':
        return 0;
    case 'I': case 'i':
        return 1;
    case 'W': case 'w':
        return 2;
    case 'E': case 'e':
        return 3;
    case 'F': case 'f': case 'C': case 'c':
        return 4;
    default:
        return 1;
    }
}

std::string FileLogger::filePath() const
{
    std::lock_guard lock(m_mutex);
    return m_path;
}

bool FileLogger::init(const std::string& folder, const std::string& name, char minimumLevel)
{
    std::unique_lock lock(m_mutex);
    if (m_initialized)
        return m_file != nullptr;
    m_initialized = true;
    m_minimumRank.store(levelRank(minimumLevel));

    std::error_code ec;
    const fs::path dir(folder.empty() ? "." : folder);
    fs::create_directories(dir, ec);
    const std::string base = name.empty() ? std::string("log") : name;
    rotate(dir, base);
    m_path = (dir / rotatedName(base, 0)).string();
    // Close-on-exec ("e"): programs the product starts, the crash sender
    // among them, must not inherit the open log.
    m_file = std::fopen(m_path.c_str(), "we");
    if (!m_file) {
        // With no file there is no writer to drain the queue: every later
        // line would be kept in memory until the process ends. Drop them all.
        m_minimumRank.store(kNoLevelPasses);
        m_queue.clear();
        return false;
    }

    try {
        m_writer = std::thread(&FileLogger::writerLoop, this);
    } catch (const std::system_error&) {
        // The system starts no more threads: the lines are written as they
        // come, as after shutdown.
        m_stopping = true;
        writeLines(m_queue);
        m_queue.clear();
    }
    return true;
}

void FileLogger::log(char level, const char* text)
{
    if (levelRank(level) < m_minimumRank.load(std::memory_order_relaxed))
        return;
    enqueue(formatLine(level, text));
}

NAVIK_tarl1::LogTraceHandle FileLogger::trace(const char* function, const char* file, int line)
{
    if (levelRank('D') < m_minimumRank.load(std::memory_order_relaxed))
        return {};
    return std::make_shared<TraceScope>(this, function, file, line);
}

void FileLogger::enqueue(std::string line)
{
    std::unique_lock lock(m_mutex);
    if (m_stopping) {
        // After shutdown there is no writer: write in place, still one line per call.
        if (m_file) {
            std::fwrite(line.data(), 1, line.size(), m_file);
            std::fflush(m_file);
        }
        return;
    }
    m_queue.push_back(std::move(line));
    lock.unlock();
    m_wake.notify_one();
}

void FileLogger::writerLoop()
{
    std::vector<std::string> batch;
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        if (m_queue.empty() && m_stopping)
            break;
        batch.swap(m_queue);
        m_writing = true;
        lock.unlock();
        writeLines(batch);
        batch.clear();
        lock.lock();
        m_writing = false;
        m_drained.notify_all();
    }
}

void FileLogger::writeLines(const std::vector<std::string>& lines)
{
    if (!m_file)
        return;
    for (const std::string& line : lines)
        std::fwrite(line.data(), 1, line.size(), m_file);
    std::fflush(m_file);
}

void FileLogger::flush()
{
    std::unique_lock lock(m_mutex);
    if (!m_writer.joinable())
        return;
    m_drained.wait(lock, [this] { return m_queue.empty() && !m_writing; });
}

void FileLogger::shutdown()
{
    std::unique_lock lock(m_mutex);
    if (m_stopping)
        return;
    m_stopping = true;
    lock.unlock();
    m_wake.notify_one();
    if (m_writer.joinable())
        m_writer.join();
    lock.lock();
    if (m_file && !m_queue.empty()) {
        writeLines(m_queue);
        m_queue.clear();
    }
}

} // namespace NavikLogger
