#pragma once
// The run's log file: one file per run, named after the local start time, whose queued records
// are written when the logger is destroyed (at the very end of the application's life). A run
// that logs nothing leaves no file behind.
#include <ctime>
#include <fstream>
#include <queue>
#include <sstream>
#include <string>

#include "core/util/memory/MemoryAllocator.h"

namespace ztengine {

// One queued entry, written as "{tag}[subTag]: message" (the brackets only with a sub-tag).
struct LogRecord {
    std::ostringstream message;
    std::ostringstream tag;
    std::string subTag;
};

class Logger {
public:
    // Names the file "<directory><start time>.log"; it is made only when there is a record to
    // write. A directory that does not exist means no log: nothing is reported and the records
    // are dropped at the end.
    explicit Logger(const std::string& directory);
    // The same with the start time given, for tests.
    Logger(const std::string& directory, std::time_t startTime);
    ~Logger();

    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;

    // Queues a record; it reaches the file when the logger is destroyed.
    void Log(const std::string& tag, const std::string& subTag, const std::string& message);

    // The file name for a start time: the directory, then the local time in asctime form with
    // blanks as "-" and colons as "." ("Tue-Dec--8-23.11.56-2026"), then ".log".
    static std::string MakeFileName(const std::string& directory, std::time_t startTime);

    const std::string& FileName() const { return m_fileName; }
    // Whether the file has been made (only once records are written).
    bool IsOpen() const { return m_file.is_open(); }

private:
    std::queue<LogRecord, CountedDeque<LogRecord>> m_records;
    std::ofstream m_file;
    std::string m_fileName;
};

}  // namespace ztengine
