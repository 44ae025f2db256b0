#include "core/MessagingSystem.h"

#include <cstdio>
#include <string>
#include <utility>

#include "core/util/assert/AppAssert.h"

namespace ztengine {

namespace {

// Whether `text` is well-formed UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
bool IsValidUtf8(std::string_view text)
{
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        size_t length = 0;
        uint32_t point = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
            point = c & 0x1Fu;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            point = c & 0x0Fu;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            point = c & 0x07u;
        } else {
            return false;
        }
        if (i + length > text.size())
            return false;
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0u) != 0x80u)
                return false;
            point = (point << 6) | (next & 0x3Fu);
        }
        if ((length == 3 && (point < 0x800 || (point >= 0xD800 && point <= 0xDFFF))) ||
            (length == 4 && (point < 0x10000 || point > 0x10FFFF)))
            return false;
        i += length;
    }
    return true;
}

// What is wrong with the name a line gives, or null. Such a name is still registered as the file
// gives it (a handler can never ask for it, so it harms nothing), but the designer hears of it.
const char* EventNameProblem(std::string_view name)
{
    if (name.empty())
        return "the line begins with a blank, which gives an empty name";
    if (name.find('\0') != std::string_view::npos)
        return "the name holds a zero byte, and only the part before it is registered";
    if (!IsValidUtf8(name))
        return "the name is not valid UTF-8";
    for (const char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return "the name holds a control character";
    return nullptr;
}

}  // namespace

void MessagingSystem::LoadEventNames(const char* fileName)
{
    std::FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr) {
        // Without the names every handler registration stops the program; say why up front.
        std::fprintf(stderr, "Error loading file: %s\n", fileName);
        return;
    }
    std::string text;
    char chunk[4096];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof(chunk), file)) > 0)
        text.append(chunk, got);
    std::fclose(file);

    CountedVector<CountedString> names;
    size_t lineStart = 0;
    int lineNumber = 0;
    while (lineStart < text.size()) {
        ++lineNumber;
        size_t lineEnd = text.find('\n', lineStart);
        const bool hasLineFeed = lineEnd != std::string::npos;
        if (!hasLineFeed)
            lineEnd = text.size();
        std::string_view line(text.data() + lineStart, lineEnd - lineStart);
        // A carriage return right before the line feed belongs to the line end.
        if (hasLineFeed && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lineStart = lineEnd + 1;

        if (line.empty())
            continue;
        // Only the blank separates: a tab is part of the name, and a leading blank gives "".
        const size_t blank = line.find(' ');
        if (blank != std::string_view::npos)
            line = line.substr(0, blank);
        names.emplace_back(line);
        std::printf("Loaded event name: %s\n", names.back().c_str());
        // Problems go where the missing file is reported, beside the list of loaded names.
        if (const char* problem = EventNameProblem(line))
            std::fprintf(stderr, "%s:%d: %s\n", fileName, lineNumber, problem);
    }
    if (names.empty())
        std::fprintf(stderr, "%s holds no event name: every handler registration will stop the "
                             "game\n",
                     fileName);
    std::fflush(stdout);

    for (const CountedString& name : names)
        RegisterEvent(name.c_str());
}

uint32_t MessagingSystem::RegisterEvent(const char* name)
{
    const auto found = m_eventIds.find(std::string_view(name));
    if (found != m_eventIds.end())
        return found->second;
    const auto id = static_cast<uint32_t>(m_eventPipelines.size());
    m_eventPipelines.emplace_back(64);
    m_eventIds.emplace(CountedString(name), id);
    return id;
}

uint32_t MessagingSystem::GetEventId(const char* name) const
{
    const auto found = m_eventIds.find(std::string_view(name));
    return found == m_eventIds.end() ? kInvalidEventId : found->second;
}

uint32_t MessagingSystem::RegisterHandler(const char* name, EventCallback callback)
{
    const uint32_t evtHandler = GetEventId(name);
    assert(evtHandler < m_eventPipelines.size());
    return m_eventPipelines[evtHandler].Add(EventHandler{std::move(callback), 0xFFFF});
}

void MessagingSystem::SendEvent(uint32_t id, const IEvent& event)
{
    if (id >= m_eventPipelines.size())
        return;
    // Handlers may register new handlers (even for this event) while they run, which can move
    // the pipeline's storage: every step goes back to the pipeline by index, and each handler is
    // called through its own copy, never through a reference into storage that may move.
    uint32_t index = m_eventPipelines[id].m_head;
    while (index != kInvalidIndex) {
        uint16_t active;
        EventCallback callback;
        {
            const EventHandler& handler = m_eventPipelines[id].At(index);
            active = handler.m_active;
            if (active != 0)
                callback = handler.m_callback;
        }
        if (active != 0 && callback)
            callback(event);
        index = m_eventPipelines[id].Next(index);
    }
}

void MessagingSystem::SendEventByName(const char* name, const IEvent& event)
{
    const uint32_t id = GetEventId(name);
    if (id < m_eventPipelines.size())
        SendEvent(id, event);
}

}  // namespace ztengine
