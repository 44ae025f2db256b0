#include "core/resources/ResourceJson.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

namespace ztengine {

namespace {

// Deeper than any file the game writes by far; a record kept as it stands is copied and written
// back by recursion, which such nesting would run out of stack.
constexpr size_t kMaxDepth = 64;

bool NestedDeeperThan(const rapidjson::Value& root, size_t limit)
{
    std::vector<std::pair<const rapidjson::Value*, size_t>> pending{{&root, 1}};
    while (!pending.empty()) {
        const auto [value, depth] = pending.back();
        pending.pop_back();
        if (depth > limit)
            return true;
        if (value->IsArray()) {
            for (const rapidjson::Value& element : value->GetArray())
                pending.emplace_back(&element, depth + 1);
        } else if (value->IsObject()) {
            for (const auto& member : value->GetObject())
                pending.emplace_back(&member.value, depth + 1);
        }
    }
    return false;
}

}  // namespace

JsonReadResult ReadJsonDocument(const std::string& path, rapidjson::Document& document)
{
    std::string text;
    if (!ReadWholeFile(path, text))
        return JsonReadResult::Missing;

    ParseJsonText(document, text);
    if (!document.HasParseError())
        return NestedDeeperThan(document, kMaxDepth) ? JsonReadResult::Malformed
                                                     : JsonReadResult::Parsed;
    if (text.find_first_not_of(" \t\r\n") == std::string::npos)
        return JsonReadResult::Blank;
    return JsonReadResult::Malformed;
}

const rapidjson::Value* FindString(const rapidjson::Value& object, const char* key)
{
    const auto it = object.FindMember(key);
    if (it == object.MemberEnd() || !it->value.IsString())
        return nullptr;
    return &it->value;
}

double WritableFloat(float value, const std::string& fileName, const char* field)
{
    if (std::isfinite(value))
        return static_cast<double>(value);
    const double written = std::isnan(value) ? 0.0 : (value > 0.0f ? FLT_MAX : -FLT_MAX);
    std::printf("%s: \"%s\" is not a finite number, writing %g\n", fileName.c_str(), field,
                written);
    std::fflush(stdout);
    return written;
}

bool WriteResourceFile(const std::string& path, std::string_view bytes)
{
    if (ReplaceFileContents(path, bytes))
        return true;
    std::printf("error writing out: %s\n", path.c_str());
    std::fflush(stdout);
    return false;
}

void ReportKeptUnreadableFile(const std::string& path)
{
    std::printf("%s was not rewritten: it could not be read at start-up\n", path.c_str());
    std::fflush(stdout);
}

std::string KeptUnreadableFileStatus(const std::string& path)
{
    return path + " could not be read at start-up and is kept unchanged: nothing is saved. "
                  "Fix the file and restart the game.";
}

void KeptRecords::Keep(const std::string& path, size_t index, const rapidjson::Value& record,
                       const std::string& problem)
{
    std::printf("%s: record %zu is not used (%s); it is kept as it is in the file\n",
                path.c_str(), index, problem.c_str());
    std::fflush(stdout);
    rapidjson::Value copy(record, m_records.GetAllocator());
    m_records.PushBack(copy, m_records.GetAllocator());
}

bool KeptRecords::WriteAll(JsonWriter& writer) const
{
    for (const rapidjson::Value& record : m_records.GetArray()) {
        if (!record.Accept(writer))
            return false;
    }
    return true;
}

std::string RecordProblem(const rapidjson::Value& record,
                          std::initializer_list<std::pair<const char*, RecordValue>> keys)
{
    if (!record.IsObject())
        return "not an object";
    for (const auto& [key, kind] : keys) {
        const auto it = record.FindMember(key);
        if (it == record.MemberEnd())
            return std::string("\"") + key + "\" is missing";
        const rapidjson::Value& value = it->value;
        switch (kind) {
        case RecordValue::String:
            if (!value.IsString())
                return std::string("\"") + key + "\" is not a string";
            break;
        case RecordValue::Int:
            if (!value.IsInt())
                return std::string("\"") + key + "\" is not a 32-bit integer";
            break;
        case RecordValue::Float:
            // Written with a fraction or exponent, as the list has always stored it.
            if (!value.IsDouble() || !(std::fabs(value.GetDouble()) <= FLT_MAX))
                return std::string("\"") + key + "\" is not a number with a fraction that a float holds";
            break;
        case RecordValue::StringArray:
            if (!value.IsArray())
                return std::string("\"") + key + "\" is not an array";
            for (const rapidjson::Value& element : value.GetArray()) {
                if (!element.IsString())
                    return std::string("\"") + key + "\" holds a value that is not a string";
            }
            break;
        }
    }
    return {};
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    const char last = folder.back();
    if (last == '/' || last == '\\')
        return folder + name;
    return folder + '/' + name;
}

bool ReadResourceList(const std::string& path, rapidjson::Document& document, bool& keepUnreadable)
{
    const JsonReadResult read = ReadJsonDocument(path, document);
    if (read == JsonReadResult::Missing)
        return false;
    if (read != JsonReadResult::Parsed || !document.IsArray()) {
        std::printf("%s is not a proper array of materials info\n", path.c_str());
        std::fflush(stdout);
        keepUnreadable = read != JsonReadResult::Blank;
        return false;
    }
    return true;
}

}  // namespace ztengine
