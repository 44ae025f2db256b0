#pragma once
// Reading and writing the resource files (the three lists, the scenes, the sound registry): the
// silent whole-file read with its outcome, the pretty CR LF writer of the scene files, finite
// floats for the writers, and the replace-through-a-temporary-file write with its message.
#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>

#include <rapidjson/document.h>
#include <rapidjson/prettywriter.h>

#include "core/serialization/JsonFile.h"

namespace ztengine {

enum class JsonReadResult {
    // The file cannot be opened: nothing to read, nothing to protect.
    Missing,
    // Empty or only white space: no data in it, so rewriting it loses nothing.
    Blank,
    // Holds something that is not JSON. Rewriting it would throw that away.
    Malformed,
    // `document` holds the parsed root (of any type).
    Parsed,
};

// Reads the whole file and parses it as one standard JSON document (full-precision numbers).
// Prints nothing.
JsonReadResult ReadJsonDocument(const std::string& path, rapidjson::Document& document);

// Reads a resource list that must hold a JSON array. A missing file gives false quietly; any
// other failure prints "<path> is not a proper array of materials info" (the words every list
// has always used) and gives false, with `keepUnreadable` set when the file holds something
// that must not be overwritten at exit.
bool ReadResourceList(const std::string& path, rapidjson::Document& document, bool& keepUnreadable);

// The string value of a member, or null when the member is absent or not a string.
const rapidjson::Value* FindString(const rapidjson::Value& object, const char* key);

// A string value as std::string, embedded NUL bytes included.
inline std::string ToString(const rapidjson::Value& value)
{
    return std::string(value.GetString(), value.GetStringLength());
}

// The output of the scene files: Windows text mode wrote every line end as CR LF, and the files
// are kept that way so that stored scenes stay byte-identical across platforms. String values
// never carry a raw line feed (the writer escapes it), so every LF here is a line end.
struct CrLfStringStream {
    using Ch = char;
    explicit CrLfStringStream(std::string& out) : m_out(out) {}
    void Put(char c)
    {
        if (c == '\n')
            m_out.push_back('\r');
        m_out.push_back(c);
    }
    void Flush() {}
    std::string& m_out;
};

// Four spaces per level (the pretty writer's default), CR LF line ends.
using ScenePrettyWriter = rapidjson::PrettyWriter<CrLfStringStream>;

// JSON has no form for NaN or an infinity, and the writer stops half-way through the document
// when handed one. A non-finite value is written as 0.0 (NaN) or as the largest float of its
// sign, with a line naming the file and the field, so the rest of the file is kept.
double WritableFloat(float value, const std::string& fileName, const char* field);

// Replaces the file with `bytes` through a temporary file and a rename, so that a failed write
// leaves the old file whole. On failure prints "error writing out: " + path and returns false.
bool WriteResourceFile(const std::string& path, std::string_view bytes);

// The line that a file which could not be read at start-up was left as it is.
void ReportKeptUnreadableFile(const std::string& path);

// What an editor shows after saving a list that could not be read at start-up.
std::string KeptUnreadableFileStatus(const std::string& path);

// After an editor saved a list: when the list could not be read at start-up nothing was written,
// and the editor's status says so (replacing its "created" or "deleted") with the way out.
template <class List>
void ReportIfListKept(const List& list, std::string& status)
{
    if (list.KeepsUnreadableFile())
        status = KeptUnreadableFileStatus(list.m_fileName);
}

// The records of a list that could not be used: each is reported once with its index and what is
// wrong, and written back unchanged when the list is saved, so that fixing the file by hand is
// never undone by the game.
class KeptRecords {
public:
    KeptRecords() : m_records(rapidjson::kArrayType) {}
    void Keep(const std::string& path, size_t index, const rapidjson::Value& record,
              const std::string& problem);
    bool WriteAll(JsonWriter& writer) const;
    size_t Count() const { return m_records.Size(); }

private:
    rapidjson::Document m_records;
};

// What is wrong with a list record, checking that it is an object and that each key holds a
// value of the wanted kind; empty when the record is fine.
enum class RecordValue { String, Int, Float, StringArray };
std::string RecordProblem(const rapidjson::Value& record,
                          std::initializer_list<std::pair<const char*, RecordValue>> keys);

// Writes a resource list as one compact JSON array, one object per record from `writeRecord`
// (writer, record) -> bool. A list that could not be read at start-up is kept as it is, and a
// record that cannot be written leaves the old file in place with a message.
template <class Records, class WriteRecord>
void SaveResourceList(const std::string& path, bool keepUnreadableFile, const Records& records,
                      const KeptRecords& kept, WriteRecord writeRecord)
{
    if (keepUnreadableFile) {
        ReportKeptUnreadableFile(path);
        return;
    }
    JsonStringBuffer buffer;
    JsonWriter writer(buffer);
    bool ok = writer.StartArray();
    for (const auto& record : records)
        ok = ok && writeRecord(writer, record);
    ok = ok && kept.WriteAll(writer);
    ok = ok && writer.EndArray() && writer.IsComplete();
    if (!ok) {
        std::printf("error writing out: %s\n", path.c_str());
        std::fflush(stdout);
        return;
    }
    WriteResourceFile(path, std::string_view(buffer.GetString(), buffer.GetSize()));
}

// folder + name with exactly one separator between them ("models" + "tree.obj" and "models/" +
// "tree.obj" both give "models/tree.obj"); an empty folder gives the name alone.
std::string JoinPath(const std::string& folder, const std::string& name);

}  // namespace ztengine
