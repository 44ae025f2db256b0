#include "core/serialization/WinConfig.h"

#include <cstdio>
#include <utility>

#include <rapidjson/document.h>

#include "core/serialization/JsonFile.h"

namespace ztengine {

namespace {

// Takes "w" or "h" when it is an integer in the signed 32-bit range and a usable window size.
// False, with a line, when the member is there but unusable.
bool ReadSize(const rapidjson::Value& root, const char* member, const std::string& fileName,
              uint32_t& field)
{
    const auto it = root.FindMember(member);
    if (it == root.MemberEnd())
        return true;
    if (!it->value.IsInt()) {
        std::printf("%s: \"%s\" is not an integer, keeping %u\n", fileName.c_str(), member,
                    field);
        std::fflush(stdout);
        return false;
    }
    const int32_t size = it->value.GetInt();
    if (size <= 0) {
        // A window of no pixels cannot be made; the default keeps the game starting.
        std::printf("%s: \"%s\" of %d is not a window size, keeping %u\n", fileName.c_str(),
                    member, size, field);
        std::fflush(stdout);
        return false;
    }
    field = static_cast<uint32_t>(size);
    return true;
}

bool ReadFlag(const rapidjson::Value& root, const char* member, const std::string& fileName,
              bool& field)
{
    const auto it = root.FindMember(member);
    if (it == root.MemberEnd())
        return true;
    if (!it->value.IsBool()) {
        std::printf("%s: \"%s\" is not true or false, keeping %s\n", fileName.c_str(), member,
                    field ? "true" : "false");
        std::fflush(stdout);
        return false;
    }
    field = it->value.GetBool();
    return true;
}

}  // namespace

WinConfig::WinConfig(std::string fileName) : m_fileName(std::move(fileName)) {}

void WinConfig::Load()
{
    std::string text;
    if (!ReadWholeFile(m_fileName, text))
        return;

    rapidjson::Document document;
    ParseJsonText(document, text);
    if (document.HasParseError() || !document.IsObject()) {
        std::printf("%s is not a proper json file format\n", m_fileName.c_str());
        std::fflush(stdout);
        m_keepUnreadableFile = true;
        return;
    }
    // A value that cannot be used is the player's to fix: the file is left as it is.
    bool usable = ReadSize(document, "w", m_fileName, m_width);
    usable = ReadSize(document, "h", m_fileName, m_height) && usable;
    usable = ReadFlag(document, "fullscreen", m_fileName, m_fullscreen) && usable;
    usable = ReadFlag(document, "vsync", m_fileName, m_vsync) && usable;
    if (!usable)
        m_keepUnreadableFile = true;
}

void WinConfig::Save()
{
    if (m_keepUnreadableFile) {
        std::printf("%s was not rewritten: it could not be read at start-up\n", m_fileName.c_str());
        std::fflush(stdout);
        return;
    }

    JsonStringBuffer buffer;
    JsonWriter writer(buffer);
    writer.StartObject();
    writer.Key("w");
    writer.Uint(m_width);
    writer.Key("h");
    writer.Uint(m_height);
    writer.Key("fullscreen");
    writer.Bool(m_fullscreen);
    writer.Key("vsync");
    writer.Bool(m_vsync);
    writer.EndObject();

    if (!ReplaceFileContents(m_fileName, std::string_view(buffer.GetString(), buffer.GetSize()))) {
        std::printf("can't serialize: %s\n", m_fileName.c_str());
        std::fflush(stdout);
    }
}

}  // namespace ztengine
