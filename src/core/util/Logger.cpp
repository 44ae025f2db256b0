#include "core/util/Logger.h"

#include <cstdio>

namespace ztengine {

namespace {

// The C library's fixed asctime layout, built here so that it does not depend on the locale
// and needs no shared static buffer: "Www Mmm dd hh:mm:ss yyyy\n", day padded with a blank.
std::string AscTime(const std::tm& t)
{
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char text[64];
    std::snprintf(text, sizeof text, "%.3s %.3s%3d %.2d:%.2d:%.2d %d\n", kDays[(t.tm_wday % 7 + 7) % 7],
                  kMonths[(t.tm_mon % 12 + 12) % 12], t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec,
                  1900 + t.tm_year);
    return text;
}

}  // namespace

std::string Logger::MakeFileName(const std::string& directory, std::time_t startTime)
{
    std::tm local{};
    localtime_r(&startTime, &local);
    std::string stamp = AscTime(local);
    stamp.pop_back();  // the line end of the asctime form
    // Only the time is rewritten into a file-name-friendly form: a folder whose path holds a
    // blank must still be the folder the log goes to.
    for (char& c : stamp) {
        if (c == ' ')
            c = '-';
        else if (c == ':')
            c = '.';
    }
    return directory + stamp + ".log";
}

Logger::Logger(const std::string& directory) : Logger(directory, std::time(nullptr)) {}

Logger::Logger(const std::string& directory, std::time_t startTime)
    : m_fileName(MakeFileName(directory, startTime))
{
}

Logger::~Logger()
{
    // Made only now, when there is something to say: an empty file per run would pile up in the
    // folder.
    if (!m_records.empty())
        m_file.open(m_fileName, std::ios::out | std::ios::trunc);
    while (!m_records.empty()) {
        const LogRecord& record = m_records.front();
        m_file << '{' << record.tag.str() << '}';
        if (!record.subTag.empty())
            m_file << '[' << record.subTag << ']';
        m_file << ": " << record.message.str() << '\n';
        m_records.pop();
    }
    m_file.close();
}

void Logger::Log(const std::string& tag, const std::string& subTag, const std::string& message)
{
    LogRecord& record = m_records.emplace();
    record.tag << tag;
    record.subTag = subTag;
    record.message << message;
}

}  // namespace ztengine
